#pragma once

#include <QByteArray>

class QImage;

// The picture as PNG bytes, with its colour profile and resolution: a
// picture the user put in a document. Raises ErroreFile when it cannot be
// encoded.
QByteArray codificaPng(const QImage& immagine);

// A drawing the program painted as PNG bytes: flat colours and thin lines,
// hundreds of them in a long report. Their rows go unfiltered at zlib's
// fastest level, which packs them as small as adaptive filters do in a
// third of the time; no profile nor resolution is written. Raises
// ErroreFile when it cannot be encoded.
QByteArray codificaDisegnoPng(const QImage& immagine);

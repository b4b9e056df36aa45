#pragma once

#include <QByteArray>

class QImage;

// The picture as PNG bytes. Raises ErroreFile when it cannot be encoded.
//
// Written for the report's drawings and charts: flat colours and thin
// lines, hundreds of them in a long report. Their rows go unfiltered at
// zlib's fastest level, which packs such pictures as small as the adaptive
// filters do in a third of the time.
QByteArray codificaPng(const QImage& immagine);

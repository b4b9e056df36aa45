#pragma once

#include <QByteArray>

class QImage;
class QTextDocument;
class QTextImageFormat;

// The document as a WordprocessingML package (.docx): paragraphs with their
// alignment, runs with font name and size, tables with their column widths
// and repeating heading rows, pictures inline at the size they are shown.
// Raises ErroreFile when the package cannot be built.
QByteArray documentoDocx(const QTextDocument& documento);

// The picture an image format names among the document's resources (a
// QImage, a QPixmap or encoded bytes); null when the document has none.
QImage immagineRisorsa(const QTextDocument& documento, const QTextImageFormat& formato);

// The picture as PNG bytes. Raises ErroreFile when it cannot be encoded.
QByteArray codificaPng(const QImage& immagine);

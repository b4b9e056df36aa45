#pragma once

#include <QByteArray>

class QTextDocument;

// The document as a WordprocessingML package (.docx): paragraphs with their
// alignment, runs with font name and size, tables with their column widths
// and repeating heading rows. Raises ErroreFile when the package cannot be
// built.
QByteArray documentoDocx(const QTextDocument& documento);

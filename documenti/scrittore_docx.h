#pragma once

#include "errori/avanzamento.h"

#include <QByteArray>

class QTextDocument;

// The document as a WordprocessingML package (.docx): paragraphs with their
// alignment (and kept with the next where marked), runs with font name and
// size, tables with their column widths, repeating heading rows and a thin
// line round every cell, pictures inline at the size they are shown, on the
// report's page with its page numbers and the document's header, with its
// title, author and subject as core properties. Raises ErroreFile when the
// package cannot be built; Annullato when `avanzamento` stops the walk over
// the document.
QByteArray documentoDocx(const QTextDocument& documento, Avanzamento avanzamento = {});

#pragma once

#include "errori/avanzamento.h"

#include <QByteArray>

class QTextDocument;

// The document as an OpenDocument text package (.odt, ODF 1.2): what the
// .docx holds, written the ODF way: the same paragraphs, fonts, tables,
// heading rows, cell lines and pictures, on the same page with the same
// page numbers and header, the same properties in meta.xml. Raises
// ErroreFile when the package cannot be built; Annullato when `avanzamento`
// stops the walk over the document.
QByteArray documentoOdt(const QTextDocument& documento, Avanzamento avanzamento = {});

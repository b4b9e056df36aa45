#pragma once

#include "errori/avanzamento.h"

#include <optional>
#include <string>
#include <string_view>

class QTextDocument;

enum class FormatoDocumento { Docx, Odt, Pdf, Html };

// The format that a file name's extension names: .docx, .odt, .pdf, .html
// (or .htm), in any case; none for another extension.
std::optional<FormatoDocumento> formatoDaNome(std::string_view percorso);

// Saves the document whole, in the format of the extension, under the path's
// exact bytes. Raises ErroreFile naming the path and the reason; a failed
// save leaves no file behind and an existing one as it was. `avanzamento`
// hears how far the composing has come, and may stop it: Annullato, with the
// file, or its absence, as it was.
void salvaDocumento(const QTextDocument& documento, const std::string& percorso,
                    Avanzamento avanzamento = {});

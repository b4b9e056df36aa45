#pragma once

#include <string>

// The word processor's refusals, with the numbers a word processor gives
// them, so that a report that handles them by number handles them alike.
namespace errori_elaboratore {

[[noreturn]] void rifiuta(int numero, const std::string& descrizione);
[[noreturn]] void fuoriIntervallo();    // 4608: a value out of the allowed range
[[noreturn]] void membroInesistente();  // 5941: no such member of a collection
[[noreturn]] void parametroNonValido(); // 4120
[[noreturn]] void nessunDocumento();    // 4248: no document is open
[[noreturn]] void documentoChiuso();    // 4248: the document is no longer open

} // namespace errori_elaboratore

#pragma once

#include "numeri/separatore.h"
#include "valutazione/valutazione.h"

#include <string>
#include <vector>

// The verdicts of an evaluation in words, as every report and page states
// them: decided by the evaluation, only put into sentences here.
namespace valutazione {

// The typical section's verdict: "Conclusione: …" for a report of the
// section alone, "Esito della sezione tipo: …" within a line's.
std::string conclusioneSezione(const Valutazione& valutazione, Separatore separatore);

// The line's conclusions, one paragraph each: one statement on every reach,
// every manhole, the network's shape and the typical section when it is
// reported, then the drop manholes provided for. The work is called fit
// only when the evaluation finds it so. Items that pass by an exception are
// counted, pointing to `tabellaDeroghe` ("tabella 5") when the report has one.
std::vector<std::string> conclusioniLinea(const Valutazione& valutazione, Separatore separatore,
                                          const std::string& tabellaDeroghe = {});

} // namespace valutazione

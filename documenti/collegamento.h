#pragma once

#include "documenti/automazione.h"

#include <functional>
#include <string>

// How a report reaches the word processor: it attaches to the one open now,
// or starts one through what the program installed (the report window, or a
// processor without a window on the command line). Both raise the run-time
// error when they cannot.
namespace Collegamento {

Word::Applicazione GetObject();
Word::Applicazione CreateObject();

// The processor open now, or one started and shown, for a report that
// appends to it: a new document goes at the end of it.
ElaboratoreTesti* ElaboratoreVisibile();

using Avvio = std::function<ElaboratoreTesti*()>;
void InstallaAvvio(Avvio avvio);

// A message box with an OK button and the platform's own caption.
using Messaggio = std::function<void(const std::string& testo)>;
void InstallaMessaggio(Messaggio messaggio);
void MsgBox(const std::string& testo);

} // namespace Collegamento

#pragma once

#include "documenti/automazione.h"

#include <functional>
#include <string>

// How a report reaches the word processor: it attaches to the one open now,
// or starts one through what its owner gave it (the report window, or a
// processor without a window on the command line). Both raise the run-time
// error when they cannot.
class Collegamento {
  public:
    // Starts a word processor, or none.
    using Avvio = std::function<ElaboratoreTesti*()>;
    // A message box with an OK button and the platform's own caption.
    using Messaggio = std::function<void(const std::string& testo)>;

    // Without a message box, a message goes to standard error.
    explicit Collegamento(Avvio avvio = {}, Messaggio messaggio = {});

    Word::Applicazione GetObject() const;
    Word::Applicazione CreateObject() const;

    // The processor open now, or one started and shown, for a report that
    // appends to it: a new document goes at the end of it.
    ElaboratoreTesti* ElaboratoreVisibile() const;

    void MsgBox(const std::string& testo) const;

  private:
    Avvio avvio_;
    Messaggio messaggio_;
};

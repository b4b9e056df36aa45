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

// A lead-in and the lines it introduces, each a few words.
struct Elenco {
    std::string titolo;
    std::vector<std::string> voci;

    bool operator==(const Elenco&) const = default;
};

// An item that fails a check: one row of the table of failures.
struct Mancanza {
    std::string elemento; // "tratto P4-P5", "pozzetto P5", "rete", "sezione tipo"
    std::string verifica; // the check, as tratti::verificaDi names it
    std::string valori;   // found against the limit, where it was found
    std::string rimedio;  // on a reach's first row it mends; empty: none told

    bool operator==(const Mancanza&) const = default;
};

// The table of failures' heading, and its caption.
inline constexpr const char* colonneMancanze[] = {"Elemento", "Verifica",
                                                  "Valori (trovato e limite)", "Rimedio"};
inline constexpr const char* didascaliaMancanze =
    "Elementi non verificati: controllo, valori a confronto e rimedio.";

// The line's conclusion, decided by the evaluation, for every front end to
// render in this order: one sentence of verdict; how many items fail each
// check; the table of the failures; the items that pass by an exception;
// the provisions of the design (drop manholes). The work is called fit
// only when the evaluation finds it so. Long enumerations go in the table
// and the lists, never in the sentence.
struct ConclusioneLinea {
    bool idonea = false;
    std::string giudizio;
    Elenco conteggi;
    std::vector<Mancanza> mancanze;
    Elenco deroghe;
    Elenco provvedimenti;

    bool operator==(const ConclusioneLinea&) const = default;
};

// `tabellaDeroghe` ("tabella 5") is where the report lists the exceptions,
// when it has them: the list of the items passing by one points to it.
ConclusioneLinea conclusioneLinea(const Valutazione& valutazione, Separatore separatore,
                                  const std::string& tabellaDeroghe = {});

} // namespace valutazione

#pragma once

#include "calc/tabella.h"
#include "progetto/progetto.h"
#include "progetto/righe_tratti.h"
#include "tratti/deroghe.h"
#include "tratti/fermo.h"
#include "tratti/rete.h"
#include "valutazione/sezione.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// Everything the program says about a project, decided once: the main
// window's table, the design answers with their checks, the line's settings
// or the box that stops them, the network's results and the verdict on the
// whole work. Every window, report, command and page renders a Valutazione
// and decides nothing of its own; words and numbers come at the edge.
namespace valutazione {

// The main window's table, as the window computes it from its boxes; none
// when an input is not a positive number or the computation failed.
struct Tabella {
    std::optional<calcolo::Tabella> tabella;
    std::string errore; // a computation that failed, in the window's words
    // Bazin's γ of the main window, when its box holds a positive number:
    // the law of the answers and of the line when theirs has none.
    std::optional<double> coeffBazin;
};
// The project's boxes read as the main window reads them, with its steps.
Tabella tabellaDi(const progetto::Ingressi& ingressi);
// A table already computed: the main window's, or the command line's.
Tabella tabellaCalcolata(calcolo::Tabella tabella);

// How the line of reaches is checked, or the box that stops it.
struct Linea {
    std::optional<tratti::Impostazioni> impostazioni;
    std::optional<CasellaSbagliata> impedimento;
    bool leggeDellaTabella = false; // Bazin with the main window's γ
};

// The reaches and manholes of the project, read, and the network computed.
struct Rete {
    std::vector<progetto::RigaLetta> righe;  // the rows not blank, each read
    std::vector<tratti::Tratto> tratti;      // of the rows that read, in order
    std::vector<std::size_t> righeDeiTratti; // each reach's row, from 1
    std::vector<tratti::Pozzetto> pozzetti;  // the manholes listed
    std::vector<tratti::Deroga> deroghe;     // the designer's exceptions
    std::optional<tratti::EsitiRete> esiti;  // none without the line's settings
    // What each exception accepted, in their order, once computed.
    std::vector<tratti::DerogaApplicata> derogheApplicate;
};

// The verdict on the whole work, as a conclusion states it.
struct Giudizio {
    std::size_t tratti = 0;       // rows not blank
    std::size_t verificati = 0;   // reaches that pass
    std::size_t conDeroga = 0;    // of those, reaches that pass by an exception
    std::size_t nonCalcolati = 0; // reaches that read but cannot be computed
    std::size_t illeggibili = 0;  // rows with a cell that does not read
    std::size_t pozzetti = 0;     // manholes checked: used, or failing
    std::size_t pozzettiVerificati = 0;
    std::size_t pozzettiConDeroga = 0;
    std::vector<std::string> pozzettiDiSalto; // provisions: drop manholes
    bool formaSbagliata = false;              // a loop, a split, a manhole unused…
    bool sezioneTipo = false;                 // the typical section is reported
    // The work is fit: with reaches, every one of them and every manhole
    // passes under the line's settings and the network has its shape, and
    // the typical section, when reported, holds every check it has. A
    // provision fails nothing. None when there is nothing to judge: no
    // reaches and no design values.
    std::optional<bool> idonea;
};

struct Valutazione {
    Tabella tabella;
    Sezione sezione;
    Linea linea;
    Rete rete;
    Giudizio giudizio;
};

// The whole project, its table from its own boxes.
Valutazione valuta(const progetto::Progetto& progetto);
// The same with the table of the caller: the main window's, or the command
// line's computed from its options.
Valutazione valuta(const progetto::Progetto& progetto, Tabella tabella);

// Its steps, for a window that computes the network off its thread: each
// decides what valuta decides, and valuta is no more than them in turn.
Linea lineaDi(const progetto::Progetto& progetto, const Tabella& tabella);
Rete reteDi(const progetto::Progetto& progetto);
// The project's exceptions as the network takes them; one naming a check
// that is not one is left out (a project file refuses it).
std::vector<tratti::Deroga> derogheDi(const std::vector<progetto::RigaDeroga>& righe);
// Computes the network of `rete` under the line's settings, when there are
// any, with `verifica` and `fermo` as tratti::calcolaRete takes them;
// false when asked to stop first.
bool calcola(Rete& rete, const Linea& linea, tratti::Verifica verifica = {},
             tratti::Fermo fermo = {});
Giudizio giudica(const progetto::Progetto& progetto, const Valutazione& valutazione);

} // namespace valutazione

#pragma once

#include "analisi/risposte.h"
#include "analisi/tabella_analisi.h"
#include "analisi/verifiche.h"
#include "calc/tabella.h"
#include "progetto/legge_progetto.h"
#include "progetto/progetto.h"

#include <optional>
#include <string>
#include <vector>

// The section of "Scala di deflusso e verifiche" and what its checks find,
// before a word is written: the section and law of the checks, the
// answers, each limit checked at each height with the values compared, and
// the verdicts counted.
namespace valutazione {

// A box that does not read, and so stops what needs it.
struct CasellaSbagliata {
    std::string chiave; // its key in the project ("verifiche.scabrezza")
    std::string nome;   // in words ("il coefficiente della legge di resistenza")
    std::string testo;  // as typed
    std::string motivo; // why, in Italian
};
// "il coefficiente della legge di resistenza («abc»): Non è un numero", to be
// followed by the sentence's own end.
std::string testoCasella(const CasellaSbagliata& casella);

// The box of the analysis window's law that does not read.
CasellaSbagliata casellaDellaLegge(const progetto::LeggeLetta& legge,
                                   const progetto::Verifiche& verifiche);
// The first box of the limits that holds a text but not a limit: not a
// positive number, or a filling beyond 100 %; none when each is empty (the
// proposal) or a limit.
std::optional<CasellaSbagliata> casellaDeiLimiti(const progetto::Verifiche& verifiche);

// A limit checked at one height, in the units of its box (cm/s, %).
struct Controllo {
    enum class Limite { VelocitaMinima, VelocitaMassima, RiempimentoMassimo };
    Limite limite;
    double valore;
    double soglia;
    bool rispettato;
};

struct AltezzaVerificata {
    analisi::Risposta risposta;
    std::vector<Controllo> controlli;
};

// A design value checked: its heights, none when the section never
// reaches it.
struct ValoreVerificato {
    enum class Quale { Portata, PortataMinima, Velocita };
    Quale quale;
    std::vector<AltezzaVerificata> altezze;
};

struct Sezione {
    progetto::LeggeLetta legge; // the law of the answers, as its boxes read
    // The section checked, with its law and geometry; none without a table,
    // or while a box of the law does not read (`impedimento`).
    std::optional<analisi::Sezione> sezione;
    std::optional<CasellaSbagliata> impedimento;
    analisi::Limiti limiti;              // a box left empty: the proposal
    std::optional<double> portata;       // l/s, as read
    std::optional<double> portataMinima; // l/s
    std::optional<double> velocita;      // cm/s
    // The design values whose box holds a text that is not a number.
    std::vector<ValoreVerificato::Quale> illeggibili;
    std::optional<analisi::Risposte> risposte;
    analisi::RisposteRichieste richieste;
    std::vector<RigaAnalisi> righe; // the answers as the window's table shows them
    std::vector<ValoreVerificato> verifiche;
    std::string errore; // a computation that failed, in words
    int soddisfatte = 0;
    int nonSoddisfatte = 0;
    // What fails, in the conclusion's words, each once, in order.
    std::vector<std::string> mancate;
};

// The section of the main window's table under the analysis window's
// boxes. The law is read as that window reads it: Bazin with an empty
// coefficient takes the table's γ, and a box of the law or of the limits
// that does not read leaves no section, never another law or limit.
Sezione sezioneDi(const progetto::Progetto& progetto,
                  const std::optional<calcolo::Tabella>& tabella);

// The limit's name and symbol in the report's words.
const char* nomeLimite(Controllo::Limite limite);
const char* simboloLimite(Controllo::Limite limite);
// The design value's name ("portata di progetto").
const char* nomeValore(ValoreVerificato::Quale quale);

} // namespace valutazione

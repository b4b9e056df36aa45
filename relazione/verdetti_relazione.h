#pragma once

#include "analisi/risposte.h"
#include "analisi/verifiche.h"
#include "calc/tabella.h"
#include "progetto/legge_progetto.h"
#include "progetto/progetto.h"

#include <optional>
#include <string>
#include <vector>

// What the calculation report finds of the section, before a word is
// written: the section and law of the checks, the answers, each limit
// checked at each height with the values compared, and the verdicts
// counted. The report's sections only put it in words.
namespace relazione {

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

// A design value the report checks: its heights, none when the section
// never reaches it.
struct ValoreVerificato {
    enum class Quale { Portata, PortataMinima, Velocita };
    Quale quale;
    std::vector<AltezzaVerificata> altezze;
};

struct VerdettiSezione {
    progetto::LeggeLetta leggeVerifiche;
    analisi::Sezione sezione; // the section of the checks, with their law and geometry
    analisi::Risposte risposte;
    analisi::Limiti limiti;
    std::optional<double> portata;       // l/s, as read
    std::optional<double> portataMinima; // l/s
    std::optional<double> velocita;      // cm/s
    analisi::RisposteRichieste richieste;
    // The design values whose box holds a text that is not a number.
    std::vector<ValoreVerificato::Quale> illeggibili;
    std::vector<ValoreVerificato> verifiche;
    int soddisfatte = 0;
    int nonSoddisfatte = 0;
    // What fails, in the conclusion's words, each once, in order.
    std::vector<std::string> mancate;
};

VerdettiSezione verdettiSezione(const progetto::Progetto& progetto,
                                const calcolo::Tabella& tabella);

// The limit's name and symbol in the report's words.
const char* nomeLimite(Controllo::Limite limite);
const char* simboloLimite(Controllo::Limite limite);
// The design value's name ("portata di progetto").
const char* nomeValore(ValoreVerificato::Quale quale);

} // namespace relazione

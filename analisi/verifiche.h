#pragma once

#include "analisi/risposte.h"

#include <optional>
#include <string>
#include <vector>

// The answers a designer checks, labelled and tested against the limits of
// the design: the heights of the design flow (Q1, Q2, …) and of the design
// velocity (V1, V2, …), the height of the dry-weather flow (Qmin), then, for
// reference only, the full section and the true maxima.
namespace analisi {

// What a row is for, and so which limits hold it.
enum class Ruolo {
    Progetto,   // a height the sewer is designed to run at: every limit
    Minima,     // the dry-weather flow: the self-cleansing velocity only; the
                // filling and the scour are the design flow's to answer
    Riferimento // the full section and the maxima, shown for comparison: none
};

struct RispostaEtichettata {
    std::string etichetta;
    Risposta risposta;
    Ruolo ruolo = Ruolo::Progetto;
};

struct RisposteRichieste {
    std::vector<Risposta> altezzePortata;   // the heights of the design flow
    std::vector<Risposta> altezzeVelocita;  // the heights of the design velocity
    std::optional<Risposta> altezzaMinima;  // the lowest height of the minimum flow
    std::vector<RispostaEtichettata> righe; // all of them labelled, then the three
    bool portataRaggiunta = true;           // the design flow has at least one height
    bool velocitaRaggiunta = true;          // the design velocity has at least one height
    bool portataMinimaRaggiunta = true;     // the minimum flow has a height
};

// Flows in m³/s, velocity in m/s; each may be absent.
RisposteRichieste risposteRichieste(const Risposte& risposte, std::optional<double> portata,
                                    std::optional<double> velocita,
                                    std::optional<double> portataMinima = std::nullopt);

// The limits a sewer is designed to: a least velocity that keeps it clean,
// a greatest that does not scour it, a greatest filling h/H.
struct Limiti {
    double velocitaMinima = 0.5;     // m/s
    double velocitaMassima = 4.0;    // m/s
    double riempimentoMassimo = 0.7; // h/H

    bool operator==(const Limiti&) const = default;
};

// What an answer breaks, if anything.
struct Esito {
    bool velocitaBassa = false;
    bool velocitaAlta = false;
    bool troppoPiena = false;

    bool conforme() const { return !velocitaBassa && !velocitaAlta && !troppoPiena; }
    // In words, for the tables: "conforme", or what is broken.
    std::string testo() const;
};

Esito verifica(const Risposta& risposta, const Limiti& limiti);
// The verdict on a row by its role: none for a reference row.
std::optional<Esito> verifica(const RispostaEtichettata& riga, const Limiti& limiti);

} // namespace analisi

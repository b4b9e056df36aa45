#pragma once

#include "calc/formule_sezione.h"
#include "calc/tabella.h"

#include <cstddef>
#include <optional>
#include <vector>

// What a designer asks of a section under uniform flow: the full section,
// the true heights of maximum velocity and flow, the heights at which a
// design flow or velocity is reached, the rating curves. Everything in SI
// units; every value comes from the formulas of formule_sezione.h. A fault
// of the formulas raises ErroreRuntime, and so does a section whose values
// underflow (a radius or slope at the edge of the doubles).
namespace analisi {

struct Sezione {
    double raggio = 0;              // characteristic radius r, m (width 2r, height 3r)
    double pendenza = 0;            // bed slope i, m/m
    formule::Resistenza resistenza; // the law of uniform flow and its coefficient
    formule::Geometria geometria = formule::Geometria::Tabellare;

    // H = 3r, computed as the formulas compute it, so that it is the full
    // section.
    double altezzaPiena() const;
};

// The quantities at one height, as a row of the table holds them.
using Grandezze = calcolo::Riga;

Grandezze grandezze(const Sezione& sezione, double altezza);

// Whether the law gives the flow a velocity at that height. In the first
// millimetres of water of a very rough or very flat sewer, Colebrook–White's
// closed form gives V < 0: the flow there is not turbulent and the law does
// not hold, which every output says. (A velocity that underflows to 0, at a
// slope at the edge of the doubles, is a velocity of 0.)
inline bool turbolento(const Grandezze& g) {
    return !(g.velocita < 0);
}
inline constexpr const char* notaMotoNonTurbolento = "moto non turbolento: legge non applicabile";

// An answer: the quantities at its height, with the filling h/H and the
// flow relative to the full section's.
struct Risposta : Grandezze {
    double riempimento = 0;
    double portataRelativa = 0;
};

// The heights of the true maxima of the velocity and of the flow.
struct AltezzeMassime {
    double velocita = 0;
    double portata = 0;
};

// Whether the law has Chézy's form, V = C(R) √(R i): the slope then only
// scales V and Q, and the heights of their maxima are the section's own.
// Colebrook–White's is not: its friction depends on the velocity.
bool formaDiChezy(const formule::Resistenza& resistenza);

// The heights of the maxima. Under a law of Chézy's form they are searched
// at one slope of reference, so that every slope of the section shares them
// to the last bit and a line of reaches can search them once per size.
// Counts the formulas' evaluations into `valutazioni`, when given.
AltezzeMassime altezzeMassime(const Sezione& sezione, std::size_t* valutazioni = nullptr);

// The section at r/5 and just above it, once computed.
struct Bordi {
    std::optional<Grandezze> quinto, sopra;
};

class Risposte {
  public:
    // Computes the full section and the true maxima.
    explicit Risposte(const Sezione& sezione);
    // The same, with the heights of the maxima already found for the
    // section's shape (altezzeMassime).
    Risposte(const Sezione& sezione, const AltezzeMassime& massime);

    const Sezione& sezione() const { return sezione_; }
    Risposta allAltezza(double altezza) const;

    const Risposta& piena() const { return piena_; }
    const Risposta& velocitaMassima() const { return velocitaMassima_; }
    const Risposta& portataMassima() const { return portataMassima_; }

    // Every height where the flow (m³/s) or the velocity (m/s) takes the
    // value, lowest first; none for a value above the maximum or not
    // positive.
    std::vector<Risposta> perPortata(double portata) const;
    std::vector<Risposta> perVelocita(double velocita) const;
    // The lowest height of the flow alone, as perPortata's first: what a
    // sewer runs at.
    std::optional<Risposta> primaPerPortata(double portata) const;

    // How many times the searches have evaluated the formulas so far: each
    // answer costs a bounded number of them, whatever the section.
    std::size_t valutazioni() const { return valutazioni_; }

  private:
    std::vector<Risposta> alleAltezze(const std::vector<Grandezze>& trovate) const;
    Risposta risposta(const Grandezze& g) const;
    void alleMassime(const AltezzeMassime& massime);

    Sezione sezione_;
    Risposta piena_;
    Risposta velocitaMassima_;
    Risposta portataMassima_;
    mutable std::size_t valutazioni_ = 0;
    mutable Bordi bordi_;
};

// N evenly spaced heights k × H / N for k = 1 to N, the last one the full
// section.
std::vector<Grandezze> curva(const Sezione& sezione, int punti);

// How far the table's formulas are from the exact section at a height: the
// flow of the one over the flow of the other, less one, in percent.
double scartoTabellarePercento(const Sezione& sezione, double altezza);

} // namespace analisi

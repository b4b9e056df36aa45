#pragma once

#include "analisi/risposte.h"
#include "analisi/verifiche.h"
#include "tratti/rilievi.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A sewer line checked reach by reach: each reach at its design flow and at
// its dry-weather flow, against the limits of the line; a reach left
// without a radius takes the smallest size of the catalogue that keeps
// them all.
namespace tratti {

struct Tratto {
    std::string nome;
    // The manholes it joins, the water running from the first to the
    // second; empty where it names none. A reach that names none is checked
    // on its own.
    std::string pozzettoMonte, pozzettoValle;
    std::optional<double> lunghezza;              // m
    std::optional<double> pendenza;               // m/m; when given, it wins over the quotas
    std::optional<double> quotaMonte, quotaValle; // m: the slope (monte − valle) / lunghezza
    std::optional<double> raggio;                 // cm; none: sized from the catalogue
    double portata = 0;                           // l/s, design flow
    std::optional<double> portataMinima;          // l/s, dry-weather flow
    // The reach's own wall, over the line's law. The water is the line's:
    // Colebrook–White takes the line's temperature.
    std::optional<formule::Resistenza> resistenza;
    // Built and surveyed: its section and inverts are as typed, never sized
    // nor levelled by the program.
    bool esistente = false;

    // The slope given, else the quotas' over the length; none when neither
    // is complete.
    std::optional<double> pendenzaDiCalcolo() const;
    // The line's law, or the reach's own wall over it.
    formule::Resistenza resistenzaDi(const formule::Resistenza& linea) const;

    bool operator==(const Tratto&) const = default;
};

// How a reach leaving a manhole is set against the reaches coming in.
enum class Allineamento {
    Cieli, // its crown no higher than the lowest incoming crown
    Pelo,  // its water, at the design flow, no higher than the lowest incoming
    Fondo, // its invert that of the incoming reaches: no drop
    // Of one manhole only: a connection fixed by survey, held to no rule;
    // levels are carried through it as under Fondo.
    Nessuno,
};

// "cieli", "pelo", "fondo" ("nessuna", a manhole's), as files and the
// command line name them; and back, none for another text: the line's
// rule is one of the first three, a manhole's may be any.
std::string_view nomeAllineamento(Allineamento allineamento);
std::optional<Allineamento> allineamentoDaNome(std::string_view nome);
std::optional<Allineamento> allineamentoPozzettoDaNome(std::string_view nome);

// What the whole line shares.
struct Impostazioni {
    formule::Resistenza resistenza; // the project's law
    formule::Geometria geometria = formule::Geometria::Tabellare;
    analisi::Limiti limiti;
    std::vector<double> catalogo = {25, 30, 35, 40, 45, 50, 60, 70, 80, 90, 100}; // r, cm
    Allineamento allineamento = Allineamento::Cieli;
    double ricoprimentoMinimo = 1.0;         // m of ground over the crown
    std::optional<double> profonditaMassima; // m from the ground to the invert
    std::optional<double> saltoMassimo;      // m; a larger drop needs a drop manhole

    bool operator==(const Impostazioni&) const = default;
};

struct Esito {
    double raggio = 0;         // cm, typed or chosen (dimensiona: when none fits,
                               // the smallest within the filling, else the largest)
    bool dimensionato = false; // chosen from the catalogue
    double pendenza = 0;
    // At the lowest height of the design flow (as --portata's Q1), and at
    // the height of the minimum flow (as --portata-minima's Qmin); none
    // where the section never carries that flow.
    std::optional<analisi::Risposta> progetto;
    std::optional<analisi::Risposta> minima;
    double portataPiena = 0; // m³/s
    // The slopes within which the reach at its size keeps every limit of
    // its own; none where no slope bounds it on that side. With
    // `senzaPendenza`, no slope keeps them all.
    std::optional<double> pendenzaMinima, pendenzaMassima;
    bool senzaPendenza = false;
    // In a line: the inverts as used, typed or computed (m); the largest
    // drop into the reach at its upstream manhole and the least cover over
    // its crown at its ends (m), where the levels allow them.
    std::optional<double> quotaMonte, quotaValle;
    std::optional<double> salto;
    std::optional<double> ricoprimento;
    bool verificato = false;
    bool conDeroga = false; // some failing check accepted by the designer, with a reason
    bool calcolato = true;  // false: its data or the computation did not allow it
    // What the checks found, in the order they are told: the shape's and
    // the network's faults, a sizing that found no size, each limit broken
    // with the values compared, what would mend it; the warnings and
    // provisions.
    std::vector<Rilievo> rilievi;

    // The verdict in words: "verificato", "verificato con deroga", "non
    // verificato" or "non calcolato".
    const char* verdetto() const {
        return !calcolato    ? "non calcolato"
               : !verificato ? "non verificato"
               : conDeroga   ? "verificato con deroga"
                             : "verificato";
    }
};

// The design flow is held to every limit, the minimum flow to the
// self-cleansing velocity only, as the analysis window holds them. Data that
// cannot be computed with, or a fault of the computation, make the reach
// "non calcolato" with the reason; the other reaches are not touched. A
// reach without a radius is sized on its own (dimensiona, from no size up).
Esito verifica(const Tratto& tratto, const Impostazioni& impostazioni);

// The reach at its radius, which it must have. `massime`, when given, are
// the heights of the maxima of its section's shape (analisi::altezzeMassime),
// shared by every reach of that size.
Esito verificaAllaMisura(const Tratto& tratto, const Impostazioni& impostazioni,
                         const analisi::AltezzeMassime* massime = nullptr);
// The same without the slopes it would pass within (the costlier part),
// for the sizes a line tries and does not keep.
Esito verificaSenzaPendenze(const Tratto& tratto, const Impostazioni& impostazioni,
                            const analisi::AltezzeMassime* massime = nullptr);
// Adds to a result at the reach's radius the slopes it would pass within,
// and to a failing one's reason the slope that would make it pass.
void aggiungiPendenze(const Tratto& tratto, const Impostazioni& impostazioni, Esito& esito,
                      const analisi::AltezzeMassime* massime = nullptr);

// Why the reach's data cannot be computed with, as its result; none when
// they can.
std::optional<Esito> nonCalcolabile(const Tratto& tratto);

// A reach at a size, as a line computes it: verifica, or a test's own.
using Verifica = std::function<Esito(const Tratto&, const Impostazioni&)>;

// The heights of the maxima of each size's shape, searched once for a line
// and shared by every reach of that size (and slope, under
// Colebrook–White): to the last bit those each reach would search. Safe to
// use from several threads at once.
class MassimeCondivise {
  public:
    MassimeCondivise();
    ~MassimeCondivise();
    // Of the reach at its radius; none when its data or the search do not
    // allow them.
    std::optional<analisi::AltezzeMassime> per(const Tratto& tratto,
                                               const Impostazioni& impostazioni);

  private:
    struct Memoria;
    std::unique_ptr<Memoria> memoria_;
};

// verificaSenzaPendenze for a whole line, with the maxima shared.
Verifica verificaCondivisa(std::shared_ptr<MassimeCondivise> massime);

} // namespace tratti

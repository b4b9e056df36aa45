#pragma once

#include "analisi/risposte.h"
#include "analisi/verifiche.h"

#include <optional>
#include <string>
#include <vector>

// A sewer line checked reach by reach: each reach at its design flow and at
// its dry-weather flow, against the limits of the line; a reach left
// without a radius takes the smallest size of the catalogue that keeps
// them all.
namespace tratti {

struct Tratto {
    std::string nome;
    std::optional<double> lunghezza;              // m
    std::optional<double> pendenza;               // m/m; when given, it wins over the quotas
    std::optional<double> quotaMonte, quotaValle; // m: the slope (monte − valle) / lunghezza
    std::optional<double> raggio;                 // cm; none: sized from the catalogue
    double portata = 0;                           // l/s, design flow
    std::optional<double> portataMinima;          // l/s, dry-weather flow
    // The reach's own wall, over the line's law. The water is the line's:
    // Colebrook–White takes the line's temperature.
    std::optional<formule::Resistenza> resistenza;

    // The slope given, else the quotas' over the length; none when neither
    // is complete.
    std::optional<double> pendenzaDiCalcolo() const;
    // The line's law, or the reach's own wall over it.
    formule::Resistenza resistenzaDi(const formule::Resistenza& linea) const;

    bool operator==(const Tratto&) const = default;
};

// What the whole line shares.
struct Impostazioni {
    formule::Resistenza resistenza; // the project's law
    formule::Geometria geometria = formule::Geometria::Tabellare;
    analisi::Limiti limiti;
    std::vector<double> catalogo = {25, 30, 35, 40, 45, 50, 60, 70, 80, 90, 100}; // r, cm

    bool operator==(const Impostazioni&) const = default;
};

struct Esito {
    double raggio = 0;         // cm, typed or chosen (the largest when none fits)
    bool dimensionato = false; // chosen from the catalogue
    double pendenza = 0;
    // At the lowest height of the design flow (as --portata's Q1), and at
    // the height of the minimum flow (as --portata-minima's Qmin); none
    // where the section never carries that flow.
    std::optional<analisi::Risposta> progetto;
    std::optional<analisi::Risposta> minima;
    double portataPiena = 0; // m³/s
    bool verificato = false;
    bool calcolato = true; // false: its data or the computation did not allow it
    std::string motivo;    // each limit broken, in words with the values; or why no size fits

    // The verdict in words: "verificato", "non verificato" or "non calcolato".
    const char* verdetto() const {
        return !calcolato ? "non calcolato" : verificato ? "verificato" : "non verificato";
    }
};

// The design flow is held to every limit, the minimum flow to the
// self-cleansing velocity only, as the analysis window holds them. Data that
// cannot be computed with, or a fault of the computation, make the reach
// "non calcolato" with the reason; the other reaches are not touched.
Esito verifica(const Tratto& tratto, const Impostazioni& impostazioni);
std::vector<Esito> verificaTutti(const std::vector<Tratto>& tratti,
                                 const Impostazioni& impostazioni);

} // namespace tratti

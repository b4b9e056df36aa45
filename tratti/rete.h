#pragma once

#include "tratti/fermo.h"
#include "tratti/tratto.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// A sewer line as a network: reaches joined at named manholes, each
// connected part a tree running to one outlet. Sizes never shrink
// downstream, the inverts are carried from reach to reach by the line's
// alignment rule, and each manhole is checked for continuity.
namespace tratti {

struct Pozzetto {
    std::string nome;
    std::optional<double> quotaTerreno; // m
    std::string nota;
    // The rule of the reach leaving it; none: the line's.
    std::optional<Allineamento> allineamento = std::nullopt;

    bool operator==(const Pozzetto&) const = default;
};

// A fault of the network's shape, which leaves its part unchecked as a
// network: its reaches are checked each on its own.
struct ErroreRete {
    // The fault, with the manhole it concerns and the first few reaches it
    // names: a loop of thousands of reaches is said once, in a line.
    Rilievo rilievo;
    std::vector<std::size_t> tratti; // the reaches involved, by index
};

// How many reaches a fault of the shape names before "e altri N".
inline constexpr std::size_t trattiNominati = 10;

struct EsitoPozzetto {
    std::string nome;
    std::optional<double> quotaTerreno;
    // The invert of the reach leaving it; at an outlet, the lowest coming in.
    std::optional<double> quotaFondo;
    // m from the ground to the lowest invert at it, coming in or going out:
    // the depth of its shaft, where both are known.
    std::optional<double> profondita;
    std::optional<double> salto; // m, the largest drop into the reach leaving it
    bool sbocco = false;         // no reach leaves it
    bool usato = true;           // some reach names it
    // The least cover over the crowns of the reaches it joins (m), where
    // the levels allow it; what the continuity checks found at it, the
    // faults of the shape first.
    std::optional<double> ricoprimento;
    std::vector<Rilievo> rilievi;

    // Whether it fails none of its checks: a provision made for it (a drop
    // manhole) fails nothing.
    bool verificato() const;
    // Whether the designer accepted some fault of it, with a reason.
    bool conDeroga() const;
};

// A connected part of the network, running to its outlet.
struct Albero {
    std::string sbocco;
    std::size_t tratti = 0;
    bool conQuote = false; // some invert is known, so the levels are computed
};

struct EsitiRete {
    std::vector<Esito> esiti; // one a reach, in their order
    // The manholes given, then those only the reaches name, in order.
    std::vector<EsitoPozzetto> pozzetti;
    std::vector<ErroreRete> errori;
    std::vector<Albero> alberi;
};

// The line's reaches, with the manholes' ground levels and notes, checked
// as a network; each reach at a size by `verifica` (none: the real one,
// verificaCondivisa), which may be called from several threads at once.
// The slopes each reach would pass within are added to its result at its
// size where `verifica` gives none. A reach that names no manhole is
// checked on its own. None when `fermo` asks to stop first.
std::optional<EsitiRete> calcolaRete(const std::vector<Tratto>& tratti,
                                     const std::vector<Pozzetto>& pozzetti,
                                     const Impostazioni& impostazioni, Verifica verifica = {},
                                     Fermo fermo = {});

// The results alone, of reaches with no list of manholes.
std::vector<Esito> verificaTutti(const std::vector<Tratto>& tratti,
                                 const Impostazioni& impostazioni);

} // namespace tratti

#pragma once

#include "analisi/pendenze.h"

#include <cstddef>
#include <string>
#include <vector>

// What a check of a line found, as values: the kind of check, the values
// compared and the names involved. Words come at the edge (parole.h), with
// the decimal separator of whoever reads them.
namespace tratti {

enum class Allineamento;

// How much a finding weighs on its reach or manhole.
enum class Gravita {
    Difetto,       // it fails the item
    Provvedimento, // the item passes with a provision made for it: a drop manhole
    Rimedio,       // what would mend a failing item, told after its faults
    Avviso,        // worth a look, fails nothing
    Deroga,        // a fault the designer accepted, with the reason: fails nothing
};

struct Rilievo {
    enum class Tipo {
        // A reach at one of its flows.
        VelocitaBassa,
        VelocitaAlta,
        RiempimentoAlto,
        PortataNonRaggiunta,
        // What would mend a reach at its size.
        PendenzaMinima,
        PendenzaMassima,
        NessunaPendenza,
        NessunaPendenzaAmmessa,
        // The sizing from the catalogue.
        CatalogoSenzaRaggi,
        NessunRaggioEntroRiempimento,
        NessunRaggio,
        // What a reach lacks to be computed, or a fault of the computation.
        MancaPendenza,
        PendenzaNonPositiva,
        PendenzaFuoriDaiNumeri,
        RaggioNonPositivo,
        PortataNonPositiva,
        ErroreCalcolo,
        RisultatoFuoriDaiNumeri,
        EsistenteSenzaRaggio, // an existing reach is never sized
        // Continuity at a manhole, and cover and depth at a reach's ends.
        SezioneRidotta,
        Contropendenza,
        FondiNonAllineati,
        SopraAllineamento,
        SaltoOltreIlMassimo,
        RicoprimentoInsufficiente,
        ScavoOltreIlMassimo,
        PortataMinoreAMonte,
        QuoteNonCalcolate,     // the levels stop at a reach without a length or a slope, or
                               // a tree with ground levels has no invert at all
        ReteConErrore,         // of a reach: its levels are not checked
        PozzettoNonVerificato, // of a manhole of that network
        Esistente,             // a reach as built: its section and inverts as surveyed
        PendenzaControQuote,   // a slope typed that the inverts typed over the length deny
        // The network's shape.
        Diramazione,
        Anello,
        TrattoSuSeStesso,
        PozzettoElencatoDueVolte,
        PozzettoNonUsato,
    };
    enum class Portata { Progetto, Minima };
    enum class Estremo { Monte, Valle };

    explicit Rilievo(Tipo tipo) : tipo(tipo) {}

    Tipo tipo;
    Portata portata = Portata::Progetto;
    Estremo estremo = Estremo::Monte;
    analisi::VincoloPendenza vincolo = analisi::VincoloPendenza::Autopulizia;
    bool cieli = true;          // the alignment broken: the crowns', else the waters'
    bool senzaLunghezza = true; // where the levels stop: a length missing, else a slope
    // The values compared, in the units of the check: m/s, a share, l/s,
    // m, m/m, cm.
    double valore = 0;
    double soglia = 0;
    std::string pozzetto; // the manhole it concerns
    std::string tratto;   // the reach it concerns
    std::string altro;    // the other reach compared with it
    // A fault of the shape: how many reaches, and the first few names.
    std::size_t quanti = 0;
    std::vector<std::string> nomi;
    std::string testo; // a fault of the computation, in its own words
    // The designer's reason for accepting this fault; empty: not accepted.
    std::string deroga;
    // A slope typed (valore) against the inverts and length typed, m.
    double monte = 0, valle = 0, lunghezza = 0;

    Gravita gravita() const;
    // Whether the item cannot be computed for it ("non calcolato").
    bool impedisce() const;

    bool operator==(const Rilievo&) const = default;
};

} // namespace tratti

#pragma once

#include "figure/figura_profilo.h"
#include "progetto/progetto.h"
#include "tratti/profilo.h"

#include <string>

// A project's profile as the window, its exports, the command line and the
// report lay it out alike: its title, its title block from the project's
// data, and the sheet the project chose.

// "Profilo longitudinale da P0 a P19".
inline std::string titoloDelProfilo(const tratti::Profilo& profilo) {
    if (profilo.pozzetti.empty()) {
        return "Profilo longitudinale";
    }
    return "Profilo longitudinale da " + profilo.pozzetti.front().nome + " a " +
           profilo.pozzetti.back().nome;
}

inline Cartiglio cartiglioDelProfilo(const progetto::Dati& dati, const tratti::Profilo& profilo) {
    return {dati.opera, dati.committente, dati.progettista, titoloDelProfilo(profilo), dati.data};
}

// A3 unless A4 was chosen.
inline FormatoFoglio formatoDelProgetto(const progetto::DisegnoProfilo& disegno) {
    return disegno.foglio == "A4" ? FormatoFoglio::A4 : FormatoFoglio::A3;
}

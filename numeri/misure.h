#pragma once

#include "numeri/separatore.h"

#include <string>

// How each quantity of a line is printed for people, decided once: every
// window, report, table and page prints a level, a slope or a velocity with
// the same decimals and unit. The value is given as the program holds it
// (levels and lengths in m, slopes in m/m, a radius in cm, heights in m,
// fillings as a share, velocities in m/s, flows in m³/s).
enum class Misura {
    Quota,            // m, two decimals
    Dislivello,       // m: a drop, a cover, a depth
    Lunghezza,        // m
    Pendenza,         // m/m, four decimals or up to six where they count
    PendenzaPerMille, // ‰
    Raggio,           // cm, one decimal
    Altezza,          // cm, to the millimetre, as the table shows it
    Riempimento,      // %, one decimal
    Velocita,         // cm/s, as the table shows it
    Portata,          // l/s, as the table shows it
};

std::string testoMisura(Misura misura, double valore, Separatore separatore);
// "m", "m/m", "‰", "cm", "%", "cm/s", "l/s".
const char* unitaMisura(Misura misura);

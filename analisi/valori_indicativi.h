#pragma once

#include "calc/resistenza.h"

#include <vector>

// The typical values of each law's coefficient that the analysis window
// offers as "valori indicativi": orders of magnitude from textbooks and
// standards for a first choice. The designer's own data for the pipe in hand
// come first.
namespace analisi {

struct ValoreIndicativo {
    double valore;           // in the law's unit (ks in mm)
    const char* descrizione; // Italian, short: the wall and its state
};

// The typical values of a law's coefficient, from the smoothest wall to the
// roughest, as the textbooks list them; for Bazin, his six categories.
const std::vector<ValoreIndicativo>& valoriIndicativi(formule::Legge legge);
// The source, for the README and the report ("V. T. Chow, Open-Channel
// Hydraulics (1959), …").
const char* fonteValoriIndicativi(formule::Legge legge);

} // namespace analisi

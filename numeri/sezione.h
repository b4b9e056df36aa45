#pragma once

#include "calc/resistenza.h"

#include <string>

// The section size shown beside the radius: width 2r and height 3r in cm,
// joined by a slash, each as Format writes it without a pattern («40/60»).
std::string TestoSezione(double raggio);

// A resistance law's coefficient as a report names it: "γ = 0.18",
// "n = 0.013 s/m^1/3", "ks = 1.5 mm, T = 15 °C".
std::string testoResistenza(const formule::Resistenza& resistenza);

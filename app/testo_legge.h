#pragma once

#include "calc/resistenza.h"
#include "numeri/separatore.h"

#include <QString>

// A law's coefficient as the windows name it ("γ = 0,18",
// "n = 0,013 s/m^1/3", "ks = 1,5 mm, T = 15 °C"), its numbers made with the
// separator asked for.
QString testoCoefficiente(const formule::Resistenza& legge, Separatore separatore);

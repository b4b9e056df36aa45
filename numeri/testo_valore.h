#pragma once

#include "numeri/separatore.h"

#include <string>

// The text of value column 1 to 6 of the results table for its quantity in
// SI units: the height in cm rounded to the millimetre, area, wetted
// perimeter, hydraulic radius, velocity in cm/s and flow in l/s, each with
// its column's pattern. The grid, the reports and the results file show the
// same texts.
std::string TestoValore(int colonna, double valore);
// The same with the decimal separator asked for.
std::string TestoValore(int colonna, double valore, Separatore separatore);

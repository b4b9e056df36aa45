#pragma once

#include "numeri/separatore.h"

#include <string>

// The section size shown beside the radius: width 2r and height 3r in cm,
// joined by a slash, each as Format writes it without a pattern («40/60»).
std::string TestoSezione(double raggio);
// The same with the decimal separator asked for («75/112,5»).
std::string TestoSezione(double raggio, Separatore separatore);

#pragma once

#include "calc/variabili_pubbliche.h"

// The hydraulic computation on a computation state. Both procedures raise
// ErroreRuntime and catch nothing; what they stored before a fault stays.
namespace Modulo2 {

// Heights, in units of r, of the table's rows of maximum velocity and of
// maximum flow.
inline constexpr double altezzaMaxVelocita = 2.562;
inline constexpr double altezzaMaxPortata = 2.859;

// Computes row `riga` for the height `altezza(riga)`: wetted perimeter and
// area of the section, hydraulic radius, Chézy's coefficient by the state's
// resistance law (Bazin's in the window), velocity and flow.
void CalcolaRiga(variabili_pubbliche::Stato& stato);

// Sweeps the heights k × step for k = 1 to n, then adds the rows of maximum
// velocity and maximum flow. When the steps fill the section to within
// rounding (3r / step within 1e-9 of a whole n), row n is the full section,
// at 3r exactly.
void CalcolaTabella(variabili_pubbliche::Stato& stato);

// Whether radius, slope, increment and coefficient are all positive: only
// then is there a table to compute.
bool IngressiPositivi(const variabili_pubbliche::Stato& stato);

} // namespace Modulo2

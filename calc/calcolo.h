#pragma once

#include <functional>

// The hydraulic computation. Both procedures work on the shared state of
// variabili_pubbliche and raise ErroreRuntime; neither catches anything.
namespace Modulo2 {

// Heights, in units of r, of the table's rows of maximum velocity and of
// maximum flow.
inline constexpr double altezzaMaxVelocita = 2.562;
inline constexpr double altezzaMaxPortata = 2.859;

// Computes row `riga` for the height `altezza(riga)`: wetted perimeter and
// area of the section, hydraulic radius, Chézy's coefficient by the state's
// resistance law (Bazin's in the window), velocity and flow.
void CalcolaRiga();

// Sweeps the heights k × step for k = 1 to n, adds the rows of maximum
// velocity and maximum flow, then hands the finished table over. When the
// steps fill the section to within rounding (3r / step within 1e-9 of a
// whole n), row n is the full section, at 3r exactly.
void CalcolaTabella();

// Whether radius, slope, increment and coefficient are all positive: only
// then is there a table to compute.
bool IngressiPositivi();

// What the sweep does with a finished table: the window or the command line
// installs the grid filling here. With none installed the sweep only computes.
using ConsegnaTabella = std::function<void()>;
void InstallaConsegnaTabella(ConsegnaTabella consegna);

} // namespace Modulo2

#pragma once

#include <array>
#include <vector>

// The true outline of the section, for drawing it to scale, for a
// characteristic radius r (any unit; the results in the same unit), x across
// from the axis and y up from the invert.
namespace analisi {

// One arc of the outline's right half: its centre, its radius, and the
// heights it spans.
struct ArcoProfilo {
    double centroX = 0;
    double centroY = 0;
    double raggio = 0;
    double altezzaDa = 0;
    double altezzaA = 0;
};

// Bottom up: the invert (r/2, centred at r/2), the side arc (3r, centred 2r
// across on the other side, at 2r), the crown (r, centred at 2r). The left
// half is their mirror image.
std::array<ArcoProfilo, 3> archiProfilo(double raggio);

// Half the width at a height; zero outside 0 ≤ y ≤ 3r.
double semilarghezza(double raggio, double altezza);

struct PuntoProfilo {
    double x = 0;
    double y = 0;
};

// The outline below a height, closed across it: up the right side from the
// invert, then down the left. The arcs are sampled at equal angles, about
// `passi` points a side, so that the narrow invert and the crown stay round
// at any scale. Up to 3r it is the whole section.
std::vector<PuntoProfilo> contorno(double raggio, double finoA, int passi);

} // namespace analisi

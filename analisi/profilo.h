#pragma once

// The true outline of the section, for drawing it to scale: half its width
// at a height y above the invert, for a characteristic radius r (any unit;
// the result in the same unit). Zero outside 0 ≤ y ≤ 3r.
namespace analisi {

double semilarghezza(double raggio, double altezza);

} // namespace analisi

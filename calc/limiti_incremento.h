#pragma once

// Bounds of the height increment (mm) for a radius (cm): the whole height of
// the section, 3r, and one thousandth of it. They keep a sweep within 1000
// regular rows.
double limiteSuperioreIncremento(double raggio);
double limiteInferioreIncremento(double raggio);

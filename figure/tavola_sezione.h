#pragma once

#include "figure/disegno.h"
#include "figure/tavola.h"
#include "numeri/separatore.h"

#include <string>
#include <vector>

// The egg section drawn to scale in the manner of a technical drawing: its
// outline, the width 2r and the height 3r, the radii of its arcs with their
// centres, and a water line at each level, labelled, the water up to the
// highest. Levels outside the section are left out. Described once, for the
// window, the report's pages and its SVG alike.
namespace disegno {

// Where the section lies on its sheet.
struct PosizioneSezione {
    Punto fondo;          // the invert's middle
    double scala = 1;     // the sheet's units per metre
    bool conQuote = true; // false: too small for its dimensions, drawn alone

    // A point of the section, from metres across the axis and up from the
    // invert.
    Punto punto(double x, double y) const { return {fondo.x + x * scala, fondo.y - y * scala}; }
};

// The sheet is `larghezza` × `altezza` units: the pixels of the picture it
// stands for. Its texts and lines keep their size in a thousandth of its
// width (or of its height × 1.385, if narrower), down to where they would
// no longer be read.
PosizioneSezione posizioneDellaSezione(double raggioM, const std::vector<Livello>& livelli,
                                       double larghezza, double altezza, Separatore separatore);
Disegno sezioneInScala(double raggioM, const std::vector<Livello>& livelli, double larghezza,
                       double altezza, Separatore separatore);

// The drawing's layers.
inline constexpr std::string_view stratiDellaSezione[] = {"ACQUA", "ASSI", "CONTORNO", "QUOTE",
                                                          "LIVELLI"};

} // namespace disegno

#pragma once

#include "figure/disegno.h"

#include <functional>
#include <string>
#include <string_view>

// Drawings as DXF for CAD (AutoCAD 2000), the same in every locale: in
// millimetres of paper, y upwards, each sheet to the right of the one
// before with a gap between. Every item on its layer, in its colour;
// filled areas as solids. Texts are fitted between the ends of their
// baseline as measured, so that a CAD program's face keeps their box; the
// per mille sign, which common CAD faces lack, reads "o/oo".
namespace disegno {

// `quanti` sheets, all of one size, each made by `foglio` when it is
// written: a long drawing is never held whole.
std::string dxf(std::size_t quanti, const std::function<Disegno(std::size_t)>& foglio);
// The same, handed in pieces of a few megabytes to `uscita` as it is made.
void dxf(std::size_t quanti, const std::function<Disegno(std::size_t)>& foglio,
         const std::function<void(std::string_view)>& uscita);

// The gap between two sheets, mm.
inline constexpr double spazioTraFogli = 20;

} // namespace disegno

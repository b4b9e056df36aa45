#pragma once

#include "figure/disegno.h"

#include <string>
#include <vector>

// Drawings as SVG, in millimetres, the same in every locale: each sheet
// one under the other, white, its items grouped by layer (the group's
// class) in the order they are drawn.
namespace disegno {

std::string svg(const std::vector<Disegno>& fogli, const std::string& titolo = {});
// One sheet; `inPiedi`, turned a quarter to the left, a landscape sheet
// standing along a portrait page, its left edge at the foot.
std::string svg(const Disegno& foglio, const std::string& titolo = {}, bool inPiedi = false);

} // namespace disegno

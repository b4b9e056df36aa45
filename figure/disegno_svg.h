#pragma once

#include "figure/disegno.h"

#include <string>
#include <vector>

// Drawings as SVG, in millimetres, the same in every locale: each sheet
// one under the other, white, its items grouped by layer (the group's
// class) in the order they are drawn.
namespace disegno {

std::string svg(const std::vector<Disegno>& fogli, const std::string& titolo = {});
inline std::string svg(const Disegno& foglio, const std::string& titolo = {}) {
    return svg(std::vector<Disegno>{foglio}, titolo);
}

} // namespace disegno

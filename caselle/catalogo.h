#pragma once

#include "numeri/separatore.h"

#include <optional>
#include <string>
#include <vector>

// The catalogue of standard sizes as its box holds it: radii in cm.
namespace catalogo {

// The radii a line is sized from when the box is empty.
const std::vector<double>& usuale();

// Under the decimal comma the radii are parted by semicolons.
std::string testo(const std::vector<double>& raggi, Separatore separatore);

// Radii parted by semicolons or commas. Where there are semicolons, a text
// between them that reads as one radius is one ("22,5"); elsewhere commas
// part radii ("25,30" is two). An empty box is the usual catalogue. None,
// with the reason, when a radius is not a positive number.
std::optional<std::vector<double>> daTesto(const std::string& testo, std::string& motivo);

} // namespace catalogo

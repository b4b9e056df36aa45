#pragma once

#include <charconv>

// Doubles to text and back as std::to_chars and std::from_chars do them.
// The browser build's C++ library has those for integers only; there the
// same texts come from the C library's exact printf and strtod.
namespace caratteri {

// The shortest text that reads back to the same double, plain or with an
// exponent, whichever is shorter (plain on a tie).
char* breve(char* inizio, char* fine, double valore);
// The shortest plain text (no exponent) that reads back to the same double.
char* fisso(char* inizio, char* fine, double valore);
// d.ddde±xx with `cifre` digits after the point, correctly rounded.
char* scientifico(char* inizio, char* fine, double valore, int cifre);
// A decimal number with an optional minus and exponent; out of range when
// it is beyond the doubles or so small that it reads as zero.
std::from_chars_result leggi(const char* inizio, const char* fine, double& valore);

} // namespace caratteri

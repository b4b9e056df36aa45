#pragma once

#include <string>
#include <string_view>

// Number to text and back, always with "." as decimal separator and "," for
// grouping, whatever the user's locale: every number the program writes into
// a box reads back through Val as the same value.

// The leading number of the text (sign, digits, ".", exponent); blanks,
// tabs and line feeds are skipped; no number gives 0. Refuses no text, but a
// magnitude beyond the double range raises the overflow error.
double Val(std::string_view testo);

// The text as a whole must be a number (blanks around it allowed, thousands
// grouped with ","), else the type-mismatch error; beyond the double range,
// the overflow error.
double CDbl(std::string_view testo);

// 15 significant digits, no trailing zeros, no grouping; exponent form from
// 1E+15 up and below 1E-04 in magnitude.
std::string CStr(double valore);
std::string CStr(int valore);

// The shortest text that Val reads back as the very same double
// (0.30000000000000004 where CStr gives 0.3): for a number kept in a file.
std::string TestoEsatto(double valore);

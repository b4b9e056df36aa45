#pragma once

#include "numeri/separatore.h"

#include <string>
#include <string_view>
#include <utility>

// Without a pattern, the same text as CStr.
std::string Format(double valore);

// With a pattern of "#", "0", "," and ".": "0" is a digit always shown, "#"
// one shown only when significant; "," in the integer part groups thousands;
// the value is rounded half away from zero to the decimals shown, on its
// 15-significant-digit decimal form.
std::string Format(double valore, std::string_view modello);

// A value compared with a limit, with the pattern's decimals or as many
// more, four at most, as it takes for the text to fall on the same side of
// the limit, as printed, as the value: against 50, 49.997 is "49.997", not
// "50.00". Closer still, the value has fifteen significant digits, or every
// digit of the double: a value that breaks a limit never reads as the limit.
std::string FormatConfronto(double valore, double limite, std::string_view modello);

// Six significant digits in plain decimals, no trailing zeros: a computed
// value as people read it in a table (0.005, not 0.00499999999999989).
std::string SeiCifre(double valore);

// The same, with the decimal separator asked for, applied as the number is
// made: what people read.
std::string Format(double valore, Separatore separatore);
std::string Format(double valore, std::string_view modello, Separatore separatore);
std::string FormatConfronto(double valore, double limite, std::string_view modello,
                            Separatore separatore);
std::string SeiCifre(double valore, Separatore separatore);

// Two values compared with each other, both computed: with the pattern's
// decimals, or as many more, four at most, as it takes for them not to read
// the same; closer still, fifteen significant digits each. Two levels a
// millimetre apart never read "99.50 m … 99.50 m".
std::pair<std::string, std::string> FormatCoppia(double valore, double altro,
                                                 std::string_view modello, Separatore separatore);

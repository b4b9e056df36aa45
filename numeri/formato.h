#pragma once

#include <string>
#include <string_view>

// Without a pattern, the same text as CStr.
std::string Format(double valore);

// With a pattern of "#", "0", "," and ".": "0" is a digit always shown, "#"
// one shown only when significant; "," in the integer part groups thousands;
// the value is rounded half away from zero to the decimals shown, on its
// 15-significant-digit decimal form.
std::string Format(double valore, std::string_view modello);

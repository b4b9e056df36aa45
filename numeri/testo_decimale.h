#pragma once

#include <optional>
#include <string>
#include <string_view>

// A number typed in a box with a decimal comma, as an Italian keyboard's
// keypad types it, or a decimal point: the text with its leading number
// written with "." (what follows the number stays as it is), so that Val
// and CDbl read it. A number with both separators, or more than one of
// either, groups thousands ("1.234,5", "1,234,567"): it is refused, with
// the reason, rather than read as another number.
struct TestoDecimale {
    std::string testo;
    std::optional<std::string> rifiuto;
};
TestoDecimale decimaleConPunto(std::string_view testo);

// Val on a box's text, with either separator; a refused text reads 0.
double ValCasella(std::string_view testo);

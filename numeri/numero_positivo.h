#pragma once

#include <optional>
#include <string>
#include <string_view>

// A number read strictly, as the analysis window reads its boxes: the whole
// text must be one positive number, with a decimal comma or point (not
// both, no thousands grouping). A blank text gives neither a value nor a
// reason.
struct NumeroLetto {
    std::optional<double> valore;
    std::optional<std::string> motivo; // why the text is refused
};
NumeroLetto leggiNumeroPositivo(std::string_view testo);
// The same, of any sign.
NumeroLetto leggiNumero(std::string_view testo);

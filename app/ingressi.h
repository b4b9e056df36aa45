#pragma once

#include <optional>
#include <string>
#include <string_view>

// Why the text of an input box is not a positive number as Val reads it
// (an empty box, a text that reads 0, a value not above zero), or none when
// it is one. In Italian, for the box's tooltip.
std::optional<std::string> motivoIngressoNonValido(std::string_view testo);

#pragma once

#include "numeri/numero_positivo.h"
#include "numeri/separatore.h"
#include "tratti/grandezze.h"

#include <optional>
#include <string>
#include <string_view>

// Why the text of an input box is not a positive number as the window reads
// it, with a decimal comma or point (an empty box, a text that reads 0, a
// value not above zero, both separators or thousands grouping), or none
// when it is one. In Italian, for the box's tooltip.
std::optional<std::string> motivoIngressoNonValido(std::string_view testo);

// For a text the window reads as a positive number, what of it is left
// unread («12 cm» reads 12), or none when the whole text is the number.
std::optional<std::string> motivoLetturaInParte(std::string_view testo,
                                                Separatore separatore = Separatore::Punto);

// For a length of the network's rules (a cover, a depth, a drop): why its
// text is not empty or a number within its range, or none when it is.
std::optional<std::string> motivoLunghezza(std::string_view testo, const tratti::Campo& campo);

#pragma once

#include <optional>
#include <string>
#include <string_view>

// The characters a name or a note typed by the user may hold, wherever it
// comes from: a file of reaches, a project, a cell or a box of a window.
// None of the control characters (U+0000–U+001F, U+007F–U+009F), which
// would reach a terminal, a spreadsheet or a report as they are, nor of the
// controls of the writing direction (U+061C, U+200E, U+200F, U+202A–U+202E,
// U+2066–U+2069), which reorder the text around them: a reach named with a
// right-to-left override turns round the report's sentence that names it.

enum class Righe {
    Una, // a name, or a text of one line
    Piu, // a text typed in a box of several lines, which may break its lines
};

// Why the text cannot be taken, naming its first character that is not
// admitted ("contiene un carattere di controllo (U+001B), che non è
// ammesso"); none when it can.
std::optional<std::string> caratteriNonAmmessi(std::string_view testo, Righe righe = Righe::Una);

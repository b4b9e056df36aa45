#pragma once

#include <string>
#include <string_view>

// The decimal separator of what people read: each number takes it as it is
// made, never a finished text, so that names and typed texts stay as
// written. Machine formats (CSV, SI output, DXF, SVG, JSON) always keep the
// point.
enum class Separatore { Punto, Virgola };

// One number's text, as the program makes it ("1,234.5"), with the
// separator asked for: under the comma the points and commas trade places
// ("1.234,5"). Never for a sentence: a name in it would change too.
std::string numeroCon(std::string numero, Separatore separatore);

// "virgola" or "punto", as the setting and the command line name them, and
// back; none for another text.
std::string_view nomeSeparatore(Separatore separatore);
bool separatoreDaNome(std::string_view nome, Separatore& separatore);

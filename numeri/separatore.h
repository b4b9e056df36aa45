#pragma once

#include <string>
#include <string_view>

// The decimal separator of what people read: the program makes its numbers
// with "." (so that they read back through Val and CDbl), and writes them
// with the comma where the user asked for it. Machine formats (CSV, SI
// output) always keep the point.
enum class Separatore { Punto, Virgola };

// The text with each point between two digits, a number's, made the
// separator; words and abbreviations ("Ing.", "LL.PP.") keep their points.
// Only for texts the program makes: a name or a note is written as it is.
std::string perLettura(std::string testo, Separatore separatore);

// One number's text, as the program makes it ("1,234.5"), with the
// separator asked for: under the comma the points and commas trade places
// ("1.234,5"). Never for a sentence: a name in it would change too.
std::string numeroCon(std::string numero, Separatore separatore);

// "virgola" or "punto", as the setting and the command line name them, and
// back; none for another text.
std::string_view nomeSeparatore(Separatore separatore);
bool separatoreDaNome(std::string_view nome, Separatore& separatore);

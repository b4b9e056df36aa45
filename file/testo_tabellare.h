#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Tables of texts as files and terminals show them: CSV for spreadsheets,
// columns padded for reading.

// Texts in rows, label column first.
using RigheTesti = std::vector<std::vector<std::string>>;

// How many decimals a text has when it is a plain decimal number as the
// program writes it ("107.87", "0.0"); nothing for any other text: titles,
// units, labels, empty cells.
std::optional<std::size_t> decimaliNumero(std::string_view testo);

// RFC 4180: a field with a comma, a quote or a line break goes in quotes.
std::string testoCsv(const RigheTesti& righe);

// The same for Italian spreadsheets, which open it by a double click: a
// UTF-8 byte-order mark, `;` between fields (a field with a `;`, a quote or
// a line break goes in quotes) and a decimal comma in the numbers; the other
// texts as they are, and the first `colonneDiTesto` columns whatever they
// hold (a name such as «1.5» stays a name).
std::string testoCsvItaliano(const RigheTesti& righe, std::size_t colonneDiTesto = 0);

// Columns padded to their widest text, counted in characters: labels to the
// left, values to the right.
std::string testoAllineato(const RigheTesti& righe);

// The same texts for outputs of many rows, which never hold all their cells
// at once: `riga(i)` makes row i, 0 to `righe` − 1, each time it is asked.
using RigaDi = std::function<std::vector<std::string>(std::size_t)>;
std::string testoCsv(std::size_t righe, const RigaDi& riga);
std::string testoCsvItaliano(std::size_t righe, const RigaDi& riga, std::size_t colonneDiTesto);
// With `coda`, a text after the columns of each row where it is not empty,
// two blanks beyond the widest row.
std::string testoAllineato(std::size_t righe, const RigaDi& riga,
                           const std::function<std::string(std::size_t)>& coda = {});

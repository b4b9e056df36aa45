#pragma once

#include "table/griglia_in_memoria.h"

#include <string>
#include <vector>

// Texts in rows, label column first: the grid's, or rows laid out as the
// grid lays them.
using RigheTesti = std::vector<std::vector<std::string>>;

// The grid's texts, grid row by grid row from row 0.
RigheTesti righeGriglia(const GrigliaInMemoria& griglia);

// RFC 4180: a field with a comma, a quote or a line break goes in quotes.
std::string testoCsv(const RigheTesti& righe);

// Columns padded to their widest text: labels to the left, values to the
// right.
std::string testoAllineato(const RigheTesti& righe);

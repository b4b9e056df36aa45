#pragma once

#include "table/griglia_in_memoria.h"

#include <string>

// The grid's texts, grid row by grid row from row 0, label column first.

// RFC 4180: a field with a comma, a quote or a line break goes in quotes.
std::string grigliaCsv(const GrigliaInMemoria& griglia);

// Columns padded to their widest text: labels to the left, values to the
// right.
std::string grigliaTabella(const GrigliaInMemoria& griglia);

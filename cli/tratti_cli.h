#pragma once

#include "cli/opzioni.h"

#include <string>
#include <vector>

// --tratti: the reaches of the file verified, and sized where the radius is
// empty, under the line's law, geometry, limits and catalogue; one result
// line per reach in the format asked for. A file that cannot be read, or
// that is malformed, is an ErroreUso naming the file, the line and the
// column.
std::string testoEsitiTratti(const OpzioniCli& opzioni);

// The project's reaches that its report cannot compute, each with its name
// and what is wrong, for a note on standard error.
std::vector<std::string> trattiNonCalcolati(const progetto::Progetto& progetto);

#pragma once

#include "cli/opzioni.h"

#include <string>

// --tratti: the reaches of the file verified, and sized where the radius is
// empty, under the line's law, geometry, limits and catalogue; one result
// line per reach in the format asked for. A file that cannot be read, or
// that is malformed, is an ErroreUso naming the file, the line and the
// column.
std::string testoEsitiTratti(const OpzioniCli& opzioni);

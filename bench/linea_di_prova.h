#pragma once

#include "progetto/progetto.h"

#include <cstddef>
#include <string>

// A network of `tratti` reaches for the report's benchmarks: networks of a
// hundred reaches each, every one its own outfall, so that the report
// draws one profile a network and its figures grow with the line. Each
// network is a main line of 80 reaches of 40 m, with manholes and ground
// levels, and a branch of 20 joining it halfway; every reach is sized from
// the catalogue.
progetto::Progetto lineaDiProva(std::size_t tratti);

// A reach of 40 m at 0.4 %, its dry-weather flow a tenth of its design
// flow, and its upstream invert as typed (empty for none).
progetto::RigaTratto trattoDiProva(const std::string& monte, const std::string& valle,
                                   double portata, const char* quota);

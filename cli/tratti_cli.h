#pragma once

#include "cli/opzioni.h"
#include "tratti/rete.h"

#include <cstddef>
#include <string>
#include <vector>

// A line of reaches as the command line has it, computed as a network.
struct LineaCli {
    std::vector<tratti::Tratto> tratti;
    std::vector<tratti::Pozzetto> pozzetti;
    std::vector<std::size_t> righe; // each reach's line in its file, from 1
    tratti::EsitiRete rete;
};

// --tratti: the reaches of the file verified, and sized where the radius is
// empty, under the line's law, geometry, limits and catalogue, as a
// network. A file that cannot be read, or that is malformed, or a network
// that is not a tree, is an ErroreUso naming the file, the lines and the
// column.
LineaCli lineaDelFile(const OpzioniCli& opzioni);
// The project's reaches and manholes, as its window computes them.
LineaCli lineaDelProgetto(const OpzioniCli& opzioni);

// One result line per reach, in the format asked for.
std::string testoEsitiTratti(const OpzioniCli& opzioni, LineaCli linea);

// --profilo: the path from --da, or the longest, to its outlet, at the
// scales given or fitted to A3 sheets. ErroreUso for a line without such a
// path; ErroreFile for a file that cannot be written.
void scriviProfiloDellaLinea(const OpzioniCli& opzioni, const LineaCli& linea);

// --relazione with --tratti: the project as typed (the options, or the
// project file's), with the reaches and manholes of the file and the line's
// criteria as the options give them, so that its report computes the very
// line the results print.
progetto::Progetto progettoConIlFile(const OpzioniCli& opzioni);

// The project's reaches that its report cannot compute, each with its name
// and what is wrong, for a note on standard error.
std::vector<std::string> trattiNonCalcolati(const progetto::Progetto& progetto);

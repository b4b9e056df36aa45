#pragma once

#include "cli/opzioni.h"
#include "progetto/progetto.h"
#include "valutazione/valutazione.h"

#include <cstddef>
#include <string>
#include <vector>

// The project the command line evaluates: the project as the line gives it
// (`comeScritto`); with --tratti, its reaches are the file's and its
// manholes those the reaches name, with the ground levels of the project
// and of the file together.
struct ProgettoCli {
    progetto::Progetto progetto;
    std::vector<std::size_t> righeDelFile; // with --tratti: each reach's line in its file, from 1
};

// A file of reaches that cannot be read or is malformed, and a manhole
// whose ground level the file and the project give as two levels, are an
// ErroreUso naming the file, and the line and the column or the levels.
ProgettoCli progettoDaValutare(const OpzioniCli& opzioni);

// --tratti: a network that is not a set of trees is an ErroreUso naming the
// file, the fault and the lines of the reaches it concerns.
void verificaForma(const OpzioniCli& opzioni, const valutazione::Rete& rete,
                   const std::vector<std::size_t>& righeDelFile);

// --tratti: one result line per reach, in the format asked for; a reach
// that cannot be computed is named by its line of the file.
std::string testoEsitiTratti(const OpzioniCli& opzioni, const valutazione::Rete& rete,
                             const std::vector<std::size_t>& righeDelFile);

// --profilo: the path from --da, or the longest, to its outlet, at the
// scales given (the line's, else the project's) or fitted, on the project's
// sheets (A3 unless it chose A4), its title block from the project's data. ErroreUso for a line
// without such a path; ErroreFile for a file that cannot be written.
void scriviProfiloDellaLinea(const OpzioniCli& opzioni, const valutazione::Rete& rete);

// The project's reaches that its report cannot compute, each with its name
// and what is wrong, for a note on standard error.
std::vector<std::string> trattiNonCalcolati(const valutazione::Rete& rete);

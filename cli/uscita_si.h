#pragma once

#include "analisi/risposte.h"
#include "calc/tabella.h"

#include <string>
#include <vector>

// A row printed by the command line: its label and its quantities in SI
// units.
struct RigaUscita {
    std::string etichetta;
    analisi::Grandezze valori;
};

// Rows 1 to numPassi + 2 of a table, "Max V" and "Max Q" last.
std::vector<RigaUscita> righeTabella(const calcolo::Tabella& tabella);

// CSV in SI units with a header line, the rows numbered from 1, every number
// with 17 significant digits so that it reads back exactly.
std::string testoSi(const std::vector<RigaUscita>& righe);

#pragma once

#include "calc/tabella.h"
#include "numeri/testo_valore.h"
#include "table/griglia.h"

#include <string>
#include <vector>

// The results table in a grid of 7 columns: two header rows (titles, units),
// a label column, and one row per row of the table, row k in grid row k + 1.

// The text of value column 1 to 6 for a row of the table; "—" for the
// velocity and flow of a row where the law gives a negative velocity. The
// report's tables show the same texts.
std::string TestoColonna(int colonna, const calcolo::Riga& riga);

// The grid's two header rows, label column first: titles, then units.
std::vector<std::vector<std::string>> IntestazioneGriglia();

// Writes the header, sizes the grid for the previous table (its numPassi + 4
// rows) and blanks its data cells. Runs before every sweep, and alone when an
// input is not positive.
void PreparaGriglia(GrigliaAstratta& griglia, int numPassiPrecedenti);

namespace Modulo2 {

// Writes the table just computed: header, numPassi + 4 rows, each row
// formatted per column, "Max V" and "Max Q" on the last two.
void RiempiGriglia(GrigliaAstratta& griglia, const calcolo::Tabella& tabella);

} // namespace Modulo2

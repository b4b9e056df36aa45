#pragma once

#include "table/griglia.h"

// The results table in a grid of 7 columns: two header rows (titles, units),
// a label column, and one row per computed row of the last sweep, array row k
// in grid row k + 1.

// Writes the header, sizes the grid for the previous table (numPassi + 4
// rows) and blanks its data cells. Runs before every sweep, and alone when an
// input is not positive.
void PreparaGriglia(GrigliaAstratta& griglia);

namespace Modulo2 {

// Writes the sweep just computed: header, numPassi + 4 rows, each row
// formatted per column, "Max V" and "Max Q" on the last two.
void RiempiGriglia(GrigliaAstratta& griglia);

} // namespace Modulo2

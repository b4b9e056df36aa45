#pragma once

#include "calc/intero16.h"

#include <string>

// The members of a results grid that the table code uses: a readable column
// count, a settable row count and a text setter by row-major cell index.
class GrigliaAstratta {
  public:
    virtual ~GrigliaAstratta() = default;

    virtual int Cols() const = 0;
    // Keeps the rows that remain, with their texts; added rows are empty.
    virtual void setRows(int righe) = 0;
    // Raises the index error for an index outside the grid's cells. The
    // text is moved in: a table writes thousands of cells at every key.
    virtual void setTextArray(int indice, std::string&& testo) = 0;
};

// Every cell of the results grid is written through these two.
namespace Griglia {

// row × Cols + column, with Cols read afresh; outside 16 bits, the overflow
// error.
Intero16 IndiceCella(std::int16_t riga, std::int16_t colonna, const GrigliaAstratta& griglia);

void ScriviCella(std::string testo, std::int16_t riga, std::int16_t colonna,
                 GrigliaAstratta& griglia);

} // namespace Griglia

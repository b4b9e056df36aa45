#pragma once

#include "file/testo_tabellare.h"
#include "table/griglia_in_memoria.h"

// The grid's texts, grid row by grid row from row 0.
RigheTesti righeGriglia(const GrigliaInMemoria& griglia);

#pragma once

#include "calc/tabella.h"
#include "documenti/collegamento.h"
#include "numeri/separatore.h"

namespace Modulo2 {

// Writes the report of a table into a new document of the word processor,
// attached to or started through `collegamento`: heading, results table,
// tables of maximum velocity and maximum flow, its numbers with the decimal
// separator asked for. A failing step is skipped and the report goes on;
// the only message is for a word processor that cannot be started.
void CreaDocumentoWord(const calcolo::Tabella& tabella, const Collegamento& collegamento,
                       Separatore separatore = Separatore::Punto);

// Makes rows 1 and 2 of the three tables heading rows in Arial 7 pt; stops at
// its first failure.
void FormattaIntestazioni();

} // namespace Modulo2

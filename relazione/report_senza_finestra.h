#pragma once

#include "calc/tabella.h"
#include "numeri/separatore.h"
#include "progetto/progetto.h"
#include "valutazione/valutazione.h"

#include <string>

// The report of a table, written by the same code as the window's, with the
// decimal separator asked for, into a word processor without a window, then
// saved in the format of the file's extension, under the path's exact
// bytes. Raises ErroreFile.
void scriviReportSenzaFinestra(const std::string& percorso, const calcolo::Tabella& tabella,
                               Separatore separatore = Separatore::Punto);

// The calculation report of a project's evaluation, written and saved in
// the same way. Raises ErroreFile, and ErroreRuntime when the rating curves
// of a figure cannot be computed.
void scriviRelazioneCalcoloSenzaFinestra(const std::string& percorso,
                                         const progetto::Progetto& progetto,
                                         const valutazione::Valutazione& valutazione,
                                         Separatore separatore = Separatore::Punto);

#pragma once

#include "calc/tabella.h"
#include "numeri/separatore.h"

#include <string>

// The results file behind "Scrivi su file" and the command line's --file.

// The path for the name in the file-name box, as the system's bytes:
// "INGLESE" when it is empty, ".txt" added when it has no extension, a
// relative name taken from the working directory.
std::string PercorsoRisultati(const std::string& nomeFile);

// A table: for a ".csv" name the grid's texts, with the decimal point as
// any CSV, for any other a text to read or print (the report's heading
// lines, the results table, the rows of maximum velocity and maximum flow)
// with the decimal separator asked for, UTF-8. Raises ErroreRuntime when a
// value cannot be formatted.
std::string ContenutoRisultati(const std::string& percorso, const calcolo::Tabella& tabella,
                               Separatore separatore = Separatore::Punto);

// Writes the file whole or not at all; raises ErroreFile naming the path and
// the reason.
void ScriviRisultati(const std::string& percorso, const calcolo::Tabella& tabella,
                     Separatore separatore = Separatore::Punto);

#pragma once

#include "calc/tabella.h"
#include "numeri/separatore.h"
#include "progetto/progetto.h"

class QTextDocument;

// "Relazione di calcolo": the report an engineer signs. A title and the
// project's data, then 1 Dati (every input as it was typed), 2 Metodo (the
// formulas and the geometry), 3 Risultati (the table and the two maxima),
// 4 Verifiche (each limit at the design and minimum flows, in words, the
// full section and the maxima for reference, a conclusion), with two
// captioned figures: the section drawn to scale with its water levels and
// the rating curves. The table is the caller's, computed from these
// inputs; the answers are computed here. Its numbers take the decimal
// separator asked for; names and notes stay as written. The document gets a title, an author, a
// subject and a page header.
//
// With reaches in the project, a section "5 Verifica dei tratti" follows:
// each reach verified (and sized where its radius is empty) with the
// report's law, geometry and limits, its results and verdict, and a
// one-line summary.
void scriviRelazioneCalcolo(QTextDocument& documento, const progetto::Progetto& progetto,
                            const calcolo::Tabella& tabella,
                            Separatore separatore = Separatore::Punto);

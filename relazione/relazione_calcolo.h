#pragma once

#include "calc/tabella.h"
#include "errori/avanzamento.h"
#include "numeri/separatore.h"
#include "progetto/progetto.h"
#include "valutazione/valutazione.h"

class QTextDocument;

// "Relazione di calcolo": the report an engineer signs. A title and the
// project's data, a table of contents, then 1 Dati (every input as it was
// typed), 2 Metodo (the formulas and the geometry), 3 Risultati (the table
// and the two maxima), 4 Verifiche (each limit at the design and minimum
// flows, in words, the full section and the maxima for reference, a
// conclusion), with two captioned figures: the section drawn to scale with
// its water levels and the rating curves. Its numbers are made with the
// decimal separator asked for; names, notes and what was typed stay as
// written. The document gets a title, an author, a subject and a page
// header.
//
// With reaches in the project, it is the line's report: 1 Premessa, 2
// Criteri di verifica e riferimenti (each criterion with its source), 3
// Metodo, 4 Verifica della rete (reaches, manholes, what fails), 5 Profili
// longitudinali, the typical section as above only when the project asks
// for it, and Conclusioni on everything checked.
// `valutazione` is the project's, with its table: the report renders it and
// decides nothing of its own. A box that stops the checks or the line is
// named, and no other law takes its place.
// `avanzamento` hears how far the report has come, a group of table rows or
// a profile sheet at a time, and may stop it (Annullato): the document then
// holds half a report, for the caller to throw away.
void scriviRelazioneCalcolo(QTextDocument& documento, const progetto::Progetto& progetto,
                            const valutazione::Valutazione& valutazione,
                            Separatore separatore = Separatore::Punto,
                            Avanzamento avanzamento = {});

#pragma once

#include <QTextTableFormat>
#include <Qt>

class QString;
class QTextBlock;
class QTextBlockFormat;
class QTextCursor;
class QTextDocument;
class QTextTable;

// The structure every document of the program shares, whoever writes it:
// the look of its tables, their heading rows, the paragraphs that hold a
// table in place, and the paragraphs kept with the next one.

// The look of every table of the report.
QTextTableFormat formatoTabellaReport(Qt::Alignment allineamento);

// A paragraph kept on one page with the start of the next one (a heading
// and its text, a caption and its picture) in every paged format.
void tieniConIlSeguente(QTextBlockFormat& formato);
bool tenutoConIlSeguente(const QTextBlockFormat& formato);

// Whether row `riga` (0-based) of the table is a heading row.
bool rigaIntestazione(const QTextTable* tabella, int riga);
// Makes row `riga` (0-based) a heading row or not; the heading rows at the
// top of the table repeat on every page.
void impostaRigaIntestazione(QTextTable* tabella, int riga, bool intestazione);
// Makes the first rows of a table heading rows.
void segnaRigheIntestazione(QTextTable* tabella, int righe);

// Inserts a table at the cursor, between the two empty paragraphs that hold
// it in place, and leaves the cursor in a new paragraph after it.
QTextTable* inserisciTabella(QTextCursor& cursore, int righe, int colonne,
                             const QTextTableFormat& formato);
// Whether the paragraph only holds a table in place: no writer writes it,
// no move counts it, the layout gives it no height.
bool paragrafoDiServizio(const QTextBlock& blocco);

// The document's tables as a word processor numbers them, from 1 in
// document order; the error of a missing member otherwise.
QTextTable* tabellaNumero(const QTextDocument* documento, int numero);
// Text at the end of a cell, rows and columns from 1.
void inserisciInCella(QTextTable* tabella, int riga, int colonna, const QString& testo);
// A column's width in points, column from 1.
void impostaLarghezzaColonna(QTextTable* tabella, int colonna, float punti, int stileRighello);

#pragma once

#include "errori/avanzamento.h"

#include <QString>

#include <map>
#include <vector>

class QTextBlock;
class QTextBlockFormat;
class QTextDocument;

// Inserts at `posizione` a table of contents of the document's headings of
// level 1 and 2, as they stand: a paragraph "Indice" (bold, 12 pt, Arial,
// not itself a heading), then one paragraph per heading, its text (level 2
// indented), each a link to its heading. Each heading gets an anchor name
// if it has none. Entries are marked (a block property) so writers
// recognise them; the page numbers are not in the document: each paged
// format fills them in. What follows the index starts a new page.
void inserisciIndice(QTextDocument& documento, int posizione);

// Whether a paragraph is an entry of the table of contents, and of what
// level (0: not an entry).
int livelloVoceIndice(const QTextBlockFormat& formato);

// Whether a paragraph is the "Indice" line over the entries.
bool titoloIndice(const QTextBlockFormat& formato);

// The anchor an entry links to, without its '#'; empty when it has none.
QString destinazioneVoce(const QTextBlock& voce);

// The first anchor name in a paragraph (a heading's); empty when none.
QString ancoraParagrafo(const QTextBlock& paragrafo);

// Every anchor name of the document and the position it stands at.
std::map<QString, int> posizioniAncore(const QTextDocument& documento);

// The page (from 1) of each entry's heading on the report's A4 pages, as
// the .pdf shows them, for the entries in document order; 0 for an entry
// whose heading is gone. Empty, and quick, for a document without entries.
// `avanzamento` hears the paragraphs measured, and may stop it (Annullato).
std::vector<int> pagineVociIndice(const QTextDocument& documento, Avanzamento avanzamento = {});

// Whether the document has a table of contents' entry.
bool conVociIndice(const QTextDocument& documento);

#pragma once

#include <QTextCharFormat>
#include <QTextCursor>

class QString;
class QTextDocument;
class QTextTable;

// The insertion point of one document of the word processor, and the
// character format that typed text takes, with what a report does there:
// type, set the font and the alignment, move down, add a table, select a
// row, make rows heading rows.
//
// Where a word processor's own behaviour is left open, this one is
// deterministic:
// - a new table takes the place of the empty paragraph it is added in (a
//   paragraph with text stays, and the table follows it); the paragraph
//   after the table takes that paragraph's format, and the cells take its
//   alignment and the character format of the insertion point;
// - moving down counts one line per paragraph outside tables and one per
//   table row, and a move below the last line stays at the end of the
//   document;
// - the heading-row setting is kept per row and toggled per row.
class SelezioneDocumento {
  public:
    explicit SelezioneDocumento(QTextDocument* documento);

    const QTextCursor& cursore() const { return cursore_; }
    // The same place in another document, as after copying this one.
    void spostaIn(QTextDocument* documento);

    // A carriage return ends a paragraph; the new one keeps its format.
    void scriviTesto(const QString& testo);
    void impostaNomeCarattere(const QString& nome);
    void impostaDimensioneCarattere(float punti);
    void impostaAllineamento(int allineamento);
    void spostaGiu(int unita, int conteggio, int estendi);
    void impostaRigheIntestazione(int valore);

    // A table at a position of the document; the insertion point goes to
    // its first cell.
    QTextTable* aggiungiTabella(int posizione, int righe, int colonne);
    // Row from 1.
    void selezionaRiga(QTextTable* tabella, int riga);

  private:
    void applica(const QTextCharFormat& modifica);

    QTextCursor cursore_;
    QTextCharFormat formato_;
};

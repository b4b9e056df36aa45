#pragma once

#include "documenti/disegno_documento.h"
#include "errori/avanzamento.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QSizeF>
#include <QString>
#include <QTextBlock>
#include <QTextFrame>

#include <map>
#include <memory>
#include <vector>

class LavoroDiviso;
class QTextCharFormat;
class QTextDocument;
class QTextImageFormat;
class QTextTable;

enum class Allineamento { Sinistra, Centro, Destra, Giustificato };

// A paragraph's look, as the writers set it.
struct FormatoParagrafo {
    Allineamento allineamento = Allineamento::Sinistra;
    bool conIlSeguente = false; // on one page with the start of the next paragraph
    bool lineaSotto = false;    // a thin line under it: the page header's
    int livelloTitolo = 0;      // a heading's level, from 1; 0: body text
    bool nuovaPagina = false;   // starts a page

    auto operator<=>(const FormatoParagrafo&) const = default;
};

// A font as the writers set it on a run or on a paragraph mark.
struct Carattere {
    QString famiglia;
    double punti = 0;
    bool grassetto = false;
    bool corsivo = false;
    bool sottolineato = false;

    bool operator==(const Carattere&) const = default;
    bool operator<(const Carattere& altro) const;
};

// A table's look, in points.
struct FormatoTabella {
    Allineamento allineamento = Allineamento::Sinistra;
    std::vector<double> colonne;
    double bordo = 0; // the solid line round every cell; 0: none
    QColor coloreBordo;
    double margineCella = 0; // inside every cell, on every side
};

// The font a character format shows, the document's default filling in
// what the format leaves unset.
Carattere carattere(const QTextCharFormat& formato, const QTextDocument& documento);

// The font of the document's first text, titles and headings aside (a
// paragraph that opens in bold is one): the one its page header and footer
// take.
Carattere carattereDelTesto(const QTextDocument& documento);

// The picture an image format names among the document's resources (a
// QImage, a QPixmap or encoded bytes); null when the document has none.
QImage immagineRisorsa(const QTextDocument& documento, const QTextImageFormat& formato);

// The size Qt lays a picture out at, in pixels at 96 per inch: the
// format's, else the picture's own, keeping its proportions when only one
// side is set.
QSizeF dimensioniImmagine(const QTextImageFormat& formato, const QImage& immagine);

// Only the characters an XML document may hold: a control character pasted
// into the editor would make the saved file one that no word processor
// opens.
QString caratteriXml(const QString& testo);

// The walk every file writer makes over a document: paragraphs, runs,
// pictures and tables in document order, tables inside cells included. A
// writer says what each step writes. The paragraphs that only hold a table
// in place are no part of the content and are never visited.
class PercorsoDocumento {
  public:
    explicit PercorsoDocumento(const QTextDocument& documento);
    virtual ~PercorsoDocumento();
    PercorsoDocumento(const PercorsoDocumento&) = delete;
    PercorsoDocumento& operator=(const PercorsoDocumento&) = delete;

    // `avanzamento` hears how far into the document the walk has come, a
    // paragraph at a time, and may stop it there (Annullato).
    void percorri(Avanzamento avanzamento = {});

    // The pictures met, as PNG, once the walk is over: picture n (from 1) is
    // element n - 1. A picture shown more than once is stored once. Raises
    // ErroreFile when one cannot be encoded.
    const std::vector<QByteArray>& immagini() const { return immagini_; }
    // The vector drawings met, as SVG with their PNG for readers that know
    // no SVG, once the walk is over: drawing n (from 1) is element n - 1.
    const std::vector<DisegnoInFile>& disegni() const { return disegni_; }

  protected:
    // The paragraph being walked, for what a writer reads beyond its look.
    const QTextBlock& paragrafoCorrente() const { return paragrafo_; }

    // `marca`: the paragraph mark's font, which an empty paragraph's height
    // depends on.
    virtual void inizioParagrafo(const FormatoParagrafo& formato, const Carattere& marca) = 0;
    virtual void fineParagrafo() = 0;
    // A run of text in one font: its text comes in pieces with the tabs
    // and line breaks between them.
    virtual void inizioSequenza(const Carattere& carattere) = 0;
    virtual void testo(const QString& testo) = 0;
    virtual void tabulazione() = 0;
    virtual void aCapo() = 0;
    virtual void fineSequenza() = 0;
    // A picture the document holds, inline, at the size Qt shows it, in
    // pixels at 96 per inch. Pictures the document lacks are left out.
    virtual void immagine(std::size_t numero, QSizeF pixel, const Carattere& carattere) = 0;
    // A vector drawing (disegno_documento.h), inline, at the size it is
    // shown, in pixels at 96 per inch.
    virtual void disegno(std::size_t numero, QSizeF pixel, const Carattere& carattere) = 0;

    virtual void inizioTabella(const FormatoTabella& formato) = 0;
    virtual void fineTabella() = 0;
    virtual void inizioRiga(int riga, bool intestazione) = 0;
    virtual void fineRiga() = 0;
    virtual void inizioCella(double larghezza) = 0; // points
    // `dopoTabella`: the cell's content ends with a table.
    virtual void fineCella(bool dopoTabella) = 0;

  private:
    bool contenuto(QTextFrame::iterator it);
    void paragrafo(const QTextBlock& blocco);
    void sequenza(const QString& testo, const QTextCharFormat& formato);
    void figura(const QTextCharFormat& formato);
    void disegnoIncontrato(int posizione, const QTextCharFormat& formato);
    void tabella(const QTextTable& tabella);

    const QTextDocument& documento_;
    // Every picture of the document by name, and every drawing by its
    // position: their PNGs are made from the start (png_, pictures first),
    // while the walk goes on.
    struct Oggetti {
        std::vector<std::pair<QString, QImage>> figure;
        std::vector<std::pair<int, Disegno>> disegni;
    };
    static Oggetti oggettiDel(const QTextDocument& documento);
    const Oggetti tutti_;
    std::vector<QByteArray> png_;
    // The pictures and drawings met, in their order: a picture with its
    // name, a drawing with its index among all.
    std::vector<std::pair<QString, QImage>> figureIncontrate_;
    std::vector<std::pair<Disegno, std::size_t>> disegniIncontrati_;
    QTextBlock paragrafo_;
    Avanzamento avanzamento_;
    std::vector<QByteArray> immagini_;
    std::vector<DisegnoInFile> disegni_;
    std::map<QString, std::size_t> numeri_; // picture number by resource name
    // Last, to stop before what it writes to goes.
    std::unique_ptr<LavoroDiviso> codifica_;
};

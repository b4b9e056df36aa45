#pragma once

#include "documenti/disegno_documento.h"
#include <QByteArray>

#include <QSizeF>
#include <QString>
#include <QTextCursor>

#include <functional>
#include <vector>

class QTextDocument;

// Appends a report to a document, paragraph by paragraph, in one look:
// Arial throughout, headings in bold, tables with thin borders and their
// heading rows repeated on every page, figures with a numbered caption kept
// on the same page as the picture. Every text is written as given: its
// numbers were made with their separator, and names stay as typed.
class ScrittoreRelazione {
  public:
    explicit ScrittoreRelazione(QTextDocument& documento);
    ~ScrittoreRelazione();
    ScrittoreRelazione(const ScrittoreRelazione&) = delete;
    ScrittoreRelazione& operator=(const ScrittoreRelazione&) = delete;

    // The report's title: large and bold, no heading of the outline.
    void titolo(const QString& testo);
    // A numbered section's heading ("Titolo 1"), and a part of one
    // ("Titolo 2"), kept with what follows them; their numbers ("4.1") are
    // no decimals, and keep their point.
    void sezione(const QString& testo);
    void sottosezione(const QString& testo);
    // A paragraph; one that introduces what follows stays with it.
    void paragrafo(const QString& testo, bool tieniConIlSeguente = false);
    // A line set apart, as a formula is, kept with the next line: a group of
    // formulas is never split between pages.
    void formula(const QString& testo);
    void vuota(bool tieniConIlSeguente = false);

    struct Tabella {
        std::vector<std::vector<QString>> righe;
        int righeIntestazione = 1;
        std::vector<double> larghezzeCm; // one a column
        std::vector<bool> aDestra;       // numbers right-aligned, one a column
    };
    // With a caption, "Tabella N – didascalia" comes above it, on the same
    // page as its first rows; N is returned (0 without a caption).
    int tabella(const Tabella& tabella, const QString& didascalia = QString());

    // A vector drawing (SVG) shown so large, centred, then "Figura N –
    // didascalia" below it, the two on one page: drawn as vectors on screen
    // and in a .pdf, written as SVG. Returns N.
    // `paginaPropria`: a drawing as large as a page begins one, and never
    // has to be moved there once the pages are laid out.
    int disegno(const QByteArray& svg, QSizeF dimensioniCm, const QString& didascalia,
                Pittura pittura = {}, bool paginaPropria = false);

    // Where the next paragraph will begin.
    int posizione() const { return cursore_.position(); }

    // Hears of the table rows as they are written, some rows at a time: how
    // many since it last heard. A long report is mostly rows.
    std::function<void(int righe)> righeScritte;

  private:
    QTextDocument& documento_;
    QTextCursor cursore_;
    bool primo_ = true;
    int figure_ = 0;
    int tabelle_ = 0;
    // A new paragraph; `livello` the heading's, from 1; 0 for body text.
    void blocco(Qt::Alignment allineamento, bool tieniConIlSeguente = false, int livello = 0,
                bool paginaNuova = false);
    void didascaliaFigura(const QString& didascalia);
};

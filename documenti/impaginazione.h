#pragma once

#include "errori/avanzamento.h"

#include <QFont>
#include <QRectF>
#include <QString>
#include <QTextBlock>
#include <QTextFrame>

#include <map>

#include <memory>
#include <vector>

class QPagedPaintDevice;
class QPaintDevice;
class QPainter;
class QPdfWriter;
class QTextDocument;
class QTextTable;

// The page of every saved report, in every format: A4 portrait, 2 cm
// between the text and each edge of the paper, "Pagina N di M" centred in
// the bottom margin, and the document's header, if it has one, centred over
// a thin line in the top margin.
namespace pagina {

inline constexpr double larghezzaCm = 21.0;
inline constexpr double altezzaCm = 29.7;
inline constexpr double margineCm = 2.0;
// From the bottom edge of the paper to the foot of the page number's line:
// where word processors put a footer unless told otherwise.
inline constexpr double piedeCm = 1.25;
// From the top edge of the paper to the top of the header's line, if the
// document has one: the footer's place, mirrored.
inline constexpr double testaCm = 1.25;

// The footer's words round the two numbers.
inline constexpr char piedePrima[] = "Pagina ";
inline constexpr char piedeTra[] = " di ";

QString testoPiede(int numero, int pagine);

} // namespace pagina

// The document laid out on the report's pages for a paint device (a
// QPdfWriter whose page is A4 with no margins of its own); the document is
// left as it is. Each paragraph is laid out once, on
// its own, and the pages are filled in one pass, so a report of thousands
// of rows takes time in proportion to its length. Each table's heading
// rows come again at the top of every page it runs onto, and a row is
// never split. A paragraph kept with the next one (tieniConIlSeguente), or
// a run of them, goes to the next page when it would end a page without
// the start of what follows, unless the run is longer than a page; a
// paragraph holding a picture is never split, and one that a page break
// would leave its first line of alone at the foot of a page, or its last
// at the head of the next with no more than three lines before the break,
// goes to the next page whole. The entries of a table of contents show
// their headings' pages, right aligned after a row of dots.
class PagineA4 {
  public:
    // `avanzamento` hears of the paragraphs as they are measured, and may
    // stop the measuring (Annullato).
    PagineA4(const QTextDocument& documento, QPaintDevice& dispositivo,
             Avanzamento avanzamento = {});
    ~PagineA4();
    PagineA4(const PagineA4&) = delete;
    PagineA4& operator=(const PagineA4&) = delete;

    int pagine() const;
    // The page (from 1) that a position of the document falls on.
    int pagina(int posizione) const;
    // The page of each entry's heading, entries in document order; 0 for an
    // entry whose heading is gone.
    const std::vector<int>& pagineVoci() const { return pagineVoci_; }
    // Page `numero` (from 1), its header and footer included, with the
    // painter's origin at the paper's top left corner.
    void disegna(QPainter& pittore, int numero) const;

    // What the pages are made of, defined with them.
    struct Elemento;
    struct Tabella;
    struct Posto;

  private:
    std::vector<Elemento> flusso(QTextFrame::iterator inizio, double larghezza);
    Elemento paragrafo(const QTextBlock& blocco, double larghezza);
    Elemento tabella(QTextTable& tabella, double larghezza);
    void impagina();
    void segnaPagina(const Elemento& elemento, int pagina);
    void segnaRiga(const Tabella& tabella, std::size_t riga, int pagina);
    void disegnaElemento(QPainter& pittore, const Elemento& elemento, QPointF cima, int da,
                         int a) const;
    void disegnaRiga(QPainter& pittore, const Tabella& tabella, int riga, QPointF cima) const;
    void disegnaNumero(QPainter& pittore, const QTextBlock& voce, QPointF cima) const;

    std::unique_ptr<QTextDocument> copia_; // of a document shown, if it is
    QTextDocument* documento_;             // the one laid out
    QPaintDevice& dispositivo_;
    double scala_; // device pixels to the document's (96 per inch)
    QRectF testo_; // the text's area on the paper, in device pixels
    double piede_; // the footer line's foot, in device pixels from the top
    double testa_; // the header line's top, in device pixels from the top
    QString intestazione_;
    QFont carattere_;

    std::vector<Elemento> radice_;
    std::vector<std::vector<Posto>> pagine_;
    // The page of each paragraph's first line, by its number; of each
    // line, for a paragraph split between pages.
    std::vector<int> paginaParagrafo_;
    std::map<int, std::vector<int>> paginaRiga_;
    std::map<int, int> voci_; // the entries' page numbers, by paragraph number
    std::vector<int> pagineVoci_;
    Avanzamento misura_;
    int misurati_ = 0; // paragraphs measured
};

// Sets a .pdf writer to the report's paper: A4 with no margins of its own,
// at 300 dpi. The pages are laid out for it, and so measured.
void preparaPdf(QPdfWriter& pdf);

// Draws pages `da` to `a` (from 1; 0 for the last) of the document on a
// paged device set to A4 with no margins of its own (a .pdf, a printer), a
// new page before each but the first. False when nothing could be drawn.
// `avanzamento` hears of the paragraphs measured, then of each page
// before it is drawn, and may stop the work there (Annullato).
bool disegnaPagine(const QTextDocument& documento, QPagedPaintDevice& dispositivo, int da = 1,
                   int a = 0, Avanzamento avanzamento = {});

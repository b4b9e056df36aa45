#include "documenti/impaginazione.h"

#include "documenti/disegno_documento.h"
#include "documenti/indice.h"
#include "documenti/percorso_documento.h"
#include "documenti/proprieta_documento.h"
#include "documenti/struttura_documento.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

double pixel(double cm, int dpi) {
    return cm / 2.54 * dpi;
}

// The pictures a document holds, laid out at the size the editor shows
// them, scaled to the device.
class GestoreImmagini : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

  public:
    using QObject::QObject;

    QSizeF intrinsicSize(QTextDocument* documento, int, const QTextFormat& formato) override {
        const QTextImageFormat immagine = formato.toImageFormat();
        QSizeF dimensioni = dimensioniImmagine(immagine, immagineRisorsa(*documento, immagine));
        if (const QPaintDevice* dispositivo = documento->documentLayout()->paintDevice()) {
            dimensioni *= dispositivo->logicalDpiY() / 96.0;
        }
        return dimensioni;
    }

    void drawObject(QPainter* pittore, const QRectF& rettangolo, QTextDocument* documento, int,
                    const QTextFormat& formato) override {
        const QImage immagine = immagineRisorsa(*documento, formato.toImageFormat());
        if (!immagine.isNull()) {
            pittore->drawImage(rettangolo, immagine);
        }
    }
};

// A document layout that lays nothing out by itself: the pages lay each
// paragraph out as they place it. Qt's own would lay the whole document out
// as one long page first, at a cost that grows faster than its length. It
// keeps what a paragraph's layout asks of the document's: the device the
// fonts are measured on, and the objects inline.
class SoloParagrafi : public QAbstractTextDocumentLayout {
  public:
    explicit SoloParagrafi(QTextDocument* documento) : QAbstractTextDocumentLayout(documento) {
        registerHandler(QTextFormat::ImageObject, new GestoreImmagini(this));
    }
    void draw(QPainter*, const PaintContext&) override {}
    int hitTest(const QPointF&, Qt::HitTestAccuracy) const override { return -1; }
    int pageCount() const override { return 1; }
    QSizeF documentSize() const override { return {}; }
    QRectF frameBoundingRect(QTextFrame*) const override { return {}; }
    QRectF blockBoundingRect(const QTextBlock&) const override { return {}; }

  protected:
    void documentChanged(int, int, int) override {}
};

bool conImmagine(const QTextBlock& blocco) {
    for (auto it = blocco.begin(); !it.atEnd(); ++it) {
        const QTextCharFormat formato = it.fragment().charFormat();
        if (formato.isImageFormat() || eDisegno(formato)) {
            return true;
        }
    }
    return false;
}

// The room an entry keeps for its page number: the widest number the
// pages will need, in digits that are as wide as any other.
const QString segnaposto = QStringLiteral("000");

// The font of a paragraph's last character: an entry's page number and
// dots take it.
QFont carattereFinale(const QTextBlock& blocco, QPaintDevice* dispositivo) {
    QTextCharFormat formato = blocco.charFormat();
    for (auto it = blocco.begin(); !it.atEnd(); ++it) {
        formato = it.fragment().charFormat();
    }
    return QFont(formato.font(), dispositivo);
}

// From the top of line `n` of a laid-out paragraph to the top of the next
// line, or to the paragraph's last line's foot.
double piedeRiga(const QTextLayout& disposizione, int n, double fine) {
    return n + 1 < disposizione.lineCount() ? disposizione.lineAt(n + 1).y() : fine;
}

} // namespace

// A paragraph or a table with the room it takes; inside a cell, where its
// top lies below the cell's.
struct PagineA4::Elemento {
    QTextBlock blocco; // a paragraph's
    std::unique_ptr<Tabella> tabella;
    double sopra = 0;   // a paragraph's room above its first line
    double righe = 0;   // the height of its lines
    double altezza = 0; // all the room it takes
    double y = 0;       // inside a cell
    bool tenuto = false;
    bool figura = false;
    bool nuovaPagina = false;
};

struct PagineA4::Tabella {
    struct Cella {
        int colonna = 0;
        int colonne = 1;
        std::vector<Elemento> contenuto;
    };
    struct Riga {
        double altezza = 0;
        std::vector<Cella> celle;
    };
    const QTextTable* tabella = nullptr;
    std::vector<double> bordi; // each column's left edge, then the last one's right
    double bordo = 0;
    double margine = 0;
    QBrush colore;
    int intestazione = 0; // heading rows, repeated on every page
    double altezzaIntestazione = 0;
    std::vector<Riga> righe;
};

// What a page shows of an element, and where: lines `da` to `a` of a
// paragraph, or row `da` of a table.
struct PagineA4::Posto {
    const Elemento* elemento;
    int da;
    int a;
    double y;
};

QString pagina::testoPiede(int numero, int pagine) {
    return piedePrima + QString::number(numero) + piedeTra + QString::number(pagine);
}

// A document no one shows has no layout yet: it is laid out in place,
// for the pages only, and left with none again when they are done. One
// shown in the editor is copied, so that the editor's layout stays as it
// is; the copy costs as long as writing the document did.
PagineA4::PagineA4(const QTextDocument& documento, QPaintDevice& dispositivo,
                   Avanzamento avanzamento)
    : dispositivo_(dispositivo), scala_(dispositivo.logicalDpiY() / 96.0),
      misura_(std::move(avanzamento)) {
    if (documento.findChild<QAbstractTextDocumentLayout*>(QString(), Qt::FindDirectChildrenOnly)) {
        copia_.reset(documento.clone());
        documento_ = copia_.get();
    } else {
        documento_ = const_cast<QTextDocument*>(&documento);
    }
    const int dpiX = dispositivo.logicalDpiX();
    const int dpiY = dispositivo.logicalDpiY();
    testo_ = QRectF(pixel(pagina::margineCm, dpiX), pixel(pagina::margineCm, dpiY),
                    pixel(pagina::larghezzaCm - 2 * pagina::margineCm, dpiX),
                    pixel(pagina::altezzaCm - 2 * pagina::margineCm, dpiY));
    piede_ = pixel(pagina::altezzaCm - pagina::piedeCm, dpiY);
    testa_ = pixel(pagina::testaCm, dpiY);
    intestazione_ = proprietaDi(documento).intestazione;
    auto* disposizione = new SoloParagrafi(documento_);
    documento_->setDocumentLayout(disposizione);
    disposizione->setPaintDevice(&dispositivo);
    abilitaDisegni(*documento_);

    std::vector<QString> destinazioni;
    for (QTextBlock blocco = documento_->begin(); blocco.isValid(); blocco = blocco.next()) {
        if (livelloVoceIndice(blocco.blockFormat()) > 0) {
            destinazioni.push_back(destinazioneVoce(blocco));
            voci_[blocco.blockNumber()] = 0;
        }
    }
    paginaParagrafo_.assign(static_cast<std::size_t>(documento_->blockCount()), 0);
    try {
        radice_ = flusso(documento_->rootFrame()->begin(), testo_.width());
    } catch (...) {
        // Stopped (Annullato) or failed: no destructor runs to give the
        // document back its own layout.
        if (!copia_) {
            documento_->setDocumentLayout(nullptr);
        }
        throw;
    }
    impagina();

    const std::map<QString, int> ancore = posizioniAncore(*documento_);
    auto destinazione = destinazioni.begin();
    for (auto& [numero, paginaVoce] : voci_) {
        const auto ancora = ancore.find(*destinazione++);
        paginaVoce = ancora == ancore.end() ? 0 : pagina(ancora->second);
        pagineVoci_.push_back(paginaVoce);
    }

    const Carattere piede = carattereDelTesto(documento);
    carattere_ = QFont(piede.famiglia);
    carattere_.setPointSizeF(piede.punti);
    carattere_.setBold(piede.grassetto);
    carattere_.setItalic(piede.corsivo);
    // One line, cut short with "…" when longer: the header's room above the
    // text holds no more, and a name of any length is measured once, not
    // on every page.
    const QFontMetricsF misure(QFont(carattere_, &dispositivo), &dispositivo);
    intestazione_ = misure.elidedText(intestazione_, Qt::ElideRight, testo_.width());
}

PagineA4::~PagineA4() {
    if (!copia_) {
        // Dropping the pages' layout drops every paragraph's lines with it.
        documento_->setDocumentLayout(nullptr);
    }
}

// The paragraphs and tables of a frame, `larghezza` wide; the paragraphs
// that only hold a table in place take no room and are left out.
std::vector<PagineA4::Elemento> PagineA4::flusso(QTextFrame::iterator it, double larghezza) {
    std::vector<Elemento> esito;
    for (; !it.atEnd(); ++it) {
        if (QTextFrame* cornice = it.currentFrame()) {
            if (auto* tabella = qobject_cast<QTextTable*>(cornice)) {
                esito.push_back(this->tabella(*tabella, larghezza));
            } else {
                std::vector<Elemento> dentro = flusso(cornice->begin(), larghezza);
                std::move(dentro.begin(), dentro.end(), std::back_inserter(esito));
            }
        } else if (!paragrafoDiServizio(it.currentBlock())) {
            esito.push_back(paragrafo(it.currentBlock(), larghezza));
        }
    }
    return esito;
}

PagineA4::Elemento PagineA4::paragrafo(const QTextBlock& blocco, double larghezza) {
    misura_(misurati_++, documento_->blockCount());
    const QTextBlockFormat formato = blocco.blockFormat();
    Elemento esito;
    esito.blocco = blocco;
    esito.tenuto = tenutoConIlSeguente(formato);
    esito.figura = conImmagine(blocco);
    esito.nuovaPagina = formato.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore;

    QTextOption opzione = documento_->defaultTextOption();
    opzione.setAlignment(formato.alignment());
    opzione.setTabs(formato.tabPositions());
    QTextLayout* disposizione = blocco.layout();
    disposizione->setTextOption(opzione);
    // Shaped once, for the pages and for the drawing.
    disposizione->setCacheEnabled(true);
    const double sinistra =
        (formato.leftMargin() + formato.indent() * documento_->indentWidth()) * scala_;
    double destra = formato.rightMargin() * scala_;
    if (voci_.count(blocco.blockNumber()) > 0) {
        // A .pdf reads "#anchor" as a web address: an entry is no link
        // there. Set on its lines alone, the document keeps it.
        QTextCharFormat senzaCollegamento;
        senzaCollegamento.setAnchor(false);
        senzaCollegamento.setAnchorHref(QString());
        disposizione->setFormats({{0, blocco.length(), senzaCollegamento}});
        const QFontMetricsF misure(carattereFinale(blocco, &dispositivo_), &dispositivo_);
        destra += misure.horizontalAdvance(segnaposto) + 2 * misure.horizontalAdvance('.');
    }
    double y = 0;
    disposizione->beginLayout();
    for (QTextLine riga = disposizione->createLine(); riga.isValid();
         riga = disposizione->createLine()) {
        const double rientro = riga.lineNumber() == 0 ? formato.textIndent() * scala_ : 0;
        riga.setLineWidth(std::max(larghezza - sinistra - destra - rientro, 1.0));
        riga.setPosition(QPointF(sinistra + rientro, y));
        y += formato.lineHeight(riga.height(), scala_);
    }
    disposizione->endLayout();
    esito.sopra = formato.topMargin() * scala_;
    esito.righe = y;
    esito.altezza = esito.sopra + y + formato.bottomMargin() * scala_;
    return esito;
}

PagineA4::Elemento PagineA4::tabella(QTextTable& qt, double larghezza) {
    const QTextTableFormat formato = qt.format();
    auto t = std::make_unique<Tabella>();
    t->tabella = &qt;
    if (formato.borderStyle() != QTextFrameFormat::BorderStyle_None) {
        t->bordo = formato.border() * scala_;
    }
    t->margine = formato.cellPadding() * scala_;
    t->colore =
        formato.borderBrush().style() == Qt::NoBrush ? QBrush(Qt::black) : formato.borderBrush();
    t->intestazione = std::clamp(formato.headerRowCount(), 0, qt.rows());

    // Fixed columns as set, a share of the width for the others; the whole
    // no wider than the text, and placed as the table is aligned.
    const QList<QTextLength> vincoli = formato.columnWidthConstraints();
    std::vector<double> larghezze(static_cast<std::size_t>(qt.columns()), 0);
    double fisse = 0;
    int libere = 0;
    for (int c = 0; c < qt.columns(); ++c) {
        const QTextLength vincolo = c < vincoli.size() ? vincoli[c] : QTextLength();
        double& l = larghezze[static_cast<std::size_t>(c)];
        if (vincolo.type() == QTextLength::FixedLength) {
            l = vincolo.rawValue() * scala_;
        } else if (vincolo.type() == QTextLength::PercentageLength) {
            l = vincolo.rawValue() / 100 * larghezza;
        } else {
            ++libere;
        }
        fisse += l;
    }
    for (double& l : larghezze) {
        if (l == 0 && libere > 0) {
            l = std::max(larghezza - fisse, 0.0) / libere;
        }
    }
    const double totale = std::accumulate(larghezze.begin(), larghezze.end(), 0.0);
    const double riduzione = totale > larghezza ? larghezza / totale : 1;
    const double occupata = std::min(totale, larghezza);
    double x = formato.alignment() & Qt::AlignHCenter ? (larghezza - occupata) / 2
               : formato.alignment() & Qt::AlignRight ? larghezza - occupata
                                                      : 0;
    for (const double l : larghezze) {
        t->bordi.push_back(x);
        x += l * riduzione;
    }
    t->bordi.push_back(x);

    for (int r = 0; r < qt.rows(); ++r) {
        Tabella::Riga riga;
        double contenuto = 0;
        for (int c = 0; c < qt.columns(); ++c) {
            const QTextTableCell cella = qt.cellAt(r, c);
            if (cella.row() != r || cella.column() != c) {
                continue; // covered by a merged cell
            }
            const int fine = std::min(c + cella.columnSpan(), qt.columns());
            const auto ci = static_cast<std::size_t>(c);
            const auto fi = static_cast<std::size_t>(fine);
            const double interno = t->bordi[fi] - t->bordi[ci] - 2 * t->margine - t->bordo;
            Tabella::Cella misurata{c, fine - c, flusso(cella.begin(), std::max(interno, 1.0))};
            double y = 0;
            for (Elemento& e : misurata.contenuto) {
                e.y = y;
                y += e.altezza;
            }
            contenuto = std::max(contenuto, y);
            riga.celle.push_back(std::move(misurata));
        }
        riga.altezza = contenuto + 2 * t->margine + t->bordo;
        t->righe.push_back(std::move(riga));
    }
    Elemento esito;
    for (std::size_t r = 0; r < t->righe.size(); ++r) {
        esito.altezza += t->righe[r].altezza;
        if (static_cast<int>(r) < t->intestazione) {
            t->altezzaIntestazione += t->righe[r].altezza;
        }
    }
    esito.tabella = std::move(t);
    return esito;
}

namespace {

// Whether a paragraph of `n` lines may leave `restano` of them at the foot
// of a page, the rest going on to the next: never one line alone at the
// foot, nor the last alone at the head after three or fewer. (A word
// processor moves one line more; a long paragraph moved whole would leave
// most of a page empty.)
bool spezzabile(int restano, int n) {
    return restano >= 2 && (n - restano >= 2 || restano > 3);
}

} // namespace

void PagineA4::impagina() {
    const double altezza = testo_.height();
    pagine_.emplace_back();
    double y = 0;
    const auto nuova = [&] {
        pagine_.emplace_back();
        y = 0;
    };
    // The least of an element that must stand on the page it starts on.
    const auto inizio = [](const Elemento& e) {
        if (e.tabella) {
            const Tabella& t = *e.tabella;
            const auto primaRiga = static_cast<std::size_t>(t.intestazione);
            return t.altezzaIntestazione +
                   (primaRiga < t.righe.size() ? t.righe[primaRiga].altezza : 0);
        }
        const QTextLayout* d = e.blocco.layout();
        if (e.figura || d->lineCount() <= 3) {
            return e.altezza;
        }
        return e.sopra + d->lineAt(2).y();
    };

    for (std::size_t i = 0; i < radice_.size(); ++i) {
        const Elemento& e = radice_[i];
        if (e.nuovaPagina && y > 0) {
            nuova();
        }
        if (e.tenuto && y > 0) {
            // A run of paragraphs kept with the next goes whole with the
            // start of what follows, when a page can hold them.
            double serve = 0;
            std::size_t s = i;
            while (s < radice_.size() && radice_[s].tenuto && !radice_[s].tabella) {
                serve += radice_[s].altezza;
                ++s;
            }
            if (s < radice_.size()) {
                serve += inizio(radice_[s]);
                if (y + serve > altezza && serve <= altezza) {
                    nuova();
                }
            }
        }
        if (e.tabella) {
            const Tabella& t = *e.tabella;
            if (y > 0 && y + inizio(e) > altezza) {
                nuova();
            }
            for (std::size_t r = 0; r < t.righe.size(); ++r) {
                const double h = t.righe[r].altezza;
                if (y > 0 && y + h > altezza) {
                    nuova();
                    // The heading rows again, unless they fill the page.
                    if (static_cast<int>(r) >= t.intestazione &&
                        t.altezzaIntestazione + h <= altezza) {
                        for (int h0 = 0; h0 < t.intestazione; ++h0) {
                            pagine_.back().push_back({&e, h0, h0 + 1, y});
                            y += t.righe[static_cast<std::size_t>(h0)].altezza;
                        }
                    }
                }
                pagine_.back().push_back({&e, static_cast<int>(r), static_cast<int>(r) + 1, y});
                segnaRiga(t, r, static_cast<int>(pagine_.size()));
                y += h;
            }
            continue;
        }

        // A paragraph: whole if it fits, else split where it may be, else
        // on the next page.
        const QTextLayout* d = e.blocco.layout();
        const int n = d->lineCount();
        if (y > 0 && y + e.altezza > altezza) {
            int restano = 0;
            while (restano < n && y + e.sopra + piedeRiga(*d, restano, e.righe) <= altezza) {
                ++restano;
            }
            if (e.figura || !spezzabile(restano, n)) {
                nuova();
            }
        }
        if (y + e.altezza <= altezza || n <= 1) {
            pagine_.back().push_back({&e, 0, n, y});
            segnaPagina(e, static_cast<int>(pagine_.size()));
            y += e.altezza;
            continue;
        }
        std::vector<int> pagineRighe;
        double cima = y + e.sopra; // where the next line goes
        int da = 0;
        while (da < n) {
            const double base = d->lineAt(da).y();
            int a = da + 1;
            while (a < n && cima + piedeRiga(*d, a, e.righe) - base <= altezza) {
                ++a;
            }
            pagine_.back().push_back({&e, da, a, cima - e.sopra});
            pagineRighe.insert(pagineRighe.end(), static_cast<std::size_t>(a - da),
                               static_cast<int>(pagine_.size()));
            cima += piedeRiga(*d, a - 1, e.righe) - base;
            da = a;
            if (da < n) {
                nuova();
                cima = 0;
            }
        }
        y = cima + (e.altezza - e.sopra - e.righe);
        paginaParagrafo_[static_cast<std::size_t>(e.blocco.blockNumber())] = pagineRighe.front();
        paginaRiga_[e.blocco.blockNumber()] = std::move(pagineRighe);
    }
}

// Every paragraph of an element, on the page (from 1) of its row.
void PagineA4::segnaPagina(const Elemento& elemento, int pagina) {
    if (!elemento.tabella) {
        int& segnata = paginaParagrafo_[static_cast<std::size_t>(elemento.blocco.blockNumber())];
        if (segnata == 0) {
            segnata = pagina;
        }
        return;
    }
    for (std::size_t r = 0; r < elemento.tabella->righe.size(); ++r) {
        segnaRiga(*elemento.tabella, r, pagina);
    }
}

void PagineA4::segnaRiga(const Tabella& tabella, std::size_t riga, int pagina) {
    for (const Tabella::Cella& cella : tabella.righe[riga].celle) {
        for (const Elemento& dentro : cella.contenuto) {
            segnaPagina(dentro, pagina);
        }
    }
}

int PagineA4::pagine() const {
    return static_cast<int>(pagine_.size());
}

int PagineA4::pagina(int posizione) const {
    QTextBlock blocco = documento_->findBlock(posizione);
    if (!blocco.isValid()) {
        return pagine();
    }
    const auto spezzato = paginaRiga_.find(blocco.blockNumber());
    if (spezzato != paginaRiga_.end()) {
        const QTextLine riga = blocco.layout()->lineForTextPosition(posizione - blocco.position());
        const int n = riga.isValid() ? riga.lineNumber() : 0;
        return spezzato->second[static_cast<std::size_t>(n)];
    }
    // A paragraph that holds a table in place is on the page of what follows.
    for (; blocco.isValid(); blocco = blocco.next()) {
        if (const int p = paginaParagrafo_[static_cast<std::size_t>(blocco.blockNumber())]) {
            return p;
        }
    }
    return pagine();
}

// Lines `da` to `a` of a paragraph, the top of its room above them at
// `cima`; or a table whole, inside a cell.
void PagineA4::disegnaElemento(QPainter& pittore, const Elemento& e, QPointF cima, int da,
                               int a) const {
    if (e.tabella) {
        for (std::size_t r = 0; r < e.tabella->righe.size(); ++r) {
            disegnaRiga(pittore, *e.tabella, static_cast<int>(r), cima);
            cima.ry() += e.tabella->righe[r].altezza;
        }
        return;
    }
    const QTextLayout* d = e.blocco.layout();
    const int n = d->lineCount();
    if (n == 0) {
        return;
    }
    const double base = d->lineAt(da).y();
    const QPointF origine(cima.x(), cima.y() + e.sopra - base);
    if (da == 0 && a == n) {
        d->draw(&pittore, origine);
    } else {
        // Only the lines of this page: a PDF keeps text drawn out of sight,
        // and a search would find it twice. A pixel in from each edge, a
        // line that only touches the slice is not drawn.
        const double fine = piedeRiga(*d, a - 1, e.righe);
        d->draw(&pittore, origine, {},
                QRectF(cima.x(), origine.y() + base + 1, testo_.width(), fine - base - 2));
    }
    if (a == n && voci_.count(e.blocco.blockNumber()) > 0) {
        disegnaNumero(pittore, e.blocco, origine);
    }
}

void PagineA4::disegnaRiga(QPainter& pittore, const Tabella& t, int r, QPointF cima) const {
    const Tabella::Riga& riga = t.righe[static_cast<std::size_t>(r)];
    for (const Tabella::Cella& cella : riga.celle) {
        const double sinistra = cima.x() + t.bordi[static_cast<std::size_t>(cella.colonna)];
        const double destra =
            cima.x() + t.bordi[static_cast<std::size_t>(cella.colonna + cella.colonne)];
        const QRectF rettangolo(sinistra, cima.y(), destra - sinistra, riga.altezza);
        const QBrush sfondo = t.tabella->cellAt(r, cella.colonna).format().background();
        if (sfondo.style() != Qt::NoBrush) {
            pittore.fillRect(rettangolo, sfondo);
        }
        const double dentro = t.bordo / 2 + t.margine;
        for (const Elemento& e : cella.contenuto) {
            const int righe = e.tabella ? 0 : e.blocco.layout()->lineCount();
            disegnaElemento(pittore, e,
                            QPointF(rettangolo.left() + dentro, rettangolo.top() + dentro + e.y), 0,
                            righe);
        }
        if (t.bordo > 0) {
            // Each cell its border, on the line it shares with the next.
            pittore.save();
            pittore.setPen(QPen(t.colore, t.bordo));
            pittore.setBrush(Qt::NoBrush);
            pittore.drawRect(rettangolo);
            pittore.restore();
        }
    }
}

// An entry's page number at the text's right edge, on its last line, and
// a row of dots up to it on the dots' grid from that edge, so that the
// rows line up.
void PagineA4::disegnaNumero(QPainter& pittore, const QTextBlock& voce, QPointF origine) const {
    const int numero = voci_.at(voce.blockNumber());
    if (numero == 0) {
        return;
    }
    const QTextLayout* d = voce.layout();
    const QTextLine ultima = d->lineAt(d->lineCount() - 1);
    const QFont carattere = carattereFinale(voce, pittore.device());
    const QFontMetricsF misure(carattere, pittore.device());
    const QString testo = QString::number(numero);
    const double destra = testo_.width();
    const double xNumero = destra - misure.horizontalAdvance(testo);
    const double linea = origine.y() + ultima.y() + ultima.ascent();
    const double passo = misure.horizontalAdvance('.');
    const double inizio = origine.x() + ultima.x() + ultima.naturalTextWidth() + passo;
    const double ultimo = destra - std::ceil((destra - (xNumero - passo)) / passo) * passo;
    const int puntini = static_cast<int>(std::floor((ultimo - inizio) / passo));
    pittore.save();
    pittore.setFont(carattere);
    if (puntini > 0) {
        pittore.drawText(QPointF(ultimo - puntini * passo, linea), QString(puntini, '.'));
    }
    pittore.drawText(QPointF(xNumero, linea), testo);
    pittore.restore();
}

void PagineA4::disegna(QPainter& pittore, int numero) const {
    pittore.save();
    pittore.translate(testo_.topLeft());
    pittore.setPen(Qt::black);
    if (numero >= 1 && numero <= pagine()) {
        for (const Posto& posto : pagine_[static_cast<std::size_t>(numero - 1)]) {
            if (posto.elemento->tabella) {
                disegnaRiga(pittore, *posto.elemento->tabella, posto.da, QPointF(0, posto.y));
            } else {
                disegnaElemento(pittore, *posto.elemento, QPointF(0, posto.y), posto.da, posto.a);
            }
        }
    }
    pittore.restore();

    pittore.save();
    pittore.setFont(QFont(carattere_, pittore.device()));
    pittore.setPen(Qt::black);
    if (!intestazione_.isEmpty()) {
        // Centred, wrapped at the text's width, over a line 0.5 pt thick
        // 1 pt below it: a header paragraph with a bottom border.
        QRectF occupato;
        pittore.drawText(QRectF(testo_.left(), testa_, testo_.width(), testo_.top() - testa_),
                         Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, intestazione_,
                         &occupato);
        const double punto = pittore.device()->logicalDpiY() / 72.0;
        const double y = occupato.bottom() + 1.25 * punto;
        pittore.save();
        pittore.setPen(QPen(Qt::black, 0.5 * punto));
        pittore.drawLine(QPointF(testo_.left(), y), QPointF(testo_.right(), y));
        pittore.restore();
    }
    const QFontMetricsF misure(pittore.font(), pittore.device());
    const QString piede = pagina::testoPiede(numero, pagine());
    pittore.drawText(QPointF(testo_.center().x() - misure.horizontalAdvance(piede) / 2,
                             piede_ - misure.descent()),
                     piede);
    pittore.restore();
}

void preparaPdf(QPdfWriter& pdf) {
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    pdf.setResolution(300);
}

bool disegnaPagine(const QTextDocument& documento, QPagedPaintDevice& dispositivo, int da, int a,
                   Avanzamento avanzamento) {
    // Measuring is the first half of the work heard of, drawing the second.
    const PagineA4 pagine(documento, dispositivo, avanzamento.parte(0, 2));
    Avanzamento disegno = avanzamento.parte(1, 2);
    QPainter pittore(&dispositivo);
    if (!pittore.isActive()) {
        return false;
    }
    const int prima = std::max(da, 1);
    const int ultima = a > 0 ? std::min(a, pagine.pagine()) : pagine.pagine();
    const int tutte = std::max(ultima - prima + 1, 0);
    for (int numero = prima; numero <= ultima; ++numero) {
        disegno(numero - prima, tutte);
        if (numero > prima) {
            dispositivo.newPage();
        }
        pagine.disegna(pittore, numero);
    }
    disegno(tutte, tutte);
    return true;
}

#include "impaginazione.moc"

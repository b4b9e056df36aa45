#include "documenti/impaginazione.h"

#include "documenti/disegno_documento.h"
#include "documenti/elaboratore_testi.h"
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
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

namespace {

double pixel(double cm, int dpi) {
    return cm / 2.54 * dpi;
}

// Where a paragraph's lines lie on the long laid-out page: the top of the
// first and the foot of the last, in the layout's pixels.
struct Righe {
    double inizio;
    double fine;
};

// Where the paragraph's lines are measured from. Asked before the lines:
// it lays the document out as far as the paragraph.
double origine(const QTextBlock& blocco) {
    return blocco.document()->documentLayout()->blockBoundingRect(blocco).top();
}

Righe righe(const QTextBlock& blocco) {
    const double posizione = origine(blocco);
    const QTextLayout* disposizione = blocco.layout();
    if (disposizione->lineCount() == 0) {
        return {posizione, posizione};
    }
    const QTextLine ultima = disposizione->lineAt(disposizione->lineCount() - 1);
    return {posizione + disposizione->lineAt(0).y(), posizione + ultima.y() + ultima.height()};
}

// The page (from 0) that a line's top, or its foot, lies on, pages being
// `altezza` high. Qt places lines in 64ths of a pixel, and pages too: half
// a pixel of leeway.
int paginaDelCapo(double y, double altezza) {
    return static_cast<int>(std::floor((y + 0.5) / altezza));
}
int paginaDelPiede(double y, double altezza) {
    return static_cast<int>(std::floor((y - 0.5) / altezza));
}

// Whether a page break leaves one line of the paragraph alone, the first at
// a page's foot or the last at the head of the next, and the paragraph had
// better go to the next page whole: always for the first line, and for the
// last when no more than three lines would be left behind. (A word
// processor moves one line more; a long paragraph moved whole would leave
// most of a page empty.)
bool lasciaUnaRigaSola(const QTextBlock& blocco, double altezza) {
    const QTextLayout* disposizione = blocco.layout();
    const int totale = disposizione->lineCount();
    if (totale < 2) {
        return false;
    }
    const double posizione = origine(blocco);
    const auto paginaDellaRiga = [&](int n) {
        return paginaDelCapo(posizione + disposizione->lineAt(n).y(), altezza);
    };
    const int prima = paginaDellaRiga(0);
    const int ultima = paginaDellaRiga(totale - 1);
    if (prima == ultima) {
        return false;
    }
    int primaPagina = 1; // lines on the first page
    while (primaPagina < totale && paginaDellaRiga(primaPagina) == prima) {
        ++primaPagina;
    }
    const bool ultimaSola = paginaDellaRiga(totale - 2) != ultima;
    return primaPagina == 1 || (ultimaSola && primaPagina <= 3);
}

bool conImmagine(const QTextBlock& blocco) {
    for (auto it = blocco.begin(); !it.atEnd(); ++it) {
        const QTextCharFormat formato = it.fragment().charFormat();
        if (formato.isImageFormat() || eDisegno(formato)) {
            return true;
        }
    }
    return false;
}

// The text's paragraphs and tables in order, each table by the first
// paragraph of its first cell; the paragraphs that only hold a table in
// place take no room and are left out.
struct Elemento {
    QTextBlock blocco;
    bool tabella;
};

// The room an entry keeps for its page number: the widest number the
// pages will need, in digits that are as wide as any other.
const QString segnaposto = QStringLiteral("000");

std::vector<Elemento> elementi(const QTextDocument& documento) {
    std::vector<Elemento> esito;
    for (auto it = documento.rootFrame()->begin(); !it.atEnd(); ++it) {
        if (it.currentFrame() != nullptr) {
            // Found by position: a cursor would lay the document out to it.
            esito.push_back({documento.findBlock(it.currentFrame()->firstPosition()), true});
        } else if (!paragrafoDiServizio(it.currentBlock())) {
            esito.push_back({it.currentBlock(), false});
        }
    }
    return esito;
}

} // namespace

QString pagina::testoPiede(int numero, int pagine) {
    return piedePrima + QString::number(numero) + piedeTra + QString::number(pagine);
}

PagineA4::PagineA4(const QTextDocument& documento, QPaintDevice& dispositivo)
    : copia_(documento.clone()) {
    const int dpiX = dispositivo.logicalDpiX();
    const int dpiY = dispositivo.logicalDpiY();
    testo_ = QRectF(pixel(pagina::margineCm, dpiX), pixel(pagina::margineCm, dpiY),
                    pixel(pagina::larghezzaCm - 2 * pagina::margineCm, dpiX),
                    pixel(pagina::altezzaCm - 2 * pagina::margineCm, dpiY));
    piede_ = pixel(pagina::altezzaCm - pagina::piedeCm, dpiY);
    testa_ = pixel(pagina::testaCm, dpiY);
    intestazione_ = proprietaDi(documento).intestazione;
    copia_->setUndoRedoEnabled(false);
    // Before the layout, which then makes room for them.
    riservaNumeri(dpiY);

    // Laid out for the device: Qt scales the document's pixels (96 per
    // inch) to the device's, and measures the fonts on it. A page is the
    // text's area alone: each is drawn inside the paper's margins. The
    // margin first: set on a document with its layout, it lays it all out
    // again.
    copia_->setDocumentMargin(0);
    abilitaDisegni(*copia_);
    copia_->documentLayout()->setPaintDevice(&dispositivo);
    copia_->setPageSize(testo_.size());
    if (tieniInsieme()) {
        // Page breaks put in one by one leave Qt's layout of what follows
        // them stale (a long table's last pages among it): laid out again
        // whole, no text is left off the last page.
        copia_->markContentsDirty(0, copia_->characterCount());
    }
    if (!voci_.empty()) {
        pagineVoci_ = pagineDelleVoci();
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

PagineA4::~PagineA4() = default;

int PagineA4::pagine() const {
    return copia_->pageCount();
}

int PagineA4::pagina(int posizione) const {
    // The copy's entries are longer by their page numbers.
    int spostamento = 0;
    for (const Voce& voce : voci_) {
        if (voce.fine < posizione) {
            spostamento += voce.blocco.length() - voce.lunghezza;
        }
    }
    return paginaNellaCopia(posizione + spostamento);
}

int PagineA4::paginaNellaCopia(int posizione) const {
    const QTextBlock blocco = copia_->findBlock(posizione);
    double y = origine(blocco);
    const QTextLine riga = blocco.layout()->lineForTextPosition(posizione - blocco.position());
    if (riga.isValid()) {
        y += riga.y();
    }
    return paginaDelCapo(y, testo_.height()) + 1;
}

// Each entry of a table of contents ends with a right tab at the text's
// edge and room for its page number, before the layout: the number
// written in it once the pages are known moves nothing.
void PagineA4::riservaNumeri(int dpi) {
    for (QTextBlock blocco = copia_->begin(); blocco.isValid(); blocco = blocco.next()) {
        if (livelloVoceIndice(blocco.blockFormat()) > 0) {
            voci_.push_back({blocco, destinazioneVoce(blocco),
                             blocco.position() + blocco.length() - 1, blocco.length()});
        }
    }
    // Qt scales tab stops from the document's pixels (96 per inch) to the
    // device's, from the paragraph's indent, but not the indent itself.
    // The number a hair inside the edge, lest it wrap.
    const double scala = dpi / 96.0;
    for (const Voce& v : voci_) {
        const QTextBlock& voce = v.blocco;
        QTextCursor cursore(voce);
        const double rientro = voce.blockFormat().leftMargin();
        QTextBlockFormat tabulazione;
        tabulazione.setLeftMargin(rientro * scala);
        tabulazione.setTabPositions(
            {QTextOption::Tab(testo_.width() / scala - rientro - 0.5, QTextOption::RightTab)});
        cursore.mergeBlockFormat(tabulazione);
        // A .pdf reads "#anchor" as a web address: the entry is no link there.
        cursore.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        QTextCharFormat senzaCollegamento;
        senzaCollegamento.setAnchor(false);
        senzaCollegamento.setAnchorHref(QString());
        cursore.mergeCharFormat(senzaCollegamento);
        cursore.clearSelection();
        cursore.insertText('\t' + segnaposto);
    }
}

std::vector<int> PagineA4::pagineDelleVoci() const {
    const std::map<QString, int> ancore = posizioniAncore(*copia_);
    std::vector<int> esito;
    for (const Voce& voce : voci_) {
        const auto ancora = ancore.find(voce.destinazione);
        esito.push_back(ancora == ancore.end() ? 0 : paginaNellaCopia(ancora->second));
    }
    return esito;
}

// The numbers in the room kept for them, written when the pages are first
// drawn (only the .pdf needs them); an entry with no heading has neither
// number nor tab.
void PagineA4::scriviNumeri() const {
    if (numerate_ || voci_.empty()) {
        return;
    }
    numerate_ = true;
    // One edit, laid out again once, from the first entry to the end: after
    // an edit Qt lays out what follows it stale.
    QTextCursor cursore(copia_.get());
    cursore.beginEditBlock();
    for (std::size_t n = 0; n < voci_.size(); ++n) {
        const QTextBlock& voce = voci_[n].blocco;
        const int tab = static_cast<int>(voce.text().lastIndexOf('\t'));
        cursore.setPosition(voce.position() + tab + (pagineVoci_[n] > 0 ? 1 : 0));
        cursore.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        cursore.insertText(pagineVoci_[n] > 0 ? QString::number(pagineVoci_[n]) : QString());
    }
    const int da = voci_.front().blocco.position();
    copia_->markContentsDirty(da, copia_->characterCount() - da);
    cursore.endEditBlock();
}

// A row of dots from each entry's text to its number, on the dots' grid
// from the text's right edge, so that the rows line up.
void PagineA4::disegnaPuntini(QPainter& pittore, int numero) const {
    for (std::size_t n = 0; n < voci_.size(); ++n) {
        const QTextBlock& voce = voci_[n].blocco;
        if (pagineVoci_[n] == 0) {
            continue;
        }
        const double y = origine(voce);
        const QTextLayout* disposizione = voce.layout();
        const int tab = static_cast<int>(voce.text().lastIndexOf('\t'));
        const QTextLine riga = disposizione->lineForTextPosition(tab);
        if (!riga.isValid() || paginaDelCapo(y + riga.y(), testo_.height()) + 1 != numero) {
            continue;
        }
        QTextCursor cursore(voce);
        cursore.setPosition(voce.position() + tab + 1);
        const QFont carattere(cursore.charFormat().font(), pittore.device());
        const QFontMetricsF misure(carattere, pittore.device());
        const double passo = misure.horizontalAdvance('.');
        const double x = disposizione->position().x();
        const double inizio = x + riga.cursorToX(tab) + passo;
        const double fine = x + riga.cursorToX(tab + 1) - passo;
        // Whole steps back from the edge: the first dot right of the text.
        const double ultimo = testo_.width() - std::ceil((testo_.width() - fine) / passo) * passo;
        const int puntini = static_cast<int>(std::floor((ultimo - inizio) / passo));
        if (puntini > 0) {
            pittore.setFont(carattere);
            pittore.drawText(QPointF(ultimo - puntini * passo, y + riga.y() + riga.ascent()),
                             QString(puntini, '.'));
        }
    }
}

// Page breaks in the copy, before the paragraphs that must start a page.
bool PagineA4::tieniInsieme() {
    bool spostato = false;
    const double altezza = testo_.height();

    // The paragraph goes to the next page when the test fails, and stays
    // there only if that makes it pass: a run longer than a page, or a
    // paragraph that starts a page already, stays where it is.
    const auto sposta = [&spostato](const QTextBlock& blocco, const auto& insieme) {
        if (insieme()) {
            return;
        }
        const QTextBlockFormat formato = blocco.blockFormat();
        // A paragraph that starts a page has its break: setting it again,
        // even to take it back, leaves Qt's layout after it stale.
        if (formato.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) {
            return;
        }
        QTextBlockFormat interruzione = formato;
        interruzione.setPageBreakPolicy(formato.pageBreakPolicy() |
                                        QTextFormat::PageBreak_AlwaysBefore);
        QTextCursor cursore(blocco);
        cursore.setBlockFormat(interruzione);
        if (insieme()) {
            spostato = true;
        } else {
            cursore.setBlockFormat(formato);
        }
    };

    const std::vector<Elemento> tutti = elementi(*copia_);
    for (std::size_t i = 0; i < tutti.size(); ++i) {
        if (tutti[i].tabella) {
            continue;
        }
        std::size_t seguente = i;
        while (seguente < tutti.size() && !tutti[seguente].tabella &&
               tenutoConIlSeguente(tutti[seguente].blocco.blockFormat())) {
            ++seguente;
        }
        const QTextBlock& primo = tutti[i].blocco;
        if (seguente > i && seguente < tutti.size()) {
            const QTextBlock& dopo = tutti[seguente].blocco;
            // A heading goes with its paragraph, should that move whole.
            const bool testo = !tutti[seguente].tabella;
            sposta(primo, [&] {
                return paginaDelCapo(righe(primo).inizio, altezza) ==
                           paginaDelCapo(righe(dopo).inizio, altezza) &&
                       !(testo && lasciaUnaRigaSola(dopo, altezza));
            });
            i = seguente - 1;
        } else if (seguente == i && conImmagine(primo)) {
            sposta(primo, [&] {
                const Righe estensione = righe(primo);
                return paginaDelCapo(estensione.inizio, altezza) ==
                       paginaDelPiede(estensione.fine, altezza);
            });
        } else if (seguente == i) {
            sposta(primo, [&] { return !lasciaUnaRigaSola(primo, altezza); });
        }
    }
    return spostato;
}

void PagineA4::disegna(QPainter& pittore, int numero) const {
    // The page's slice of the long laid-out document, moved onto the paper.
    const QRectF vista(0, (numero - 1) * testo_.height(), testo_.width(), testo_.height());
    scriviNumeri();
    pittore.save();
    pittore.translate(testo_.left(), testo_.top() - vista.top());
    pittore.setClipRect(vista);
    QAbstractTextDocumentLayout::PaintContext contesto;
    // Qt draws a line that only touches the page's edge: a line that starts
    // the next page would be written, clipped out of sight, on this one too,
    // and found twice in the PDF's text. A pixel in from each edge, it is not.
    contesto.clip = vista.adjusted(0, 1, 0, -1);
    contesto.palette.setColor(QPalette::Text, Qt::black);
    copia_->documentLayout()->draw(&pittore, contesto);
    disegnaPuntini(pittore, numero);
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
    const PagineA4 pagine(documento, dispositivo);
    QPainter pittore(&dispositivo);
    if (!pittore.isActive()) {
        return false;
    }
    const int prima = std::max(da, 1);
    const int ultima = a > 0 ? std::min(a, pagine.pagine()) : pagine.pagine();
    const int tutte = std::max(ultima - prima + 1, 0);
    for (int numero = prima; numero <= ultima; ++numero) {
        avanzamento(numero - prima, tutte);
        if (numero > prima) {
            dispositivo.newPage();
        }
        pagine.disegna(pittore, numero);
    }
    avanzamento(tutte, tutte);
    return true;
}

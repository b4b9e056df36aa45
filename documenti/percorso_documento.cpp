#include "documenti/percorso_documento.h"

#include "documenti/codifica_png.h"
#include "documenti/impaginazione.h"
#include "documenti/lavoro_diviso.h"

#include "documenti/disegno_documento.h"
#include "documenti/elaboratore_testi.h"
#include "documenti/struttura_documento.h"
#include "file/errore_file.h"

#include <QImage>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextTable>

#include <algorithm>
#include <set>
#include <tuple>

namespace {

constexpr double puntiPerPixel = 72.0 / 96.0;

// A4 less 2 cm margins: the share a column of no fixed width takes.
constexpr double larghezzaTestoPunti = (pagina::larghezzaCm - 2 * pagina::margineCm) / 2.54 * 72;

Allineamento allineamento(Qt::Alignment qt) {
    return qt & Qt::AlignHCenter   ? Allineamento::Centro
           : qt & Qt::AlignRight   ? Allineamento::Destra
           : qt & Qt::AlignJustify ? Allineamento::Giustificato
                                   : Allineamento::Sinistra;
}

} // namespace

QSizeF dimensioniImmagine(const QTextImageFormat& formato, const QImage& immagine) {
    const QSizeF propria = immagine.deviceIndependentSize();
    const bool larghezza = formato.hasProperty(QTextFormat::ImageWidth);
    const bool altezza = formato.hasProperty(QTextFormat::ImageHeight);
    if (larghezza && altezza) {
        return {formato.width(), formato.height()};
    }
    if (larghezza) {
        return {formato.width(), formato.width() * propria.height() / propria.width()};
    }
    if (altezza) {
        return {formato.height() * propria.width() / propria.height(), formato.height()};
    }
    return propria;
}

namespace {

FormatoTabella formatoTabella(const QTextTable& tabella) {
    const QTextTableFormat qt = tabella.format();
    FormatoTabella formato;
    formato.allineamento = allineamento(qt.alignment());
    const QList<QTextLength> vincoli = qt.columnWidthConstraints();
    for (int c = 0; c < tabella.columns(); ++c) {
        const bool fissa = c < vincoli.size() && vincoli[c].type() == QTextLength::FixedLength;
        formato.colonne.push_back(fissa ? vincoli[c].rawValue() * puntiPerPixel
                                        : larghezzaTestoPunti / tabella.columns());
    }
    if (qt.borderStyle() != QTextFrameFormat::BorderStyle_None) {
        formato.bordo = qt.border() * puntiPerPixel;
    }
    // Qt draws an unset border brush black too.
    const QBrush pennello = qt.borderBrush();
    formato.coloreBordo = pennello.style() == Qt::NoBrush ? QColor(Qt::black) : pennello.color();
    formato.margineCella = qt.cellPadding() * puntiPerPixel;
    return formato;
}

} // namespace

bool Carattere::operator<(const Carattere& altro) const {
    return std::tie(famiglia, punti, grassetto, corsivo, sottolineato) <
           std::tie(altro.famiglia, altro.punti, altro.grassetto, altro.corsivo,
                    altro.sottolineato);
}

Carattere carattere(const QTextCharFormat& formato, const QTextDocument& documento) {
    const QStringList famiglie = formato.fontFamilies().toStringList();
    Carattere esito;
    esito.famiglia = famiglie.isEmpty() ? documento.defaultFont().family() : famiglie.first();
    esito.punti = formato.fontPointSize() > 0 ? formato.fontPointSize()
                                              : documento.defaultFont().pointSizeF();
    esito.grassetto = formato.fontWeight() > QFont::Normal;
    esito.corsivo = formato.fontItalic();
    esito.sottolineato = formato.fontUnderline();
    return esito;
}

Carattere carattereDelTesto(const QTextDocument& documento) {
    for (QTextBlock blocco = documento.begin(); blocco.isValid(); blocco = blocco.next()) {
        // A title, a heading or a paragraph all in bold, is not the text.
        if (blocco.blockFormat().headingLevel() > 0) {
            continue;
        }
        for (auto it = blocco.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat formato = it.fragment().charFormat();
            if (!formato.isImageFormat()) {
                if (formato.fontWeight() > QFont::Normal) {
                    break;
                }
                return carattere(formato, documento);
            }
        }
    }
    return carattere(documento.begin().charFormat(), documento);
}

QImage immagineRisorsa(const QTextDocument& documento, const QTextImageFormat& formato) {
    const QVariant risorsa = documento.resource(QTextDocument::ImageResource, QUrl(formato.name()));
    if (risorsa.typeId() == QMetaType::QImage) {
        return risorsa.value<QImage>();
    }
    if (risorsa.typeId() == QMetaType::QPixmap) {
        return risorsa.value<QPixmap>().toImage();
    }
    if (risorsa.typeId() == QMetaType::QByteArray) {
        return QImage::fromData(risorsa.toByteArray());
    }
    return {};
}

QString caratteriXml(const QString& testo) {
    QString esito;
    esito.reserve(testo.size());
    for (qsizetype i = 0; i < testo.size(); ++i) {
        const QChar c = testo[i];
        if (c.isHighSurrogate() && i + 1 < testo.size() && testo[i + 1].isLowSurrogate()) {
            esito += c;
            esito += testo[++i];
        } else if (!c.isSurrogate() && (c.unicode() >= 0x20 || c == QChar('\r')) &&
                   c.unicode() != 0xFFFE && c.unicode() != 0xFFFF) {
            esito += c;
        }
    }
    return esito;
}

namespace {

// The positions of a fragment's object characters: adjacent pictures or
// drawings with one format share a fragment, one character each.
std::vector<int> posizioniOggetti(const QTextFragment& frammento) {
    std::vector<int> posizioni;
    const QString testo = frammento.text();
    for (qsizetype k = 0; k < testo.size(); ++k) {
        if (testo[k] == QChar::ObjectReplacementCharacter) {
            posizioni.push_back(frammento.position() + static_cast<int>(k));
        }
    }
    return posizioni;
}

} // namespace

// Each picture the document shows, once, by its resource's name; each
// drawing by the position of its character, in document order.
PercorsoDocumento::Oggetti PercorsoDocumento::oggettiDel(const QTextDocument& documento) {
    Oggetti oggetti;
    std::set<QString> viste;
    for (QTextBlock blocco = documento.begin(); blocco.isValid(); blocco = blocco.next()) {
        for (auto it = blocco.begin(); !it.atEnd(); ++it) {
            const QTextFragment frammento = it.fragment();
            const QTextCharFormat formato = frammento.charFormat();
            if (eDisegno(formato)) {
                for (const int posizione : posizioniOggetti(frammento)) {
                    oggetti.disegni.emplace_back(posizione, disegnoDi(formato));
                }
            } else if (formato.isImageFormat()) {
                const QTextImageFormat immagine = formato.toImageFormat();
                if (viste.insert(immagine.name()).second) {
                    oggetti.figure.emplace_back(immagine.name(),
                                                immagineRisorsa(documento, immagine));
                }
            }
        }
    }
    return oggetti;
}

namespace {

// The paragraph mark in the font of the paragraph's last run of text, as a
// word processor gives it to the text typed before it: a word processor
// makes a line as high as its mark's font too, and the mark then adds
// nothing, as here. A paragraph with no text (empty, or a picture alone)
// keeps its own.
QTextCharFormat formatoMarca(const QTextBlock& blocco) {
    QTextCharFormat formato = blocco.charFormat();
    for (auto it = blocco.begin(); !it.atEnd(); ++it) {
        const QTextCharFormat frammento = it.fragment().charFormat();
        if (it.fragment().length() > 0 && !frammento.isImageFormat() && !eDisegno(frammento)) {
            formato = frammento;
        }
    }
    return formato;
}

} // namespace

// A report's pictures are many, and making their PNGs is most of the
// saving: it starts at once, beside the writer's walk and whatever the
// writer does before it (the table of contents' pages). Pictures first,
// then the drawings' pictures for the readers that know no SVG. One that
// fails here is left empty and made again when the walk meets it, which
// raises the error: a picture the walk never meets fails nothing.
PercorsoDocumento::PercorsoDocumento(const QTextDocument& documento)
    : documento_(documento), tutti_(oggettiDel(documento)),
      png_(tutti_.figure.size() + tutti_.disegni.size()),
      codifica_(std::make_unique<LavoroDiviso>(png_.size(), [this](std::size_t i) {
          try {
              if (i >= tutti_.figure.size()) {
                  png_[i] = riservaDelDisegno(tutti_.disegni[i - tutti_.figure.size()].second);
              } else if (!tutti_.figure[i].second.isNull()) {
                  png_[i] = codificaPng(tutti_.figure[i].second);
              }
          } catch (const ErroreFile&) {
              png_[i].clear();
          }
      })) {}

PercorsoDocumento::~PercorsoDocumento() = default;

void PercorsoDocumento::percorri(Avanzamento avanzamento) {
    avanzamento_ = std::move(avanzamento);
    contenuto(documento_.rootFrame()->begin());
    avanzamento_(documento_.characterCount(), documento_.characterCount());
    codifica_->finisci();
    std::map<QString, std::size_t> indici;
    for (std::size_t i = 0; i < tutti_.figure.size(); ++i) {
        indici.emplace(tutti_.figure[i].first, i);
    }
    for (const auto& [nome, figura] : figureIncontrate_) {
        const auto indice = indici.find(nome);
        QByteArray png = indice != indici.end() ? std::move(png_[indice->second]) : QByteArray();
        immagini_.push_back(png.isEmpty() ? codificaPng(figura) : std::move(png));
    }
    for (const auto& [disegno, i] : disegniIncontrati_) {
        QByteArray png =
            i < tutti_.disegni.size() ? std::move(png_[tutti_.figure.size() + i]) : QByteArray();
        disegni_.push_back(
            {disegno.svg, png.isEmpty() ? riservaDelDisegno(disegno) : std::move(png)});
    }
}

// Paragraphs and tables in document order; whether the last was a table.
bool PercorsoDocumento::contenuto(QTextFrame::iterator it) {
    bool ultimaTabella = false;
    for (; !it.atEnd(); ++it) {
        if (const auto* t = qobject_cast<const QTextTable*>(it.currentFrame())) {
            tabella(*t);
            ultimaTabella = true;
        } else if (it.currentFrame() != nullptr) {
            ultimaTabella = contenuto(it.currentFrame()->begin());
        } else if (it.currentBlock().isValid() && !paragrafoDiServizio(it.currentBlock())) {
            paragrafo(it.currentBlock());
            ultimaTabella = false;
        }
    }
    return ultimaTabella;
}

void PercorsoDocumento::paragrafo(const QTextBlock& blocco) {
    avanzamento_(blocco.position(), documento_.characterCount());
    const QTextBlockFormat formato = blocco.blockFormat();
    paragrafo_ = blocco;
    inizioParagrafo({allineamento(formato.alignment()), tenutoConIlSeguente(formato), false,
                     formato.headingLevel(),
                     (formato.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) != 0},
                    carattere(formatoMarca(blocco), documento_));
    for (auto it = blocco.begin(); !it.atEnd(); ++it) {
        const QTextFragment frammento = it.fragment();
        if (!frammento.isValid() || frammento.text().isEmpty()) {
            continue;
        }
        if (eDisegno(frammento.charFormat())) {
            for (const int posizione : posizioniOggetti(frammento)) {
                disegnoIncontrato(posizione, frammento.charFormat());
                disegno(disegniIncontrati_.size(), dimensioniDisegno(frammento.charFormat()),
                        carattere(frammento.charFormat(), documento_));
            }
        } else if (frammento.charFormat().isImageFormat()) {
            for (std::size_t k = posizioniOggetti(frammento).size(); k > 0; --k) {
                figura(frammento.charFormat());
            }
        } else {
            sequenza(frammento.text(), frammento.charFormat());
        }
    }
    fineParagrafo();
}

void PercorsoDocumento::sequenza(const QString& testo, const QTextCharFormat& formato) {
    inizioSequenza(carattere(formato, documento_));
    qsizetype inizio = 0;
    for (qsizetype i = 0; i <= testo.size(); ++i) {
        const bool fine = i == testo.size();
        const bool tab = !fine && testo[i] == QChar('\t');
        const bool capo = !fine && (testo[i] == QChar::LineSeparator || testo[i] == QChar('\n'));
        if (!fine && !tab && !capo) {
            continue;
        }
        if (i > inizio) {
            this->testo(caratteriXml(testo.mid(inizio, i - inizio)));
        }
        if (tab) {
            tabulazione();
        } else if (capo) {
            aCapo();
        }
        inizio = i + 1;
    }
    fineSequenza();
}

void PercorsoDocumento::figura(const QTextCharFormat& formato) {
    const QTextImageFormat immagine = formato.toImageFormat();
    const QImage figura = immagineRisorsa(documento_, immagine);
    if (figura.isNull()) {
        return;
    }
    const auto [voce, nuova] = numeri_.try_emplace(immagine.name(), figureIncontrate_.size() + 1);
    if (nuova) {
        figureIncontrate_.emplace_back(immagine.name(), figura);
    }
    this->immagine(voce->second, dimensioniImmagine(immagine, figura),
                   carattere(formato, documento_));
}

void PercorsoDocumento::disegnoIncontrato(int posizione, const QTextCharFormat& formato) {
    const auto trovato =
        std::lower_bound(tutti_.disegni.begin(), tutti_.disegni.end(), posizione,
                         [](const auto& disegno, int p) { return disegno.first < p; });
    const bool pronto = trovato != tutti_.disegni.end() && trovato->first == posizione;
    disegniIncontrati_.emplace_back(
        disegnoDi(formato), pronto ? static_cast<std::size_t>(trovato - tutti_.disegni.begin())
                                   : tutti_.disegni.size());
}

void PercorsoDocumento::tabella(const QTextTable& tabella) {
    const FormatoTabella formato = formatoTabella(tabella);
    inizioTabella(formato);
    for (int r = 0; r < tabella.rows(); ++r) {
        inizioRiga(r, rigaIntestazione(&tabella, r));
        for (int c = 0; c < tabella.columns(); ++c) {
            inizioCella(formato.colonne[static_cast<std::size_t>(c)]);
            fineCella(contenuto(tabella.cellAt(r, c).begin()));
        }
        fineRiga();
    }
    fineTabella();
}

#include "documenti/percorso_documento.h"

#include "documenti/impaginazione.h"

#include "documenti/disegno_documento.h"
#include "documenti/elaboratore_testi.h"
#include "documenti/struttura_documento.h"
#include "file/errore_file.h"

#include <QBuffer>
#include <QImage>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextTable>

#include <algorithm>
#include <atomic>
#include <set>
#include <thread>
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

// Qt maps a PNG's quality from 100 down to zlib's levels 0 to 9: 80 is
// level 1.
constexpr int qualitaPng = 80;

QByteArray codificaPng(const QImage& immagine) {
    QByteArray dati;
    QBuffer contenitore(&dati);
    contenitore.open(QIODevice::WriteOnly);
    // zlib's fastest level: a drawing's flat colours compress nearly as
    // well, several times faster than at its default.
    if (!immagine.save(&contenitore, "PNG", qualitaPng)) {
        throw ErroreFile("impossibile codificare un'immagine del documento");
    }
    return dati;
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

using Figure = std::vector<std::pair<QString, QImage>>;

// Each picture the document shows, once, by its resource's name.
Figure figureDel(const QTextDocument& documento) {
    Figure figure;
    std::set<QString> viste;
    for (QTextBlock blocco = documento.begin(); blocco.isValid(); blocco = blocco.next()) {
        for (auto it = blocco.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat formato = it.fragment().charFormat();
            if (!formato.isImageFormat()) {
                continue;
            }
            const QTextImageFormat immagine = formato.toImageFormat();
            if (viste.insert(immagine.name()).second) {
                figure.emplace_back(immagine.name(), immagineRisorsa(documento, immagine));
            }
        }
    }
    return figure;
}

// The pictures as PNG, side by side on all cores but one; one that cannot
// be encoded is left out.
std::map<QString, QByteArray> codificate(const Figure& figure) {
    std::vector<QByteArray> png(figure.size());
    std::atomic<std::size_t> prossima = 0;
    const auto lavora = [&] {
        for (std::size_t i = prossima++; i < figure.size(); i = prossima++) {
            try {
                if (!figure[i].second.isNull()) {
                    png[i] = codificaPng(figure[i].second);
                }
            } catch (const ErroreFile&) {
                png[i].clear();
            }
        }
    };
    {
        std::vector<std::jthread> aiuti;
        // One core is left to the writer, which lays the document out for
        // its table of contents meanwhile.
        const std::size_t tutti = std::min<std::size_t>(
            std::max(std::thread::hardware_concurrency(), 2u) - 1, figure.size());
        for (std::size_t i = 1; i < tutti; ++i) {
            aiuti.emplace_back(lavora);
        }
        lavora();
    }
    std::map<QString, QByteArray> esito;
    for (std::size_t i = 0; i < figure.size(); ++i) {
        if (!png[i].isEmpty()) {
            esito.emplace(figure[i].first, std::move(png[i]));
        }
    }
    return esito;
}

} // namespace

// A report's pictures are large and many: compressing them is most of the
// saving, so it starts at once, beside whatever the writer does before its
// walk (the table of contents' pages).
PercorsoDocumento::PercorsoDocumento(const QTextDocument& documento)
    : documento_(documento),
      codifica_(std::async(std::launch::async, codificate, figureDel(documento))) {}

PercorsoDocumento::~PercorsoDocumento() = default;

void PercorsoDocumento::percorri(Avanzamento avanzamento) {
    avanzamento_ = std::move(avanzamento);
    contenuto(documento_.rootFrame()->begin());
    avanzamento_(documento_.characterCount(), documento_.characterCount());
    std::map<QString, QByteArray> png = codifica_.get();
    for (const auto& [nome, figura] : figure_) {
        const auto trovata = png.find(nome);
        immagini_.push_back(trovata != png.end() ? std::move(trovata->second)
                                                 : codificaPng(figura));
    }
    figure_.clear();
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
                    carattere(blocco.charFormat(), documento_));
    for (auto it = blocco.begin(); !it.atEnd(); ++it) {
        const QTextFragment frammento = it.fragment();
        if (!frammento.isValid() || frammento.text().isEmpty()) {
            continue;
        }
        if (eDisegno(frammento.charFormat())) {
            for (const QChar c : frammento.text()) {
                if (c == QChar::ObjectReplacementCharacter) {
                    disegni_.push_back(disegnoDi(frammento.charFormat()));
                    disegno(disegni_.size(), dimensioniDisegno(frammento.charFormat()),
                            carattere(frammento.charFormat(), documento_));
                }
            }
        } else if (frammento.charFormat().isImageFormat()) {
            // Adjacent pictures with one format share a fragment: one character each.
            for (const QChar c : frammento.text()) {
                if (c == QChar::ObjectReplacementCharacter) {
                    figura(frammento.charFormat());
                }
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
    const auto [voce, nuova] = numeri_.try_emplace(immagine.name(), figure_.size() + 1);
    if (nuova) {
        figure_.emplace_back(immagine.name(), figura);
    }
    this->immagine(voce->second, dimensioniImmagine(immagine, figura),
                   carattere(formato, documento_));
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

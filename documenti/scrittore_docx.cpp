#include "documenti/scrittore_docx.h"

#include "documenti/disegno_documento.h"
#include "documenti/impaginazione.h"
#include "documenti/indice.h"
#include "documenti/pacchetto_zip.h"
#include "documenti/percorso_documento.h"
#include "documenti/proprieta_documento.h"

#include <QTextDocument>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <set>

namespace {

const QString nsW = QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");
const QString nsR =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");
const QString nsWp =
    QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing");
const QString nsA = QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/main");
const QString nsPic = QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/picture");
const QString nsAsvg = QStringLiteral("http://schemas.microsoft.com/office/drawing/2016/SVG/main");
// The extension of a picture that carries an SVG beside it.
const QString estensioneSvg = QStringLiteral("{96DAC541-7B7A-43D3-8B79-37D633B846F1}");

constexpr double emuPerPixel = 914400.0 / 96.0;

// Text whose blanks a reader must keep as written.
void testoConSpazi(QXmlStreamWriter& xml, const char* elemento, const QString& testo) {
    xml.writeStartElement(nsW, elemento);
    xml.writeAttribute("xml:space", "preserve");
    xml.writeCharacters(testo);
    xml.writeEndElement();
}

QString twips(double punti) {
    return QString::number(std::lround(punti * 20));
}
QString twipsDaCm(double cm) {
    return twips(cm / 2.54 * 72);
}

// rId1 is the styles, rId2 the footer; picture n (from 1) follows them, and
// the header, if any, follows the pictures.
const QString idPiede = QStringLiteral("rId2");
QString nomeMedia(std::size_t n) {
    return QString("image%1.png").arg(n);
}
QString idRelazione(std::size_t n) {
    return QString("rId%1").arg(n + 2);
}
// Drawing n's SVG and its picture ("svg", "png").
QString nomeDisegno(std::size_t n, const char* tipo) {
    return QString("disegno%1.%2").arg(n).arg(tipo);
}
QString idDisegno(std::size_t n, const char* tipo) {
    return QString("rIdDisegno%1%2").arg(n).arg(tipo);
}

void rFonts(QXmlStreamWriter& xml, const QString& famiglia) {
    xml.writeEmptyElement(nsW, "rFonts");
    xml.writeAttribute(nsW, "ascii", famiglia);
    xml.writeAttribute(nsW, "hAnsi", famiglia);
    xml.writeAttribute(nsW, "cs", famiglia);
}

void dimensione(QXmlStreamWriter& xml, double punti) {
    // Half-points, as the format counts font sizes.
    const QString mezziPunti = QString::number(std::lround(punti * 2));
    xml.writeEmptyElement(nsW, "sz");
    xml.writeAttribute(nsW, "val", mezziPunti);
    xml.writeEmptyElement(nsW, "szCs");
    xml.writeAttribute(nsW, "val", mezziPunti);
}

// The document's text font is its default (docDefaults): a run or a mark
// in it says only what differs, and a long report's runs nearly all are.
// Without `testo`, all of the font is said, as a style does.
void proprietaCarattere(QXmlStreamWriter& xml, const Carattere& carattere,
                        const std::optional<Carattere>& testo = std::nullopt) {
    const bool famiglia = !testo || testo->famiglia != carattere.famiglia;
    const bool punti = !testo || std::lround(testo->punti * 2) != std::lround(carattere.punti * 2);
    if (!famiglia && !punti && !carattere.grassetto && !carattere.corsivo &&
        !carattere.sottolineato) {
        return;
    }
    xml.writeStartElement(nsW, "rPr");
    if (famiglia) {
        rFonts(xml, carattere.famiglia);
    }
    if (carattere.grassetto) {
        xml.writeEmptyElement(nsW, "b");
    }
    if (carattere.corsivo) {
        xml.writeEmptyElement(nsW, "i");
    }
    if (punti) {
        dimensione(xml, carattere.punti);
    }
    if (carattere.sottolineato) {
        xml.writeEmptyElement(nsW, "u");
        xml.writeAttribute(nsW, "val", "single");
    }
    xml.writeEndElement();
}

// `stile`: the paragraph's style, when not a heading's; `testo`: the
// document's text font, when the style has none of its own.
void proprietaParagrafo(QXmlStreamWriter& xml, const FormatoParagrafo& formato,
                        const Carattere& marca, const std::optional<Carattere>& testo,
                        QString stile = {}) {
    xml.writeStartElement(nsW, "pPr");
    // Word's own heading styles ("Titolo 1" in an Italian Word): its table
    // of contents and a firm's template find them. The documents have two
    // levels; a deeper one goes under the second.
    const int livello = std::clamp(formato.livelloTitolo, 0, 2);
    if (livello > 0) {
        stile = QString("Heading%1").arg(livello);
    }
    if (!stile.isEmpty()) {
        xml.writeEmptyElement(nsW, "pStyle");
        xml.writeAttribute(nsW, "val", stile);
    }
    if (formato.conIlSeguente) {
        xml.writeEmptyElement(nsW, "keepNext");
    }
    if (formato.nuovaPagina) {
        xml.writeEmptyElement(nsW, "pageBreakBefore");
    }
    if (formato.lineaSotto) {
        // 0.5 pt, 1 pt below the text: the line round the report's cells.
        xml.writeStartElement(nsW, "pBdr");
        xml.writeEmptyElement(nsW, "bottom");
        xml.writeAttribute(nsW, "val", "single");
        xml.writeAttribute(nsW, "sz", "4");
        xml.writeAttribute(nsW, "space", "1");
        xml.writeAttribute(nsW, "color", "000000");
        xml.writeEndElement();
    }
    xml.writeEmptyElement(nsW, "jc");
    xml.writeAttribute(nsW, "val",
                       formato.allineamento == Allineamento::Centro         ? "center"
                       : formato.allineamento == Allineamento::Destra       ? "right"
                       : formato.allineamento == Allineamento::Giustificato ? "both"
                                                                            : "left");
    if (livello > 0) {
        xml.writeEmptyElement(nsW, "outlineLvl");
        xml.writeAttribute(nsW, "val", QString::number(livello - 1));
    }
    proprietaCarattere(xml, marca, testo);
    xml.writeEndElement();
}

bool voceIndice(const QTextBlock& blocco) {
    return blocco.isValid() && livelloVoceIndice(blocco.blockFormat()) > 0;
}

class ScrittoreCorpo : public PercorsoDocumento {
  public:
    // `misura` hears the pages measured for the contents' page numbers.
    ScrittoreCorpo(QXmlStreamWriter& xml, const QTextDocument& documento, Avanzamento misura)
        : PercorsoDocumento(documento), xml_(xml), testo_(carattereDelTesto(documento)),
          pagine_(pagineVociIndice(documento, std::move(misura))) {
        for (QTextBlock blocco = documento.begin(); blocco.isValid(); blocco = blocco.next()) {
            if (voceIndice(blocco)) {
                destinazioni_.insert(destinazioneVoce(blocco));
            }
        }
    }

    // The font of the table of contents' entries, by level; none without.
    const std::map<int, Carattere>& caratteriVoci() const { return caratteriVoci_; }

  private:
    void inizioParagrafo(const FormatoParagrafo& formato, const Carattere& marca) override {
        const QTextBlock& blocco = paragrafoCorrente();
        voce_ = std::min(livelloVoceIndice(blocco.blockFormat()), 2);
        xml_.writeStartElement(nsW, "p");
        if (voce_ > 0) {
            inizioVoce(formato, marca);
            return;
        }
        proprietaParagrafo(xml_, formato, marca, testo_);
        // The place an entry leads to.
        segnalibro_ = formato.livelloTitolo > 0 ? ancoraParagrafo(blocco) : QString();
        if (destinazioni_.count(segnalibro_) == 0) {
            segnalibro_.clear();
        }
        if (!segnalibro_.isEmpty()) {
            xml_.writeEmptyElement(nsW, "bookmarkStart");
            xml_.writeAttribute(nsW, "id", QString::number(numeroSegnalibro(segnalibro_)));
            xml_.writeAttribute(nsW, "name", nomeSegnalibro(segnalibro_));
        }
    }
    void fineParagrafo() override {
        if (voce_ > 0) {
            fineVoce();
        } else if (!segnalibro_.isEmpty()) {
            xml_.writeEmptyElement(nsW, "bookmarkEnd");
            xml_.writeAttribute(nsW, "id", QString::number(numeroSegnalibro(segnalibro_)));
        }
        xml_.writeEndElement();
    }

    // A run of entries is the cached result of a TOC field over the headings
    // of level 1 and 2, which Word builds again when asked, or when it opens
    // the file; each entry a link to its heading, with its page as the .pdf
    // shows it after a tab.
    void inizioVoce(const FormatoParagrafo& formato, const Carattere& marca) {
        const QTextBlock& blocco = paragrafoCorrente();
        // Both levels' styles, for what Word's update may bring.
        caratteriVoci_[voce_] = marca;
        caratteriVoci_.try_emplace(3 - voce_, marca);
        marcaVoce_ = marca;
        proprietaParagrafo(xml_, formato, marca, std::nullopt, QString("TOC%1").arg(voce_));
        if (!voceIndice(blocco.previous())) {
            segnoCampo("begin");
            corsa([&] { testoConSpazi(xml_, "instrText", R"( TOC \o "1-2" \h \z \u )"); });
            segnoCampo("separate");
        }
        const QString destinazione = destinazioneVoce(blocco);
        collegata_ = destinazioni_.count(destinazione) > 0 && !destinazione.isEmpty();
        if (collegata_) {
            xml_.writeStartElement(nsW, "hyperlink");
            xml_.writeAttribute(nsW, "anchor", nomeSegnalibro(destinazione));
            xml_.writeAttribute(nsW, "history", "1");
        }
    }
    void fineVoce() {
        const std::size_t numero = vociScritte_++;
        const int pagina = numero < pagine_.size() ? pagine_[numero] : 0;
        if (pagina > 0) {
            corsa([&] { xml_.writeEmptyElement(nsW, "tab"); });
            corsa([&] { testoConSpazi(xml_, "t", QString::number(pagina)); });
        }
        if (collegata_) {
            xml_.writeEndElement();
        }
        if (!voceIndice(paragrafoCorrente().next())) {
            segnoCampo("end");
        }
    }
    template <typename Contenuto> void corsa(const Contenuto& contenuto) {
        xml_.writeStartElement(nsW, "r");
        proprietaCarattere(xml_, marcaVoce_);
        contenuto();
        xml_.writeEndElement();
    }
    void segnoCampo(const char* tipo) {
        corsa([&] {
            xml_.writeEmptyElement(nsW, "fldChar");
            xml_.writeAttribute(nsW, "fldCharType", tipo);
        });
    }

    // Word's bookmark names are short, of letters, digits and '_': the
    // anchors are numbered in the order met, hidden by the leading '_'.
    int numeroSegnalibro(const QString& ancora) {
        return segnalibri_.try_emplace(ancora, static_cast<int>(segnalibri_.size()) + 1)
            .first->second;
    }
    QString nomeSegnalibro(const QString& ancora) {
        return QString("_Titolo%1").arg(numeroSegnalibro(ancora));
    }

    void inizioSequenza(const Carattere& carattere) override {
        xml_.writeStartElement(nsW, "r");
        proprietaCarattere(xml_, carattere, predefinito());
    }
    void testo(const QString& testo) override { testoConSpazi(xml_, "t", testo); }
    void tabulazione() override { xml_.writeEmptyElement(nsW, "tab"); }
    void aCapo() override { xml_.writeEmptyElement(nsW, "br"); }
    void fineSequenza() override { xml_.writeEndElement(); }

    // A run holding the picture inline, at the size Qt shows it.
    void immagine(std::size_t numero, QSizeF pixel, const Carattere& carattere) override {
        inLinea(pixel, carattere, nomeMedia(numero), [&] {
            xml_.writeEmptyElement(nsA, "blip");
            xml_.writeAttribute(nsR, "embed", idRelazione(numero));
        });
    }

    // A drawing as SVG, which Word 2016 and later show, with a picture of
    // it for the readers that know no SVG.
    void disegno(std::size_t numero, QSizeF pixel, const Carattere& carattere) override {
        inLinea(pixel, carattere, nomeDisegno(numero, "svg"), [&] {
            xml_.writeStartElement(nsA, "blip");
            xml_.writeAttribute(nsR, "embed", idDisegno(numero, "png"));
            xml_.writeStartElement(nsA, "extLst");
            xml_.writeStartElement(nsA, "ext");
            xml_.writeAttribute("uri", estensioneSvg);
            xml_.writeNamespace(nsAsvg, "asvg");
            xml_.writeStartElement(nsAsvg, "svgBlip");
            xml_.writeAttribute(nsR, "embed", idDisegno(numero, "svg"));
            xml_.writeEndElement();
            xml_.writeEndElement();
            xml_.writeEndElement();
            xml_.writeEndElement();
        });
    }

    template <typename Blip>
    void inLinea(QSizeF pixel, const Carattere& carattere, const QString& nome, const Blip& blip) {
        const QString cx = QString::number(std::llround(pixel.width() * emuPerPixel));
        const QString cy = QString::number(std::llround(pixel.height() * emuPerPixel));
        const QString id = QString::number(++disegni_);

        xml_.writeStartElement(nsW, "r");
        proprietaCarattere(xml_, carattere, predefinito());
        xml_.writeStartElement(nsW, "drawing");
        xml_.writeNamespace(nsWp, "wp");
        xml_.writeNamespace(nsA, "a");
        xml_.writeNamespace(nsPic, "pic");
        xml_.writeStartElement(nsWp, "inline");
        xml_.writeEmptyElement(nsWp, "extent");
        xml_.writeAttribute("cx", cx);
        xml_.writeAttribute("cy", cy);
        xml_.writeEmptyElement(nsWp, "docPr");
        xml_.writeAttribute("id", id);
        xml_.writeAttribute("name", "Immagine " + id);
        xml_.writeStartElement(nsA, "graphic");
        xml_.writeStartElement(nsA, "graphicData");
        xml_.writeAttribute("uri", nsPic);
        xml_.writeStartElement(nsPic, "pic");

        xml_.writeStartElement(nsPic, "nvPicPr");
        xml_.writeEmptyElement(nsPic, "cNvPr");
        xml_.writeAttribute("id", "0");
        xml_.writeAttribute("name", nome);
        xml_.writeEmptyElement(nsPic, "cNvPicPr");
        xml_.writeEndElement();

        xml_.writeStartElement(nsPic, "blipFill");
        blip();
        xml_.writeStartElement(nsA, "stretch");
        xml_.writeEmptyElement(nsA, "fillRect");
        xml_.writeEndElement();
        xml_.writeEndElement();

        xml_.writeStartElement(nsPic, "spPr");
        xml_.writeStartElement(nsA, "xfrm");
        xml_.writeEmptyElement(nsA, "off");
        xml_.writeAttribute("x", "0");
        xml_.writeAttribute("y", "0");
        xml_.writeEmptyElement(nsA, "ext");
        xml_.writeAttribute("cx", cx);
        xml_.writeAttribute("cy", cy);
        xml_.writeEndElement();
        xml_.writeStartElement(nsA, "prstGeom");
        xml_.writeAttribute("prst", "rect");
        xml_.writeEmptyElement(nsA, "avLst");
        xml_.writeEndElement();
        xml_.writeEndElement();

        for (int livello = 0; livello < 6; ++livello) { // pic up to the run
            xml_.writeEndElement();
        }
    }

    void inizioTabella(const FormatoTabella& formato) override {
        xml_.writeStartElement(nsW, "tbl");
        xml_.writeStartElement(nsW, "tblPr");
        xml_.writeEmptyElement(nsW, "tblStyle");
        xml_.writeAttribute(nsW, "val", "TableGrid");
        xml_.writeEmptyElement(nsW, "tblW");
        xml_.writeAttribute(nsW, "w", "0");
        xml_.writeAttribute(nsW, "type", "auto");
        if (formato.allineamento == Allineamento::Centro) {
            xml_.writeEmptyElement(nsW, "jc");
            xml_.writeAttribute(nsW, "val", "center");
        }
        // Every cell's line, as the document draws it, whatever a word
        // processor's table style says: set once for the table, inside and
        // round it, a long table's cells stay short.
        xml_.writeStartElement(nsW, "tblBorders");
        for (const char* lato : {"top", "left", "bottom", "right", "insideH", "insideV"}) {
            xml_.writeEmptyElement(nsW, lato);
            if (formato.bordo > 0) {
                // Eighths of a point, 2 to 96.
                const long ottavi = std::clamp(std::lround(formato.bordo * 8), 2L, 96L);
                xml_.writeAttribute(nsW, "val", "single");
                xml_.writeAttribute(nsW, "sz", QString::number(ottavi));
                xml_.writeAttribute(nsW, "space", "0");
                xml_.writeAttribute(nsW, "color", formato.coloreBordo.name().mid(1).toUpper());
            } else {
                xml_.writeAttribute(nsW, "val", "nil");
            }
        }
        xml_.writeEndElement();
        xml_.writeEmptyElement(nsW, "tblLayout");
        xml_.writeAttribute(nsW, "type", "fixed");
        // The same room round the text of a cell as on screen.
        xml_.writeStartElement(nsW, "tblCellMar");
        for (const char* lato : {"top", "left", "bottom", "right"}) {
            xml_.writeEmptyElement(nsW, lato);
            xml_.writeAttribute(nsW, "w", twips(formato.margineCella));
            xml_.writeAttribute(nsW, "type", "dxa");
        }
        xml_.writeEndElement();
        xml_.writeEndElement();

        xml_.writeStartElement(nsW, "tblGrid");
        for (const double larghezza : formato.colonne) {
            xml_.writeEmptyElement(nsW, "gridCol");
            xml_.writeAttribute(nsW, "w", twips(larghezza));
        }
        xml_.writeEndElement();
    }
    void fineTabella() override { xml_.writeEndElement(); }

    void inizioRiga(int, bool intestazione) override {
        xml_.writeStartElement(nsW, "tr");
        if (intestazione) {
            xml_.writeStartElement(nsW, "trPr");
            xml_.writeEmptyElement(nsW, "tblHeader");
            xml_.writeEndElement();
        }
    }
    void fineRiga() override { xml_.writeEndElement(); }

    void inizioCella(double larghezza) override {
        xml_.writeStartElement(nsW, "tc");
        xml_.writeStartElement(nsW, "tcPr");
        xml_.writeEmptyElement(nsW, "tcW");
        xml_.writeAttribute(nsW, "w", twips(larghezza));
        xml_.writeAttribute(nsW, "type", "dxa");
        xml_.writeEndElement();
    }
    void fineCella(bool dopoTabella) override {
        // A cell ends with a paragraph, also after a table inside it.
        if (dopoTabella) {
            xml_.writeEmptyElement(nsW, "p");
        }
        xml_.writeEndElement();
    }

    // What a run need not say: the document's text font, unless the run is
    // in a contents entry, whose style has a font of its own.
    std::optional<Carattere> predefinito() const {
        return voce_ > 0 ? std::nullopt : std::optional(testo_);
    }

    QXmlStreamWriter& xml_;
    const Carattere testo_; // the document's default
    int disegni_ = 0;

    const std::vector<int> pagine_; // of the entries, in order
    std::set<QString> destinazioni_;
    std::map<QString, int> segnalibri_;
    std::map<int, Carattere> caratteriVoci_;
    std::size_t vociScritte_ = 0;
    int voce_ = 0; // the paragraph's level as an entry
    Carattere marcaVoce_;
    bool collegata_ = false;
    QString segnalibro_; // the heading's bookmark
};

// `idTesta`: the header's relationship; empty for none.
void scriviSezione(QXmlStreamWriter& xml, const QString& idTesta) {
    xml.writeStartElement(nsW, "sectPr");
    if (!idTesta.isEmpty()) {
        xml.writeEmptyElement(nsW, "headerReference");
        xml.writeAttribute(nsW, "type", "default");
        xml.writeAttribute(nsR, "id", idTesta);
    }
    xml.writeEmptyElement(nsW, "footerReference");
    xml.writeAttribute(nsW, "type", "default");
    xml.writeAttribute(nsR, "id", idPiede);
    xml.writeEmptyElement(nsW, "pgSz");
    xml.writeAttribute(nsW, "w", twipsDaCm(pagina::larghezzaCm));
    xml.writeAttribute(nsW, "h", twipsDaCm(pagina::altezzaCm));
    xml.writeAttribute(nsW, "orient", "portrait");
    xml.writeEmptyElement(nsW, "pgMar");
    const QString margine = twipsDaCm(pagina::margineCm);
    const QString piede = twipsDaCm(pagina::piedeCm);
    for (const auto& [nome, valore] : {std::pair{"top", margine},
                                       {"right", margine},
                                       {"bottom", margine},
                                       {"left", margine},
                                       {"header", piede},
                                       {"footer", piede},
                                       {"gutter", QString("0")}}) {
        xml.writeAttribute(nsW, nome, valore);
    }
    xml.writeEndElement();
}

// Written straight into the package: a long report's body runs to many
// megabytes.
void parteDocumento(QIODevice& parte, const QTextDocument& documento,
                    std::vector<QByteArray>& immagini, std::vector<DisegnoInFile>& disegni,
                    std::map<int, Carattere>& caratteriVoci, Avanzamento& avanzamento) {
    QXmlStreamWriter xml(&parte);
    xml.writeStartDocument("1.0", true);
    xml.writeNamespace(nsW, "w");
    xml.writeNamespace(nsR, "r");
    xml.writeStartElement(nsW, "document");
    xml.writeStartElement(nsW, "body");
    // The contents' pages measured, then the walk: halves of the work, or
    // the walk alone.
    const int parti = conVociIndice(documento) ? 2 : 1;
    ScrittoreCorpo corpo(xml, documento, avanzamento.parte(0, parti));
    corpo.percorri(avanzamento.parte(parti - 1, parti));
    immagini = corpo.immagini();
    disegni = corpo.disegni();
    caratteriVoci = corpo.caratteriVoci();
    const bool intestazione = !proprietaDi(documento).intestazione.isEmpty();
    scriviSezione(xml, intestazione ? idRelazione(immagini.size() + 1) : QString());
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
}

// A header or footer part: one centred paragraph in the footer's font,
// with a thin line below it or not; `corse` writes its runs, each through
// the run writer it is given.
template <typename Corse>
QByteArray parteMargine(const QTextDocument& documento, const char* radice, bool lineaSotto,
                        const Corse& corse) {
    const Carattere carattere = carattereDelTesto(documento);
    QByteArray dati;
    QXmlStreamWriter xml(&dati);
    xml.writeStartDocument("1.0", true);
    xml.writeNamespace(nsW, "w");
    xml.writeStartElement(nsW, radice);
    xml.writeStartElement(nsW, "p");
    proprietaParagrafo(xml, {Allineamento::Centro, false, lineaSotto}, carattere, carattere);
    const auto corsa = [&](const auto& contenuto) {
        xml.writeStartElement(nsW, "r");
        proprietaCarattere(xml, carattere, carattere);
        contenuto();
        xml.writeEndElement();
    };
    corse(xml, corsa);
    xml.writeEndDocument();
    return dati;
}

// The header's text, centred over a thin line.
QByteArray parteTesta(const QTextDocument& documento) {
    const QString intestazione = caratteriXml(proprietaDi(documento).intestazione);
    return parteMargine(documento, "hdr", true, [&](QXmlStreamWriter& xml, const auto& corsa) {
        corsa([&] { testoConSpazi(xml, "t", intestazione); });
    });
}

// "Pagina N di M", centred, N and M fields the word processor fills in.
QByteArray partePiede(const QTextDocument& documento) {
    return parteMargine(documento, "ftr", false, [](QXmlStreamWriter& xml, const auto& corsa) {
        const auto testo = [&](const QString& t) { corsa([&] { testoConSpazi(xml, "t", t); }); };
        const auto segno = [&](const char* tipo) {
            corsa([&] {
                xml.writeEmptyElement(nsW, "fldChar");
                xml.writeAttribute(nsW, "fldCharType", tipo);
            });
        };
        const auto campo = [&](const char* codice) {
            segno("begin");
            corsa([&] { testoConSpazi(xml, "instrText", QString(" %1 ").arg(codice)); });
            segno("separate");
            testo("1");
            segno("end");
        };
        testo(pagina::piedePrima);
        campo("PAGE");
        testo(pagina::piedeTra);
        campo("NUMPAGES");
    });
}

const char* const tipiContenuto =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
    R"(<Default Extension="xml" ContentType="application/xml"/>)"
    R"(<Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/>)"
    R"(<Override PartName="/word/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml"/>)"
    R"(<Override PartName="/word/footer1.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.footer+xml"/>)"
    R"(</Types>)";

const char* const relazioniPacchetto =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/>)"
    R"(</Relationships>)";

const char* const relazioniDocumento =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>)"
    R"(<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/footer" Target="footer1.xml"/>)"
    R"(</Relationships>)";

const char* const aperturaStili =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<w:styles xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">)";

const char* const stili =
    R"(<w:style w:type="paragraph" w:default="1" w:styleId="Normal"><w:name w:val="Normal"/><w:qFormat/></w:style>)"
    R"(<w:style w:type="paragraph" w:styleId="Heading1"><w:name w:val="heading 1"/><w:basedOn w:val="Normal"/><w:next w:val="Normal"/><w:uiPriority w:val="9"/><w:qFormat/><w:pPr><w:keepNext/><w:outlineLvl w:val="0"/></w:pPr></w:style>)"
    R"(<w:style w:type="paragraph" w:styleId="Heading2"><w:name w:val="heading 2"/><w:basedOn w:val="Normal"/><w:next w:val="Normal"/><w:uiPriority w:val="9"/><w:unhideWhenUsed/><w:qFormat/><w:pPr><w:keepNext/><w:outlineLvl w:val="1"/></w:pPr></w:style>)"
    R"(<w:style w:type="table" w:default="1" w:styleId="TableNormal"><w:name w:val="Normal Table"/><w:uiPriority w:val="99"/><w:semiHidden/><w:unhideWhenUsed/>)"
    R"(<w:tblPr><w:tblInd w:w="0" w:type="dxa"/><w:tblCellMar><w:top w:w="0" w:type="dxa"/><w:left w:w="108" w:type="dxa"/>)"
    R"(<w:bottom w:w="0" w:type="dxa"/><w:right w:w="108" w:type="dxa"/></w:tblCellMar></w:tblPr></w:style>)"
    R"(<w:style w:type="table" w:styleId="TableGrid"><w:name w:val="Table Grid"/><w:basedOn w:val="TableNormal"/><w:uiPriority w:val="59"/>)"
    R"(<w:tblPr><w:tblBorders><w:top w:val="single" w:sz="4" w:space="0" w:color="auto"/><w:left w:val="single" w:sz="4" w:space="0" w:color="auto"/>)"
    R"(<w:bottom w:val="single" w:sz="4" w:space="0" w:color="auto"/><w:right w:val="single" w:sz="4" w:space="0" w:color="auto"/>)"
    R"(<w:insideH w:val="single" w:sz="4" w:space="0" w:color="auto"/><w:insideV w:val="single" w:sz="4" w:space="0" w:color="auto"/>)"
    R"(</w:tblBorders></w:tblPr></w:style></w:styles>)";

// Writes `parte` inside a styles element and gives back what it wrote,
// without the element round it.
template <typename Parte> QByteArray partiStili(const Parte& parte) {
    QByteArray dati;
    QXmlStreamWriter xml(&dati);
    xml.writeNamespace(nsW, "w");
    xml.writeStartElement(nsW, "styles");
    const qsizetype inizio = [&] {
        xml.writeCharacters(QString()); // closes the element's start tag
        return dati.size();
    }();
    parte(xml);
    xml.writeEndDocument();
    return dati.mid(inizio, dati.lastIndexOf("</w:styles>") - inizio);
}

// The document's defaults: its text font, in Italian; no space after a
// paragraph, single lines.
QByteArray predefiniti(const Carattere& testo) {
    return partiStili([&](QXmlStreamWriter& xml) {
        xml.writeStartElement(nsW, "docDefaults");
        xml.writeStartElement(nsW, "rPrDefault");
        xml.writeStartElement(nsW, "rPr");
        rFonts(xml, testo.famiglia);
        dimensione(xml, testo.punti);
        xml.writeEmptyElement(nsW, "lang");
        xml.writeAttribute(nsW, "val", "it-IT");
        xml.writeEndElement();
        xml.writeEndElement();
        xml.writeStartElement(nsW, "pPrDefault");
        xml.writeStartElement(nsW, "pPr");
        xml.writeEmptyElement(nsW, "widowControl");
        xml.writeEmptyElement(nsW, "spacing");
        xml.writeAttribute(nsW, "after", "0");
        xml.writeAttribute(nsW, "line", "240");
        xml.writeAttribute(nsW, "lineRule", "auto");
        xml.writeEndElement();
        xml.writeEndElement();
        xml.writeEndElement();
    });
}

// Word's styles of a table of contents' entries, in the entries' font,
// each with its page number at the text's right edge after a row of dots.
QByteArray stiliVoci(const std::map<int, Carattere>& caratteri) {
    return partiStili([&](QXmlStreamWriter& xml) {
        for (const auto& [livello, carattere] : caratteri) {
            xml.writeStartElement(nsW, "style");
            xml.writeAttribute(nsW, "type", "paragraph");
            xml.writeAttribute(nsW, "styleId", QString("TOC%1").arg(livello));
            xml.writeEmptyElement(nsW, "name");
            xml.writeAttribute(nsW, "val", QString("toc %1").arg(livello));
            xml.writeEmptyElement(nsW, "basedOn");
            xml.writeAttribute(nsW, "val", "Normal");
            xml.writeEmptyElement(nsW, "next");
            xml.writeAttribute(nsW, "val", "Normal");
            xml.writeEmptyElement(nsW, "uiPriority");
            xml.writeAttribute(nsW, "val", "39");
            xml.writeEmptyElement(nsW, "unhideWhenUsed");
            xml.writeStartElement(nsW, "pPr");
            if (livello == 1) {
                xml.writeEmptyElement(nsW, "keepNext");
            }
            xml.writeStartElement(nsW, "tabs");
            xml.writeEmptyElement(nsW, "tab");
            xml.writeAttribute(nsW, "val", "right");
            xml.writeAttribute(nsW, "leader", "dot");
            xml.writeAttribute(nsW, "pos", twipsDaCm(pagina::larghezzaCm - 2 * pagina::margineCm));
            xml.writeEndElement();
            xml.writeEmptyElement(nsW, "ind");
            xml.writeAttribute(nsW, "left", livello > 1 ? twipsDaCm(0.5) : "0");
            xml.writeEndElement();
            proprietaCarattere(xml, carattere);
            xml.writeEndElement();
        }
    });
}

// Word refreshes the table of contents when it opens the file.
const char* const impostazioni =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<w:settings xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">)"
    R"(<w:updateFields w:val="true"/></w:settings>)";

// The title, author and subject, as the package's core properties.
QByteArray proprietaPacchetto(const ProprietaDocumento& proprieta) {
    const QString nsCp =
        QStringLiteral("http://schemas.openxmlformats.org/package/2006/metadata/core-properties");
    const QString nsDc = QStringLiteral("http://purl.org/dc/elements/1.1/");
    QByteArray dati;
    QXmlStreamWriter xml(&dati);
    xml.writeStartDocument("1.0", true);
    xml.writeNamespace(nsCp, "cp");
    xml.writeNamespace(nsDc, "dc");
    xml.writeStartElement(nsCp, "coreProperties");
    for (const auto& [nome, valore] : {std::pair{"title", proprieta.titolo},
                                       {"subject", proprieta.soggetto},
                                       {"creator", proprieta.autore}}) {
        if (!valore.isEmpty()) {
            xml.writeTextElement(nsDc, nome, caratteriXml(valore));
        }
    }
    xml.writeEndDocument();
    return dati;
}

// A fixed part with more entries before its closing tag.
QByteArray conVoci(const char* parte, const QByteArray& voci) {
    QByteArray dati(parte);
    return dati.insert(dati.lastIndexOf("</"), voci);
}

} // namespace

QByteArray documentoDocx(const QTextDocument& documento, Avanzamento avanzamento) {
    const ProprietaDocumento proprieta = proprietaDi(documento);
    std::vector<QByteArray> immagini;
    std::vector<DisegnoInFile> disegni;
    std::map<int, Carattere> caratteriVoci;
    // The body first, as it is walked; the parts that list what it holds
    // after it.
    PacchettoZip zip(".docx");
    zip.aggiungi("word/document.xml", [&](QIODevice& parte) {
        parteDocumento(parte, documento, immagini, disegni, caratteriVoci, avanzamento);
    });
    QByteArray tipi, relazioni, relazioniRadice;
    const bool indice = !caratteriVoci.empty();
    if (indice) {
        tipi +=
            R"(<Override PartName="/word/settings.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml"/>)";
        relazioni +=
            R"(<Relationship Id="rIdImpostazioni" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/settings" Target="settings.xml"/>)";
    }
    if (!immagini.empty() || !disegni.empty()) {
        tipi += R"(<Default Extension="png" ContentType="image/png"/>)";
    }
    if (!disegni.empty()) {
        tipi += R"(<Default Extension="svg" ContentType="image/svg+xml"/>)";
    }
    for (std::size_t n = 1; n <= immagini.size(); ++n) {
        relazioni += QString(R"(<Relationship Id="%1" Type="%2/image" Target="media/%3"/>)")
                         .arg(idRelazione(n), nsR, nomeMedia(n))
                         .toUtf8();
    }
    for (std::size_t n = 1; n <= disegni.size(); ++n) {
        for (const char* tipo : {"svg", "png"}) {
            relazioni += QString(R"(<Relationship Id="%1" Type="%2/image" Target="media/%3"/>)")
                             .arg(idDisegno(n, tipo), nsR, nomeDisegno(n, tipo))
                             .toUtf8();
        }
    }
    if (!proprieta.intestazione.isEmpty()) {
        tipi +=
            R"(<Override PartName="/word/header1.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.header+xml"/>)";
        relazioni += QString(R"(<Relationship Id="%1" Type="%2/header" Target="header1.xml"/>)")
                         .arg(idRelazione(immagini.size() + 1), nsR)
                         .toUtf8();
    }
    if (proprieta.haDescrizione()) {
        tipi +=
            R"(<Override PartName="/docProps/core.xml" ContentType="application/vnd.openxmlformats-package.core-properties+xml"/>)";
        relazioniRadice +=
            R"(<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties" Target="docProps/core.xml"/>)";
    }

    zip.aggiungi("[Content_Types].xml", conVoci(tipiContenuto, tipi));
    zip.aggiungi("_rels/.rels", conVoci(relazioniPacchetto, relazioniRadice));
    zip.aggiungi("word/_rels/document.xml.rels", conVoci(relazioniDocumento, relazioni));
    zip.aggiungi("word/styles.xml", aperturaStili + predefiniti(carattereDelTesto(documento)) +
                                        conVoci(stili, stiliVoci(caratteriVoci)));
    if (indice) {
        zip.aggiungi("word/settings.xml", impostazioni);
    }
    zip.aggiungi("word/footer1.xml", partePiede(documento));
    if (!proprieta.intestazione.isEmpty()) {
        zip.aggiungi("word/header1.xml", parteTesta(documento));
    }
    if (proprieta.haDescrizione()) {
        zip.aggiungi("docProps/core.xml", proprietaPacchetto(proprieta));
    }
    for (std::size_t n = 1; n <= immagini.size(); ++n) {
        zip.aggiungi("word/media/" + nomeMedia(n), immagini[n - 1]);
    }
    aggiungiDisegni(zip, "word/media/", disegni,
                    [](std::size_t n, const char* tipo) { return nomeDisegno(n, tipo); });
    return zip.chiudi();
}

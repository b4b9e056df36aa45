#include "report/scrittore_docx.h"

#include "report/elaboratore_testi.h"
#include "report/errore_file.h"

#include <QBuffer>
#include <QImage>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QXmlStreamWriter>
#include <quazip.h>
#include <quazipfile.h>

#include <cmath>
#include <map>

namespace {

const QString nsW = QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");
const QString nsR =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");
const QString nsWp =
    QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing");
const QString nsA = QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/main");
const QString nsPic = QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/picture");

constexpr int larghezzaTestoTwips = 9638; // A4 less 2 cm margins
constexpr double pixelPerPunto = 96.0 / 72.0;
constexpr double emuPerPixel = 914400.0 / 96.0;

// Picture n (from 1): its media part and its relationship; rId1 is the styles.
QString nomeMedia(std::size_t n) {
    return QString("image%1.png").arg(n);
}
QString idRelazione(std::size_t n) {
    return QString("rId%1").arg(n + 1);
}

// The size Qt lays the picture out at, in pixels: the format's, else the
// picture's own, keeping its proportions when only one side is set.
QSizeF dimensioni(const QTextImageFormat& formato, const QImage& immagine) {
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

QString famiglia(const QTextCharFormat& formato, const QTextDocument& documento) {
    const QStringList famiglie = formato.fontFamilies().toStringList();
    return famiglie.isEmpty() ? documento.defaultFont().family() : famiglie.first();
}

// Half-points, as the format counts font sizes.
int mezziPunti(const QTextCharFormat& formato, const QTextDocument& documento) {
    const double punti = formato.fontPointSize() > 0 ? formato.fontPointSize()
                                                     : documento.defaultFont().pointSizeF();
    return static_cast<int>(std::lround(punti * 2));
}

class ScrittoreCorpo {
  public:
    ScrittoreCorpo(QXmlStreamWriter& xml, const QTextDocument& documento)
        : xml_(xml), documento_(documento) {}

    void cornice(const QTextFrame* cornice) { contenuto(cornice->begin()); }

    // The pictures written, as PNG: picture n is element n - 1.
    const std::vector<QByteArray>& immagini() const { return immagini_; }

  private:
    // Paragraphs and tables in document order; whether the last was a table.
    bool contenuto(QTextFrame::iterator it) {
        bool ultimaTabella = false;
        for (; !it.atEnd(); ++it) {
            if (const auto* tabella = qobject_cast<const QTextTable*>(it.currentFrame())) {
                this->tabella(*tabella);
                ultimaTabella = true;
            } else if (it.currentFrame() != nullptr) {
                ultimaTabella = contenuto(it.currentFrame()->begin());
            } else if (it.currentBlock().isValid() &&
                       !ElaboratoreTesti::paragrafoDiServizio(it.currentBlock())) {
                paragrafo(it.currentBlock());
                ultimaTabella = false;
            }
        }
        return ultimaTabella;
    }

    void proprietaCarattere(const QTextCharFormat& formato) {
        xml_.writeStartElement(nsW, "rPr");
        const QString nome = famiglia(formato, documento_);
        xml_.writeEmptyElement(nsW, "rFonts");
        xml_.writeAttribute(nsW, "ascii", nome);
        xml_.writeAttribute(nsW, "hAnsi", nome);
        xml_.writeAttribute(nsW, "cs", nome);
        if (formato.fontWeight() > QFont::Normal) {
            xml_.writeEmptyElement(nsW, "b");
        }
        if (formato.fontItalic()) {
            xml_.writeEmptyElement(nsW, "i");
        }
        const QString dimensione = QString::number(mezziPunti(formato, documento_));
        xml_.writeEmptyElement(nsW, "sz");
        xml_.writeAttribute(nsW, "val", dimensione);
        xml_.writeEmptyElement(nsW, "szCs");
        xml_.writeAttribute(nsW, "val", dimensione);
        if (formato.fontUnderline()) {
            xml_.writeEmptyElement(nsW, "u");
            xml_.writeAttribute(nsW, "val", "single");
        }
        xml_.writeEndElement();
    }

    void testo(const QString& testo) {
        QString pezzo;
        const auto chiudiPezzo = [&] {
            if (!pezzo.isEmpty()) {
                xml_.writeStartElement(nsW, "t");
                xml_.writeAttribute("xml:space", "preserve");
                xml_.writeCharacters(pezzo);
                xml_.writeEndElement();
                pezzo.clear();
            }
        };
        for (const QChar c : testo) {
            if (c == QChar('\t')) {
                chiudiPezzo();
                xml_.writeEmptyElement(nsW, "tab");
            } else if (c == QChar::LineSeparator || c == QChar('\n')) {
                chiudiPezzo();
                xml_.writeEmptyElement(nsW, "br");
            } else {
                pezzo += c;
            }
        }
        chiudiPezzo();
    }

    void paragrafo(const QTextBlock& blocco) {
        xml_.writeStartElement(nsW, "p");
        xml_.writeStartElement(nsW, "pPr");
        const Qt::Alignment allineamento = blocco.blockFormat().alignment();
        xml_.writeEmptyElement(nsW, "jc");
        xml_.writeAttribute(nsW, "val",
                            allineamento & Qt::AlignHCenter   ? "center"
                            : allineamento & Qt::AlignRight   ? "right"
                            : allineamento & Qt::AlignJustify ? "both"
                                                              : "left");
        proprietaCarattere(blocco.charFormat());
        xml_.writeEndElement();
        for (auto it = blocco.begin(); !it.atEnd(); ++it) {
            const QTextFragment frammento = it.fragment();
            if (!frammento.isValid() || frammento.text().isEmpty()) {
                continue;
            }
            if (frammento.charFormat().isImageFormat()) {
                // Adjacent pictures with one format share a fragment: one character each.
                for (const QChar c : frammento.text()) {
                    if (c == QChar::ObjectReplacementCharacter) {
                        disegno(frammento.charFormat());
                    }
                }
                continue;
            }
            xml_.writeStartElement(nsW, "r");
            proprietaCarattere(frammento.charFormat());
            testo(frammento.text());
            xml_.writeEndElement();
        }
        xml_.writeEndElement();
    }

    // A run holding the picture inline, at the size Qt shows it; nothing
    // when the document does not hold the picture.
    void disegno(const QTextCharFormat& formato) {
        const QTextImageFormat immagine = formato.toImageFormat();
        const QImage figura = immagineRisorsa(documento_, immagine);
        if (figura.isNull()) {
            return;
        }
        // A picture shown twice is stored once.
        const auto [voce, nuova] = numeri_.try_emplace(immagine.name(), immagini_.size() + 1);
        if (nuova) {
            immagini_.push_back(codificaPng(figura));
        }
        const QSizeF pixel = dimensioni(immagine, figura);
        const QString cx = QString::number(std::llround(pixel.width() * emuPerPixel));
        const QString cy = QString::number(std::llround(pixel.height() * emuPerPixel));
        const QString id = QString::number(++disegni_);

        xml_.writeStartElement(nsW, "r");
        proprietaCarattere(formato);
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
        xml_.writeAttribute("name", nomeMedia(voce->second));
        xml_.writeEmptyElement(nsPic, "cNvPicPr");
        xml_.writeEndElement();

        xml_.writeStartElement(nsPic, "blipFill");
        xml_.writeEmptyElement(nsA, "blip");
        xml_.writeAttribute(nsR, "embed", idRelazione(voce->second));
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

    static std::vector<int> larghezzeColonne(const QTextTable& tabella) {
        const QList<QTextLength> vincoli = tabella.format().columnWidthConstraints();
        std::vector<int> twips;
        for (int c = 0; c < tabella.columns(); ++c) {
            const bool fissa = c < vincoli.size() && vincoli[c].type() == QTextLength::FixedLength;
            twips.push_back(
                fissa ? static_cast<int>(std::lround(vincoli[c].rawValue() / pixelPerPunto * 20))
                      : larghezzaTestoTwips / tabella.columns());
        }
        return twips;
    }

    void tabella(const QTextTable& tabella) {
        const std::vector<int> larghezze = larghezzeColonne(tabella);
        xml_.writeStartElement(nsW, "tbl");
        xml_.writeStartElement(nsW, "tblPr");
        xml_.writeEmptyElement(nsW, "tblStyle");
        xml_.writeAttribute(nsW, "val", "TableGrid");
        xml_.writeEmptyElement(nsW, "tblW");
        xml_.writeAttribute(nsW, "w", "0");
        xml_.writeAttribute(nsW, "type", "auto");
        if (tabella.format().alignment() & Qt::AlignHCenter) {
            xml_.writeEmptyElement(nsW, "jc");
            xml_.writeAttribute(nsW, "val", "center");
        }
        xml_.writeEmptyElement(nsW, "tblLayout");
        xml_.writeAttribute(nsW, "type", "fixed");
        xml_.writeEndElement();

        xml_.writeStartElement(nsW, "tblGrid");
        for (const int larghezza : larghezze) {
            xml_.writeEmptyElement(nsW, "gridCol");
            xml_.writeAttribute(nsW, "w", QString::number(larghezza));
        }
        xml_.writeEndElement();

        for (int r = 0; r < tabella.rows(); ++r) {
            xml_.writeStartElement(nsW, "tr");
            if (ElaboratoreTesti::rigaIntestazione(&tabella, r)) {
                xml_.writeStartElement(nsW, "trPr");
                xml_.writeEmptyElement(nsW, "tblHeader");
                xml_.writeEndElement();
            }
            for (int c = 0; c < tabella.columns(); ++c) {
                cella(tabella.cellAt(r, c), larghezze[static_cast<std::size_t>(c)]);
            }
            xml_.writeEndElement();
        }
        xml_.writeEndElement();
    }

    void cella(const QTextTableCell& cella, int larghezza) {
        xml_.writeStartElement(nsW, "tc");
        xml_.writeStartElement(nsW, "tcPr");
        xml_.writeEmptyElement(nsW, "tcW");
        xml_.writeAttribute(nsW, "w", QString::number(larghezza));
        xml_.writeAttribute(nsW, "type", "dxa");
        xml_.writeEndElement();
        // A cell ends with a paragraph, also after a table inside it.
        if (contenuto(cella.begin())) {
            xml_.writeEmptyElement(nsW, "p");
        }
        xml_.writeEndElement();
    }

    QXmlStreamWriter& xml_;
    const QTextDocument& documento_;
    std::vector<QByteArray> immagini_;
    std::map<QString, std::size_t> numeri_; // picture number by resource name
    int disegni_ = 0;
};

QByteArray parteDocumento(const QTextDocument& documento, std::vector<QByteArray>& immagini) {
    QByteArray dati;
    QXmlStreamWriter xml(&dati);
    xml.writeStartDocument("1.0", true);
    xml.writeNamespace(nsW, "w");
    xml.writeNamespace(nsR, "r");
    xml.writeStartElement(nsW, "document");
    xml.writeStartElement(nsW, "body");
    ScrittoreCorpo corpo(xml, documento);
    corpo.cornice(documento.rootFrame());
    immagini = corpo.immagini();
    xml.writeStartElement(nsW, "sectPr");
    xml.writeEmptyElement(nsW, "pgSz");
    xml.writeAttribute(nsW, "w", "11906");
    xml.writeAttribute(nsW, "h", "16838");
    xml.writeEmptyElement(nsW, "pgMar");
    for (const auto& [nome, valore] : {std::pair{"top", "1134"},
                                       {"right", "1134"},
                                       {"bottom", "1134"},
                                       {"left", "1134"},
                                       {"header", "708"},
                                       {"footer", "708"},
                                       {"gutter", "0"}}) {
        xml.writeAttribute(nsW, nome, valore);
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return dati;
}

const char* const tipiContenuto =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
    R"(<Default Extension="xml" ContentType="application/xml"/>)"
    R"(<Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/>)"
    R"(<Override PartName="/word/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml"/>)"
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
    R"(</Relationships>)";

const char* const stili =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<w:styles xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">)"
    R"(<w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:ascii="Times New Roman" w:hAnsi="Times New Roman" w:cs="Times New Roman"/>)"
    R"(<w:sz w:val="24"/><w:szCs w:val="24"/><w:lang w:val="it-IT"/></w:rPr></w:rPrDefault>)"
    R"(<w:pPrDefault><w:pPr><w:spacing w:after="0" w:line="240" w:lineRule="auto"/></w:pPr></w:pPrDefault></w:docDefaults>)"
    R"(<w:style w:type="paragraph" w:default="1" w:styleId="Normal"><w:name w:val="Normal"/><w:qFormat/></w:style>)"
    R"(<w:style w:type="table" w:default="1" w:styleId="TableNormal"><w:name w:val="Normal Table"/><w:uiPriority w:val="99"/><w:semiHidden/><w:unhideWhenUsed/>)"
    R"(<w:tblPr><w:tblInd w:w="0" w:type="dxa"/><w:tblCellMar><w:top w:w="0" w:type="dxa"/><w:left w:w="108" w:type="dxa"/>)"
    R"(<w:bottom w:w="0" w:type="dxa"/><w:right w:w="108" w:type="dxa"/></w:tblCellMar></w:tblPr></w:style>)"
    R"(<w:style w:type="table" w:styleId="TableGrid"><w:name w:val="Table Grid"/><w:basedOn w:val="TableNormal"/><w:uiPriority w:val="59"/>)"
    R"(<w:tblPr><w:tblBorders><w:top w:val="single" w:sz="4" w:space="0" w:color="auto"/><w:left w:val="single" w:sz="4" w:space="0" w:color="auto"/>)"
    R"(<w:bottom w:val="single" w:sz="4" w:space="0" w:color="auto"/><w:right w:val="single" w:sz="4" w:space="0" w:color="auto"/>)"
    R"(<w:insideH w:val="single" w:sz="4" w:space="0" w:color="auto"/><w:insideV w:val="single" w:sz="4" w:space="0" w:color="auto"/>)"
    R"(</w:tblBorders></w:tblPr></w:style></w:styles>)";

void aggiungiParte(QuaZip& zip, const QString& nome, const QByteArray& dati) {
    QuaZipFile parte(&zip);
    if (!parte.open(QIODevice::WriteOnly, QuaZipNewInfo(nome))) {
        throw ErroreFile("impossibile aggiungere " + nome.toStdString() + " al documento .docx");
    }
    const bool scritta = parte.write(dati) == dati.size();
    parte.close();
    if (!scritta || parte.getZipError() != 0) {
        throw ErroreFile("impossibile scrivere " + nome.toStdString() + " nel documento .docx");
    }
}

// A fixed part with more entries before its closing tag.
QByteArray conVoci(const char* parte, const QByteArray& voci) {
    QByteArray dati(parte);
    return dati.insert(dati.lastIndexOf("</"), voci);
}

} // namespace

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

QByteArray codificaPng(const QImage& immagine) {
    QByteArray dati;
    QBuffer contenitore(&dati);
    contenitore.open(QIODevice::WriteOnly);
    if (!immagine.save(&contenitore, "PNG")) {
        throw ErroreFile("impossibile codificare un'immagine del documento");
    }
    return dati;
}

QByteArray documentoDocx(const QTextDocument& documento) {
    std::vector<QByteArray> immagini;
    const QByteArray corpo = parteDocumento(documento, immagini);
    QByteArray relazioni;
    for (std::size_t n = 1; n <= immagini.size(); ++n) {
        relazioni += QString(R"(<Relationship Id="%1" Type="%2/image" Target="media/%3"/>)")
                         .arg(idRelazione(n), nsR, nomeMedia(n))
                         .toUtf8();
    }
    const QByteArray png =
        immagini.empty() ? QByteArray() : R"(<Default Extension="png" ContentType="image/png"/>)";

    QBuffer contenitore;
    {
        QuaZip zip(&contenitore);
        if (!zip.open(QuaZip::mdCreate)) {
            throw ErroreFile("impossibile creare l'archivio del documento .docx");
        }
        aggiungiParte(zip, "[Content_Types].xml", conVoci(tipiContenuto, png));
        aggiungiParte(zip, "_rels/.rels", relazioniPacchetto);
        aggiungiParte(zip, "word/_rels/document.xml.rels", conVoci(relazioniDocumento, relazioni));
        aggiungiParte(zip, "word/styles.xml", stili);
        aggiungiParte(zip, "word/document.xml", corpo);
        for (std::size_t n = 1; n <= immagini.size(); ++n) {
            aggiungiParte(zip, "word/media/" + nomeMedia(n), immagini[n - 1]);
        }
        zip.close();
        if (zip.getZipError() != 0) {
            throw ErroreFile("impossibile chiudere l'archivio del documento .docx");
        }
    }
    return contenitore.data();
}

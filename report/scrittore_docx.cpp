#include "report/scrittore_docx.h"

#include "report/elaboratore_testi.h"
#include "report/errore_file.h"

#include <QBuffer>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QXmlStreamWriter>
#include <quazip.h>
#include <quazipfile.h>

#include <cmath>

namespace {

const QString nsW = QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");
const QString nsR =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");

constexpr int larghezzaTestoTwips = 9638; // A4 less 2 cm margins
constexpr double pixelPerPunto = 96.0 / 72.0;

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
            } else if (it.currentBlock().isValid()) {
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
            xml_.writeStartElement(nsW, "r");
            proprietaCarattere(frammento.charFormat());
            testo(frammento.text());
            xml_.writeEndElement();
        }
        xml_.writeEndElement();
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
};

QByteArray parteDocumento(const QTextDocument& documento) {
    QByteArray dati;
    QXmlStreamWriter xml(&dati);
    xml.writeStartDocument("1.0", true);
    xml.writeNamespace(nsW, "w");
    xml.writeNamespace(nsR, "r");
    xml.writeStartElement(nsW, "document");
    xml.writeStartElement(nsW, "body");
    ScrittoreCorpo(xml, documento).cornice(documento.rootFrame());
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

} // namespace

QByteArray documentoDocx(const QTextDocument& documento) {
    QBuffer contenitore;
    {
        QuaZip zip(&contenitore);
        if (!zip.open(QuaZip::mdCreate)) {
            throw ErroreFile("impossibile creare l'archivio del documento .docx");
        }
        aggiungiParte(zip, "[Content_Types].xml", tipiContenuto);
        aggiungiParte(zip, "_rels/.rels", relazioniPacchetto);
        aggiungiParte(zip, "word/_rels/document.xml.rels", relazioniDocumento);
        aggiungiParte(zip, "word/styles.xml", stili);
        aggiungiParte(zip, "word/document.xml", parteDocumento(documento));
        zip.close();
        if (zip.getZipError() != 0) {
            throw ErroreFile("impossibile chiudere l'archivio del documento .docx");
        }
    }
    return contenitore.data();
}

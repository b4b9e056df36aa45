#include "documenti/impaginazione.h"
#include "documenti/indice.h"
#include "documenti/scrittore_docx.h"
#include "documenti/scrittore_odt.h"
#include "documenti/struttura_documento.h"
#include "documento_salvato.h"
#include "lettore_docx.h"
#include "lettore_odt.h"

#include <QBuffer>
#include <QPaintEngine>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <map>

// The table of contents: its entries, and the pages each paged format gives
// them, which must be the pages its headings are on.

namespace {

struct Voce {
    int livello;
    QString testo;
    int pagina; // 0: none
    bool operator==(const Voce&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Voce& v) {
    return os << v.livello << " «" << v.testo.toStdString() << "» " << v.pagina;
}

struct Titolo {
    int livello;
    QString testo;
    int paragrafi; // long paragraphs after it
};

QTextCharFormat arial(double punti, bool grassetto = false) {
    QTextCharFormat formato;
    formato.setFontFamilies({QStringLiteral("Arial")});
    formato.setFontPointSize(punti);
    formato.setFontWeight(grassetto ? QFont::Bold : QFont::Normal);
    return formato;
}

// A big title of body text, then the headings, each kept with the long
// paragraphs after it, and the table of contents after the title.
void scrivi(QTextDocument& documento, const std::vector<Titolo>& titoli) {
    QTextCursor cursore(&documento);
    cursore.insertText("Relazione", arial(16, true));
    const QString lungo = QString("Parole che riempiono le pagine una dopo l'altra. ").repeated(30);
    for (const Titolo& titolo : titoli) {
        QTextBlockFormat formato;
        formato.setHeadingLevel(titolo.livello);
        tieniConIlSeguente(formato);
        cursore.insertBlock(formato, arial(12, true));
        cursore.insertText(titolo.testo, arial(12, true));
        for (int p = 0; p < titolo.paragrafi; ++p) {
            cursore.insertBlock(QTextBlockFormat(), arial(10));
            cursore.insertText(lungo, arial(10));
        }
    }
    inserisciIndice(documento, documento.begin().next().position());
}

// A sheet of A4 at the .pdf's resolution that keeps the texts drawn on it,
// and where, by the page being drawn.
class Fogli : public QPaintDevice {
  public:
    struct Testo {
        QString testo;
        double x;
    };
    std::map<int, std::vector<Testo>> testi;
    int pagina = 0;
    QPaintEngine* paintEngine() const override { return &motore_; }

  protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
        case PdmWidth:
            return 2480;
        case PdmHeight:
            return 3508;
        case PdmWidthMM:
            return 210;
        case PdmHeightMM:
            return 297;
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return 1 << 24;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(devicePixelRatioFScale());
        default:
            return 300; // the resolutions
        }
    }

  private:
    class Motore : public QPaintEngine {
      public:
        explicit Motore(Fogli& fogli) : QPaintEngine(AllFeatures), fogli_(fogli) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawPath(const QPainterPath&) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawTextItem(const QPointF& punto, const QTextItem& testo) override {
            fogli_.testi[fogli_.pagina].push_back({testo.text(), punto.x()});
        }
        Type type() const override { return User; }

      private:
        Fogli& fogli_;
    };
    mutable Motore motore_{*this};
};

// The pages as the .pdf lays them out.
template <typename Usa> void conPagineDelPdf(const QTextDocument& documento, const Usa& usa) {
    QBuffer scarto;
    scarto.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&scarto);
    preparaPdf(pdf);
    usa(PagineA4(documento, pdf));
}

// Each heading of level 1 and 2 as its entry should read, on its page.
std::vector<Voce> attese(const QTextDocument& documento) {
    std::vector<Voce> esito;
    conPagineDelPdf(documento, [&](const PagineA4& pagine) {
        for (QTextBlock b = documento.begin(); b.isValid(); b = b.next()) {
            const int livello = b.blockFormat().headingLevel();
            if (livello == 1 || livello == 2) {
                esito.push_back({livello, b.text().simplified(), pagine.pagina(b.position())});
            }
        }
    });
    return esito;
}

// The entries of the .docx's TOC field: its marks and entries in order,
// then the headings.
std::vector<Voce> vociDocx(const QTextDocument& documento) {
    const std::map<QString, QByteArray> parti = docx::parti(documentoDocx(documento));
    EXPECT_TRUE(parti.at("word/settings.xml").contains(R"(<w:updateFields w:val="true"/>)"));
    for (const char* stile : {R"(w:styleId="TOC1")", R"(w:styleId="TOC2")"}) {
        EXPECT_TRUE(parti.at("word/styles.xml").contains(stile)) << stile;
    }
    std::vector<Voce> voci;
    QStringList ordine; // what comes, a run of the same once
    const auto segna = [&](const QString& cosa) {
        if (ordine.isEmpty() || ordine.last() != cosa) {
            ordine << cosa;
        }
    };
    QXmlStreamReader xml(parti.at("word/document.xml"));
    Voce* voce = nullptr;
    bool numero = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) {
            continue;
        }
        const QString val = xml.attributes().value("w:val").toString();
        if (xml.name() == u"p") {
            voce = nullptr;
        } else if (xml.name() == u"pStyle" && val.startsWith("TOC")) {
            voci.push_back({val.mid(3).toInt(), QString(), 0});
            voce = &voci.back();
            numero = false;
            segna("voce");
        } else if (xml.name() == u"pStyle" && val.startsWith("Heading")) {
            segna("titolo");
        } else if (xml.name() == u"fldChar") {
            segna(xml.attributes().value("w:fldCharType").toString());
        } else if (xml.name() == u"instrText") {
            segna(xml.readElementText());
        } else if (voce != nullptr && xml.name() == u"tab") {
            numero = true;
        } else if (voce != nullptr && xml.name() == u"t" && numero) {
            voce->pagina = xml.readElementText().toInt();
        } else if (voce != nullptr && xml.name() == u"t") {
            voce->testo += xml.readElementText();
        }
    }
    EXPECT_EQ(ordine.join('|'), R"(voce|begin| TOC \o "1-2" \h \z \u |separate|voce|end|titolo)");
    return voci;
}

// The entries in the .odt's index body, which must stand in a table of
// contents of the headings down to level 2.
std::vector<Voce> vociOdt(const QTextDocument& documento) {
    const QByteArray pacchetto = documentoOdt(documento);
    EXPECT_NO_THROW(odt::apri(pacchetto)); // every style used is defined
    const std::map<QString, QByteArray> parti = docx::parti(pacchetto);
    for (const char* stile : {"Contents_20_1", "Contents_20_2"}) {
        EXPECT_TRUE(
            parti.at("styles.xml").contains(QString(R"(style:name="%1")").arg(stile).toUtf8()));
    }
    std::vector<Voce> voci;
    QXmlStreamReader xml(parti.at("content.xml"));
    bool sorgente = false, corpo = false, numero = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == u"index-body") {
            corpo = false;
        } else if (xml.isStartElement() && xml.name() == u"table-of-content-source") {
            sorgente = xml.attributes().value("text:outline-level") == u"2";
        } else if (xml.isStartElement() && xml.name() == u"index-body") {
            corpo = sorgente;
        } else if (corpo && xml.isStartElement() && xml.name() == u"p") {
            const QString stile = xml.attributes().value("text:style-name").toString();
            if (stile.startsWith("Contents_20_") && stile != "Contents_20_Heading") {
                voci.push_back({stile.mid(12).toInt(), QString(), 0});
                numero = false;
            }
        } else if (corpo && xml.isStartElement() && xml.name() == u"tab") {
            numero = true;
        } else if (corpo && xml.isCharacters() && !voci.empty() && numero) {
            voci.back().pagina = xml.text().toInt();
        } else if (corpo && xml.isCharacters() && !voci.empty()) {
            voci.back().testo += xml.text();
        }
    }
    return voci;
}

// The entries as the .pdf draws them on the first page: an entry's text
// (indented for level 2), then its number, which must be the page that the
// heading's text is drawn on; and a row of dots for each.
std::vector<Voce> vociPdf(const QTextDocument& documento) {
    Fogli fogli;
    const PagineA4 pagine(documento, fogli);
    QPainter pittore(&fogli);
    for (fogli.pagina = 1; fogli.pagina <= pagine.pagine(); ++fogli.pagina) {
        pagine.disegna(pittore, fogli.pagina);
    }
    std::map<QString, int> paginaDelTesto; // the last page a text is on
    for (const auto& [numero, testi] : fogli.testi) {
        for (const Fogli::Testo& t : testi) {
            paginaDelTesto[t.testo.simplified()] = numero;
        }
    }
    std::vector<Voce> voci;
    QString testo; // an entry's lines so far
    double x = 0;
    int puntini = 0;
    bool inIndice = false;
    for (const Fogli::Testo& t : fogli.testi[1]) {
        bool numero = false;
        const int pagina = t.testo.toInt(&numero);
        if (t.testo.startsWith("...")) {
            ++puntini;
        } else if (numero && !testo.isEmpty()) {
            EXPECT_EQ(pagina, paginaDelTesto[testo]) << testo.toStdString();
            voci.push_back({x > 1 ? 2 : 1, testo, pagina});
            testo.clear();
        } else if (inIndice) {
            x = testo.isEmpty() ? t.x : x;
            testo = (testo + " " + t.testo).simplified();
        }
        inIndice = inIndice || t.testo == u"Indice";
    }
    EXPECT_EQ(puntini, static_cast<int>(voci.size()));
    return voci;
}

} // namespace

// Every heading of level 1 or 2 with some text, and only those, gets an
// entry of its level and text, linked to the heading's anchor: the one it
// has, else a new one.
TEST(Indice, UnaVoceCollegataPerOgniTitolo) {
    using Voci = std::vector<std::pair<int, QString>>; // level, text
    struct Caso {
        const char* nome;
        Voci titoli;
        QString ancora; // the last heading's own anchor, if any
        Voci voci;
    };
    const std::vector<Caso> casi = {
        {"livelli",
         {{1, "A"}, {2, "A.1"}, {3, "A.1.1"}, {1, "B"}},
         "",
         {{1, "A"}, {2, "A.1"}, {1, "B"}}},
        {"ancora propria", {{1, "A"}, {2, "B"}}, "mia", {{1, "A"}, {2, "B"}}},
        {"nome già usato", {{1, "A"}, {2, "B"}}, "titolo_1", {{1, "A"}, {2, "B"}}},
        {"testo su una riga",
         {{1, "Due" + QString(QChar::LineSeparator) + "righe\tcon\ttab"}, {2, "  "}},
         "",
         {{1, "Due righe con tab"}}},
        {"nessun titolo", {{0, "Solo testo"}}, "", {}},
    };
    for (const Caso& caso : casi) {
        SCOPED_TRACE(caso.nome);
        QTextDocument documento;
        QTextCursor cursore(&documento);
        cursore.insertText("Titolo");
        for (const auto& [livello, testo] : caso.titoli) {
            QTextBlockFormat formato;
            formato.setHeadingLevel(livello);
            cursore.insertBlock(formato);
            cursore.insertText(testo);
        }
        if (!caso.ancora.isEmpty()) {
            QTextCharFormat propria;
            propria.setAnchor(true);
            propria.setAnchorNames({caso.ancora});
            cursore.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
            cursore.mergeCharFormat(propria);
        }

        inserisciIndice(documento, documento.begin().next().position());

        const QTextBlock titolo = documento.begin().next();
        EXPECT_EQ(titolo.text(), "Indice");
        EXPECT_EQ(titolo.blockFormat().headingLevel(), 0);
        EXPECT_TRUE(titoloIndice(titolo.blockFormat()));
        Voci voci;
        QStringList destinazioni;
        for (QTextBlock b = titolo.next(); livelloVoceIndice(b.blockFormat()) > 0; b = b.next()) {
            voci.emplace_back(livelloVoceIndice(b.blockFormat()), b.text());
            destinazioni << destinazioneVoce(b);
        }
        EXPECT_EQ(voci, caso.voci);
        const std::map<QString, int> ancore = posizioniAncore(documento);
        for (std::size_t n = 0; n < voci.size(); ++n) {
            const QString& ancora = destinazioni[static_cast<qsizetype>(n)];
            ASSERT_EQ(ancore.count(ancora), 1u) << ancora.toStdString();
            const QTextBlock bersaglio = documento.findBlock(ancore.at(ancora));
            EXPECT_GT(bersaglio.blockFormat().headingLevel(), 0);
            EXPECT_EQ(bersaglio.text().simplified(), voci[n].second);
        }
        if (!caso.ancora.isEmpty()) {
            EXPECT_EQ(destinazioni.last(), caso.ancora);
            EXPECT_NE(destinazioni.first(), caso.ancora);
        }
    }
}

// Each paged format lists the entries in order, each with the page its
// heading is on in the .pdf's layout.
TEST(Indice, PagineDeiTitoliInOgniFormato) {
    QTextDocument documento;
    scrivi(documento, {{1, "1 Dati", 3},
                       {2, "1.1 Tubazione", 4},
                       {2, "1.2 Portate di progetto e scabrezza delle pareti", 2},
                       {1, "2 Verifiche", 5},
                       {2, "2.1 Velocità", 1},
                       {1, "3 Conclusioni", 1}});
    const std::vector<Voce> titoli = attese(documento);
    ASSERT_EQ(titoli.size(), 6u);
    ASSERT_GE(titoli.back().pagina, 4);  // spread over the pages
    EXPECT_EQ(titoli.front().pagina, 2); // the index has a page of its own

    const std::vector<std::pair<const char*, std::vector<Voce> (*)(const QTextDocument&)>> formati =
        {{".docx", vociDocx}, {".odt", vociOdt}, {".pdf", vociPdf}};
    for (const auto& [nome, voci] : formati) {
        SCOPED_TRACE(nome);
        EXPECT_EQ(voci(documento), titoli);
    }
}

// The .pdf's numbers are the pages the .pdf itself shows: PagineA4's pages
// of the headings, its number of pages unchanged by them.
TEST(Indice, NumeriDelPdfSenzaSpostareLePagine) {
    QTextDocument documento;
    scrivi(documento, {{1, "Primo", 6}, {2, "Secondo", 6}, {1, "Terzo", 6}});
    const std::vector<Voce> titoli = attese(documento);
    conPagineDelPdf(documento, [&](const PagineA4& pagine) {
        std::vector<int> numeri;
        for (const Voce& v : titoli) {
            numeri.push_back(v.pagina);
        }
        EXPECT_EQ(pagine.pagineVoci(), numeri);
        EXPECT_EQ(pagineVociIndice(documento), numeri);
        const int prima = pagine.pagine();
        QImage foglio(10, 10, QImage::Format_RGB32);
        QPainter pittore(&foglio);
        pagine.disegna(pittore, 1); // writes the numbers
        EXPECT_EQ(pagine.pagine(), prima);
        EXPECT_EQ(pagine.pagina(documento.characterCount() - 1), prima);
    });
    QTextDocument senza;
    senza.setPlainText("Nessun indice");
    EXPECT_TRUE(pagineVociIndice(senza).empty());
}

// The page links its entries to the headings' anchors, with no page numbers.
TEST(Indice, HtmlCollegaLeVociAiTitoli) {
    QTextDocument documento;
    scrivi(documento, {{1, "Uno", 1}, {2, "Due", 1}});
    const QString pagina = QString::fromUtf8(salvato(documento, "r.html"));
    for (const auto& [nome, posizione] : posizioniAncore(documento)) {
        EXPECT_TRUE(pagina.contains(QString(R"(<a href="#%1">)").arg(nome))) << nome.toStdString();
        EXPECT_TRUE(pagina.contains(QString(R"(<a name="%1">)").arg(nome))) << nome.toStdString();
    }
    EXPECT_EQ(posizioniAncore(documento).size(), 2u);
    EXPECT_FALSE(pagina.contains("\t"));
}

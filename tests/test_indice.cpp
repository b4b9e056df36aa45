#include "documenti/impaginazione.h"
#include "documenti/indice.h"
#include "documenti/scrittore_docx.h"
#include "documenti/scrittore_odt.h"
#include "documento_salvato.h"
#include "fogli_dei_testi.h"
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

#include <algorithm>
#include <map>
#include <tuple>

// The table of contents: its entries, and the page each paged format gives
// an entry, which must be the page its heading is on.

namespace {

struct Voce {
    int livello;
    QString testo;
    int pagina;
    bool operator==(const Voce&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Voce& v) {
    return os << v.livello << " «" << v.testo.toStdString() << "» " << v.pagina;
}

// A title of body text, the headings (level, text, long paragraphs after
// it), and the table of contents after the title.
void scrivi(QTextDocument& documento, const std::vector<std::tuple<int, QString, int>>& titoli) {
    QTextCursor cursore(&documento);
    cursore.insertText("Relazione");
    for (const auto& [livello, testo, paragrafi] : titoli) {
        QTextBlockFormat formato;
        formato.setHeadingLevel(livello);
        cursore.insertBlock(formato);
        cursore.insertText(testo);
        for (int p = 0; p < paragrafi; ++p) {
            cursore.insertBlock(QTextBlockFormat());
            cursore.insertText(QString("Parole che riempiono le pagine. ").repeated(60));
        }
    }
    inserisciIndice(documento, documento.begin().next().position());
}

// Each heading of level 1 and 2, on its page as the .pdf lays it out.
std::vector<Voce> attese(const QTextDocument& documento) {
    QBuffer scarto;
    scarto.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&scarto);
    preparaPdf(pdf);
    const PagineA4 pagine(documento, pdf);
    std::vector<Voce> esito;
    for (QTextBlock b = documento.begin(); b.isValid(); b = b.next()) {
        const int livello = b.blockFormat().headingLevel();
        if (livello == 1 || livello == 2) {
            esito.push_back({livello, b.text(), pagine.pagina(b.position())});
        }
    }
    return esito;
}

// The paragraphs of a .docx or .odt part whose style starts with `stile`
// and ends with a level: their text up to a tab, the number after it.
std::vector<Voce> paragrafi(const QByteArray& parte, const QString& stile) {
    std::vector<Voce> esito;
    QXmlStreamReader xml(parte);
    Voce voce{};
    QString nome;
    bool numero = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"p") {
            voce = {};
            numero = false;
            nome = xml.attributes().value("text:style-name").toString();
        } else if (xml.isStartElement() && xml.name() == u"pStyle") {
            nome = xml.attributes().value("w:val").toString();
        } else if (xml.isStartElement() && xml.name() == u"tab") {
            numero = true;
        } else if (xml.isStartElement() && xml.name() == u"instrText") {
            xml.readElementText();
        } else if (xml.isCharacters() && numero) {
            voce.pagina = xml.text().toInt();
        } else if (xml.isCharacters()) {
            voce.testo += xml.text();
        } else if (xml.isEndElement() && xml.name() == u"p" && nome.startsWith(stile) &&
                   nome.back().isDigit()) {
            voce.livello = nome.back().digitValue();
            esito.push_back(voce);
        }
    }
    return esito;
}

// A TOC field round the entries, which Word refreshes on opening.
std::vector<Voce> vociDocx(const QTextDocument& documento) {
    const std::map<QString, QByteArray> parti = docx::parti(documentoDocx(documento));
    EXPECT_TRUE(parti.at("word/settings.xml").contains(R"(<w:updateFields w:val="true"/>)"));
    EXPECT_TRUE(parti.at("word/styles.xml").contains(R"(w:styleId="TOC1")"));
    EXPECT_TRUE(parti.at("word/styles.xml").contains(R"(w:styleId="TOC2")"));
    const QByteArray& corpo = parti.at("word/document.xml");
    const std::vector<qsizetype> ordine = {
        corpo.indexOf(R"(w:val="TOC1")"),
        corpo.indexOf(R"(fldCharType="begin")"),
        corpo.indexOf(R"( TOC \o &quot;1-2&quot; \h \z \u )"),
        corpo.indexOf(R"(fldCharType="separate")"),
        corpo.lastIndexOf(R"(w:val="TOC)"),
        corpo.indexOf(R"(fldCharType="end")"),
        corpo.indexOf(R"(w:val="Heading1")"),
    };
    EXPECT_TRUE(std::is_sorted(ordine.begin(), ordine.end()) && ordine.front() >= 0);
    return paragrafi(corpo, "TOC");
}

// An index of the outline down to level 2, the entries in its body.
std::vector<Voce> vociOdt(const QTextDocument& documento) {
    const QByteArray pacchetto = documentoOdt(documento);
    EXPECT_NO_THROW(odt::apri(pacchetto)); // every style used is defined
    const std::map<QString, QByteArray> parti = docx::parti(pacchetto);
    EXPECT_TRUE(parti.at("styles.xml").contains(R"(style:name="Contents_20_2")"));
    const QByteArray& corpo = parti.at("content.xml");
    EXPECT_TRUE(corpo.contains(R"(<text:table-of-content-source text:outline-level="2">)"));
    const qsizetype inizio = corpo.indexOf("<text:index-body>");
    EXPECT_LT(inizio, corpo.indexOf(R"(<text:p text:style-name="Contents_20_1")"));
    EXPECT_GT(corpo.indexOf("</text:index-body>"), corpo.lastIndexOf(R"("Contents_20_)"));
    return paragrafi(corpo, "Contents_20_");
}

// The entries as the .pdf draws them on the first page, after "Indice":
// the text, indented for level 2, then the number, which must be the page
// the heading's text is drawn on; and a row of dots for each.
std::vector<Voce> vociPdf(const QTextDocument& documento) {
    FogliDeiTesti fogli;
    const PagineA4 pagine(documento, fogli);
    QPainter pittore(&fogli);
    for (fogli.pagina = 1; fogli.pagina <= pagine.pagine(); ++fogli.pagina) {
        pagine.disegna(pittore, fogli.pagina);
    }
    std::map<QString, int> ultimaPagina;
    for (const auto& [numero, testi] : fogli.testi) {
        for (const auto& [testo, x] : testi) {
            ultimaPagina[testo] = numero;
        }
    }
    std::vector<Voce> voci;
    Voce voce{};
    int puntini = 0;
    bool indice = false;
    for (const auto& [testo, x] : fogli.testi[1]) {
        bool numero = false;
        const int pagina = testo.toInt(&numero);
        if (testo.startsWith("...")) {
            ++puntini;
        } else if (numero && indice) {
            EXPECT_EQ(pagina, ultimaPagina[voce.testo]) << voce.testo.toStdString();
            voci.push_back({voce.livello, voce.testo, pagina});
            voce = {};
        } else if (indice) {
            voce = {x > 1 ? 2 : 1, (voce.testo + " " + testo).trimmed(), 0};
        }
        indice = indice || testo == u"Indice";
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
    const QString dueRighe = "Due" + QString(QChar::LineSeparator) + "righe\tcon\ttab";
    const std::vector<std::tuple<const char*, Voci, QString, Voci>> casi = {
        // name, headings, the last one's own anchor, entries
        {"livelli",
         {{1, "A"}, {2, "A.1"}, {3, "A.1.1"}, {1, "B"}},
         "",
         {{1, "A"}, {2, "A.1"}, {1, "B"}}},
        {"ancora propria", {{1, "A"}, {2, "B"}}, "mia", {{1, "A"}, {2, "B"}}},
        {"nome già usato", {{1, "A"}, {2, "B"}}, "titolo_1", {{1, "A"}, {2, "B"}}},
        {"una riga", {{1, dueRighe}, {2, "  "}}, "", {{1, "Due righe con tab"}}},
        {"nessun titolo", {{0, "Testo"}}, "", {}},
    };
    for (const auto& [nome, titoli, ancora, attese] : casi) {
        SCOPED_TRACE(nome);
        QTextDocument documento;
        QTextCursor cursore(&documento);
        cursore.insertText("Titolo");
        for (const auto& [livello, testo] : titoli) {
            QTextBlockFormat formato;
            formato.setHeadingLevel(livello);
            cursore.insertBlock(formato);
            cursore.insertText(testo);
        }
        if (!ancora.isEmpty()) {
            QTextCharFormat propria;
            propria.setAnchor(true);
            propria.setAnchorNames({ancora});
            cursore.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
            cursore.mergeCharFormat(propria);
        }

        inserisciIndice(documento, documento.begin().next().position());

        const QTextBlock titolo = documento.begin().next();
        EXPECT_EQ(titolo.text(), "Indice");
        EXPECT_TRUE(titoloIndice(titolo.blockFormat()));
        EXPECT_EQ(titolo.blockFormat().headingLevel(), 0);
        Voci voci;
        QStringList destinazioni;
        for (QTextBlock b = titolo.next(); livelloVoceIndice(b.blockFormat()) > 0; b = b.next()) {
            voci.emplace_back(livelloVoceIndice(b.blockFormat()), b.text());
            destinazioni << destinazioneVoce(b);
        }
        EXPECT_EQ(voci, attese);
        const std::map<QString, int> ancore = posizioniAncore(documento);
        for (qsizetype n = 0; n < destinazioni.size(); ++n) {
            ASSERT_EQ(ancore.count(destinazioni[n]), 1u) << destinazioni[n].toStdString();
            const QTextBlock bersaglio = documento.findBlock(ancore.at(destinazioni[n]));
            EXPECT_GT(bersaglio.blockFormat().headingLevel(), 0);
            EXPECT_EQ(bersaglio.text().simplified(), voci[static_cast<std::size_t>(n)].second);
        }
        if (!ancora.isEmpty()) {
            EXPECT_EQ(destinazioni.last(), ancora);
            EXPECT_NE(destinazioni.first(), ancora);
        }
    }
}

// Each paged format lists the entries in order, each with the page its
// heading is on in the .pdf.
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
    EXPECT_EQ(titoli.front().pagina, 2); // the index has a page of its own
    EXPECT_GE(titoli.back().pagina, 5);

    const std::vector<std::pair<const char*, std::vector<Voce> (*)(const QTextDocument&)>> formati =
        {{".docx", vociDocx}, {".odt", vociOdt}, {".pdf", vociPdf}};
    for (const auto& [nome, voci] : formati) {
        SCOPED_TRACE(nome);
        EXPECT_EQ(voci(documento), titoli);
    }
}

// The page links its entries to the headings' anchors, with no page numbers.
TEST(Indice, HtmlCollegaLeVociAiTitoli) {
    QTextDocument documento;
    scrivi(documento, {{1, "Uno", 1}, {2, "Due", 1}});
    const QString pagina = QString::fromUtf8(salvato(documento, "r.html"));
    EXPECT_EQ(posizioniAncore(documento).size(), 2u);
    for (const auto& [nome, posizione] : posizioniAncore(documento)) {
        EXPECT_TRUE(pagina.contains(QString(R"(<a href="#%1">)").arg(nome))) << nome.toStdString();
        EXPECT_TRUE(pagina.contains(QString(R"(<a name="%1">)").arg(nome))) << nome.toStdString();
    }
    EXPECT_FALSE(pagina.contains("\t"));
}

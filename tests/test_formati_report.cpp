#include "documenti/collegamento.h"
#include "documenti/elaboratore_testi.h"
#include "documenti/impaginazione.h"
#include "documenti/proprieta_documento.h"
#include "documenti/salvataggio.h"
#include "documenti/scrittore_docx.h"
#include "documenti/scrittore_odt.h"
#include "documenti/struttura_documento.h"
#include "documento_salvato.h"
#include "fogli_dei_testi.h"
#include "lettore_docx.h"
#include "lettore_odt.h"
#include "relazione/documento_word.h"
#include "stato_pulito.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPaintEngine>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <gtest/gtest.h>
#include <quazip.h>

#include <cmath>
#include <functional>
#include <map>

// The report saved as .docx and .odt, read back: the same paragraphs, blank
// lines, fonts, heading rows, cell lines, page and page numbers in both.
// The .pdf is paginated here, and the .html is given the page.

namespace {

class FormatiReport : public StatoPulito {
  protected:
    void SetUp() override { calcola(20, 100); }

    const QTextDocument& report() {
        Modulo2::CreaDocumentoWord(tabella(), Collegamento({}, [](const std::string&) {}));
        return *elaboratore.documenti().back();
    }
    docx::Pacchetto docx() { return docx::apri(documentoDocx(report())); }
    odt::Pacchetto odt() { return odt::apri(documentoOdt(report())); }

    ElaboratoreTesti elaboratore;
};

// The body in a form both readers give: "P text" per paragraph, "T rows"
// per table.
template <typename Elemento> std::vector<QString> forma(const std::vector<Elemento>& corpo) {
    std::vector<QString> esito;
    for (const Elemento& e : corpo) {
        std::visit(
            [&](const auto& x) {
                if constexpr (requires { x.righe; }) {
                    esito.push_back("T " + QString::number(x.righe.size()));
                } else {
                    esito.push_back("P " + x.testo);
                }
            },
            e);
    }
    return esito;
}

const std::vector<QString> formaReport = {"P TUBAZIONE INGLESE 40/60 Øeq mm 20",
                                          "P COEFF. DI SCABREZZA SECONDO BAZIN =  0.18",
                                          "P PENDENZA m/m  0.0100",
                                          "P ",
                                          "T 8",
                                          "P ",
                                          "P Massima velocità:",
                                          "T 3",
                                          "P ",
                                          "P Massima portata:",
                                          "T 3",
                                          "P "};

// Courier New 10 for the text and the data, Arial 7 for the two heading
// rows of each table: as the document's formats say.
template <typename Pacchetto> void verificaCaratteri(const Pacchetto& pacchetto) {
    for (const auto& p : paragrafi(pacchetto.corpo)) {
        EXPECT_EQ(p.carattere, "Courier New") << p.testo.toStdString();
        EXPECT_EQ(p.punti, 10) << p.testo.toStdString();
    }
    for (const auto& t : tabelle(pacchetto.corpo)) {
        for (std::size_t r = 0; r < t.righe.size(); ++r) {
            for (const auto& cella : t.righe[r].celle) {
                EXPECT_EQ(cella.carattere, r < 2 ? "Arial" : "Courier New") << r;
                EXPECT_EQ(cella.punti, r < 2 ? 7 : 10) << r;
            }
        }
    }
}

} // namespace

// Every blank line of the report is an empty paragraph of its own, in the
// text's font so that it is a line high; nothing is added round the tables.
TEST_F(FormatiReport, StessiParagrafiERigheVuote) {
    const docx::Pacchetto d = docx();
    const odt::Pacchetto o = odt();
    EXPECT_EQ(forma(d.corpo), formaReport);
    EXPECT_EQ(forma(o.corpo), formaReport);
    for (std::size_t i : {0u, 1u, 2u, 3u, 5u, 6u, 8u, 9u}) {
        EXPECT_EQ(std::get<docx::Testo>(d.corpo[i]).allineamento, "left") << i;
        EXPECT_EQ(std::get<odt::Testo>(o.corpo[i]).allineamento, "start") << i;
    }
}

TEST_F(FormatiReport, CaratteriDelDocumento) {
    verificaCaratteri(docx());
    const odt::Pacchetto o = odt();
    verificaCaratteri(o);
    for (const char* famiglia : {"Courier New", "Arial", "Times New Roman"}) {
        EXPECT_TRUE(o.caratteriContenuto.contains(famiglia)) << famiglia;
        EXPECT_TRUE(o.caratteriStili.contains(famiglia)) << famiglia;
    }
}

// The two heading rows repeat at the top of every page a table runs onto.
TEST_F(FormatiReport, RigheDiIntestazioneRipetute) {
    const auto tabelleDocx = docx::tabelle(docx().corpo);
    const auto tabelleOdt = odt::tabelle(odt().corpo);
    ASSERT_EQ(tabelleDocx.size(), 3u);
    ASSERT_EQ(tabelleOdt.size(), 3u);
    for (std::size_t t = 0; t < 3; ++t) {
        EXPECT_EQ(tabelleOdt[t].gruppiIntestazione, 1) << t;
        for (std::size_t r = 0; r < tabelleOdt[t].righe.size(); ++r) {
            EXPECT_EQ(tabelleDocx[t].righe[r].intestazione, r < 2) << t << " " << r;
            EXPECT_EQ(tabelleOdt[t].righe[r].intestazione, r < 2) << t << " " << r;
        }
    }
}

// One thin single black line round every cell.
TEST_F(FormatiReport, BordoSottileNeroSuOgniCella) {
    int celle = 0;
    for (const docx::Tabella& t : docx::tabelle(docx().corpo)) {
        for (const docx::Riga& riga : t.righe) {
            for (const docx::Testo& cella : riga.celle) {
                ++celle;
                EXPECT_EQ(cella.bordi, (std::map<QString, QString>{{"top", "single 4 000000"},
                                                                   {"left", "single 4 000000"},
                                                                   {"bottom", "single 4 000000"},
                                                                   {"right", "single 4 000000"}}));
            }
        }
    }
    for (const odt::Tabella& t : odt::tabelle(odt().corpo)) {
        for (const odt::Riga& riga : t.righe) {
            for (const odt::Testo& cella : riga.celle) {
                --celle;
                for (const auto& [lato, bordo] : cella.bordi) {
                    EXPECT_EQ(bordo, "0.5pt solid #000000") << lato.toStdString();
                }
                EXPECT_EQ(cella.bordi.size(), 4u);
            }
        }
    }
    EXPECT_EQ(celle, 0); // as many cells in both
}

TEST_F(FormatiReport, ColonneDiDueCentimetriEMezzoTabelleCentrate) {
    for (const odt::Tabella& t : odt::tabelle(odt().corpo)) {
        EXPECT_EQ(t.allineamento, "center");
        ASSERT_EQ(t.colonne.size(), 6u);
        for (const double colonna : t.colonne) {
            EXPECT_NEAR(colonna, 2.5, 1e-3);
        }
    }
}

// A4 portrait, 2 cm from the text to every edge. ODF counts the bottom margin
// to the footer: with the footer and the space above it, the text still ends
// 2 cm from the bottom, and the footer sits where the .docx puts it.
TEST_F(FormatiReport, PaginaA4ConMarginiDiDueCentimetri) {
    const docx::Pagina d = docx().pagina;
    EXPECT_EQ(d.larghezza, 11906);
    EXPECT_EQ(d.altezza, 16838);
    EXPECT_EQ(d.orientamento, "portrait");
    for (const char* lato : {"top", "right", "bottom", "left"}) {
        EXPECT_EQ(d.margini.at(lato), 1134) << lato;
    }
    EXPECT_EQ(d.margini.at("footer"), 709); // 1.25 cm

    const odt::Pagina o = odt().pagina;
    EXPECT_NEAR(o.larghezza, 21, 1e-9);
    EXPECT_NEAR(o.altezza, 29.7, 1e-9);
    EXPECT_EQ(o.orientamento, "portrait");
    for (const char* lato : {"top", "left", "right"}) {
        EXPECT_NEAR(o.margini.at(lato), 2, 1e-9) << lato;
    }
    EXPECT_NEAR(o.margini.at("bottom"), 1.25, 1e-9);
    EXPECT_NEAR(o.margini.at("bottom") + o.altezzaPiede + o.spazioPiede, 2, 1e-9);
}

TEST_F(FormatiReport, PiePaginaConNumeroEPagine) {
    const docx::Testo d = docx().pagina.piede;
    EXPECT_EQ(d.testo, "Pagina {PAGE} di {NUMPAGES}");
    EXPECT_EQ(d.allineamento, "center");
    EXPECT_EQ(d.carattere, "Courier New");
    EXPECT_EQ(d.punti, 10);

    const odt::Testo o = odt().pagina.piede;
    EXPECT_EQ(o.testo, "Pagina {PAGE} di {NUMPAGES}");
    EXPECT_EQ(o.allineamento, "center");
    EXPECT_EQ(o.carattere, "Courier New");
    EXPECT_EQ(o.punti, 10);
}

namespace {

QImage tinta(int larghezza, int altezza, QColor colore) {
    QImage immagine(larghezza, altezza, QImage::Format_RGB32);
    immagine.fill(colore);
    return immagine;
}

} // namespace

// Spaces survive as typed: leading, trailing and in runs, next to tabs and
// line breaks, across runs of different fonts.
TEST(Odt, SpaziComeScritti) {
    const QStringList testi = {"  due davanti", "due dietro  ",
                               "a   b",         " ",
                               "a\t b",         QString("x ") + QChar::LineSeparator + " y"};
    QTextDocument documento;
    QTextCursor cursore(&documento);
    for (const QString& testo : testi) {
        cursore.insertText(testo);
        cursore.insertBlock();
    }
    QTextCharFormat corsivo;
    corsivo.setFontItalic(true);
    cursore.insertText("fine ");
    cursore.insertText(" corsivo", corsivo);

    const auto p = odt::paragrafi(odt::apri(documentoOdt(documento)).corpo);
    ASSERT_EQ(p.size(), static_cast<std::size_t>(testi.size()) + 1);
    for (qsizetype i = 0; i < testi.size(); ++i) {
        EXPECT_EQ(p[static_cast<std::size_t>(i)].testo,
                  QString(testi[i]).replace(QChar::LineSeparator, '\n'))
            << testi[i].toStdString();
    }
    EXPECT_EQ(p.back().testo, "fine  corsivo");
}

// A paragraph's mark takes the font of its last text, whatever the
// paragraph's own or a picture's after it says: a word processor makes the
// line as high as its mark, and a cell in 8 pt with a mark in 12 would be
// taller than on the pages. An empty paragraph keeps its own, which its
// height comes from.
TEST(Docx, SegnoDiParagrafoComeLUltimoTesto) {
    const auto carattere = [](const char* famiglia, double punti) {
        QTextCharFormat f;
        f.setFontFamilies({famiglia});
        f.setFontPointSize(punti);
        return f;
    };
    QTextDocument documento;
    QTextCursor cursore(&documento);
    cursore.setBlockCharFormat(carattere("Courier New", 12));
    cursore.insertText("Testo ", carattere("Arial", 10));
    cursore.insertText("12,5", carattere("Liberation Sans", 8));
    // A picture last is no text: the mark keeps the text's font.
    QTextImageFormat figura;
    figura.merge(carattere("Nimbus Mono PS", 20));
    figura.setName("figura");
    cursore.insertImage(figura);
    cursore.insertBlock(QTextBlockFormat(), carattere("DejaVu Serif", 14));
    const QByteArray corpo = docx::parti(documentoDocx(documento)).at("word/document.xml");
    const qsizetype vuoto = corpo.indexOf("DejaVu Serif");
    EXPECT_GT(vuoto, corpo.lastIndexOf("12,5"));
    EXPECT_FALSE(corpo.contains("Courier New"));
    EXPECT_FALSE(corpo.contains("Nimbus Mono PS"));
    EXPECT_EQ(corpo.count("Liberation Sans"), 3 * 2); // the run and the mark, three names each
}

// A package unpacked by hand gives files anyone may read, in both formats.
TEST(Pacchetti, PartiLeggibiliUnaVoltaEstratte) {
    QTextDocument documento;
    documento.setPlainText("Testo.");
    for (QByteArray pacchetto : {documentoDocx(documento), documentoOdt(documento)}) {
        QBuffer contenitore(&pacchetto);
        QuaZip zip(&contenitore);
        ASSERT_TRUE(zip.open(QuaZip::mdUnzip));
        QuaZipFileInfo64 parte;
        for (bool altra = zip.goToFirstFile(); altra; altra = zip.goToNextFile()) {
            ASSERT_TRUE(zip.getCurrentFileInfo(&parte));
            EXPECT_EQ(parte.getPermissions() & (QFile::ReadOwner | QFile::ReadOther),
                      QFile::ReadOwner | QFile::ReadOther)
                << parte.name.toStdString();
        }
    }
}

// Inline, at the size Qt shows it, stored once however often it is shown.
TEST(Odt, ImmaginiInLinea) {
    QTextDocument documento;
    documento.addResource(QTextDocument::ImageResource, QUrl("sezione://grafico-1.png"),
                          tinta(200, 100, Qt::red));
    QTextImageFormat formato;
    formato.setName("sezione://grafico-1.png");
    QTextCursor cursore(&documento);
    cursore.insertText("Prima");
    cursore.insertBlock();
    cursore.insertImage(formato);
    cursore.insertImage(formato);

    const odt::Pacchetto pacchetto = odt::apri(documentoOdt(documento));
    const auto p = odt::paragrafi(pacchetto.corpo);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_TRUE(p[0].immagini.empty());
    ASSERT_EQ(p[1].immagini.size(), 2u);
    for (const odt::Immagine& i : p[1].immagini) {
        EXPECT_NEAR(i.larghezza, 200 / 96.0 * 2.54, 1e-3);
        EXPECT_NEAR(i.altezza, 100 / 96.0 * 2.54, 1e-3);
        EXPECT_EQ(i.ancoraggio, "as-char");
        EXPECT_EQ(i.percorso, p[1].immagini[0].percorso);
    }
    EXPECT_TRUE(p[1].immagini[0].percorso.startsWith("Pictures/"));
    EXPECT_EQ(pacchetto.manifesto.at(p[1].immagini[0].percorso), "image/png");
    EXPECT_EQ(QImage::fromData(pacchetto.parti.at(p[1].immagini[0].percorso)).pixelColor(5, 5),
              QColor(Qt::red));
}

// A table inside a cell is written in place, in both formats. Only heading
// rows at the top of a table can repeat: one further down is an ordinary row
// in the .odt, as Word ignores it in the .docx.
TEST(FormatiTabelle, AnnidataEIntestazioneNonInCima) {
    ElaboratoreTesti elaboratore;
    QTextDocument* documento = elaboratore.aggiungiDocumento();
    QTextTable* esterna = elaboratore.selezioneDi(documento).aggiungiTabella(0, 3, 1);
    elaboratore.selezioneDi(documento).selezionaRiga(esterna, 2);
    elaboratore.selezioneDi(documento).impostaRigheIntestazione(-1); // the second row only
    QTextCursor cella = esterna->cellAt(1, 0).firstCursorPosition();
    cella.insertText("prima");
    inserisciTabella(cella, 1, 2, QTextTableFormat());
    cella.insertText("dopo");
    ASSERT_TRUE(rigaIntestazione(esterna, 1));

    const auto o = odt::tabelle(odt::apri(documentoOdt(*documento)).corpo);
    const auto d = docx::tabelle(docx::leggi(documentoDocx(*documento)));
    ASSERT_EQ(o.size(), 1u);
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(o[0].annidate, 1);
    EXPECT_EQ(d[0].annidate, 1);
    EXPECT_EQ(o[0].righe[1].celle[0].testo, "prima\ndopo");
    EXPECT_EQ(d[0].righe[1].celle[0].testo, "prima\ndopo");
    EXPECT_EQ(o[0].gruppiIntestazione, 0);
    EXPECT_TRUE(d[0].righe[1].intestazione);
}

namespace {

int pagineNelPdf(const QByteArray& pdf) {
    const QRegularExpression conteggio(R"(/Type\s*/Pages\b[^>]*/Count\s+(\d+))");
    const auto trovato = conteggio.match(QString::fromLatin1(pdf));
    return trovato.hasMatch() ? trovato.captured(1).toInt() : -1;
}

// A4 at 72 dots per inch: 595 × 842.
QImage foglio() {
    QImage immagine(595, 842, QImage::Format_RGB32);
    immagine.setDotsPerMeterX(std::lround(72 / 0.0254));
    immagine.setDotsPerMeterY(std::lround(72 / 0.0254));
    immagine.fill(Qt::white);
    return immagine;
}

// The ink's extent in a band of rows; an invalid rectangle when there is
// none. `soglia`: the grey below which a pixel is ink.
QRect inchiostro(const QImage& immagine, int daRiga, int aRiga, int soglia = 128) {
    QRect esito;
    for (int y = daRiga; y < aRiga; ++y) {
        for (int x = 0; x < immagine.width(); ++x) {
            if (qGray(immagine.pixel(x, y)) < soglia) {
                esito |= QRect(x, y, 1, 1);
            }
        }
    }
    return esito;
}

} // namespace

TEST_F(FormatiReport, PdfUnaPaginaPerOgniPaginaImpaginata) {
    calcola(20, 5); // 120 rows: three pages
    const QTextDocument& documento = report();
    QBuffer scarto;
    scarto.open(QIODevice::WriteOnly);
    QPdfWriter misura(&scarto);
    misura.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    misura.setResolution(300);
    const int pagine = PagineA4(documento, misura).pagine();
    EXPECT_EQ(pagine, 3);

    const QByteArray pdf = salvato(documento, "r.pdf");
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(pagineNelPdf(pdf), pagine);

    QTextDocument breve;
    breve.setPlainText("Una riga");
    EXPECT_EQ(pagineNelPdf(salvato(breve, "b.pdf")), 1);
}

// A line that starts a page is drawn on that page only: a PDF keeps text
// drawn out of sight, and a search would find it twice.
TEST(PagineA4, OgniRigaSuUnaPaginaSola) {
    QTextDocument documento;
    QStringList righe;
    for (int r = 1; r <= 300; ++r) {
        righe << QString("riga %1").arg(r);
    }
    documento.setPlainText(righe.join('\n'));
    FogliDeiTesti fogli;
    const PagineA4 pagine(documento, fogli);
    ASSERT_GT(pagine.pagine(), 3);
    QPainter pittore(&fogli);
    for (int n = 1; n <= pagine.pagine(); ++n) {
        pagine.disegna(pittore, n);
    }
    const QStringList testi = fogli.tutti();
    for (const QString& riga : righe) {
        EXPECT_EQ(testi.count(riga), 1) << riga.toStdString();
    }
}

// Painted on a sheet: the text starts 2 cm from the top and left edges, and
// "Pagina N di M" is centred below the text, in the bottom margin.
TEST_F(FormatiReport, PaginaDisegnataConMarginiEPiede) {
    calcola(20, 5);
    const QTextDocument& documento = report();
    QImage a4 = foglio();
    const PagineA4 pagine(documento, a4);
    ASSERT_GE(pagine.pagine(), 2); // fonts measured on this sheet, not on the .pdf
    ASSERT_LE(pagine.pagine(), 9);
    EXPECT_EQ(pagina::testoPiede(2, 3), "Pagina 2 di 3");
    {
        QPainter pittore(&a4);
        pagine.disegna(pittore, 2);
    }
    const int margine = std::lround(2 / 2.54 * 72); // 57
    const QRect testo = inchiostro(a4, 0, a4.height() - margine);
    ASSERT_TRUE(testo.isValid());
    EXPECT_NEAR(testo.top(), margine, 2); // the repeated heading's top line
    EXPECT_GE(testo.left(), margine);
    EXPECT_LE(testo.right(), a4.width() - margine);

    const QRect piede = inchiostro(a4, a4.height() - margine, a4.height());
    ASSERT_TRUE(piede.isValid());
    EXPECT_NEAR(piede.center().x(), a4.width() / 2.0, 3);
    EXPECT_GE(piede.bottom(), a4.height() - std::lround(1.4 / 2.54 * 72));
    EXPECT_LE(piede.bottom(), a4.height() - std::lround(1.25 / 2.54 * 72));
    // As wide as "Pagina 2 di N" in Courier New 10: 13 characters of 6 points.
    EXPECT_NEAR(piede.width(), 13 * 6, 8);
}

// Printed from a browser, the page is A4 with the same margins; the page
// itself is the document's HTML otherwise, in Italian.
TEST(Html, PaginaA4) {
    QTextDocument documento;
    documento.setHtml("<p>Prima</p><table><tr><td>cella</td></tr></table><p>Dopo</p>");
    const QString html = QString::fromUtf8(salvato(documento, "r.html"));
    const QString regola = "@page { size: A4 portrait; margin: 2cm; }\n";
    const qsizetype dove = html.indexOf(regola);
    ASSERT_GE(dove, 0);
    EXPECT_LT(html.lastIndexOf("<style", dove), dove);
    EXPECT_GT(html.indexOf("</style>", dove), dove);
    EXPECT_EQ(QString(html).remove(regola),
              documento.toHtml().replace("<html>", R"(<html lang="it">)"));
}

// A browser reads fractional borders and a negative spacing as none: the
// page draws one collapsed line round every cell instead.
TEST_F(FormatiReport, HtmlConUnaLineaPerCella) {
    QTemporaryDir cartella;
    const std::string percorso = cartella.filePath("r.html").toStdString();
    salvaDocumento(report(), percorso);
    QFile file(QString::fromStdString(percorso));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());
    EXPECT_EQ(html.count("<table "), 3);
    EXPECT_EQ(html.count("border-collapse:collapse"), 3);
    EXPECT_FALSE(html.contains("cellspacing=\"-"));
}

// A report of the exact section says so under its heading; the table's own
// formulas leave the heading as it always was.
TEST_F(FormatiReport, LaSezioneEsattaNellIntestazione) {
    const auto normale = docx::paragrafi(docx::apri(documentoDocx(report())).corpo);
    EXPECT_EQ(normale[3].testo, "");
    s.geometria = formule::Geometria::Esatta;
    const auto esatta = docx::paragrafi(docx::apri(documentoDocx(report())).corpo);
    EXPECT_EQ(esatta[3].testo, "GEOMETRIA ESATTA, PROFILO A QUATTRO ARCHI");
    EXPECT_EQ(esatta[4].testo, "");
}

namespace {

// The information dictionary the PDF's last trailer points to: its Unicode
// text strings, by name. Empty when the cross-reference entry of that
// dictionary does not point to it.
std::map<QString, QString> informazioniPdf(const QByteArray& pdf) {
    const QString coda = QString::fromLatin1(pdf.mid(pdf.lastIndexOf("trailer")));
    const auto info = QRegularExpression(R"(/Info (\d+) 0 R)").match(coda);
    const auto xref = QRegularExpression(R"(startxref\s+(\d+))").match(coda);
    if (!info.hasMatch() || !xref.hasMatch()) {
        return {};
    }
    const QByteArray numero = info.captured(1).toLatin1();
    const QByteArray tabella = pdf.mid(xref.captured(1).toLongLong());
    const auto voce =
        QRegularExpression("^xref\\s+" + info.captured(1) + R"(\s+1\s+(\d{10}) 00000 n)")
            .match(QString::fromLatin1(tabella.left(64)));
    const qsizetype inizio = voce.hasMatch() ? voce.captured(1).toLongLong() : -1;
    if (inizio < 0 || !pdf.mid(inizio).startsWith(numero + " 0 obj")) {
        return {};
    }
    const QString dizionario =
        QString::fromLatin1(pdf.mid(inizio, pdf.indexOf("endobj", inizio) - inizio));
    std::map<QString, QString> esito;
    auto voci = QRegularExpression(R"(/(\w+) <FEFF([0-9A-F]*)>)").globalMatch(dizionario);
    while (voci.hasNext()) {
        const auto v = voci.next();
        esito[v.captured(1)] = QStringDecoder(QStringConverter::Utf16BE)(
            QByteArray::fromHex(v.captured(2).toLatin1()));
    }
    return esito;
}

QString dalHtml(QString testo) {
    return testo.replace("&lt;", "<")
        .replace("&gt;", ">")
        .replace("&quot;", "\"")
        .replace("&amp;", "&");
}

QString trovato(const QString& testo, const QString& modello) {
    return dalHtml(QRegularExpression(modello).match(testo).captured(1));
}

// The title, author and subject each format carries, read back.
const std::vector<std::pair<QString, std::function<ProprietaDocumento(const QByteArray&)>>>
    lettureProprieta = {
        {"r.docx",
         [](const QByteArray& file) {
             auto p = docx::apri(file).proprieta;
             return ProprietaDocumento{p["title"], p["creator"], p["subject"], {}};
         }},
        {"r.odt",
         [](const QByteArray& file) {
             auto p = odt::apri(file).proprieta;
             EXPECT_EQ(p["dc:creator"], p["meta:initial-creator"]);
             return ProprietaDocumento{
                 p["dc:title"], p["meta:initial-creator"], p["dc:subject"], {}};
         }},
        {"r.pdf",
         [](const QByteArray& file) {
             auto p = informazioniPdf(file);
             return ProprietaDocumento{p["Title"], p["Author"], p["Subject"], {}};
         }},
        {"r.html",
         [](const QByteArray& file) {
             const QString html = QString::fromUtf8(file);
             EXPECT_TRUE(html.contains(R"(<html lang="it">)"));
             return ProprietaDocumento{
                 trovato(html, "<title>([^<]*)</title>"),
                 trovato(html, R"re(<meta name="author" content="([^"]*)")re"),
                 trovato(html, R"re(<meta name="description" content="([^"]*)")re"),
                 {}};
         }},
};

} // namespace

// Set on a document of the word processor, the properties follow it into
// the editor's document, and every format carries them. A document without
// them carries none: no core properties, no meta.xml, no update of the
// PDF, no title.
TEST(ProprietaDocumento, InOgniFormato) {
    const ProprietaDocumento attese{"Relazione di calcolo", "Ing. Perù & Figli",
                                    "Collettore <via Po> \"nord\"", ""};
    ElaboratoreTesti elaboratore;
    QTextDocument* documento = elaboratore.aggiungiDocumento();
    elaboratore.selezione().scriviTesto("Testo");
    impostaProprieta(*documento, attese);
    auto* mostrato = new QTextDocument;
    elaboratore.trasferisci(documento, mostrato);
    QTextDocument senza;
    senza.setPlainText("Testo");

    for (const auto& [nome, leggi] : lettureProprieta) {
        EXPECT_EQ(leggi(salvato(*mostrato, nome)), attese) << nome.toStdString();
        EXPECT_EQ(leggi(salvato(senza, nome)), ProprietaDocumento()) << nome.toStdString();
    }
    EXPECT_EQ(docx::apri(salvato(*mostrato, "r.docx")).tipiPerParte.at("/docProps/core.xml"),
              "application/vnd.openxmlformats-package.core-properties+xml");
    EXPECT_EQ(odt::apri(salvato(*mostrato, "r.odt")).manifesto.at("meta.xml"), "text/xml");
    EXPECT_EQ(salvato(senza, "r.pdf").count("trailer"), 1);
}

// The header on every page, centred over a thin line in the top margin, in
// the footer's font, in every format.
TEST_F(FormatiReport, IntestazioneSuOgniPagina) {
    calcola(20, 5); // three pages
    const QString testo = "Comune di Perù - Relazione <idraulica>";
    QTextDocument& conIntestazione = const_cast<QTextDocument&>(report());
    impostaProprieta(conIntestazione, {"", "", "", testo});

    const auto forma = [](const auto& p) {
        return std::tuple(p.testo, p.allineamento, p.carattere, p.punti, p.bordi);
    };
    const docx::Pacchetto d = docx::apri(documentoDocx(conIntestazione));
    EXPECT_EQ(forma(d.pagina.intestazione),
              forma(docx::Testo{
                  testo, "Courier New", 10, "center", {}, {{"bottom", "single 4 000000"}}}));
    EXPECT_EQ(d.tipiPerParte.at("/word/header1.xml"),
              "application/vnd.openxmlformats-officedocument.wordprocessingml.header+xml");
    const odt::Pagina o = odt::apri(documentoOdt(conIntestazione)).pagina;
    EXPECT_EQ(forma(o.intestazione),
              forma(odt::Testo{
                  testo, "Courier New", 10, "center", {}, {{"bottom", "0.5pt solid #000000"}}}));
    // ODF counts the top margin to the header: the text still starts 2 cm down.
    EXPECT_NEAR(o.margini.at("top"), 1.25, 1e-9);
    EXPECT_NEAR(o.margini.at("top") + o.altezzaIntestazione + o.spazioIntestazione, 2, 1e-9);

    const QString html = QString::fromUtf8(salvato(conIntestazione, "r.html"));
    const auto testa =
        QRegularExpression(R"re(<body[^>]*>\s*<header style="([^"]*)">([^<]*)</header>)re")
            .match(html);
    ASSERT_TRUE(testa.hasMatch());
    EXPECT_EQ(dalHtml(testa.captured(2)), testo);
    for (const char* regola : {"text-align:center", "font-family:'Courier New'", "font-size:10pt",
                               "border-bottom:1px solid #000000"}) {
        EXPECT_TRUE(testa.captured(1).contains(regola)) << regola;
    }

    // The PDF's pages, painted on sheets: the text between the header's top
    // (1.25 cm) and the text's (2 cm), the line under it across the text.
    QImage a4 = foglio();
    const PagineA4 pagine(conIntestazione, a4);
    ASSERT_GE(pagine.pagine(), 2);
    const int margine = std::lround(2 / 2.54 * 72);
    for (int n = 1; n <= pagine.pagine(); ++n) {
        a4.fill(Qt::white);
        {
            QPainter pittore(&a4);
            pagine.disegna(pittore, n);
        }
        // The line is half a point: grey on a sheet of 72 dots per inch.
        const QRect fascia = inchiostro(a4, std::lround(1.2 / 2.54 * 72), margine, 255);
        ASSERT_TRUE(fascia.isValid()) << n;
        EXPECT_NEAR(fascia.left(), margine, 1) << n;
        EXPECT_NEAR(fascia.right(), a4.width() - margine, 1) << n;
        const QRect scritta = inchiostro(a4, 0, fascia.bottom() - 1);
        EXPECT_NEAR(scritta.top(), std::lround(1.25 / 2.54 * 72), 2) << n;
        EXPECT_NEAR(scritta.center().x(), a4.width() / 2.0, 3) << n;
        EXPECT_NEAR(scritta.width(), testo.size() * 6, 8) << n; // Courier New 10
    }
}

namespace {

enum class Blocco { Testo, Tenuto, Figura, Tabella, Paragrafo };

// Lines of text, then the blocks; the position of each block. A figure is
// a small picture and its caption in one paragraph, two lines; a paragraph
// has `righeParagrafo` lines.
std::vector<int> componi(QTextDocument& documento, int righe, const std::vector<Blocco>& blocchi,
                         int righeParagrafo = 3) {
    QTextCursor cursore(&documento);
    for (int r = 0; r < righe; ++r) {
        cursore.insertText(QString("riga %1").arg(r + 1));
        cursore.insertBlock();
    }
    std::vector<int> inizi;
    documento.addResource(QTextDocument::ImageResource, QUrl("sezione://piccola.png"),
                          tinta(20, 8, Qt::red));
    QTextImageFormat figura;
    figura.setName("sezione://piccola.png");
    for (const Blocco b : blocchi) {
        inizi.push_back(cursore.position());
        QTextBlockFormat formato;
        if (b == Blocco::Tenuto) {
            tieniConIlSeguente(formato);
        }
        cursore.setBlockFormat(formato);
        if (b == Blocco::Tabella) {
            inserisciTabella(cursore, 2, 2, formatoTabellaReport(Qt::AlignLeft));
            continue;
        }
        if (b == Blocco::Figura) {
            cursore.insertImage(figura);
            cursore.insertText(QString(QChar::LineSeparator) + "Figura 1");
        } else if (b == Blocco::Paragrafo) {
            QStringList linee;
            for (int r = 1; r <= righeParagrafo; ++r) {
                linee << QString("linea %1").arg(r);
            }
            cursore.insertText(linee.join(QChar(QChar::LineSeparator)));
        } else {
            cursore.insertText(b == Blocco::Tenuto ? "didascalia" : "testo");
        }
        cursore.insertBlock(QTextBlockFormat());
    }
    return inizi;
}

} // namespace

// A paragraph kept with the next one never ends a page without it: it goes
// to the next page, a run of them together; a run longer than a page stays
// where it is, and a paragraph holding a picture is never split. Nor is a
// line of a paragraph left alone at the foot or the head of a page.
TEST(PagineA4, TenutoConIlSeguente) {
    QImage a4 = foglio();
    QTextDocument misura;
    componi(misura, 200, {});
    const PagineA4 lunghe(misura, a4);
    int perPagina = 0; // lines on a page
    while (lunghe.pagina(misura.findBlockByNumber(perPagina).position()) == 1) {
        ++perPagina;
    }
    ASSERT_GT(perPagina, 10);

    using enum Blocco;
    std::vector<Blocco> catenaLunga(static_cast<std::size_t>(perPagina) + 5, Tenuto);
    catenaLunga.push_back(Testo);
    struct Caso {
        const char* nome;
        int righe;
        std::vector<Blocco> blocchi;
        int pagina;             // of the first block
        int righeParagrafo = 3; // of each Paragrafo
        int paginaUltimo = 0;   // of the last block, when checked
    };
    const Caso casi[] = {
        {"non tenuto", perPagina - 1, {Testo, Testo}, 1},
        {"tenuto", perPagina - 1, {Tenuto, Testo}, 2},
        {"catena di tre", perPagina - 2, {Tenuto, Tenuto, Tenuto, Testo}, 2},
        {"tenuto con una tabella", perPagina - 1, {Tenuto, Tabella}, 2},
        {"catena più lunga di una pagina", 3, catenaLunga, 1},
        {"figura", perPagina - 1, {Figura}, 2},
        {"prima riga sola", perPagina - 1, {Paragrafo}, 2},
        {"ultima riga sola", perPagina - 2, {Paragrafo}, 2},
        {"due righe e due", perPagina - 2, {Paragrafo}, 1, 4},
        {"ultima riga sola dopo sette", perPagina - 7, {Paragrafo}, 1, 8},
        {"titolo e prima riga sola", perPagina - 2, {Tenuto, Paragrafo}, 2},
        // Its first line alone at the foot: heading and paragraph move
        // together, though the last line then stands alone after many.
        {"titolo e una pagina intera", perPagina - 2, {Tenuto, Paragrafo}, 2, perPagina, 2},
    };
    for (const Caso& caso : casi) {
        QTextDocument documento;
        const std::vector<int> inizi =
            componi(documento, caso.righe, caso.blocchi, caso.righeParagrafo);
        const PagineA4 pagine(documento, a4);
        EXPECT_EQ(pagine.pagina(inizi.front()), caso.pagina) << caso.nome;
        if (caso.paginaUltimo > 0) {
            EXPECT_EQ(pagine.pagina(inizi.back()), caso.paginaUltimo) << caso.nome;
        }
        EXPECT_LE(pagine.pagine(), 3) << caso.nome;
    }
}

// A long table on the pages: its heading rows at the top of each page it
// runs onto, each row drawn once and whole, a table in a cell and a merged
// cell with it.
TEST(PagineA4, TabellaSuPiuPagine) {
    QTextDocument documento;
    QTextCursor cursore(&documento);
    const int righe = 200;
    QTextTable* tabella =
        inserisciTabella(cursore, righe + 2, 2, formatoTabellaReport(Qt::AlignHCenter));
    tabella->cellAt(0, 0).firstCursorPosition().insertText("Titolo A");
    tabella->cellAt(1, 0).firstCursorPosition().insertText("Titolo B");
    segnaRigheIntestazione(tabella, 2);
    for (int r = 1; r <= righe; ++r) {
        tabella->cellAt(r + 1, 0).firstCursorPosition().insertText(QString("r%1").arg(r));
    }
    tabella->mergeCells(10, 0, 1, 2);
    QTextCursor cella = tabella->cellAt(20, 1).firstCursorPosition();
    inserisciTabella(cella, 1, 1, formatoTabellaReport(Qt::AlignLeft));
    cella.insertText("dopo");
    tabella->cellAt(20, 1).firstCursorPosition().insertText("annidata");

    FogliDeiTesti fogli;
    const PagineA4 pagine(documento, fogli);
    ASSERT_GE(pagine.pagine(), 3);
    QPainter pittore(&fogli);
    for (fogli.pagina = 1; fogli.pagina <= pagine.pagine(); ++fogli.pagina) {
        pagine.disegna(pittore, fogli.pagina);
        const auto& testi = fogli.testi[fogli.pagina];
        ASSERT_GE(testi.size(), 3u);
        EXPECT_EQ(testi[0].first, "Titolo A") << fogli.pagina;
        EXPECT_EQ(testi[1].first, "Titolo B") << fogli.pagina;
    }
    const QStringList tutti = fogli.tutti();
    for (int r = 1; r <= righe; ++r) {
        EXPECT_EQ(tutti.count(QString("r%1").arg(r)), 1) << r;
    }
    EXPECT_EQ(tutti.count("annidata"), 1);
    EXPECT_EQ(tutti.count("dopo"), 1);
    EXPECT_EQ(pagine.pagina(tabella->cellAt(righe + 1, 0).firstPosition()), pagine.pagine());
}

namespace {

// A table of fixed, proportional or free columns, no lines, one word a cell.
void tabellaDiParole(QTextCursor& cursore, Qt::Alignment allineamento,
                     const QList<QTextLength>& colonne, const QStringList& parole) {
    QTextTableFormat formato;
    formato.setBorder(0);
    formato.setCellPadding(0);
    formato.setAlignment(allineamento);
    formato.setColumnWidthConstraints(colonne);
    QTextTable* tabella = cursore.insertTable(1, static_cast<int>(parole.size()), formato);
    for (int c = 0; c < parole.size(); ++c) {
        tabella->cellAt(0, c).firstCursorPosition().insertText(parole[c]);
    }
}

} // namespace

// Where the pages put each word, from the text's left edge, on a sheet of
// 300 dots an inch (the document's pixel is 3.125 of them): margins and
// indents, alignment, columns fixed, proportional, free or too wide, a break
// at the very start, and a paragraph longer than two pages.
TEST(PagineA4, DovePaginaOgniParola) {
    const double scala = 300.0 / 96;
    const double larghezza = 17 / 2.54 * 300; // the text's
    const auto fisse = [](std::initializer_list<double> pixel) {
        QList<QTextLength> colonne;
        for (const double p : pixel) {
            colonne << QTextLength(QTextLength::FixedLength, p);
        }
        return colonne;
    };
    struct Caso {
        const char* nome;
        std::function<void(QTextCursor&)> componi;
        std::vector<std::pair<QString, double>> attese; // word, x
        int pagine = 1;
    };
    const std::vector<Caso> casi = {
        {"margine e rientro",
         [](QTextCursor& c) {
             QTextBlockFormat f;
             f.setLeftMargin(96);
             f.setTextIndent(48);
             c.setBlockFormat(f);
             c.insertText(QString("prima") + QChar(QChar::LineSeparator) + "seconda");
         },
         {{"prima", 450}, {"seconda", 300}}},
        {"colonne fisse al centro",
         [&](QTextCursor& c) {
             tabellaDiParole(c, Qt::AlignHCenter, fisse({100, 100}), {"a", "b"});
         },
         {{"a", (larghezza - 200 * scala) / 2},
          {"b", (larghezza - 200 * scala) / 2 + 100 * scala}}},
        {"colonne in proporzione",
         [](QTextCursor& c) {
             tabellaDiParole(c, Qt::AlignLeft,
                             {QTextLength(QTextLength::PercentageLength, 25),
                              QTextLength(QTextLength::PercentageLength, 75)},
                             {"quarto", "resto"});
         },
         {{"quarto", 0}, {"resto", larghezza / 4}}},
        {"colonne libere dopo una fissa",
         [&](QTextCursor& c) {
             tabellaDiParole(
                 c, Qt::AlignLeft,
                 {QTextLength(QTextLength::FixedLength, 96), QTextLength(), QTextLength()},
                 {"fissa", "libera", "ultima"});
         },
         {{"libera", 300}, {"ultima", 300 + (larghezza - 300) / 2}}},
        {"colonne più larghe del testo",
         [&](QTextCursor& c) {
             tabellaDiParole(c, Qt::AlignLeft, fisse({400, 400, 400}), {"uno", "due", "tre"});
         },
         {{"due", larghezza / 3}, {"tre", 2 * larghezza / 3}}},
        {"pagina nuova in apertura",
         [](QTextCursor& c) {
             QTextBlockFormat f;
             f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
             c.setBlockFormat(f);
             c.insertText("inizio");
         },
         {{"inizio", 0}}},
        {"paragrafo di più pagine",
         [](QTextCursor& c) {
             QStringList righe;
             for (int r = 1; r <= 150; ++r) {
                 righe << QString("l%1").arg(r);
             }
             c.insertText(righe.join(QChar(QChar::LineSeparator)));
         },
         {{"l1", 0}, {"l150", 0}},
         3},
    };
    for (const Caso& caso : casi) {
        SCOPED_TRACE(caso.nome);
        QTextDocument documento;
        QTextCursor cursore(&documento);
        caso.componi(cursore);
        FogliDeiTesti fogli;
        const PagineA4 pagine(documento, fogli);
        EXPECT_EQ(pagine.pagine(), caso.pagine);
        QPainter pittore(&fogli);
        for (fogli.pagina = 1; fogli.pagina <= pagine.pagine(); ++fogli.pagina) {
            pagine.disegna(pittore, fogli.pagina);
        }
        std::map<QString, std::vector<double>> dove;
        for (const auto& [numero, testi] : fogli.testi) {
            for (const auto& [testo, x] : testi) {
                dove[testo].push_back(x);
            }
        }
        for (const auto& [parola, x] : caso.attese) {
            ASSERT_EQ(dove[parola].size(), 1u) << parola.toStdString();
            EXPECT_NEAR(dove[parola].front(), x, 2) << parola.toStdString();
        }
    }
}

// The pages leave the document as they found it, whether it is shown (its
// layout made, as the editor's is) or not, and lay both out alike.
TEST(PagineA4, DocumentoLasciatoComEra) {
    QImage a4 = foglio();
    for (const bool mostrato : {false, true}) {
        SCOPED_TRACE(mostrato ? "mostrato" : "non mostrato");
        QTextDocument documento;
        componi(documento, 90, {Blocco::Tenuto, Blocco::Tabella, Blocco::Figura});
        if (mostrato) {
            documento.documentLayout();
        }
        const QString prima = documento.toHtml();
        {
            const PagineA4 pagine(documento, a4);
            EXPECT_EQ(pagine.pagine(), 2);
            EXPECT_EQ(pagine.pagina(documento.lastBlock().position()), 2);
        }
        EXPECT_EQ(documento.toHtml(), prima);
        EXPECT_EQ(documento.findChild<QAbstractTextDocumentLayout*>() != nullptr, mostrato);
    }
}

// The word processors keep the marked paragraphs with the next ones too.
TEST(FormatiAPagine, TenutoConIlSeguente) {
    QTextDocument documento;
    componi(documento, 1, {Blocco::Tenuto, Blocco::Testo});
    const auto tenuti = [](const auto& paragrafi) {
        std::vector<bool> esito;
        for (const auto& p : paragrafi) {
            esito.push_back(p.conIlSeguente);
        }
        return esito;
    };
    const std::vector<bool> attesi = {false, true, false, false};
    EXPECT_EQ(tenuti(docx::paragrafi(docx::leggi(documentoDocx(documento)))), attesi);
    EXPECT_EQ(tenuti(odt::paragrafi(odt::apri(documentoOdt(documento)).corpo)), attesi);
}

// Headings stand on the word processors' own heading styles with their
// outline levels, body text on none: Word's and Writer's tables of contents
// and navigators find them.
TEST(FormatiAPagine, TitoliConGliStiliDeiProgrammi) {
    QTextDocument documento;
    QTextCursor cursore(&documento);
    for (const int livello : {1, 0, 2, 0}) {
        QTextBlockFormat formato;
        formato.setHeadingLevel(livello);
        if (livello == 1) {
            cursore.setBlockFormat(formato);
        } else {
            cursore.insertBlock(formato);
        }
        cursore.insertText(QString("livello %1").arg(livello));
    }
    const std::map<QString, QByteArray> docx = docx::parti(documentoDocx(documento));
    const QString corpo = QString::fromUtf8(docx.at("word/document.xml"));
    const QString stili = QString::fromUtf8(docx.at("word/styles.xml"));
    const QString odt = QString::fromUtf8(docx::parti(documentoOdt(documento)).at("content.xml"));
    const QString stiliOdt =
        QString::fromUtf8(docx::parti(documentoOdt(documento)).at("styles.xml"));
    for (const int livello : {1, 2}) {
        EXPECT_EQ(corpo.count(QString(R"(<w:pStyle w:val="Heading%1"/>)").arg(livello)), 1);
        EXPECT_TRUE(stili.contains(
            QString(R"(w:styleId="Heading%1"><w:name w:val="heading %1"/>)").arg(livello)));
        EXPECT_EQ(odt.count(QString(R"(text:outline-level="%1")").arg(livello)), 1);
        EXPECT_TRUE(stiliOdt.contains(QString(R"(style:name="Heading_20_%1")").arg(livello)));
    }
    EXPECT_EQ(odt.count("<text:h "), 2);
    EXPECT_EQ(odt.count("<text:p "), 2);
}

#include "documenti/collegamento.h"
#include "documenti/elaboratore_testi.h"
#include "documenti/salvataggio.h"
#include "documenti/scrittore_docx.h"
#include "documenti/struttura_documento.h"
#include "documento_salvato.h"
#include "lettore_docx.h"
#include "relazione/aggiunta_relazione.h"
#include "relazione/documento_word.h"
#include "relazione/scrittore_relazione.h"
#include "stato_pulito.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>

namespace {

using docx::Tabella;
using docx::Testo;

class Report : public StatoPulito {
  protected:
    void SetUp() override { calcola(20, 100); }

    // A word processor started by `avvio`; messages collected.
    Collegamento collegamentoCon(Collegamento::Avvio avvio = {}) {
        return Collegamento(std::move(avvio),
                            [this](const std::string& testo) { messaggi.push_back(testo); });
    }
    void creaReport(Collegamento::Avvio avvio = {}) {
        Modulo2::CreaDocumentoWord(tabella(), collegamentoCon(std::move(avvio)));
    }

    // The report into the open processor, read back from its .docx.
    std::vector<docx::Elemento> report(ElaboratoreTesti& elaboratore) {
        creaReport();
        return docx::leggi(documentoDocx(*elaboratore.documenti().back()));
    }

    // Makes the n-th call (from 1) of one operation fail.
    static ElaboratoreTesti::Guasti guasto(std::string operazione, int n) {
        auto chiamate = std::make_shared<int>(0);
        return [=](std::string_view o) { return o == operazione && ++*chiamate == n; };
    }

    std::vector<std::string> messaggi;
};

std::vector<QString> testi(const docx::Riga& riga) {
    std::vector<QString> esito;
    for (const Testo& c : riga.celle) {
        esito.push_back(c.testo);
    }
    return esito;
}

std::vector<QString> inizio(const docx::Riga& riga) {
    const auto t = testi(riga);
    return {t.begin(), t.begin() + 4};
}

} // namespace

TEST_F(Report, Intestazione) {
    ElaboratoreTesti elaboratore;
    const auto corpo = report(elaboratore);
    EXPECT_TRUE(elaboratore.visibile());
    EXPECT_EQ(elaboratore.statoFinestra(), 1);

    const auto p = docx::paragrafi(corpo);
    ASSERT_GE(p.size(), 4u);
    EXPECT_EQ(p[0].testo, "TUBAZIONE INGLESE 40/60 Øeq mm 20");
    EXPECT_EQ(p[1].testo, "COEFF. DI SCABREZZA SECONDO BAZIN =  0.18");
    EXPECT_EQ(p[2].testo, "PENDENZA m/m  0.0100");
    EXPECT_EQ(p[3].testo, "");
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(p[i].carattere, "Courier New") << i;
        EXPECT_EQ(p[i].punti, 10) << i;
        EXPECT_EQ(p[i].allineamento, "left") << i;
    }
    // The fifth paragraph, centred, holds the results table.
    ASSERT_TRUE(std::holds_alternative<Tabella>(corpo[4]));
    const Tabella& t = std::get<Tabella>(corpo[4]);
    EXPECT_EQ(t.allineamento, "center");
    EXPECT_EQ(t.righe[2].celle[0].allineamento, "center");
}

TEST_F(Report, TabellaDeiRisultati) {
    ElaboratoreTesti elaboratore;
    const auto tab = docx::tabelle(report(elaboratore));
    ASSERT_EQ(tab.size(), 3u);
    const Tabella& t = tab[0];
    ASSERT_EQ(t.righe.size(), 8u);
    EXPECT_EQ(testi(t.righe[0]), (std::vector<QString>{"ALTEZZA", "AREA", "CONT.BAGNATO",
                                                       "R.IDRAULICO", "VELOCITA'", "PORTATA"}));
    EXPECT_EQ(testi(t.righe[1]),
              (std::vector<QString>{"(cm)", "(mq)", "(m)", "(m)", "(cm/sec)", "(l/sec)"}));
    EXPECT_EQ(testi(t.righe[2]),
              (std::vector<QString>{"10.0", "0.0164", "0.3280", "0.0501", "107.87", "17.71"}));
    EXPECT_EQ(testi(t.righe[7])[0], "60.0");

    for (const Tabella& tabella : tab) {
        EXPECT_EQ(tabella.colonne, std::vector<int>(6, 1417)); // 2.5 cm
        for (std::size_t r = 0; r < tabella.righe.size(); ++r) {
            const bool intestazione = r < 2;
            EXPECT_EQ(tabella.righe[r].intestazione, intestazione) << r;
            ASSERT_EQ(tabella.righe[r].celle.size(), 6u);
            for (const Testo& cella : tabella.righe[r].celle) {
                EXPECT_EQ(cella.carattere, intestazione ? "Arial" : "Courier New") << r;
                EXPECT_EQ(cella.punti, intestazione ? 7 : 10) << r;
            }
        }
    }
}

TEST_F(Report, TabelleDeiMassimiSottoLeLoroEtichette) {
    ElaboratoreTesti elaboratore;
    const auto corpo = report(elaboratore);
    ASSERT_EQ(corpo.size(), 12u);
    const auto paragrafo = [&](std::size_t i) { return std::get<Testo>(corpo[i]); };
    EXPECT_EQ(paragrafo(5).testo, "");
    EXPECT_EQ(paragrafo(6).testo, "Massima velocità:");
    EXPECT_EQ(paragrafo(8).testo, "");
    EXPECT_EQ(paragrafo(9).testo, "Massima portata:");
    for (std::size_t i : {5u, 6u, 8u, 9u}) {
        EXPECT_EQ(paragrafo(i).allineamento, "left") << i;
    }
    const Tabella& velocita = std::get<Tabella>(corpo[7]);
    const Tabella& portata = std::get<Tabella>(corpo[10]);
    ASSERT_EQ(velocita.righe.size(), 3u);
    ASSERT_EQ(portata.righe.size(), 3u);
    EXPECT_EQ(velocita.allineamento, "center");
    EXPECT_EQ(inizio(velocita.righe[2]),
              (std::vector<QString>{"51.2", "0.1633", "1.1967", "0.1364"}));
    EXPECT_EQ(inizio(portata.righe[2]),
              (std::vector<QString>{"57.2", "0.1797", "1.3713", "0.1311"}));
}

// The largest step fills the section in one: a single row, the full section.
TEST_F(Report, UnaSolaRigaLaSezionePiena) {
    calcola(30, 900);
    ElaboratoreTesti elaboratore;
    const auto tab = docx::tabelle(report(elaboratore));
    ASSERT_EQ(tab.size(), 3u);
    ASSERT_EQ(tab[0].righe.size(), 3u);
    EXPECT_TRUE(tab[0].righe[1].intestazione);
    EXPECT_EQ(testi(tab[0].righe[2])[0], "90.0");
    EXPECT_EQ(testi(tab[1].righe[2])[0], "76.9");
    EXPECT_EQ(testi(tab[2].righe[2])[0], "85.8");
}

TEST_F(Report, DueReportDueDocumentiUguali) {
    int avvii = 0;
    const auto avvio = [&]() -> ElaboratoreTesti* {
        ++avvii;
        return nullptr;
    };
    ElaboratoreTesti elaboratore; // open: the reports attach to it
    creaReport(avvio);
    const auto primo = docx::leggi(documentoDocx(*elaboratore.documenti().back()));
    creaReport(avvio);
    const auto secondo = docx::leggi(documentoDocx(*elaboratore.documenti().back()));
    EXPECT_EQ(avvii, 0);
    ASSERT_EQ(elaboratore.documenti().size(), 2u);
    EXPECT_EQ(elaboratore.nomeDocumento(elaboratore.documenti()[1]), "Documento2");
    EXPECT_EQ(primo, secondo);
}

TEST_F(Report, ElaboratoreAvviatoQuandoNessunoEAperto) {
    std::unique_ptr<ElaboratoreTesti> avviato;
    creaReport([&] {
        avviato = std::make_unique<ElaboratoreTesti>();
        return avviato.get();
    });
    ASSERT_TRUE(avviato);
    EXPECT_EQ(avviato->documenti().size(), 1u);
    EXPECT_TRUE(messaggi.empty());
}

TEST_F(Report, ElaboratoreCheNonSiAvviaUnSoloMessaggio) {
    creaReport();
    ASSERT_EQ(messaggi.size(), 1u);
    EXPECT_EQ(messaggi[0], "Il componente ActiveX non può creare l'oggetto.");
    EXPECT_EQ(ElaboratoreTesti::aperto(), nullptr);
}

// The program-wide reference follows the processor open now: a report after
// the first processor was closed still gets its fonts, tables, widths and
// heading rows.
TEST_F(Report, IlRiferimentoGlobaleSegueLElaboratoreAperto) {
    std::vector<docx::Elemento> primo;
    {
        ElaboratoreTesti chiuso;
        primo = report(chiuso);
    }
    ElaboratoreTesti nuovo;
    EXPECT_EQ(report(nuovo), primo);
}

TEST_F(Report, TabellaNonInseritaManca) {
    ElaboratoreTesti elaboratore(guasto("Tables.Add", 1));
    const auto corpo = report(elaboratore);
    const auto tab = docx::tabelle(corpo);
    ASSERT_EQ(tab.size(), 2u);
    EXPECT_EQ(testi(tab[0].righe[2])[0], "51.2");
    EXPECT_EQ(testi(tab[1].righe[2])[0], "57.2");
    EXPECT_EQ(docx::paragrafi(corpo)[0].testo, "TUBAZIONE INGLESE 40/60 Øeq mm 20");
    EXPECT_TRUE(tab[0].righe[0].intestazione);
}

TEST_F(Report, CellaNonScrittaResta) {
    ElaboratoreTesti elaboratore(guasto("Cell.Range.InsertAfter", 13)); // table row 3, column 1
    const auto tab = docx::tabelle(report(elaboratore));
    ASSERT_EQ(tab.size(), 3u);
    EXPECT_EQ(testi(tab[0].righe[2]),
              (std::vector<QString>{"", "0.0164", "0.3280", "0.0501", "107.87", "17.71"}));
    EXPECT_EQ(testi(tab[0].righe[3])[0], "20.0");
}

TEST_F(Report, CarattereNonImpostato) {
    ElaboratoreTesti elaboratore(guasto("Selection.Font.Name", 1));
    const auto corpo = report(elaboratore);
    const auto p = docx::paragrafi(corpo);
    EXPECT_EQ(p[0].carattere, "Times New Roman");
    EXPECT_EQ(p[0].punti, 10);
    EXPECT_EQ(p[1].testo, "COEFF. DI SCABREZZA SECONDO BAZIN =  0.18");
    EXPECT_EQ(docx::tabelle(corpo)[0].righe[0].celle[0].carattere, "Arial");
}

TEST_F(Report, SpostamentoNonRiuscito) {
    ElaboratoreTesti elaboratore(guasto("Selection.MoveDown", 1));
    const auto tab = docx::tabelle(report(elaboratore));
    // The label is typed where the insertion point stayed: in the first cell.
    ASSERT_FALSE(tab.empty());
    EXPECT_TRUE(tab[0].righe[0].celle[0].testo.contains("Massima velocità:"));
    EXPECT_EQ(tab[0].righe.size(), 8u);
    EXPECT_EQ(testi(tab[0].righe[7])[0], "60.0");
}

TEST_F(Report, FormattazioneFermaAlPrimoErrore) {
    ElaboratoreTesti elaboratore(guasto("Selection.Rows.HeadingFormat", 3)); // table 2, row 1
    const auto tab = docx::tabelle(report(elaboratore));
    ASSERT_EQ(tab.size(), 3u);
    EXPECT_TRUE(tab[0].righe[1].intestazione);
    EXPECT_FALSE(tab[1].righe[0].intestazione);
    EXPECT_EQ(tab[1].righe[0].celle[0].carattere, "Courier New");
    EXPECT_FALSE(tab[2].righe[1].intestazione);
}

namespace {

constexpr long long emuPerPixel = 9525;
const QString tipoImmagine =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/image";

QImage tinta(int larghezza, int altezza, QColor colore) {
    QImage immagine(larghezza, altezza, QImage::Format_RGB32);
    immagine.fill(colore);
    return immagine;
}

QTextImageFormat formatoImmagine(const QString& nome) {
    QTextImageFormat formato;
    formato.setName(nome);
    return formato;
}

// As the report places a chart: text, the picture alone in a centred
// paragraph, more text.
void componi(QTextDocument& documento, const QTextImageFormat& formato) {
    QTextCursor cursore(&documento);
    cursore.insertText("Prima del grafico");
    QTextBlockFormat centrato;
    centrato.setAlignment(Qt::AlignHCenter);
    cursore.insertBlock(centrato);
    cursore.insertImage(formato);
    cursore.insertBlock(QTextBlockFormat());
    cursore.insertText("Dopo il grafico");
}

// The chart as a resource, placed as the report places it.
void componiGrafico(QTextDocument& documento, const QVariant& risorsa,
                    QTextImageFormat formato = formatoImmagine("sezione://grafico-1.png")) {
    documento.addResource(QTextDocument::ImageResource, QUrl(formato.name()), risorsa);
    componi(documento, formato);
}

// The picture a drawing shows, through its relationship and media part.
QImage immagineDi(const docx::Pacchetto& pacchetto, const docx::Disegno& disegno) {
    const auto relazione = pacchetto.relazioni.find(disegno.relazione);
    if (relazione == pacchetto.relazioni.end() || relazione->second.tipo != tipoImmagine) {
        return {};
    }
    return QImage::fromData(pacchetto.parti.at("word/" + relazione->second.destinazione), "PNG");
}

QByteArray png(const QImage& immagine) {
    QByteArray dati;
    QBuffer contenitore(&dati);
    contenitore.open(QIODevice::WriteOnly);
    immagine.save(&contenitore, "PNG");
    return dati;
}

} // namespace

TEST(ImmaginiDocx, GraficoInLineaTraDueParagrafi) {
    QTextDocument documento;
    componiGrafico(documento, tinta(200, 100, Qt::red));
    const docx::Pacchetto pacchetto = docx::apri(documentoDocx(documento));

    ASSERT_EQ(pacchetto.corpo.size(), 3u);
    const auto p = docx::paragrafi(pacchetto.corpo);
    EXPECT_EQ(p[0].testo, "Prima del grafico");
    EXPECT_TRUE(p[0].disegni.empty());
    EXPECT_EQ(p[1].testo, "");
    EXPECT_EQ(p[1].allineamento, "center");
    EXPECT_EQ(p[2].testo, "Dopo il grafico");
    EXPECT_TRUE(p[2].disegni.empty());

    ASSERT_EQ(p[1].disegni.size(), 1u);
    const docx::Disegno& d = p[1].disegni[0];
    EXPECT_EQ(d.larghezza, 200 * emuPerPixel);
    EXPECT_EQ(d.altezza, 100 * emuPerPixel);
    EXPECT_EQ(d.larghezzaForma, d.larghezza);
    EXPECT_EQ(d.altezzaForma, d.altezza);
    EXPECT_FALSE(d.id.isEmpty());
    EXPECT_FALSE(d.nome.isEmpty());

    const auto relazione = pacchetto.relazioni.find(d.relazione);
    ASSERT_NE(relazione, pacchetto.relazioni.end()) << d.relazione.toStdString();
    EXPECT_EQ(relazione->second.tipo, tipoImmagine);
    EXPECT_TRUE(relazione->second.destinazione.startsWith("media/"));
    EXPECT_TRUE(pacchetto.parti.contains("word/" + relazione->second.destinazione));
    const QImage immagine = immagineDi(pacchetto, d);
    EXPECT_EQ(immagine.size(), QSize(200, 100));
    EXPECT_EQ(immagine.pixelColor(150, 70), QColor(Qt::red));
    EXPECT_EQ(pacchetto.tipiPerEstensione.at("png"), "image/png");
}

// Width and height in the document's pixels, 96 to the inch; a side not set
// keeps the picture's proportions.
TEST(ImmaginiDocx, DimensioniDelFormato) {
    struct Caso {
        double larghezza, altezza; // 0: not set
        long long emuLarghezza, emuAltezza;
    };
    for (const Caso& c : {Caso{300, 150, 300 * emuPerPixel, 150 * emuPerPixel},
                          Caso{16 / 2.54 * 96, 8 / 2.54 * 96, 5760000, 2880000}, // 16 × 8 cm
                          Caso{400, 0, 400 * emuPerPixel, 200 * emuPerPixel},
                          Caso{0, 50, 100 * emuPerPixel, 50 * emuPerPixel}}) {
        QTextImageFormat formato = formatoImmagine("sezione://grafico-1.png");
        if (c.larghezza > 0) {
            formato.setWidth(c.larghezza);
        }
        if (c.altezza > 0) {
            formato.setHeight(c.altezza);
        }
        QTextDocument documento;
        componiGrafico(documento, tinta(200, 100, Qt::blue), formato);
        const auto p = docx::paragrafi(docx::leggi(documentoDocx(documento)));
        ASSERT_EQ(p.size(), 3u);
        ASSERT_EQ(p[1].disegni.size(), 1u);
        EXPECT_EQ(p[1].disegni[0].larghezza, c.emuLarghezza) << c.larghezza << "×" << c.altezza;
        EXPECT_EQ(p[1].disegni[0].altezza, c.emuAltezza) << c.larghezza << "×" << c.altezza;
        EXPECT_EQ(p[1].disegni[0].larghezzaForma, c.emuLarghezza);
        EXPECT_EQ(p[1].disegni[0].altezzaForma, c.emuAltezza);
    }
}

TEST(ImmaginiDocx, RisorsaImmaginePixmapOByte) {
    const QImage verde = tinta(200, 100, Qt::green);
    for (const QVariant& risorsa :
         {QVariant(verde), QVariant(QPixmap::fromImage(verde)), QVariant(png(verde))}) {
        QTextDocument documento;
        componiGrafico(documento, risorsa);
        const docx::Pacchetto pacchetto = docx::apri(documentoDocx(documento));
        const auto p = docx::paragrafi(pacchetto.corpo);
        ASSERT_EQ(p.size(), 3u) << risorsa.typeName();
        ASSERT_EQ(p[1].disegni.size(), 1u) << risorsa.typeName();
        EXPECT_EQ(immagineDi(pacchetto, p[1].disegni[0]).pixelColor(0, 0), QColor(Qt::green))
            << risorsa.typeName();
    }
}

// Each drawing has its own id; a picture shown twice, even side by side in
// one fragment, is stored once; pictures in table cells are kept too.
TEST(ImmaginiDocx, PiuImmaginiUnaPartePerRisorsa) {
    QTextDocument documento;
    documento.addResource(QTextDocument::ImageResource, QUrl("sezione://grafico-1.png"),
                          tinta(20, 10, Qt::red));
    documento.addResource(QTextDocument::ImageResource, QUrl("sezione://grafico-2.png"),
                          tinta(30, 10, Qt::blue));
    QTextCursor cursore(&documento);
    cursore.insertImage(formatoImmagine("sezione://grafico-1.png"));
    cursore.insertImage(formatoImmagine("sezione://grafico-1.png"));
    cursore.insertBlock();
    cursore.insertImage(formatoImmagine("sezione://grafico-2.png"));
    QTextTable* tabella = cursore.insertTable(1, 1);
    QTextCursor cella = tabella->cellAt(0, 0).firstCursorPosition();
    cella.insertImage(formatoImmagine("sezione://grafico-2.png"));

    const docx::Pacchetto pacchetto = docx::apri(documentoDocx(documento));
    const auto p = docx::paragrafi(pacchetto.corpo);
    ASSERT_GE(p.size(), 2u);
    ASSERT_EQ(p[0].disegni.size(), 2u);
    ASSERT_EQ(p[1].disegni.size(), 1u);
    const auto t = docx::tabelle(pacchetto.corpo);
    ASSERT_EQ(t.size(), 1u);
    ASSERT_EQ(t[0].righe[0].celle[0].disegni.size(), 1u);
    const std::vector<docx::Disegno> disegni = {p[0].disegni[0], p[0].disegni[1], p[1].disegni[0],
                                                t[0].righe[0].celle[0].disegni[0]};

    std::set<QString> id;
    for (const docx::Disegno& d : disegni) {
        id.insert(d.id);
    }
    EXPECT_EQ(id.size(), 4u);
    EXPECT_EQ(disegni[0].relazione, disegni[1].relazione);
    EXPECT_EQ(disegni[2].relazione, disegni[3].relazione);
    EXPECT_NE(disegni[0].relazione, disegni[2].relazione);
    EXPECT_EQ(immagineDi(pacchetto, disegni[0]).pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(immagineDi(pacchetto, disegni[2]).pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(disegni[2].larghezza, 30 * emuPerPixel);
    EXPECT_EQ(
        std::count_if(pacchetto.parti.begin(), pacchetto.parti.end(),
                      [](const auto& parte) { return parte.first.startsWith("word/media/"); }),
        2);
}

// Without pictures the package holds no picture: six parts, the styles and
// the footer its only relationships, no picture type. A picture the
// document does not hold leaves what an empty paragraph leaves.
TEST(ImmaginiDocx, SenzaImmaginiPacchettoDiSempre) {
    QTextDocument mancante;
    componi(mancante, formatoImmagine("sezione://grafico-1.png"));
    QTextDocument senza;
    {
        QTextCursor cursore(&senza);
        cursore.insertText("Prima del grafico");
        QTextBlockFormat centrato;
        centrato.setAlignment(Qt::AlignHCenter);
        cursore.insertBlock(centrato);
        cursore.insertBlock(QTextBlockFormat());
        cursore.insertText("Dopo il grafico");
    }

    const docx::Pacchetto pacchetto = docx::apri(documentoDocx(senza));
    std::vector<QString> nomi;
    for (const auto& [nome, dati] : pacchetto.parti) {
        nomi.push_back(nome);
    }
    EXPECT_EQ(nomi, (std::vector<QString>{"[Content_Types].xml", "_rels/.rels",
                                          "word/_rels/document.xml.rels", "word/document.xml",
                                          "word/footer1.xml", "word/styles.xml"}));
    ASSERT_EQ(pacchetto.relazioni.size(), 2u);
    EXPECT_TRUE(pacchetto.relazioni.at("rId1").tipo.endsWith("/styles"));
    EXPECT_TRUE(pacchetto.relazioni.at("rId2").tipo.endsWith("/footer"));
    EXPECT_EQ(pacchetto.tipiPerEstensione.size(), 2u);
    EXPECT_FALSE(pacchetto.parti.at("word/document.xml").contains("drawing"));

    EXPECT_EQ(docx::parti(documentoDocx(mancante)), pacchetto.parti);
}

// The page carries its pictures: opened alone, without the program's
// resources, it still shows them.
TEST(ImmaginiSalvate, HtmlConDataUri) {
    QTextDocument documento;
    componiGrafico(documento, tinta(200, 100, Qt::red));
    const QString pagina = QString::fromUtf8(salvato(documento, "r.html"));

    const QRegularExpression sorgente(R"re(<img[^>]* src="data:image/png;base64,([^"]+)")re");
    const auto trovata = sorgente.match(pagina);
    ASSERT_TRUE(trovata.hasMatch()) << pagina.toStdString();
    EXPECT_FALSE(sorgente.match(pagina, trovata.capturedEnd()).hasMatch());
    const QImage immagine =
        QImage::fromData(QByteArray::fromBase64(trovata.captured(1).toLatin1()), "PNG");
    EXPECT_EQ(immagine.size(), QSize(200, 100));
    EXPECT_EQ(immagine.pixelColor(150, 70), QColor(Qt::red));
    EXPECT_FALSE(pagina.contains("sezione://"));
    EXPECT_LT(pagina.indexOf("Prima del grafico"), trovata.capturedStart());
    EXPECT_GT(pagina.indexOf("Dopo il grafico"), trovata.capturedEnd());

    // Saving leaves the document as it was.
    const QTextFragment grafico = documento.begin().next().begin().fragment();
    EXPECT_EQ(grafico.charFormat().toImageFormat().name(), "sezione://grafico-1.png");
}

// Without pictures to carry, or with one the document does not hold, the page
// is the document's own HTML, its page size, margins and language aside.
TEST(ImmaginiSalvate, HtmlSenzaImmaginiInvariato) {
    const auto senzaPagina = [](const QByteArray& html) {
        return QString::fromUtf8(html)
            .remove(QRegularExpression(R"(@page \{[^}]*\}\n)"))
            .replace(R"(<html lang="it">)", "<html>");
    };
    QTextDocument senza;
    senza.setHtml("<p>Prima</p><table><tr><td>cella</td></tr></table><p>Dopo</p>");
    EXPECT_EQ(senzaPagina(salvato(senza, "r.html")), senza.toHtml());

    QTextDocument mancante;
    componi(mancante, formatoImmagine("sezione://grafico-1.png"));
    EXPECT_EQ(senzaPagina(salvato(mancante, "r.html")), mancante.toHtml());
}

TEST(ImmaginiSalvate, OdtEPdfPortanoLImmagine) {
    QTextDocument documento;
    componiGrafico(documento, tinta(200, 100, Qt::red));

    std::vector<QImage> immagini;
    for (const auto& [nome, dati] : docx::parti(salvato(documento, "r.odt"))) {
        if (nome.startsWith("Pictures/")) {
            immagini.push_back(QImage::fromData(dati));
        }
    }
    ASSERT_EQ(immagini.size(), 1u);
    EXPECT_EQ(immagini[0].size(), QSize(200, 100));
    EXPECT_EQ(immagini[0].pixelColor(150, 70), QColor(Qt::red));

    EXPECT_EQ(salvato(documento, "r.pdf").count("/Subtype /Image"), 1);
}

// Each document numbers its pictures from 1, whichever writer puts them there
// and however many documents came before; a picture whose text was deleted
// keeps its name, which an undo would bring back.
TEST(ImmaginiDocumento, NumerateDaUnoInOgniDocumento) {
    const QImage immagine = tinta(20, 10, Qt::red);
    const auto nomi = [](const QTextDocument& documento) {
        std::vector<QString> esito;
        for (QTextBlock b = documento.begin(); b.isValid(); b = b.next()) {
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                if (it.fragment().charFormat().isImageFormat()) {
                    esito.push_back(it.fragment().charFormat().toImageFormat().name());
                }
            }
        }
        return esito;
    };
    const struct {
        QString modello;
        std::function<void(QTextDocument&)> aggiungi;
    } scrittori[] = {
        {"sezione://grafico-%1.png",
         [&](QTextDocument& d) {
             SezioneRelazione sezione;
             sezione.immagine = immagine;
             aggiungiAllaRelazione(d, sezione);
         }},
    };
    for (const auto& scrittore : scrittori) {
        SCOPED_TRACE(scrittore.modello.toStdString());
        for (int volta = 0; volta < 2; ++volta) {
            QTextDocument documento;
            scrittore.aggiungi(documento);
            scrittore.aggiungi(documento);
            EXPECT_EQ(nomi(documento),
                      (std::vector<QString>{scrittore.modello.arg(1), scrittore.modello.arg(2)}));
        }
        QTextDocument documento;
        scrittore.aggiungi(documento);
        QTextCursor tutto(&documento);
        tutto.select(QTextCursor::Document);
        tutto.removeSelectedText();
        scrittore.aggiungi(documento);
        EXPECT_EQ(nomi(documento), std::vector<QString>{scrittore.modello.arg(2)});
    }
}

// On screen and in the .pdf, Qt lays the document out: the blank lines
// around the tables take their room, and every cell has one thin black line
// round it.
TEST_F(Report, RigheVuoteEBordiComeLiMostraQt) {
    ElaboratoreTesti elaboratore;
    creaReport();
    QTextDocument& documento = *elaboratore.documenti().back();
    documento.setTextWidth(643);
    QAbstractTextDocumentLayout* impaginazione = documento.documentLayout();

    std::vector<QTextTable*> tabelle;
    std::vector<QTextBlock> vuoti;
    for (auto it = documento.rootFrame()->begin(); !it.atEnd(); ++it) {
        if (auto* t = qobject_cast<QTextTable*>(it.currentFrame())) {
            tabelle.push_back(t);
        } else if (it.currentBlock().length() == 1 && !paragrafoDiServizio(it.currentBlock())) {
            vuoti.push_back(it.currentBlock());
        }
    }
    ASSERT_EQ(tabelle.size(), 3u);
    // After the heading, and before each of the two labels.
    ASSERT_GE(vuoti.size(), 3u);
    const auto sopra = [&](const QTextBlock& b) {
        return impaginazione->blockBoundingRect(b).bottom();
    };
    const auto inizio = [&](QTextTable* t) { return impaginazione->frameBoundingRect(t).top(); };
    const auto fine = [&](QTextTable* t) { return impaginazione->frameBoundingRect(t).bottom(); };
    EXPECT_GT(impaginazione->blockBoundingRect(vuoti[0]).height(), 10);
    EXPECT_LE(sopra(vuoti[0]), inizio(tabelle[0]) + 0.5);
    for (int i = 1; i <= 2; ++i) {
        const QRectF riga = impaginazione->blockBoundingRect(vuoti[static_cast<std::size_t>(i)]);
        EXPECT_GT(riga.height(), 10);
        EXPECT_GE(riga.bottom(), fine(tabelle[static_cast<std::size_t>(i - 1)]) + 10);
        EXPECT_LE(riga.bottom(), inizio(tabelle[static_cast<std::size_t>(i)]));
    }
    for (QTextTable* t : tabelle) {
        const QTextTableFormat f = t->format();
        EXPECT_NEAR(f.border(), 0.5 * 96 / 72, 1e-9);
        EXPECT_EQ(f.borderStyle(), QTextFrameFormat::BorderStyle_Solid);
        EXPECT_EQ(f.borderBrush().color(), QColor(Qt::black));
        EXPECT_FALSE(f.borderCollapse());
        // Each cell's border on top of its neighbour's: one line, not two.
        EXPECT_NEAR(f.cellSpacing(), -f.border(), 1e-9);
    }
}

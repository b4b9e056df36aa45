#include "app/disegno_sezione.h"
#include "app/finestra_analisi.h"
#include "app/grafico_deflusso.h"
#include "app/preferenze.h"
#include "app/scelta_resistenza.h"
#include "app/twips.h"
#include "documenti/elaboratore_testi.h"
#include "documenti/struttura_documento.h"
#include "elaboratore/finestra_report.h"
#include "finestra_avviata.h"
#include "valutazione/sezione.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <functional>

namespace {

class FinestraAnalisiAperta : public FinestraAvviata {
  protected:
    void SetUp() override {
        QSettings("sezione-inglese", "sezione-inglese").clear();
        FinestraAvviata::SetUp();
        analisi = finestra->apriAnalisi();
        analisi->avvisa = [this](const QString& a) { avvisi.push_back(a); };
    }
    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* report = qobject_cast<FinestraReport*>(w)) {
                report->chiediSeSalvare = [](const QString&) { return RispostaSalvare::Scarta; };
                report->close();
            }
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    std::vector<std::string> etichette() const {
        std::vector<std::string> esito;
        for (const RigaAnalisi& r : analisi->righe()) {
            esito.push_back(r.risposta.etichetta);
        }
        return esito;
    }

    FinestraAnalisi* analisi = nullptr;
    std::vector<QString> avvisi;
};

// Shown whole on its window, once scrolled into view if it sits in a scroll
// area, as a user would.
bool raggiungibile(QWidget* controllo) {
    QWidget* dentro = controllo->window();
    for (QScrollArea* area : dentro->findChildren<QScrollArea*>()) {
        if (area->isAncestorOf(controllo)) {
            // The whole control, not only a line edit's cursor, which is
            // all ensureWidgetVisible() brings into view.
            const QRect dove(controllo->mapTo(area->widget(), QPoint()), controllo->size());
            area->ensureVisible(dove.center().x(), dove.center().y(), dove.width() / 2 + 1,
                                dove.height() / 2 + 1);
            dentro = area->viewport();
        }
    }
    return dentro->rect().contains(QRect(controllo->mapTo(dentro, QPoint()), controllo->size()));
}

} // namespace

TEST_F(FinestraAnalisiAperta, SiApreDalMenuCalcoloConCtrlG) {
    QAction* voce = nullptr;
    for (QAction* menu : finestra->menuBar()->actions()) {
        if (menu->text() == "&Calcolo") {
            for (QAction* a : menu->menu()->actions()) {
                if (a->text() == "Scala di deflusso e verifiche…") {
                    voce = a;
                }
            }
        }
    }
    ASSERT_NE(voce, nullptr);
    EXPECT_EQ(voce->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_G));
    analisi->close();
    voce->trigger();
    EXPECT_TRUE(analisi->isVisible());
    EXPECT_EQ(analisi->windowTitle(), "Scala di deflusso e verifiche");
    EXPECT_EQ(finestra->apriAnalisi(), analisi);
}

// The menu bar sits above the client area, which keeps its twips layout.
TEST_F(FinestraAnalisiAperta, AreaClienteInvariata) {
    const int dpiX = finestra->logicalDpiX();
    const int dpiY = finestra->logicalDpiY();
    EXPECT_EQ(finestra->areaCliente()->size(),
              QSize(twipsInPixel(7524, dpiX), twipsInPixel(6468, dpiY)));
    EXPECT_EQ(finestra->Text1->parentWidget(), finestra->areaCliente());
    EXPECT_EQ(finestra->Text1->geometry(), rettangoloTwips(3396, 252, 1416, 360, dpiX, dpiY));
    EXPECT_EQ(finestra->Command2->geometry(), rettangoloTwips(4716, 5760, 1692, 492, dpiX, dpiY));
    EXPECT_EQ(reinterpret_cast<QWidget*>(finestra->griglia1)->geometry(),
              rettangoloTwips(396, 2640, 6732, 2892, dpiX, dpiY));
    EXPECT_GE(finestra->areaCliente()->y(), finestra->menuBar()->height());
}

TEST_F(FinestraAnalisiAperta, SegueGliIngressiDellaFinestraPrincipale) {
    EXPECT_EQ(etichette(), (std::vector<std::string>{"Piena", "Vmax", "Qmax"}));
    EXPECT_DOUBLE_EQ(analisi->righe()[0].risposta.risposta.altezza, 3 * 0.2);

    digita(finestra->Text1, "25");
    ASSERT_EQ(analisi->righe().size(), 3u);
    EXPECT_DOUBLE_EQ(analisi->righe()[0].risposta.risposta.altezza, 3 * 0.25);
    digita(finestra->Text2, "0.02");
    EXPECT_EQ(analisi->righe()[0].risposta.risposta.velocita,
              analisi::grandezze({0.25, 0.02, {formule::Legge::Bazin, 0.18}}, 3 * 0.25).velocita);
    finestra->Combo1->setCurrentIndex(2);
    emit finestra->Combo1->activated(2);
    EXPECT_EQ(analisi->righe()[0].risposta.risposta.velocita,
              analisi::grandezze({0.25, 0.02, {formule::Legge::Bazin, 0.36}}, 3 * 0.25).velocita);

    digita(finestra->Text2, "0");
    EXPECT_TRUE(analisi->righe().empty());
    EXPECT_TRUE(analisi->stato->text().startsWith("Nessuna sezione"));
    EXPECT_EQ(analisi->tabella->rowCount(), 0);
    digita(finestra->Text2, "0.01");
    EXPECT_EQ(analisi->righe().size(), 3u);
}

TEST_F(FinestraAnalisiAperta, AltezzeDiProgettoEVerificheMarcate) {
    digita(analisi->portata, "370");
    EXPECT_EQ(etichette(), (std::vector<std::string>{"Q1", "Q2", "Piena", "Vmax", "Qmax"}));
    // Both heights of 370 l/s fill the conduit beyond 70%: a colour and a word.
    const int ultima = analisi->tabella->columnCount() - 1;
    EXPECT_EQ(analisi->tabella->item(0, ultima)->text(), "riempimento oltre il limite");
    EXPECT_NE(analisi->tabella->item(0, 1)->background(), QBrush());
    // The full section, fuller still, is there for comparison only.
    EXPECT_EQ(analisi->tabella->item(2, ultima)->text(), "riferimento");
    EXPECT_EQ(analisi->tabella->item(2, 1)->background(), QBrush());

    digita(analisi->riempimentoMassimo, "100");
    EXPECT_EQ(analisi->tabella->item(0, ultima)->text(), "conforme");
    EXPECT_EQ(analisi->tabella->item(0, 1)->background(), QBrush());

    digita(analisi->velocita, "boh");
    EXPECT_FALSE(analisi->velocita->styleSheet().isEmpty());
    EXPECT_TRUE(analisi->stato->text().contains("non contengono un valore valido"));
    digita(analisi->portata, "500");
    EXPECT_TRUE(analisi->stato->text().contains("la portata massima della sezione è 378.07 l/s"));

    // The exact section moves the heights a little.
    const double tabellare = analisi->righe()[2].risposta.risposta.portata;
    analisi->geometria->setCurrentIndex(1);
    EXPECT_NE(analisi->righe()[2].risposta.risposta.portata, tabellare);
}

TEST_F(FinestraAnalisiAperta, LimitiRicordatiTraUnAvvioEIlSuccessivo) {
    EXPECT_EQ(analisi->velocitaMinima->text(), "50");
    EXPECT_EQ(analisi->velocitaMassima->text(), "400");
    EXPECT_EQ(analisi->riempimentoMassimo->text(), "70");
    digita(analisi->velocitaMinima, "60");
    digita(analisi->portata, "120");
    digita(analisi->portataMinima, "8");
    FinestraAnalisi nuova;
    EXPECT_EQ(nuova.velocitaMinima->text(), "60");
    EXPECT_EQ(nuova.portata->text(), "120");
    EXPECT_EQ(nuova.portataMinima->text(), "8");
}

TEST_F(FinestraAnalisiAperta, EsportaIlGraficoNeiTreFormati) {
    const QImage schermo = analisi->grafico->grab().toImage();
    QTemporaryDir cartella;
    analisi->esportaGrafico(cartella.filePath("g.png"));
    analisi->esportaGrafico(cartella.filePath("g.svg"));
    analisi->esportaGrafico(cartella.filePath("g.pdf"));
    analisi->esportaGrafico(cartella.filePath("g.gif"));
    ASSERT_EQ(avvisi.size(), 1u);
    EXPECT_TRUE(avvisi[0].contains("usare .png, .svg o .pdf"));
    const auto inizio = [&](const char* nome) {
        QFile f(cartella.filePath(nome));
        return f.open(QIODevice::ReadOnly) ? f.read(64) : QByteArray();
    };
    EXPECT_TRUE(inizio("g.png").startsWith("\x89PNG"));
    EXPECT_TRUE(inizio("g.svg").contains("<?xml"));
    EXPECT_TRUE(inizio("g.pdf").startsWith("%PDF"));
    // The chart on screen is as it was.
    EXPECT_EQ(analisi->grafico->grab().toImage(), schermo);
}

// The window opens within the screen's free area. At its least size every
// control can be reached, the inputs by scrolling, and the verdicts are shown
// whole, the table scrolled sideways. On a smaller screen it shrinks to fit.
TEST_F(FinestraAnalisiAperta, SiAdattaAlloSchermo) {
    EXPECT_TRUE(finestra->screen()->availableGeometry().contains(analisi->frameGeometry()));

    digita(analisi->portata, "370");
    analisi->resize(analisi->minimumSize());
    QCoreApplication::processEvents();
    for (QWidget* controllo :
         std::initializer_list<QWidget*>{analisi->portata, analisi->riempimentoMassimo,
                                         analisi->grafico, analisi->tabella, analisi->aggiungi}) {
        EXPECT_TRUE(raggiungibile(controllo)) << controllo->metaObject()->className();
    }
    const QModelIndex verdetto =
        analisi->tabella->model()->index(0, analisi->tabella->columnCount() - 1);
    analisi->tabella->scrollTo(verdetto);
    const QRect cella = analisi->tabella->visualRect(verdetto);
    EXPECT_TRUE(analisi->tabella->viewport()->rect().contains(cella));
    EXPECT_GE(cella.width(),
              analisi->tabella->fontMetrics().horizontalAdvance(verdetto.data().toString()));

    const QRect piccolo(100, 40, 640, 400);
    analisi->adattaAlloSpazio(piccolo);
    EXPECT_TRUE(piccolo.contains(analisi->frameGeometry()));
    EXPECT_LE(analisi->minimumWidth(), piccolo.width());
    EXPECT_LE(analisi->minimumHeight(), piccolo.height());
}

TEST_F(FinestraAnalisiAperta, AggiuntaAllaRelazioneTabellaEImmagine) {
    digita(analisi->portata, "370");
    analisi->aggiungi->click();
    QCoreApplication::processEvents();
    ElaboratoreTesti* elaboratore = ElaboratoreTesti::aperto();
    ASSERT_NE(elaboratore, nullptr);
    ASSERT_EQ(elaboratore->documenti().size(), 1u);
    QTextDocument* documento = elaboratore->documenti().front();
    EXPECT_TRUE(documento->toPlainText().contains("SCALA DI DEFLUSSO E VERIFICHE"));
    EXPECT_TRUE(documento->toPlainText().contains("Sezione inglese 40/60 cm, pendenza 0.01\n"))
        << documento->toPlainText().toStdString();
    int tabelle = 0, immagini = 0;
    for (QTextBlock b = documento->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            immagini += it.fragment().charFormat().isImageFormat() ? 1 : 0;
        }
    }
    for (auto it = documento->rootFrame()->begin(); !it.atEnd(); ++it) {
        if (auto* t = qobject_cast<QTextTable*>(it.currentFrame())) {
            ++tabelle;
            ASSERT_EQ(t->rows(), 6); // heading, Q1, Q2, Piena, Vmax, Qmax
            EXPECT_TRUE(rigaIntestazione(t, 0));
            // In the report too the full section is a reference.
            EXPECT_EQ(t->cellAt(3, t->columns() - 1).firstCursorPosition().block().text(),
                      "riferimento");
        }
    }
    EXPECT_EQ(tabelle, 1);
    EXPECT_EQ(immagini, 1);
    // Moved into the editor's document, the picture came along.
    for (QTextBlock b = documento->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (f.isImageFormat()) {
                EXPECT_FALSE(
                    documento
                        ->resource(QTextDocument::ImageResource, QUrl(f.toImageFormat().name()))
                        .isNull());
            }
        }
    }

    // Into the document now open, after a report.
    finestra->Command3->click();
    QCoreApplication::processEvents();
    analisi->aggiungi->click();
    EXPECT_EQ(elaboratore->documenti().size(), 2u);
    EXPECT_TRUE(elaboratore->documenti().back()->toPlainText().contains("Massima portata:"));
    EXPECT_TRUE(elaboratore->documenti().back()->toPlainText().contains("SCALA DI DEFLUSSO"));
}

// The analysis reads a box only when its whole text is one positive number,
// with a decimal comma or point; both, or thousands grouped, are refused.
TEST_F(FinestraAnalisiAperta, VirgolaOPuntoMaiEntrambi) {
    digita(analisi->portata, "370,5");
    EXPECT_EQ(analisi->portata->toolTip(), "");
    EXPECT_EQ(etichette(), (std::vector<std::string>{"Q1", "Q2", "Piena", "Vmax", "Qmax"}));
    digita(analisi->portata, "1.370,5");
    EXPECT_EQ(analisi->portata->toolTip(),
              "Il numero ha sia la virgola sia il punto: il separatore decimale è uno solo, e le "
              "migliaia non si separano.");
    EXPECT_TRUE(analisi->portata->styleSheet().contains("#C00000"));
    EXPECT_EQ(etichette(), (std::vector<std::string>{"Piena", "Vmax", "Qmax"}));

    digita(analisi->portata, "370.5x");
    EXPECT_EQ(analisi->portata->toolTip(), "Non è un numero.");
    digita(analisi->velocitaMinima, "-1");
    EXPECT_EQ(analisi->velocitaMinima->toolTip(), "Il valore deve essere maggiore di zero.");
    // A limit that does not read leaves no answers to check against it.
    EXPECT_TRUE(etichette().empty());

    digita(analisi->velocitaMinima, "");
    digita(analisi->portata, "370.5");
    EXPECT_EQ(analisi->portata->toolTip(), "");
    EXPECT_EQ(analisi->portata->styleSheet(), "");
    ASSERT_EQ(etichette().front(), "Q1");
    EXPECT_NEAR(analisi->righe().front().risposta.risposta.portata, 0.3705, 1e-12);
}

TEST_F(FinestraAnalisiAperta, LimitiContraddittoriEChiusuraConLaPrincipale) {
    digita(analisi->velocitaMinima, "250");
    digita(analisi->velocitaMassima, "210");
    EXPECT_TRUE(analisi->stato->text().contains(
        "La velocità minima di autopulizia supera la massima ammessa"));
    finestra->close();
    EXPECT_FALSE(analisi->isVisible());
}

// The dry-weather flow: one row after the design rows, held to the
// self-cleansing velocity alone (86 cm/s here), marked on the chart; a flow
// never reached is said; the box comes from the project.
TEST_F(FinestraAnalisiAperta, PortataMinimaRigaVerificaEMarcatore) {
    digita(analisi->portata, "150");
    digita(analisi->portataMinima, "8");
    digita(analisi->riempimentoMassimo, "1");
    EXPECT_EQ(etichette(), (std::vector<std::string>{"Q1", "Qmin", "Piena", "Vmax", "Qmax"}));
    const int ultima = analisi->tabella->columnCount() - 1;
    EXPECT_EQ(analisi->tabella->item(1, ultima)->text(), "conforme");
    digita(analisi->velocitaMinima, "90");
    EXPECT_EQ(analisi->tabella->item(1, ultima)->text(), "velocità troppo bassa");

    const auto marcati = [&] {
        std::vector<double> altezze;
        for (const LivelloAcqua& livello : analisi->grafico->dati()->livelli) {
            if (livello.minima) {
                altezze.push_back(livello.altezza);
            }
        }
        return altezze;
    };
    const double altezza = analisi->righe()[1].risposta.risposta.altezza;
    EXPECT_EQ(marcati(), std::vector<double>{altezza});

    digita(analisi->portataMinima, "500");
    EXPECT_EQ(etichette(), (std::vector<std::string>{"Q1", "Piena", "Vmax", "Qmax"}));
    EXPECT_TRUE(marcati().empty());
    EXPECT_TRUE(analisi->stato->text().contains("Nessuna altezza con la portata minima"));

    progetto::Verifiche v = analisi->verifiche();
    EXPECT_EQ(v.portataMinima.testo, "500");
    v.portataMinima.testo = "12";
    analisi->impostaVerifiche(v);
    EXPECT_EQ(analisi->portataMinima->text(), "12");
}

// The answers follow the law chosen here; the table's Bazin stays. An empty
// Bazin coefficient is the table's γ; a value out of its range is refused.
TEST_F(FinestraAnalisiAperta, LeggeDiResistenzaScelta) {
    digita(analisi->portata, "150");
    const auto altezzaQ1 = [&] { return analisi->righe().front().risposta.risposta.altezza; };
    const double conBazin = altezzaQ1();
    const analisi::Sezione tabella{0.2, 0.01, {formule::Legge::Bazin, 0.18}};

    const struct {
        formule::Legge legge;
        const char* scabrezza;
        double coefficiente;
    } casi[] = {{formule::Legge::Manning, "0.013: calcestruzzo", 0.013},
                {formule::Legge::Strickler, "77", 77},
                {formule::Legge::Colebrook, "1.5", 1.5}};
    for (const auto& c : casi) {
        SCOPED_TRACE(c.scabrezza);
        analisi->resistenza->legge->setCurrentIndex(static_cast<int>(c.legge));
        analisi->resistenza->scabrezza->setEditText(c.scabrezza);
        analisi::Sezione attesa = tabella;
        attesa.resistenza = {c.legge, c.coefficiente};
        EXPECT_DOUBLE_EQ(altezzaQ1(), analisi::Risposte(attesa).perPortata(0.150).front().altezza);
        EXPECT_EQ(analisi->verifiche().legge, formule::chiaveLegge(c.legge));
    }
    EXPECT_TRUE(analisi->resistenza->temperatura->isEnabled());
    EXPECT_EQ(s.coeffBazin, 0.18); // the main window's table keeps its Bazin

    analisi->resistenza->scabrezza->setEditText("500");
    EXPECT_TRUE(analisi->righe().empty());
    EXPECT_TRUE(analisi->resistenza->scabrezza->styleSheet().contains("#C00000"));
    EXPECT_TRUE(analisi->resistenza->scabrezza->toolTip().startsWith("Fuori dall'intervallo"));

    analisi->resistenza->legge->setCurrentIndex(0);
    EXPECT_EQ(analisi->resistenza->scabrezza->currentText(), "");
    EXPECT_DOUBLE_EQ(altezzaQ1(), conBazin);
    EXPECT_EQ(analisi->resistenza->scabrezza->count(), 6); // Bazin's six categories
}

// A filling is a share of the height: 150 % limits nothing and is refused.
TEST_F(FinestraAnalisiAperta, RiempimentoOltreCentoRifiutato) {
    digita(analisi->portata, "150");
    digita(analisi->riempimentoMassimo, "150");
    EXPECT_TRUE(analisi->riempimentoMassimo->styleSheet().contains("#C00000"));
    EXPECT_TRUE(analisi->stato->text().contains("non si legge il riempimento massimo («150»)"));
    EXPECT_TRUE(etichette().empty());
    digita(analisi->riempimentoMassimo, "100");
    EXPECT_EQ(analisi->riempimentoMassimo->styleSheet(), "");
}

// The window draws with the report's figures: its chart and its section, on
// screen and exported, are the report's drawings of the same section, levels
// and limits (the chart with the window's maxima and title), before and after
// the pointer names a height.
TEST_F(FinestraAnalisiAperta, DisegnaComeLaRelazione) {
    digita(analisi->portata, "150");
    digita(analisi->portataMinima, "8");
    ASSERT_EQ(etichette(), (std::vector<std::string>{"Q1", "Qmin", "Piena", "Vmax", "Qmax"}));
    const double q1 = analisi->righe()[0].risposta.risposta.altezza;
    const analisi::Sezione sezione{0.2, 0.01, {formule::Legge::Bazin, 0.18}};
    const analisi::Risposte risposte(sezione);
    const DatiScala dati{
        sezione,
        analisi->grafico->dati()->righeTabella,
        {{"Qmin", analisi->righe()[1].risposta.risposta.altezza, true}, {"Q1", q1}},
        {},
        MassimiScala{risposte.portataMassima(), risposte.velocitaMassima()},
        analisi->grafico->dati()->titolo};
    ASSERT_FALSE(dati.titolo.isEmpty());

    const auto schermo = [](QWidget* w) {
        QImage immagine(w->size(), QImage::Format_RGB32);
        w->render(&immagine);
        return immagine;
    };
    const auto conCursore = [&](QSize dimensione, double altezza) {
        QImage immagine(dimensione, QImage::Format_RGB32);
        immagine.fill(Qt::white);
        QPainter pittore(&immagine);
        ScalaDiDeflusso(dati).disegna(pittore, immagine.rect(), altezza);
        return immagine;
    };
    const auto sezioneA = [&](double altezza) {
        return figuraSezione(0.2, formule::Geometria::Tabellare, {{"", altezza}},
                             analisi->disegno->size());
    };
    const QSize stampa(1800, 1120);
    const QSize grafico = analisi->grafico->size();
    // The pointer at 45 cm, as a user moves it.
    const double puntata = 0.45;
    QMouseEvent movimento(QEvent::MouseMove,
                          ScalaDiDeflusso(dati).assi(grafico).portata(10, puntata * 100), QPointF(),
                          Qt::NoButton, Qt::NoButton, Qt::NoModifier);

    const struct {
        const char* cosa;
        bool puntatore;
        std::function<QImage()> finestra, relazione;
    } casi[] = {
        {"grafico", false, [&] { return schermo(analisi->grafico); },
         [&] { return figuraScala(dati, grafico); }},
        {"grafico esportato", false, [&] { return analisi->grafico->immagine(); },
         [&] { return figuraScala(dati, stampa); }},
        {"sezione all'altezza di Q1", false, [&] { return schermo(analisi->disegno); },
         [&] { return sezioneA(q1); }},
        {"grafico col puntatore", true, [&] { return schermo(analisi->grafico); },
         [&] { return conCursore(grafico, puntata); }},
        {"grafico esportato senza il puntatore", true, [&] { return analisi->grafico->immagine(); },
         [&] { return figuraScala(dati, stampa); }},
        {"sezione all'altezza indicata", true, [&] { return schermo(analisi->disegno); },
         [&] { return sezioneA(puntata); }},
    };
    for (const auto& caso : casi) {
        SCOPED_TRACE(caso.cosa);
        if (caso.puntatore) {
            QApplication::sendEvent(analisi->grafico, &movimento);
            EXPECT_TRUE(analisi->puntatore->text().startsWith("h = 45.00 cm"))
                << analisi->puntatore->text().toStdString();
        }
        EXPECT_TRUE(caso.finestra().convertToFormat(QImage::Format_RGB32) ==
                    caso.relazione().convertToFormat(QImage::Format_RGB32));
    }
}

// What the window shows is the project's evaluation of its boxes and the
// main window's table: the answers and their verdicts, or the law's box
// that stops them, in red and named above the chart.
TEST_F(FinestraAnalisiAperta, MostraLaValutazioneDellaSezione) {
    SceltaResistenza& legge = *analisi->resistenza;
    const struct {
        const char* nome;
        std::function<void()> imposta;
        QWidget* sbagliata;
    } casi[] = {
        {"portata", [&] { digita(analisi->portata, "370"); }, nullptr},
        {"Manning illeggibile",
         [&] {
             digita(analisi->portata, "150");
             legge.legge->setCurrentIndex(static_cast<int>(formule::Legge::Manning));
             legge.scabrezza->setEditText("abc");
         },
         legge.scabrezza},
        {"temperatura illeggibile",
         [&] {
             legge.legge->setCurrentIndex(static_cast<int>(formule::Legge::Colebrook));
             legge.scabrezza->setEditText("1,5");
             digita(legge.temperatura, "tiepida");
         },
         legge.temperatura},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        analisi->portata->clear();
        legge.legge->setCurrentIndex(static_cast<int>(formule::Legge::Bazin));
        legge.temperatura->setText("15");
        c.imposta();

        progetto::Progetto p;
        p.verifiche = analisi->verifiche();
        const valutazione::Sezione attesa = valutazione::sezioneDi(p, finestra->tabella());
        std::vector<std::string> verdetti, mostrati;
        for (const RigaAnalisi& riga : attesa.righe) {
            verdetti.push_back(testiAnalisi(riga).back());
        }
        const int ultima = analisi->tabella->columnCount() - 1;
        for (int r = 0; r < analisi->tabella->rowCount(); ++r) {
            mostrati.push_back(analisi->tabella->item(r, ultima)->text().toStdString());
        }
        EXPECT_EQ(mostrati, verdetti);
        EXPECT_EQ(analisi->sezione().nonSoddisfatte, attesa.nonSoddisfatte);
        EXPECT_EQ(analisi->sezione().mancate, attesa.mancate);
        for (QWidget* casella : std::initializer_list<QWidget*>{analisi->portata, legge.scabrezza,
                                                                legge.temperatura}) {
            EXPECT_EQ(casella->styleSheet().contains("#C00000"), casella == c.sbagliata)
                << casella->metaObject()->className();
        }
        if (attesa.impedimento) {
            EXPECT_EQ(c.sbagliata->toolTip().toStdString(), attesa.impedimento->motivo);
            EXPECT_TRUE(analisi->stato->text().contains(QString::fromStdString(
                "non si legge " + valutazione::testoCasella(*attesa.impedimento))))
                << analisi->stato->text().toStdString();
            EXPECT_TRUE(analisi->righe().empty());
        }
    }
}

// Under the decimal comma every number the window writes is made with it:
// the chart's title, the section's size included, and the lines it adds to
// a report.
TEST_F(FinestraAnalisiAperta, IlTitoloELaRelazioneConLaVirgola) {
    finestra->preferenze()->impostaSeparatore(Separatore::Virgola);
    digita(finestra->Text1, "37.5");
    digita(analisi->portata, "150,5");
    analisi->resistenza->legge->setCurrentIndex(static_cast<int>(formule::Legge::Colebrook));
    analisi->resistenza->scabrezza->setEditText("1.5");
    ASSERT_NE(analisi->grafico->dati(), nullptr);
    EXPECT_EQ(analisi->grafico->dati()->titolo,
              "Sezione inglese 75/112,5 cm · i = 0,0100 · ks = 1,5 mm, T = 15 °C · geometria "
              "tabellare");
    analisi->aggiungi->click();
    QCoreApplication::processEvents();
    ASSERT_NE(ElaboratoreTesti::aperto(), nullptr);
    const QString aggiunto = ElaboratoreTesti::aperto()->documenti().back()->toPlainText();
    for (const char* riga :
         {"Sezione inglese 75/112,5 cm, pendenza 0,01\n",
          "Legge di resistenza: Colebrook–White, ks = 1,5 mm, T = 15 °C\n",
          "Portata di progetto: 150,5 l/s\n",
          "Limiti: V minima 50,00 cm/s, V massima 400,00 cm/s, h/H massimo 70,0%\n"}) {
        EXPECT_TRUE(aggiunto.contains(riga)) << riga << "\n" << aggiunto.toStdString();
    }
}

#include "finestra_avviata.h"
#include "finisce_entro.h"

#include "app/finestra_analisi.h"
#include "app/finestra_profilo.h"
#include "app/finestra_tratti.h"
#include "app/impostazioni.h"
#include "app/modello_pozzetti.h"
#include "app/modello_tratti.h"
#include "app/progetto_finestra.h"
#include "app/scelta_resistenza.h"
#include "file/lettura_file.h"
#include "numeri/conversioni.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include <condition_variable>
#include <functional>
#include <mutex>

namespace {

using tratti::Tratto;

// The window under a fresh analysis window (the proposed limits, Bazin)
// and a table whose γ is 0.18, with its questions answered by the test.
class Tratti : public ::testing::Test {
  protected:
    void SetUp() override {
        impostazioni().clear();
        analisi = std::make_unique<FinestraAnalisi>();
        finestra = std::make_unique<FinestraTratti>(analisi.get());
        finestra->avvisa = [this](const QString& avviso) { avvisi.push_back(avviso); };
        finestra->conferma = [](const QString&) { return true; };
        finestra->impostaCoefficienteTabella(0.18);
    }

    ModelloTratti& modello() { return *finestra->modello; }
    QString cella(int riga, int colonna) {
        return modello().index(riga, colonna).data().toString();
    }
    // Rows of cells as typed from the first column, the manholes' apart:
    // the reaches on their own.
    void scrivi(std::vector<std::vector<std::string>> righe) {
        for (std::vector<std::string>& riga : righe) {
            riga.insert(riga.begin() + std::min<std::ptrdiff_t>(1, std::ssize(riga)), 2, "");
        }
        modello().impostaRighe({});
        modello().incolla(0, 0, righe);
        modello().attendiCalcolo();
    }
    std::string file(const char* nome, const std::string& testo) {
        const QString percorso = cartella.filePath(nome);
        QFile f(percorso);
        f.open(QIODevice::WriteOnly);
        f.write(testo.data(), static_cast<qint64>(testo.size()));
        return percorso.toStdString();
    }

    std::unique_ptr<FinestraAnalisi> analisi;
    std::unique_ptr<FinestraTratti> finestra;
    std::vector<QString> avvisi;
    QTemporaryDir cartella;
};

// Runs the event loop until every reach that reads has its result, as the
// window does by itself: no wait, no timer.
void finoAllaFineDelCalcolo(ModelloTratti& modello) {
    while (modello.inCalcolo()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

const char* const intestazione =
    "tratto,lunghezza,pendenza,quota_monte,quota_valle,raggio,portata,portata_minima,legge,"
    "scabrezza\n";

} // namespace

// A cell that breaks a rule of the reaches' CSV is marked with the very
// reason the file's reader gives, and its row has no result.
TEST_F(Tratti, UnaCellaSbagliataComeNelCsv) {
    const std::vector<std::vector<std::string>> casi = {
        {"T1", "", "abc", "", "", "30", "150"},
        {"T2", "", "0.01", "", "", "30", "150", "-1"},
        {"T3", "", "0.01", "", "", "30", ""},
        {"T4", "50", "", "100", "100.5", "", "10"},
        {"T5", "", "0.01", "", "", "", "90", "", "chezy", "1"},
        {"T6", "", "0.01", "", "", "", "90", "", "manning", "0.5"},
        {"T\u202E7", "", "0.01", "", "", "30", "150"},
        {"T8\x1b[2J", "", "0.01", "", "", "30", "150"},
    };
    for (const auto& celle : casi) {
        SCOPED_TRACE(celle[0]);
        scrivi({celle});
        std::string riga;
        for (std::size_t c = 0; c < 10; ++c) {
            riga += (c > 0 ? "," : "") + (c < celle.size() ? celle[c] : "");
        }
        try {
            tratti::leggiTratti(intestazione + riga);
            ADD_FAILURE() << "il CSV si legge";
        } catch (const csv::Errore& atteso) {
            const auto colonna =
                static_cast<int>(std::find(tratti::nomiColonne.begin(), tratti::nomiColonne.end(),
                                           atteso.colonna()) -
                                 tratti::nomiColonne.begin());
            const QModelIndex sbagliata = modello().index(0, colonna);
            EXPECT_EQ(sbagliata.data(Qt::ToolTipRole).toString().toStdString(), atteso.motivo());
            EXPECT_TRUE(sbagliata.data(Qt::BackgroundRole).isValid());
            EXPECT_EQ(cella(0, ModelloTratti::Verdetto), "");
        }
    }
}

// A manhole's name (from a project) or note (typed) with a control
// character or a control of the writing direction is marked with the
// reason, as a reach's cell is.
TEST_F(Tratti, PozzettiConCaratteriNonAmmessi) {
    const std::string controllo = "contiene un carattere di controllo (";
    const std::string direzione = "contiene un carattere di controllo della direzione del testo (";
    const struct {
        std::string nome, nota;
        int sbagliata;
        std::string motivo;
    } casi[] = {
        {"P\x01", "", ModelloPozzetti::Nome, controllo + "U+0001)"},
        {"P1\u200F", "", ModelloPozzetti::Nome, direzione + "U+200F)"},
        {"P1", "\x1b[31mrosso", ModelloPozzetti::Nota, controllo + "U+001B)"},
        {"P1", "via \u2067Roma", ModelloPozzetti::Nota, direzione + "U+2067)"},
        {"P1", "via Roma", -1, ""},
    };
    ModelloPozzetti& pozzetti = *finestra->pozzetti;
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome + c.nota);
        pozzetti.impostaRighe({{c.nome, {}, {}, {}}});
        pozzetti.setData(pozzetti.index(0, ModelloPozzetti::Nota), QString::fromStdString(c.nota));
        for (const int colonna : {ModelloPozzetti::Nome, ModelloPozzetti::Nota}) {
            const QModelIndex indice = pozzetti.index(0, colonna);
            EXPECT_EQ(indice.data(Qt::ToolTipRole).toString().toStdString(),
                      colonna == c.sbagliata ? c.motivo + ", che non è ammesso" : "");
            EXPECT_EQ(indice.data(Qt::BackgroundRole).isValid(), colonna == c.sbagliata);
        }
    }
}

// A block from an Italian spreadsheet: its decimal commas are held as
// points, rows are added past the end, and the cells read as the Italian
// file of the same reaches.
TEST_F(Tratti, IncollaUnBloccoConLaVirgola) {
    scrivi({{"T1", "", "0.004"}, {"T2", "80", "", "102.35", "101.95"}});
    finestra->tabella->setCurrentIndex(modello().index(0, tratti::Raggio));
    finestra->incollaTesto("30\t150,5\t8,25\r\n\t300\t12\n35\t1,5e2\t\n");
    ASSERT_EQ(modello().rowCount(), 3);
    EXPECT_EQ(cella(0, tratti::Portata), "150.5");
    EXPECT_EQ(cella(0, tratti::PortataMinima), "8.25");
    EXPECT_EQ(cella(2, tratti::Portata), "1.5e2");
    EXPECT_EQ(cella(2, tratti::Nome), "");
    finestra->incollaTesto("");
    finestra->tabella->setCurrentIndex(modello().index(2, tratti::Nome));
    finestra->incollaTesto("T3\t\t\t40\t0,0005\t\t\n");
    EXPECT_EQ(modello().trattiLetti(),
              tratti::leggiTratti("tratto;lunghezza;pendenza;quota_monte;quota_valle;raggio;"
                                  "portata;portata_minima\n"
                                  "T1;;0,004;;;30;150,5;8,25\nT2;80;;102,35;101,95;;300;12\n"
                                  "T3;40;0,0005;;;35;1,5e2;\n"));
}

// Either kind of CSV fills the table with the same cells; a file that
// breaks a rule changes nothing and the warning names line and column.
TEST_F(Tratti, ImportaCsvSempliceEItaliano) {
    const struct {
        const char* nome;
        std::string testo;
    } files[] = {
        {"semplice.csv", "tratto,pendenza,raggio,portata,portata_minima\nT1,0.005,30,150,8\n"
                         "T2,0.01,,300,12.5\n"},
        {"italiano.csv", "\xEF\xBB\xBFtratto;pendenza;raggio;portata;portata_minima\r\n"
                         "T1;0,005;30;150;8\r\nT2;0,01;;300;12,5\r\n"},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.nome);
        ASSERT_TRUE(finestra->importa(file(f.nome, f.testo)));
        ASSERT_EQ(modello().rowCount(), 2);
        EXPECT_EQ(cella(1, tratti::Pendenza), "0.01");
        EXPECT_EQ(cella(1, tratti::PortataMinima), "12.5");
        EXPECT_EQ(cella(1, tratti::Raggio), "");
    }
    EXPECT_FALSE(finestra->importa(file("rete.csv", "tratto,pendenza,portata\nA,0.01,10\n"
                                                    "B,-0.01,10\n")));
    EXPECT_EQ(avvisi.back(), "Impossibile importare «" + cartella.filePath("rete.csv") +
                                 "», riga 3, colonna «pendenza»: deve essere maggiore di zero: "
                                 "«-0.01».");
    EXPECT_EQ(cella(0, tratti::Nome), "T1");
}

// Dimensiona writes into the empty radii the size each result shows: a
// reach no size fits takes the smallest within the filling and stays
// failing with its remedy; only a reach that cannot be computed keeps its
// cell empty.
TEST_F(Tratti, DimensionaScriveIlRaggioDiOgniEsito) {
    modello().incolla(0, 0,
                      {{"T1", "", "", "", "0.005", "", "", "", "150", "8"},
                       {"T2", "", "", "", "0.005", "", "", "3e1", "150", "8"},
                       {"T3", "", "", "", "0.0005", "", "", "", "20"},
                       {"T4", "", "", "", "0.003", "", "", "", "600", "20"},
                       {"T5", "P1", "P2", "", "0.01", "", "", "120", "150"},
                       {"T6", "P2", "P3", "", "0.01", "", "", "", "150"}});
    modello().attendiCalcolo();
    const std::vector<tratti::Esito> prima = modello().reteCalcolata().esiti->esiti;
    const std::vector<progetto::RigaTratto> celle = modello().righe();
    EXPECT_TRUE(cella(2, ModelloTratti::Motivo).startsWith("nessun raggio del catalogo"));
    EXPECT_EQ(cella(5, ModelloTratti::Verdetto), "non calcolato");
    finestra->dimensiona->click();
    modello().attendiCalcolo();
    for (std::size_t r = 0; r < celle.size(); ++r) {
        SCOPED_TRACE(r);
        const std::string atteso = !celle[r].raggio.testo.empty() ? celle[r].raggio.testo
                                   : prima[r].calcolato           ? CStr(prima[r].raggio)
                                                                  : "";
        EXPECT_EQ(cella(static_cast<int>(r), tratti::Raggio).toStdString(), atteso);
    }
    EXPECT_EQ(cella(0, tratti::Raggio), "25");
    EXPECT_EQ(cella(2, tratti::Raggio), "25");
    EXPECT_EQ(cella(2, ModelloTratti::Verdetto), "non verificato");
    EXPECT_TRUE(cella(2, ModelloTratti::Motivo).contains("pendenza minima per l'autopulizia"));
    EXPECT_NE(finestra->stato->text().indexOf(
                  "Dimensiona: 3 raggi scritti, di cui 1 resta non verificato (nessun raggio "
                  "rispetta tutti i limiti: il motivo dice il rimedio), 1 tratto non calcolato: "
                  "il raggio resta vuoto"),
              -1)
        << finestra->stato->text().toStdString();
    modello().annullamenti()->undo();
    EXPECT_EQ(cella(2, tratti::Raggio), "");
}

// The limits, the law and the geometry are the analysis window's, followed
// as they change, and named on the line above the table.
TEST_F(Tratti, GliEsitiSeguonoLaFinestraDiAnalisi) {
    scrivi({{"T1", "", "0.005", "", "", "30", "150", "8"}});
    const struct {
        std::function<void()> cambia;
        const char* nellaLinea;
        const char* motivo;
    } casi[] = {
        {[] {},
         "Limiti: V min 50.00 cm/s, V max 400.00 cm/s, h/H max 70.0% · legge: Bazin, γ = 0.18", ""},
        {[this] { analisi->velocitaMinima->setText("70"); }, "V min 70.00 cm/s",
         "velocità troppo bassa alla portata minima: 65.54 cm/s < 70 cm/s; pendenza minima per "
         "l'autopulizia: 0.00606"},
        {[this] { analisi->velocitaMinima->setText("abc"); },
         "non si legge la velocità minima di autopulizia («abc»)", ""},
        {[this] {
             analisi->velocitaMinima->clear();
             analisi->riempimentoMassimo->setText("30");
         },
         "V min 50.00 cm/s, V max 400.00 cm/s, h/H max 30.0%",
         "riempimento oltre il limite alla portata di progetto: 33.8% > 30%; pendenza minima per "
         "il riempimento: 0.00793"},
        {[this] { finestra->impostaCoefficienteTabella(std::nullopt); }, "nessun esito", ""},
        {[this] {
             analisi->riempimentoMassimo->clear();
             analisi->resistenza->legge->setCurrentIndex(3);
             analisi->resistenza->scabrezza->setEditText("0.013");
             analisi->geometria->setCurrentIndex(1);
         },
         "legge: Manning, n = 0.013 s/m¹ᐟ³ · geometria: esatta", ""},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nellaLinea);
        c.cambia();
        modello().attendiCalcolo();
        EXPECT_NE(finestra->linea->text().indexOf(c.nellaLinea), -1)
            << finestra->linea->text().toStdString();
        EXPECT_EQ(cella(0, ModelloTratti::Motivo), c.motivo);
    }
    tratti::Impostazioni manning;
    manning.resistenza = {formule::Legge::Manning, 0.013};
    manning.geometria = formule::Geometria::Esatta;
    const tratti::Esito atteso = tratti::verifica(modello().trattiLetti()[0], manning);
    EXPECT_EQ(modello().reteCalcolata().esiti->esiti[0].progetto->altezza,
              atteso.progetto->altezza);
}

// A box the line cannot be read without stops it: the line above the table
// names the box as the project's evaluation does, in red, and no reach
// shows a result; the box read again brings them back.
TEST_F(Tratti, UnaCasellaCheNonSiLeggeFermaLaLinea) {
    scrivi({{"T1", "", "0.005", "", "", "30", "150", "8"}});
    SceltaResistenza& legge = *analisi->resistenza;
    const struct {
        std::function<void()> cambia;
        const char* chiave;
        const char* nominata;
    } casi[] = {
        {[&] {
             legge.legge->setCurrentIndex(static_cast<int>(formule::Legge::Manning));
             legge.scabrezza->setEditText("abc");
         },
         "verifiche.scabrezza",
         "il coefficiente della legge di resistenza («abc»): Non è un numero"},
        {[&] {
             legge.legge->setCurrentIndex(static_cast<int>(formule::Legge::Colebrook));
             legge.scabrezza->setEditText("1,5");
             legge.temperatura->setText("tiepida");
         },
         "verifiche.temperatura", "la temperatura dell'acqua («tiepida»): Non è un numero"},
        {[this] { finestra->impostaCoefficienteTabella(std::nullopt, "abc"); },
         "ingressi.coefficiente",
         "il coefficiente di Bazin della finestra principale («abc»): Non è un numero positivo"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.chiave);
        legge.legge->setCurrentIndex(static_cast<int>(formule::Legge::Bazin));
        legge.temperatura->setText("15");
        finestra->impostaCoefficienteTabella(0.18, "0.18");
        modello().attendiCalcolo();
        ASSERT_EQ(cella(0, ModelloTratti::Verdetto), "verificato");

        c.cambia();
        modello().attendiCalcolo();
        EXPECT_NE(
            finestra->linea->text().indexOf(QString("nessun esito: non si legge ") + c.nominata),
            -1)
            << finestra->linea->text().toStdString();
        EXPECT_TRUE(finestra->linea->styleSheet().contains("#B00000"));
        ASSERT_TRUE(modello().linea().impedimento);
        EXPECT_EQ(modello().linea().impedimento->chiave, c.chiave);
        EXPECT_EQ(cella(0, ModelloTratti::Verdetto), "");
        EXPECT_EQ(cella(0, ModelloTratti::Velocita), "");
        EXPECT_FALSE(modello().reteCalcolata().esiti);
    }
}

// Under the decimal comma a name is shown as typed, wherever it is shown:
// the reaches' and manholes' cells, the reasons and their tooltips, the
// status line. Only the numbers take the comma.
TEST_F(Tratti, INomiComeScrittiConLaVirgola) {
    finestra->impostaSeparatore(Separatore::Virgola);
    modello().incolla(0, 0,
                      {{"T1.1", "P1.1", "P1.2", "50", "0.005", "100", "", "40", "150"},
                       {"T1.2", "P1.2", "P1.3", "50", "0.005", "", "", "40", "160"}});
    ModelloPozzetti& pozzetti = *finestra->pozzetti;
    pozzetti.impostaRighe(
        {{"P1.2", progetto::Casella::daTesto("100.5"), "via 1.2", {}}, {"P9.9", {}, {}, {}}});
    modello().attendiCalcolo();
    const auto nelPozzetto = [&](int riga, int colonna, int ruolo = Qt::DisplayRole) {
        return pozzetti.index(riga, colonna).data(ruolo).toString();
    };
    const struct {
        const char* dove;
        QString testo;
        const char* atteso;
    } casi[] = {
        {"nome del tratto", cella(1, tratti::Nome), "T1.2"},
        {"pozzetto di monte", cella(1, tratti::PozzettoMonte), "P1.2"},
        {"motivo", cella(0, ModelloTratti::Motivo),
         "ricoprimento insufficiente a valle (pozzetto «P1.2»): -0,45 m"},
        {"suggerimento del motivo",
         modello().index(0, ModelloTratti::Motivo).data(Qt::ToolTipRole).toString(),
         "non verificato: ricoprimento insufficiente a valle (pozzetto «P1.2»): -0,45 m"},
        {"nome del pozzetto", nelPozzetto(0, ModelloPozzetti::Nome), "P1.2"},
        {"terreno", nelPozzetto(0, ModelloPozzetti::Terreno), "100,5"},
        {"nota", nelPozzetto(0, ModelloPozzetti::Nota), "via 1.2"},
        {"stato del pozzetto", nelPozzetto(1, ModelloPozzetti::Stato),
         "il pozzetto «P9.9» non è usato da alcun tratto"},
        {"suggerimento dello stato", nelPozzetto(1, ModelloPozzetti::Stato, Qt::ToolTipRole),
         "il pozzetto «P9.9» non è usato da alcun tratto"},
        {"riga di stato", finestra->stato->text(), "«P9.9»"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.dove);
        EXPECT_TRUE(c.testo.contains(c.atteso)) << c.testo.toStdString();
    }
}

// As in a spreadsheet: typing opens the cell, Enter keeps it (a decimal
// comma as a point) and moves down, Delete empties the cells selected.
TEST_F(Tratti, InvioScendeCancSvuota) {
    scrivi({{"T1", "", "0.01", "", "", "30", "150"},
            {"T2", "", "0.01", "", "", "30", "90"},
            {"T3", "", "0.01", "", "", "30", "90"}});
    finestra->show();
    QApplication::setActiveWindow(finestra.get());
    QTableView* tabella = finestra->tabella;
    tabella->setCurrentIndex(modello().index(0, tratti::Pendenza));
    tabella->edit(tabella->currentIndex());
    auto* editor = tabella->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "0,005");
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(cella(0, tratti::Pendenza), "0.005");
    EXPECT_EQ(tabella->currentIndex(), modello().index(1, tratti::Pendenza));

    tabella->selectionModel()->select(
        QItemSelection(modello().index(0, tratti::Raggio), modello().index(1, tratti::Portata)),
        QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(tabella, Qt::Key_Delete);
    EXPECT_EQ(cella(1, tratti::Raggio), "");
    EXPECT_EQ(cella(1, tratti::Portata), "");
    EXPECT_EQ(cella(1, tratti::Nome), "T2");
}

// Every edit of the table or the catalogue is undone by Ctrl+Z and done
// again by Ctrl+Y or Ctrl+Shift+Z, whole; a project opened cannot be undone.
TEST_F(Tratti, AnnullaERipetiOgniModifica) {
    const std::string csv = file("linea.csv", "tratto,pendenza,raggio,portata\nN1,0.01,30,90\n");
    const struct {
        const char* nome;
        std::function<void()> modifica;
    } casi[] = {
        {"scrittura", [&] { modello().setData(modello().index(1, tratti::Portata), "95,5"); }},
        {"incolla sopra",
         [&] {
             finestra->tabella->setCurrentIndex(modello().index(0, tratti::Raggio));
             finestra->incollaTesto("35\t200\n40\t\n");
         }},
        {"incolla in fondo",
         [&] {
             finestra->tabella->selectionModel()->clear();
             finestra->incollaTesto("T9\t\t\t\t0.02\n");
         }},
        {"svuota",
         [&] {
             finestra->tabella->selectionModel()->select(
                 QItemSelection(modello().index(0, tratti::Pendenza),
                                modello().index(1, tratti::Raggio)),
                 QItemSelectionModel::ClearAndSelect);
             QTest::keyClick(finestra->tabella, Qt::Key_Delete);
         }},
        {"aggiungi", [&] { modello().insertRows(1, 1); }},
        {"elimina",
         [&] {
             modello().elimina({2, 0});
         }},
        {"importa", [&] { finestra->importa(csv); }},
        {"dimensiona",
         [&] {
             finestra->dimensiona->click();
             modello().attendiCalcolo();
         }},
        {"catalogo", [&] { QTest::keyClicks(finestra->casellaCatalogo, "; 22,5"); }},
    };
    finestra->show();
    QApplication::setActiveWindow(finestra.get());
    for (const auto& caso : casi) {
        SCOPED_TRACE(caso.nome);
        std::vector<progetto::RigaTratto> righe;
        for (const tratti::CelleTratto& celle :
             tratti::leggiCelleTratti("tratto,pendenza,raggio,portata,portata_minima\n"
                                      "T1,0.005,30,150,8\nT2,0.005,,150,8\nT3,0.01,,90,\n")
                 .celle) {
            righe.push_back(progetto::rigaDaCelle(celle));
        }
        modello().impostaRighe(righe);
        modello().attendiCalcolo();
        finestra->casellaCatalogo->setText("30, 40");
        const auto stato = [&] {
            return std::pair(modello().righe(), finestra->casellaCatalogo->text());
        };
        EXPECT_FALSE(modello().annullamenti()->canUndo());
        const auto prima = stato();
        caso.modifica();
        const auto dopo = stato();
        ASSERT_NE(dopo, prima);
        for (const QKeySequence& ripeti :
             {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}) {
            QTest::keySequence(finestra->tabella, QKeySequence::Undo);
            EXPECT_EQ(stato(), prima);
            QTest::keySequence(finestra->tabella, ripeti);
            EXPECT_EQ(stato(), dopo);
        }
    }
}

// A paste over filled cells says how many it replaced; one below the last
// row adds rows after it.
TEST_F(Tratti, IncollaDiceCosaHaSostituito) {
    scrivi({{"T1", "", "0.01", "", "", "30", "150"}, {"T2", "", "0.01"}});
    finestra->tabella->setCurrentIndex(modello().index(0, tratti::Raggio));
    finestra->incollaTesto("35\t150\n40\t90\n");
    EXPECT_TRUE(
        finestra->stato->text().endsWith("Incolla: 1 cella piena sostituita (Ctrl+Z annulla)"))
        << finestra->stato->text().toStdString();
    finestra->tabella->selectionModel()->clear();
    finestra->incollaTesto("T3\nT4\n");
    EXPECT_EQ(modello().rowCount(), 4);
    EXPECT_EQ(cella(3, tratti::Nome), "T4");
    EXPECT_TRUE(finestra->stato->text().endsWith("Incolla: 2 righe aggiunte (Ctrl+Z annulla)"));
}

// Under the decimal comma the numbers of the cells, the results and the
// reasons are read with it; the cells keep the point inside.
TEST_F(Tratti, LaVirgolaNelleCelleENegliEsiti) {
    scrivi({{"T1", "", "0.0005", "", "", "30", "150", "8"}});
    finestra->impostaSeparatore(Separatore::Virgola);
    EXPECT_EQ(cella(0, tratti::Pendenza), "0,0005");
    EXPECT_EQ(modello().index(0, tratti::Pendenza).data(Qt::EditRole), "0,0005");
    EXPECT_EQ(modello().righe()[0].pendenza.testo, "0.0005");
    EXPECT_TRUE(cella(0, ModelloTratti::Velocita).contains(','));
    EXPECT_FALSE(cella(0, ModelloTratti::Motivo).contains(QRegularExpression("\\d\\.\\d")))
        << cella(0, ModelloTratti::Motivo).toStdString();
    EXPECT_TRUE(finestra->linea->text().contains("γ = 0,18"))
        << finestra->linea->text().toStdString();
}

// The reaches and the catalogue go into the project file as typed, and come
// back the same in another window; an edit marks the project changed.
class TrattiNelProgetto : public FinestraAvviata {};

TEST_F(TrattiNelProgetto, SalvatiERiapertiUguali) {
    QTemporaryDir cartella;
    const std::string percorso = cartella.filePath("linea.sezione").toStdString();
    FinestraTratti* scritti = finestra->apriTratti();
    scritti->modello->incolla(
        0, 0,
        {{"T1", "", "", "120", "", "100.6", "100", "", "1.5e2", "8", "manning", "0,013"},
         {"T2", "", "", "", "0.005", "", "", "30", "abc"}});
    scritti->casellaCatalogo->setText("30, 40; 50");
    scritti->pozzetti->impostaRighe({{"P1", progetto::Casella::daTesto("101.5"), "via Roma", {}}});
    scritti->allineamento->setCurrentIndex(2);
    scritti->ricoprimento->setText("1,2");
    finestra->progetto()->scegliFileDaSalvare = [&](const std::string&) { return percorso; };
    ASSERT_TRUE(finestra->progetto()->salvaCome());
    EXPECT_EQ(progetto::leggiProgetto(percorso).catalogo, (std::vector<double>{30, 40, 50}));

    FormPrincipale altra;
    altra.show();
    QCoreApplication::processEvents();
    ASSERT_TRUE(altra.progetto()->apri(percorso));
    FinestraTratti* riaperti = altra.apriTratti();
    EXPECT_EQ(riaperti->righe(), scritti->righe());
    EXPECT_EQ(riaperti->righe()[0].scabrezza.testo, "0.013");
    EXPECT_EQ(riaperti->casellaCatalogo->text(), "30, 40, 50");
    EXPECT_EQ(riaperti->righePozzetti(), scritti->righePozzetti());
    EXPECT_EQ(riaperti->rete(), scritti->rete());
    EXPECT_EQ(riaperti->rete().allineamento, "fondo");
    EXPECT_EQ(riaperti->ricoprimento->text(), "1,2");
    EXPECT_FALSE(altra.progetto()->modificato());

    riaperti->modello->setData(riaperti->modello->index(1, tratti::Portata), "90");
    EXPECT_TRUE(altra.windowTitle().startsWith("linea.sezione*"));
}

// The example line's exceptions and existing reach in the window: told in
// its rows and manholes, given and taken back with "Deroga…" and Ctrl+Z,
// saved with the project.
TEST_F(TrattiNelProgetto, DerogheNellaFinestra) {
    ASSERT_TRUE(finestra->progetto()->apri(PROGETTO_ESEMPIO));
    FinestraTratti* f = finestra->apriTratti();
    ModelloTratti& m = *f->modello;
    m.attendiCalcolo();
    const auto verdetto = [&](int riga) {
        return m.index(riga, ModelloTratti::Verdetto).data().toString();
    };
    EXPECT_EQ(verdetto(0), "verificato con deroga");
    EXPECT_EQ(verdetto(10), "verificato con deroga");
    EXPECT_EQ(m.index(10, tratti::Esistente).data().toString(), "si");
    EXPECT_TRUE(m.index(10, ModelloTratti::Motivo).data().toString().contains("tratto esistente"));

    std::vector<std::pair<tratti::Controllo, std::string>> offerti;
    f->scegliDeroga = [&](const QString&, const auto& controlli) {
        offerti = controlli;
        return std::optional(FinestraTratti::SceltaDeroga{controlli.front().first, ""});
    };
    f->tabella->setCurrentIndex(m.index(0, 0));
    f->findChild<QAction*>("deroga")->trigger();
    m.attendiCalcolo();
    ASSERT_EQ(offerti.size(), 1u);
    EXPECT_EQ(offerti.front().second, "tratto di testa: lavaggio con pozzetto di cacciata");
    EXPECT_EQ(verdetto(0), "non verificato");
    EXPECT_TRUE(finestra->windowTitle().contains("*"));
    m.annullamenti()->undo();
    m.attendiCalcolo();
    EXPECT_EQ(verdetto(0), "verificato con deroga");
    EXPECT_EQ(f->deroghe(), progetto::leggiProgetto(PROGETTO_ESEMPIO).deroghe);
}

// The profile window starts from the project's scales and sheet, and what
// the user types there is the project's: marked as a change, saved, and
// back on opening. Its title block is the project's data.
TEST_F(TrattiNelProgetto, ScaleDelProfiloNelProgetto) {
    QTemporaryDir cartella;
    const std::string percorso = cartella.filePath("scale.sezione").toStdString();
    progetto::Progetto scelto = progetto::leggiProgetto(PROGETTO_ESEMPIO);
    scelto.profilo = {2000.0, std::nullopt, "A4"};
    progetto::scriviProgetto(percorso, scelto);
    ASSERT_TRUE(finestra->progetto()->apri(percorso));
    FinestraTratti* f = finestra->apriTratti();
    f->modello->attendiCalcolo();
    FinestraProfilo* profilo = f->apriProfilo();
    EXPECT_EQ(profilo->scalaOrizzontale->text(), "2000");
    EXPECT_EQ(profilo->scalaVerticale->text(), "");
    EXPECT_EQ(profilo->foglio->currentIndex(), 1);
    EXPECT_EQ(profilo->impaginazione().scalaOrizzontale, 2000);
    const Cartiglio& cartiglio = profilo->impaginazione().cartiglio;
    EXPECT_EQ(cartiglio.titolo, "Profilo longitudinale da P1 a P15");
    EXPECT_EQ(cartiglio.opera, scelto.dati.opera);
    EXPECT_EQ(cartiglio.data, scelto.dati.data);
    EXPECT_FALSE(finestra->progetto()->modificato());

    profilo->scalaVerticale->setText("200");
    EXPECT_TRUE(finestra->windowTitle().startsWith("scale.sezione*"));
    ASSERT_TRUE(finestra->progetto()->salva());
    const progetto::DisegnoProfilo atteso{2000.0, 200.0, "A4"};
    EXPECT_EQ(progetto::leggiProgetto(percorso).profilo, atteso);
    finestra->progetto()->nuovo();
    EXPECT_EQ(profilo->scalaOrizzontale->text(), "");
    ASSERT_TRUE(finestra->progetto()->apri(percorso));
    EXPECT_EQ(profilo->disegno(), atteso);
    EXPECT_EQ(profilo->scalaVerticale->text(), "200");
}

// The project's, the reports' and the windows' keys act from the analysis
// and the reaches' windows as from the main one.
TEST_F(TrattiNelProgetto, ITastiDelProgrammaInOgniFinestra) {
    QTemporaryDir cartella;
    const std::string percorso = cartella.filePath("linea.sezione").toStdString();
    finestra->progetto()->scegliFileDaSalvare = [&](const std::string&) { return percorso; };
    FinestraTratti* tratti = finestra->apriTratti();
    QMainWindow* analisi = finestra->apriAnalisi();
    for (QMainWindow* altra : {static_cast<QMainWindow*>(tratti), analisi}) {
        QStringList tasti;
        for (const QAction* azione : altra->actions()) {
            tasti << azione->shortcut().toString();
        }
        EXPECT_EQ(tasti, QStringList({"Ctrl+O", "Ctrl+S", "Ctrl+Shift+S", "Ctrl+R", "Ctrl+Q",
                                      "Ctrl+G", "Ctrl+T", "Ctrl+L"}));
    }
    tratti->hide();
    QApplication::setActiveWindow(analisi);
    QTest::keySequence(analisi, QKeySequence(Qt::CTRL | Qt::Key_T));
    EXPECT_TRUE(tratti->isVisible());
    QApplication::setActiveWindow(tratti);
    QTest::keySequence(tratti, QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(percorso)));
}

namespace {

// A verification that holds the worker inside a reach until the test lets
// it go: each call waits for the gate, and the test can wait for the first
// call. What it returns tells the cells and the limit it was given.
class Cancello {
  public:
    tratti::Esito verifica(const Tratto& tratto, const tratti::Impostazioni& impostazioni) {
        std::unique_lock blocco(mutex_);
        chiamato_ = true;
        cambiato_.notify_all();
        cambiato_.wait(blocco, [this] { return aperto_; });
        // A size passes from half the flow up.
        tratti::Esito esito;
        esito.raggio = *tratto.raggio;
        esito.verificato = esito.raggio >= tratto.portata / 2;
        tratti::Rilievo detto(tratti::Rilievo::Tipo::ErroreCalcolo);
        detto.testo = tratto.nome + " Q " + CStr(tratto.portata) + " Vmin " +
                      CStr(impostazioni.limiti.velocitaMinima * 100);
        esito.rilievi.push_back(std::move(detto));
        return esito;
    }
    void attendiUnaChiamata() {
        std::unique_lock blocco(mutex_);
        cambiato_.wait(blocco, [this] { return chiamato_; });
    }
    void apri() {
        const std::lock_guard blocco(mutex_);
        aperto_ = true;
        cambiato_.notify_all();
    }

  private:
    std::mutex mutex_;
    std::condition_variable cambiato_;
    bool chiamato_ = false;
    bool aperto_ = false;
};

// The window with the gate for its verification, its worker held inside
// the first reach of three; every result the table shows is recorded with
// its row. Each case starts afresh.
class TrattiSottoCarico : public ::testing::Test {
  protected:
    void avvia() {
        TearDown();
        finestra.reset();
        mostrati.clear();
        cancello = std::make_shared<Cancello>();
        impostazioni().clear();
        analisi = std::make_unique<FinestraAnalisi>();
        finestra = std::make_unique<FinestraTratti>(
            analisi.get(), nullptr, [c = cancello](const Tratto& t, const tratti::Impostazioni& i) {
                return c->verifica(t, i);
            });
        finestra->impostaCoefficienteTabella(0.18);
        QObject::connect(modello(), &QAbstractItemModel::dataChanged,
                         [this](const QModelIndex& da, const QModelIndex& a) {
                             for (int r = da.row(); r <= a.row(); ++r) {
                                 if (const QString m = motivo(r); !m.isEmpty()) {
                                     mostrati.emplace_back(r, m);
                                 }
                             }
                         });
        modello()->incolla(0, 0,
                           {{"T1", "", "", "", "0.005", "", "", "", "150"},
                            {"T2", "", "", "", "0.005", "", "", "30", "90"},
                            {"T3", "", "", "", "0.005", "", "", "", "60"}});
        QCoreApplication::processEvents();
        cancello->attendiUnaChiamata();
    }
    // Nothing may keep the worker once the test is over.
    void TearDown() override {
        if (cancello) {
            cancello->apri();
        }
    }

    ModelloTratti* modello() { return finestra->modello; }
    QString motivo(int riga) {
        return modello()->index(riga, ModelloTratti::Motivo).data().toString();
    }
    std::vector<QString> motivi() {
        std::vector<QString> tutti;
        for (int r = 0; r < modello()->rowCount(); ++r) {
            tutti.push_back(motivo(r));
        }
        return tutti;
    }

    std::shared_ptr<Cancello> cancello;
    std::unique_ptr<FinestraAnalisi> analisi;
    std::unique_ptr<FinestraTratti> finestra;
    std::vector<std::pair<int, QString>> mostrati;
};

} // namespace

// A change while a reach is being computed: each row ends with the result
// of its own cells under the line's settings of now, and a result of cells,
// rows or settings since changed is never shown, not even for a moment (no
// row had a result before the change, so any other shown is stale).
TEST_F(TrattiSottoCarico, UnCambiamentoDuranteIlCalcolo) {
    const struct {
        const char* nome;
        std::function<void()> cambia;
        std::vector<QString> attesi;
    } casi[] = {
        {"la cella del tratto in calcolo",
         [this] { modello()->setData(modello()->index(0, tratti::Portata), "155"); },
         {"T1 Q 155 Vmin 50", "T2 Q 90 Vmin 50", "T3 Q 60 Vmin 50"}},
        {"un limite",
         [this] { analisi->velocitaMinima->setText("70"); },
         {"T1 Q 150 Vmin 70", "T2 Q 90 Vmin 70", "T3 Q 60 Vmin 70"}},
        {"la riga in calcolo eliminata",
         [this] { modello()->removeRows(0, 1); },
         {"T2 Q 90 Vmin 50", "T3 Q 60 Vmin 50"}},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        avvia();
        c.cambia();
        cancello->apri();
        finoAllaFineDelCalcolo(*modello());
        const std::vector<QString> finali = motivi();
        EXPECT_EQ(finali, c.attesi);
        for (const auto& [riga, motivo] : mostrati) {
            EXPECT_EQ(motivo, finali.at(static_cast<std::size_t>(riga))) << riga;
        }
    }
}

// Dimensiona while the results are on their way waits for them all, those
// of cells changed meanwhile included, and then writes each empty radius
// once.
TEST_F(TrattiSottoCarico, DimensionaAttendeLaFineDelCalcolo) {
    const struct {
        std::function<void()> cambia;
        const char* raggio;
    } casi[] = {
        {[] {}, "80"},
        {[this] { modello()->setData(modello()->index(0, tratti::Portata), "100"); }, "50"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.raggio);
        avvia();
        std::vector<std::pair<int, int>> dimensionati;
        QObject::connect(modello(), &ModelloTratti::dimensionati, [&](int scritti, int, int senza) {
            dimensionati.emplace_back(scritti, senza);
        });
        finestra->dimensiona->click();
        c.cambia();
        EXPECT_TRUE(dimensionati.empty());
        EXPECT_EQ(modello()->index(0, tratti::Raggio).data().toString(), "");
        cancello->apri();
        finoAllaFineDelCalcolo(*modello());
        EXPECT_EQ(dimensionati, (std::vector<std::pair<int, int>>{{2, 0}}));
        EXPECT_EQ(modello()->index(0, tratti::Raggio).data().toString(), c.raggio);
        EXPECT_EQ(modello()->index(1, tratti::Raggio).data().toString(), "30");
        EXPECT_EQ(modello()->index(2, tratti::Raggio).data().toString(), "30");
    }
}

// Closed and destroyed while its worker is inside a reach: the thread ends
// with the window, and nothing keeps the verification it was given.
TEST_F(TrattiSottoCarico, ChiusaDuranteIlCalcolo) {
    avvia();
    finestra->show();
    finestra->close();
    QCoreApplication::processEvents();
    cancello->apri();
    finestra.reset();
    EXPECT_EQ(cancello.use_count(), 1);
}

// 5,000 reaches pasted, then a cell and a limit changed before any result
// came: once the event loop has brought every result, each row holds, to
// the last bit, what the verification of its reach gives by itself.
TEST_F(Tratti, CinquemilaTrattiIncollatiComeVerificatiUnoAUno) {
    QString blocco;
    for (int i = 0; i < 5000; ++i) {
        blocco += QString("T%1\t\t\t%2\t%3\t\t\t%4\t%5\t%6\t%7\t%8\n")
                      .arg(i + 1)
                      .arg(40 + i % 50)
                      .arg(0.002 + 0.0001 * (i % 80))
                      .arg(i % 3 == 0 ? QString() : QString::number(30 + 5 * (i % 7)))
                      .arg(20 + (i * 37) % 580)
                      .arg(i % 4 == 0 ? QString() : QString::number(1 + i % 13))
                      .arg(i % 10 == 0   ? "colebrook"
                           : i % 10 == 5 ? "manning"
                                         : "")
                      .arg(i % 10 == 0   ? "0,5"
                           : i % 10 == 5 ? "0,014"
                                         : "");
    }
    finestra->incollaTesto(blocco);
    modello().setData(modello().index(2500, tratti::Portata), "333");
    analisi->velocitaMinima->setText("60");
    finoAllaFineDelCalcolo(modello());

    tratti::Impostazioni linea;
    linea.resistenza = {formule::Legge::Bazin, 0.18};
    linea.limiti.velocitaMinima = 0.6;
    const std::vector<Tratto> letti = modello().trattiLetti();
    ASSERT_EQ(letti.size(), 5000U);
    EXPECT_EQ(letti[2500].portata, 333);
    const std::vector<tratti::Esito> esiti = modello().reteCalcolata().esiti->esiti;
    std::vector<std::size_t> diversi;
    for (std::size_t i = 0; i < letti.size(); ++i) {
        if (tratti::testoEsiti({letti[i]}, {esiti[i]}, tratti::Formato::Csv) !=
            tratti::testoEsiti({letti[i]}, {tratti::verifica(letti[i], linea)},
                               tratti::Formato::Csv)) {
            diversi.push_back(i);
        }
    }
    EXPECT_TRUE(diversi.empty()) << diversi.size() << " righe diverse, la prima " << diversi[0];
}

// A slope (or a length) typed in a reach whose inverts "Calcola quote"
// wrote moves them, and every computed level downstream, in one change
// that Ctrl+Z undoes whole; an invert the user wrote since stays, and the
// reach then fails with both values in its reason.
TEST_F(Tratti, UnaPendenzaScrittaSpostaLeQuoteCalcolate) {
    using Quote = std::vector<std::pair<const char*, const char*>>;
    const struct {
        const char* caso;
        std::function<void()> prima;
        int riga;
        std::size_t colonna;
        const char* testo;
        Quote quote;      // each row's inverts after it
        int inDisaccordo; // the row whose reason says so; -1: none
    } casi[] = {
        {"la quota di valle del primo",
         [] {},
         0,
         tratti::Pendenza,
         "0.006",
         {{"100", "99.700"}, {"99.700", "99.450"}, {"99.450", "99.200"}},
         -1},
        {"le due quote del secondo",
         [] {},
         1,
         tratti::Pendenza,
         "0,004",
         {{"100", "99.750"}, {"99.750", "99.550"}, {"99.550", "99.300"}},
         -1},
        {"una lunghezza",
         [] {},
         0,
         tratti::Lunghezza,
         "40",
         {{"100", "99.800"}, {"99.800", "99.550"}, {"99.550", "99.300"}},
         -1},
        {"una quota scritta dopo resta",
         [this] { modello().setData(modello().index(0, tratti::QuotaValle), "99.74"); },
         0,
         tratti::Pendenza,
         "0.006",
         {{"100", "99.74"}, {"99.750", "99.500"}, {"99.500", "99.250"}},
         0},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.caso);
        modello().impostaRighe({});
        modello().incolla(0, 0,
                          {{"A", "P1", "P2", "50", "0.005", "100", "", "40", "150"},
                           {"B", "P2", "P3", "50", "0.005", "", "", "40", "160"},
                           {"C", "P3", "P4", "50", "0.005", "", "", "40", "170"}});
        modello().attendiCalcolo();
        ASSERT_EQ(modello().calcolaQuote(), 5);
        c.prima();
        const std::vector<progetto::RigaTratto> prima = modello().righe();
        const int cambi = modello().annullamenti()->count();
        modello().setData(modello().index(c.riga, static_cast<int>(c.colonna)), c.testo);
        EXPECT_EQ(modello().annullamenti()->count(), cambi + 1);
        modello().attendiCalcolo();
        for (int r = 0; r < 3; ++r) {
            SCOPED_TRACE(r);
            const auto [monte, valle] = c.quote[static_cast<std::size_t>(r)];
            EXPECT_EQ(cella(r, tratti::QuotaMonte), monte);
            EXPECT_EQ(cella(r, tratti::QuotaValle), valle);
            EXPECT_EQ(cella(r, ModelloTratti::Motivo).contains("in disaccordo"),
                      r == c.inDisaccordo)
                << cella(r, ModelloTratti::Motivo).toStdString();
        }
        modello().annullamenti()->undo();
        EXPECT_EQ(modello().righe(), prima);
    }
}

// A line of manholes: sized downstream never below a radius typed upstream,
// the manholes listed as their names are typed, the empty inverts written
// by the rule and undone, a selection named as a line, a ground level given
// in the manholes' tab checked over the crowns.
TEST_F(Tratti, UnaLineaDiPozzetti) {
    modello().incolla(0, 0,
                      {{"P6-P7", "P6", "P7", "50", "0.005", "100", "", "40", "150"},
                       {"P7-P8", "P7", "P8", "50", "0.005", "", "", "", "160"},
                       {"X1", "", "", "", "0.01", "", "", "", "20"},
                       {"X2", "", "", "", "0.01", "", "", "", "20"}});
    modello().attendiCalcolo();
    ModelloPozzetti& pozzetti = *finestra->pozzetti;
    ASSERT_EQ(pozzetti.rowCount(), 3);
    EXPECT_EQ(pozzetti.index(2, ModelloPozzetti::Nome).data().toString(), "P8");
    EXPECT_EQ(pozzetti.index(2, ModelloPozzetti::Stato).data().toString(), "sbocco");

    finestra->dimensiona->click();
    modello().attendiCalcolo();
    EXPECT_GE(cella(1, tratti::Raggio).toDouble(), 40);

    finestra->calcolaQuote->click();
    const double monte = 100 - 0.25 + 1.2 - 3 * cella(1, tratti::Raggio).toDouble() / 100;
    EXPECT_EQ(cella(1, tratti::QuotaMonte), QString::number(monte, 'f', 3));
    EXPECT_EQ(cella(0, tratti::QuotaValle), "99.750");
    modello().annullamenti()->undo();
    EXPECT_EQ(cella(1, tratti::QuotaMonte), "");

    finestra->tabella->selectionModel()->select(
        QItemSelection(modello().index(2, 0), modello().index(3, 0)),
        QItemSelectionModel::ClearAndSelect);
    finestra->collega->click();
    EXPECT_EQ(cella(2, tratti::PozzettoMonte) + cella(2, tratti::PozzettoValle) +
                  cella(3, tratti::PozzettoValle),
              "P9P10P11");

    pozzetti.setData(pozzetti.index(1, ModelloPozzetti::Terreno), "100,5");
    modello().attendiCalcolo();
    EXPECT_EQ(cella(0, ModelloTratti::Verdetto), "non verificato");
    EXPECT_TRUE(cella(0, ModelloTratti::Motivo)
                    .startsWith("ricoprimento insufficiente a valle (pozzetto «P7»): -0.45 m"))
        << cella(0, ModelloTratti::Motivo).toStdString();
    EXPECT_TRUE(finestra->stato->text().contains("6 pozzetti: 0 con salto"))
        << finestra->stato->text().toStdString();
    const std::string esportati = cartella.filePath("linea.csv").toStdString();
    ASSERT_TRUE(
        finestra->esporta(esportati, FinestraTratti::Contenuto::Tratti, tratti::Formato::Csv));
    EXPECT_EQ(tratti::leggiTrattiConRighe(leggiFileIntero(esportati, tratti::fileMassimo)).pozzetti,
              (std::vector<tratti::Pozzetto>{{"P7", 100.5, ""}}));
    modello().annullamenti()->undo();
    EXPECT_EQ(pozzetti.index(1, ModelloPozzetti::Terreno).data().toString(), "");
}

// The profile window follows the line: its tree, its heads longest first,
// the levels under the pointer, a new reach once the results are in, and
// the export of what it shows.
TEST_F(Tratti, ProfiloDellaLinea) {
    modello().incolla(0, 0,
                      {{"P1-P2", "P1", "P2", "50", "0.005", "100", "", "", "40"},
                       {"R1-P2", "R1", "P2", "20", "0.01", "100.4", "", "", "10"}});
    modello().attendiCalcolo();
    FinestraProfilo* profilo = finestra->apriProfilo();
    EXPECT_EQ(profilo->albero->count(), 1);
    ASSERT_EQ(profilo->testa->count(), 2);
    EXPECT_EQ(profilo->testa->itemText(0), "P1");
    ASSERT_TRUE(profilo->profilo());
    EXPECT_DOUBLE_EQ(profilo->profilo()->lunghezza(), 50);
    const disegno::Rettangolo area = areaDelDisegno(profilo->impaginazione());
    const double mezzo = *profilo->profilo()->tratti[0].fondoA(25);
    const double x = area.x + area.larghezza / 2;
    const std::optional<double> sotto = progressivaA(profilo->impaginazione(), 0, x);
    ASSERT_TRUE(sotto);
    EXPECT_TRUE(profilo->testoSotto(x).startsWith("Progressiva "))
        << profilo->testoSotto(x).toStdString();
    EXPECT_NEAR(*tratti::livelliA(*profilo->profilo(), 25).fondo, mezzo, 1e-12);

    // A scale no sheet could show is refused, and the drawing stays fitted.
    const double adattata = profilo->impaginazione().scalaOrizzontale;
    profilo->scalaOrizzontale->setText("0,5");
    EXPECT_TRUE(profilo->scalaOrizzontale->toolTip().contains("1:10"));
    EXPECT_EQ(profilo->impaginazione().scalaOrizzontale, adattata);
    profilo->scalaOrizzontale->setText("200");
    EXPECT_EQ(profilo->impaginazione().scalaOrizzontale, 200);
    profilo->scalaOrizzontale->clear();

    modello().incolla(2, 0, {{"P2-P3", "P2", "P3", "30", "0.005", "", "", "", "60"}});
    modello().attendiCalcolo();
    QCoreApplication::processEvents();
    EXPECT_DOUBLE_EQ(profilo->profilo()->lunghezza(), 80);

    const QString dxf = cartella.filePath("profilo.dxf");
    ASSERT_TRUE(profilo->esporta(dxf.toStdString()));
    EXPECT_GT(QFileInfo(dxf).size(), 1000);
    QString avviso;
    profilo->avvisa = [&](const QString& testo) { avviso = testo; };
    EXPECT_FALSE(profilo->esporta(cartella.filePath("manca/profilo.pdf").toStdString()));
    EXPECT_FALSE(avviso.isEmpty());
}

// The profile window opens on a reach of 1e20 m, and on a star of 99,999
// reaches, paints, takes a scale and exports within a watchdog's time, or
// says why it does not.
TEST(ProfiloOstile, LaFinestraSiApreEDisegna) {
    std::vector<Tratto> lungo(1);
    lungo[0] = {"L", "P1", "P2", 1e20, 0.005, 100, {}, {}, 100, {}, {}};
    std::vector<Tratto> stella(99999);
    tratti::EsitiRete soloPercorsi{std::vector<tratti::Esito>(stella.size()), {}, {}, {}};
    soloPercorsi.alberi.push_back({"O", stella.size(), false});
    for (std::size_t k = 0; k < stella.size(); ++k) {
        stella[k].pozzettoMonte = "S";
        stella[k].pozzettoMonte += std::to_string(k);
        stella[k].pozzettoValle = std::string(1, 'O');
        stella[k].lunghezza = 1 + static_cast<double>(k % 7);
    }
    const std::pair<const std::vector<Tratto>*, tratti::EsitiRete> casi[] = {
        {&lungo, *tratti::calcolaRete(lungo, {}, tratti::Impostazioni())}, {&stella, soloPercorsi}};
    // Each case runs in a process of its own, which leaves without
    // clearing a temporary folder: the file has a fixed name instead.
    const std::string esportato = ::testing::TempDir() + "profilo_ostile.pdf";
    for (const auto& [linea, esiti] : casi) {
        EXPECT_FINISCE_ENTRO(20, {
            FinestraProfilo finestra;
            finestra.avvisa = [](const QString&) {};
            finestra.resize(900, 500);
            finestra.show();
            finestra.mostra(*linea, esiti, Separatore::Punto);
            finestra.grab();
            finestra.scalaOrizzontale->setText("10");
            finestra.grab();
            finestra.esporta(esportato);
        });
    }
    std::remove(esportato.c_str());
}

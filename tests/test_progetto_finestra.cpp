#include "contenuto_file.h"
#include "finestra_avviata.h"

#include "app/dati_progetto.h"
#include "app/finestra_analisi.h"
#include "app/finestra_tratti.h"
#include "app/impostazioni.h"
#include "app/modello_tratti.h"
#include "app/progetto_finestra.h"
#include "cli/esecuzione.h"
#include "documenti/elaboratore_testi.h"
#include "elaboratore/finestra_report.h"
#include "numeri/formato.h"
#include "progetto/righe_tratti.h"
#include "relazione/relazione_calcolo.h"
#include "tratti/csv_tratti.h"
#include "valutazione/conclusione.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTimer>

#include <sstream>
#include <tuple>

namespace {

const QString titolo = "Calcolo della portata di una tubazione a sezione inglese";

// The window with every question answered by the test: the file to save
// into or to open, Salva / Scarta / Annulla, the project's data.
class ProgettoNellaFinestra : public FinestraAvviata {
  protected:
    void SetUp() override {
        FinestraAvviata::SetUp();
        rispondi(*finestra);
    }

    void rispondi(FormPrincipale& f) {
        ProgettoFinestra* p = f.progetto();
        p->scegliFileDaSalvare = [this](const std::string& proposto) {
            proposti.push_back(proposto);
            return daSalvare;
        };
        p->chiediSeSalvare = [this](const QString& domanda) {
            domande.push_back(domanda);
            return risposta;
        };
        p->avvisa = [this](const QString& avviso) { avvisi.push_back(avviso); };
    }

    std::string file(const char* nome) const { return cartella.filePath(nome).toStdString(); }
    void scrivi(const char* nome, const std::string& testo) const {
        QFile f(cartella.filePath(nome));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(testo.data(), static_cast<qint64>(testo.size()));
    }

    QTemporaryDir cartella;
    std::string daSalvare;
    std::vector<std::string> proposti;
    RispostaSalvare risposta = RispostaSalvare::Annulla;
    std::vector<QString> domande;
    std::vector<QString> avvisi;
};

const char* const progettoT12 = R"({
  "formato": "sezione-inglese",
  "versione": 1,
  "ingressi": {"raggio": 30, "pendenza": 0.004, "coefficiente": "0.16", "incremento": 50,
               "nomeFile": "T12"},
  "verifiche": {"geometria": "esatta", "portataProgetto": 150, "portataMinima": 8,
                "velocitaProgetto": null, "velocitaMinima": 60, "velocitaMassima": 400,
                "riempimentoMassimo": 70},
  "progetto": {"opera": "Collettore via Roma", "tratto": "T12", "committente": "",
               "progettista": "Ing. Rossi", "data": "2026-12-07", "note": ""}
})";

} // namespace

// Everything the window holds goes into the file and comes back the same in
// another window, as typed: texts, the typed coefficient, the analysis
// window's boxes and the project's data; keys not used come back too.
TEST_F(ProgettoNellaFinestra, SalvatoERiapertoUguale) {
    scrivi("T12.sezione", progettoT12);
    ASSERT_TRUE(finestra->progetto()->apri(file("T12.sezione")));
    digita(finestra->Text1, "30cm");
    digita(finestra->Text3, "5e1");
    digita(finestra->Combo1->lineEdit(), "0.16");
    finestra->apriAnalisi()->velocita->setText("250");
    daSalvare = file("copia.sezione");
    ASSERT_TRUE(finestra->progetto()->salvaCome());
    EXPECT_TRUE(contenutoFile(cartella.filePath("copia.sezione")).contains("\"portataMinima\": 8"));

    FormPrincipale altra;
    altra.show();
    QCoreApplication::processEvents();
    rispondi(altra);
    ASSERT_TRUE(altra.progetto()->apri(file("copia.sezione")));
    for (const auto& [a, b] : {std::pair{finestra->Text1, altra.Text1},
                               {finestra->Text2, altra.Text2},
                               {finestra->Text3, altra.Text3},
                               {finestra->Text5, altra.Text5}}) {
        EXPECT_EQ(b->text(), a->text());
    }
    EXPECT_EQ(altra.Combo1->currentIndex(), -1);
    EXPECT_EQ(altra.Combo1->currentText(), "0.16");
    EXPECT_EQ(progetto::testoProgetto(altra.progetto()->corrente()),
              progetto::testoProgetto(finestra->progetto()->corrente()));
    EXPECT_EQ(altra.apriAnalisi()->velocita->text(), "250");
    EXPECT_EQ(altra.progetto()->dati().opera, "Collettore via Roma");
    EXPECT_FALSE(altra.progetto()->modificato());
}

// Opening recalculates as typing does, the analysis window included.
TEST_F(ProgettoNellaFinestra, AprireRiempieLeCaselleComeDigitate) {
    scrivi("T12.sezione", progettoT12);
    azzeraConteggi();
    ASSERT_TRUE(finestra->progetto()->apri(file("T12.sezione")));
    EXPECT_GT(calcoli, 0);
    EXPECT_EQ(testo(finestra->Text4), "60/90");
    EXPECT_EQ(s.raggio, 30);
    EXPECT_EQ(s.coeffBazin, 0.16);
    EXPECT_EQ(s.numPassi, 18);
    EXPECT_EQ(cella(19, 1), "90.0");
    FinestraAnalisi* analisi = finestra->apriAnalisi();
    EXPECT_EQ(analisi->portata->text(), "150");
    EXPECT_EQ(analisi->velocitaMinima->text(), "60");
    EXPECT_EQ(analisi->geometria->currentIndex(), 1);
    EXPECT_EQ(finestra->windowTitle(), "T12.sezione — " + titolo);
}

// The caption's marker comes with a change and goes with a save, or when
// the change is undone; the file on disk gets the new radius.
TEST_F(ProgettoNellaFinestra, IlSegnoDelleModificheNelTitolo) {
    EXPECT_EQ(finestra->windowTitle(), titolo);
    scrivi("T12.sezione", progettoT12);
    finestra->progetto()->apri(file("T12.sezione"));
    digita(finestra->Text1, "40");
    EXPECT_EQ(finestra->windowTitle(), "T12.sezione* — " + titolo);
    digita(finestra->Text1, "30");
    EXPECT_EQ(finestra->windowTitle(), "T12.sezione — " + titolo);

    finestra->apriAnalisi()->portata->setText("200");
    EXPECT_TRUE(finestra->progetto()->modificato());
    digita(finestra->Text1, "40");
    QTest::keyClick(finestra.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(proposti.empty());
    EXPECT_EQ(finestra->windowTitle(), "T12.sezione — " + titolo);
    const progetto::Progetto salvato = progetto::leggiProgetto(file("T12.sezione"));
    EXPECT_EQ(salvato.ingressi.raggio, (progetto::Casella{"40", 40}));
    EXPECT_EQ(salvato.verifiche.portataProgetto.testo, "200");
}

// Every kind of change to the reaches brings the caption's marker, and a
// save takes it away; the file gets the rows the table shows.
TEST_F(ProgettoNellaFinestra, IlSegnoDelleModificheConITratti) {
    scrivi("T12.sezione", progettoT12);
    ASSERT_TRUE(finestra->progetto()->apri(file("T12.sezione")));
    FinestraTratti* tratti = finestra->apriTratti();
    ModelloTratti* m = tratti->modello;
    scrivi("rete.csv", "tratto,pendenza,raggio,portata\nA,0.005,30,150\nB,0.004,,120\n");
    const struct {
        const char* nome;
        std::function<void()> cambia;
    } casi[] = {
        {"un file importato", [&] { tratti->importa(file("rete.csv")); }},
        {"una cella", [&] { m->setData(m->index(0, tratti::Portata), "151"); }},
        {"un blocco incollato",
         [&] {
             m->incolla(2, 0, {{"C", "", "", "", "0.01", "", "", "", "90"}});
         }},
        {"una cella svuotata", [&] { m->svuota({m->index(2, tratti::Nome)}); }},
        {"una riga aggiunta", [&] { m->insertRows(3, 1); }},
        {"una riga eliminata", [&] { m->removeRows(3, 1); }},
        {"Dimensiona",
         [&] {
             m->attendiCalcolo();
             m->dimensiona();
         }},
        {"il catalogo", [&] { tratti->casellaCatalogo->setText("30, 40"); }},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        c.cambia();
        EXPECT_TRUE(finestra->progetto()->modificato());
        EXPECT_EQ(finestra->windowTitle(), "T12.sezione* — " + titolo);
        ASSERT_TRUE(finestra->progetto()->salva());
        EXPECT_FALSE(finestra->progetto()->modificato());
        EXPECT_EQ(finestra->windowTitle(), "T12.sezione — " + titolo);
        EXPECT_EQ(progetto::leggiProgetto(file("T12.sezione")).tratti, tratti->righe());
    }
}

// Closing asks only about unsaved changes to a project, and does what the
// answer says.
TEST_F(ProgettoNellaFinestra, ChiudereChiedeSoloSeCiSonoModifiche) {
    QCloseEvent senzaProgetto;
    QCoreApplication::sendEvent(finestra.get(), &senzaProgetto);
    EXPECT_TRUE(senzaProgetto.isAccepted());
    EXPECT_TRUE(domande.empty());

    scrivi("T12.sezione", progettoT12);
    finestra->progetto()->apri(file("T12.sezione"));
    digita(finestra->Text1, "40");
    const struct {
        RispostaSalvare risposta;
        bool chiusa;
        const char* raggioSalvato;
    } casi[] = {{RispostaSalvare::Annulla, false, "30"},
                {RispostaSalvare::Scarta, true, "30"},
                {RispostaSalvare::Salva, true, "40"}};
    for (const auto& c : casi) {
        risposta = c.risposta;
        QCloseEvent chiusura;
        QCoreApplication::sendEvent(finestra.get(), &chiusura);
        EXPECT_EQ(chiusura.isAccepted(), c.chiusa);
        EXPECT_EQ(progetto::leggiProgetto(file("T12.sezione")).ingressi.raggio.testo,
                  c.raggioSalvato);
    }
    EXPECT_EQ(domande.back(), "Salvare le modifiche al progetto «T12.sezione»?");
}

// A bad file changes nothing in the window; a warning names the file.
TEST_F(ProgettoNellaFinestra, UnFileSbagliatoNonCambiaNulla) {
    digita(finestra->Text1, "25");
    digita(finestra->Text5, "RETE");
    const auto tabella = rigaGriglia(5);
    for (const char* testo : {"{\"formato\": \"sezione-inglese\",", "[]", ""}) {
        scrivi("rotto.sezione", testo);
        EXPECT_FALSE(finestra->progetto()->apri(file("rotto.sezione")));
        EXPECT_TRUE(
            avvisi.back().startsWith("Impossibile aprire «" + cartella.filePath("rotto.sezione")));
    }
    EXPECT_FALSE(finestra->progetto()->apri(file("manca.sezione")));
    EXPECT_EQ(testo(finestra->Text1), "25");
    EXPECT_EQ(testo(finestra->Text5), "RETE");
    EXPECT_EQ(rigaGriglia(5), tabella);
    EXPECT_EQ(finestra->windowTitle(), titolo);
}

// Nuovo: the start-up inputs, today's date, the designer of the last
// project; the last five files in "File recenti", the latest first.
TEST_F(ProgettoNellaFinestra, NuovoERecenti) {
    impostazioni().remove("progetti");
    finestra->progetto()->chiediDati = [](progetto::Dati dati) {
        dati.progettista = "Ing. Bianchi";
        return std::optional(dati);
    };
    finestra->progetto()->modificaDati();
    EXPECT_EQ(finestra->windowTitle(), "Senza nome* — " + titolo);
    risposta = RispostaSalvare::Scarta;
    digita(finestra->Text1, "55");
    finestra->progetto()->nuovo();
    EXPECT_EQ(testo(finestra->Text1), "20");
    EXPECT_EQ(finestra->progetto()->dati().progettista, "Ing. Bianchi");
    EXPECT_EQ(finestra->progetto()->dati().data,
              QDate::currentDate().toString("dd/MM/yyyy").toStdString());
    EXPECT_EQ(finestra->windowTitle(), "Senza nome — " + titolo);

    for (const char* nome : {"a.sezione", "b.sezione", "c.sezione", "d.sezione", "e.sezione",
                             "f.sezione", "b.sezione"}) {
        daSalvare = file(nome);
        finestra->progetto()->salvaCome();
    }
    const QVariantList recenti = impostazioni().value("progetti/recenti").toList();
    ASSERT_EQ(recenti.size(), 5);
    EXPECT_EQ(recenti.front().toByteArray(), QFile::encodeName(cartella.filePath("b.sezione")));
    EXPECT_EQ(recenti.back().toByteArray(), QFile::encodeName(cartella.filePath("c.sezione")));
}

// The command line reads what the window saved as the window reads it: the
// same table, to the last bit, as the same values given as options.
TEST_F(ProgettoNellaFinestra, LaRigaDiComandoLeggeIlProgettoDellaFinestra) {
    digita(finestra->Text1, "35");
    digita(finestra->Text2, "0.00035");
    digita(finestra->Combo1->lineEdit(), "0.16");
    digita(finestra->Text3, "5e1");
    daSalvare = file("T12.sezione");
    ASSERT_TRUE(finestra->progetto()->salvaCome());
    const auto tabella = [](const std::vector<std::string>& argomenti) {
        std::ostringstream uscita, errori;
        EXPECT_EQ(eseguiCli(argomenti, uscita, errori), 0) << errori.str();
        return uscita.str();
    };
    EXPECT_EQ(tabella({"--progetto", file("T12.sezione"), "--formato", "si"}),
              tabella({"--raggio", "35", "--pendenza", "0.00035", "--coefficiente", "0.16",
                       "--incremento", "50", "--formato", "si"}));
}

// A save keeps what the window will show: a bounded increment is written
// back first, and nothing is left to ask about. The file name is part of
// the project.
TEST_F(ProgettoNellaFinestra, SalvareConcludeLaDigitazione) {
    scrivi("T12.sezione", progettoT12);
    finestra->progetto()->apri(file("T12.sezione"));
    finestra->Text3->setFocus();
    digita(finestra->Text3, "5000");
    ASSERT_TRUE(finestra->progetto()->salva());
    EXPECT_EQ(testo(finestra->Text3), "900");
    EXPECT_EQ(progetto::leggiProgetto(file("T12.sezione")).ingressi.incremento.testo, "900");
    EXPECT_FALSE(finestra->progetto()->modificato());

    digita(finestra->Text5, "RETE");
    EXPECT_EQ(finestra->windowTitle(), "T12.sezione* — " + titolo);
}

// A reach under its own Colebrook–White law takes the project's water
// temperature, whatever the project's law: in the window, in the
// calculation report and on the command line alike.
TEST_F(ProgettoNellaFinestra, ITrattiDiColebrookAllaTemperaturaDelProgetto) {
    scrivi("T12.sezione", R"({"formato": "sezione-inglese", "versione": 1,
  "ingressi": {"raggio": 30, "pendenza": 0.004, "coefficiente": "0.16", "incremento": 50},
  "verifiche": {"legge": "bazin", "scabrezza": 0.2, "temperatura": 40},
  "tratti": [{"tratto": "T1", "pendenza": 0.005, "raggio": 30, "portata": 150,
              "legge": "colebrook", "scabrezza": 0.01}]})");
    scrivi("tratti.csv", "tratto,pendenza,raggio,portata,legge,scabrezza\n"
                         "T1,0.005,30,150,colebrook,0.01\n");
    ASSERT_TRUE(finestra->progetto()->apri(file("T12.sezione")));
    const progetto::Progetto p = finestra->progetto()->corrente();
    const tratti::Tratto tratto = *progetto::leggiRighe(p.tratti).at(0).tratto;
    tratti::Impostazioni linea;
    linea.resistenza = {formule::Legge::Bazin, 0.2, 15};
    const double a15Gradi = tratti::verifica(tratto, linea).progetto->velocita;
    linea.resistenza.temperatura = 40;
    const tratti::Esito atteso = tratti::verifica(tratto, linea);
    const QString velocita =
        QString::fromStdString(Format(atteso.progetto->velocita * 100, "###0.#0"));
    ASSERT_NE(velocita, QString::fromStdString(Format(a15Gradi * 100, "###0.#0")));

    EXPECT_EQ(
        finestra->apriTratti()->modello->reteCalcolata().esiti->esiti.at(0).progetto->velocita,
        atteso.progetto->velocita);

    QTextDocument documento;
    scriviRelazioneCalcolo(
        documento, p, valutazione::valuta(p, valutazione::tabellaCalcolata(finestra->tabella())));
    const QString relazione = documento.toPlainText();
    EXPECT_TRUE(relazione.contains("T1: legge di Colebrook–White, ks = 0.01 mm, T = 40 °C."));
    EXPECT_TRUE(relazione.contains("\n" + velocita + "\n")) << velocita.toStdString();

    std::ostringstream uscita, errori;
    EXPECT_EQ(eseguiCli({"--progetto", file("T12.sezione"), "--tratti", file("tratti.csv"),
                         "--formato", "csv"},
                        uscita, errori),
              0)
        << errori.str();
    EXPECT_EQ(uscita.str(), tratti::testoEsiti({tratto}, {atteso}, tratti::Formato::Csv));
}

namespace {

// Projects of a line: one that passes; one with a reach too slow, a
// crown under its ground, a row that does not read and a manhole no reach
// uses; one whose law's coefficient does not read.
const char* const lineaBuona = R"({"formato": "sezione-inglese", "versione": 1,
  "ingressi": {"raggio": 30, "pendenza": 0.004, "coefficiente": "0.16", "incremento": 50},
  "tratti": [
    {"tratto": "P6-P7", "pozzetto_monte": "P6", "pozzetto_valle": "P7", "lunghezza": 50,
     "pendenza": 0.005, "quota_monte": 100, "raggio": 40, "portata": 150},
    {"tratto": "P7-P8", "pozzetto_monte": "P7", "pozzetto_valle": "P8", "lunghezza": 50,
     "pendenza": 0.005, "raggio": 40, "portata": 160}]})";
const char* const lineaConDifetti = R"({"formato": "sezione-inglese", "versione": 1,
  "ingressi": {"raggio": 30, "pendenza": 0.004, "coefficiente": "0.16", "incremento": 50},
  "verifiche": {"velocitaMinima": 60},
  "tratti": [
    {"tratto": "P6-P7", "pozzetto_monte": "P6", "pozzetto_valle": "P7", "lunghezza": 50,
     "pendenza": 0.005, "quota_monte": 100, "raggio": 40, "portata": 150},
    {"tratto": "X1", "pendenza": "abc", "portata": 20},
    {},
    {"tratto": "X2", "pendenza": 0.0005, "raggio": 60, "portata": 20}],
  "pozzetti": [{"pozzetto": "P7", "quota_terreno": 100.5}, {"pozzetto": "P9.9"}]})";
const char* const leggeIlleggibile = R"({"formato": "sezione-inglese", "versione": 1,
  "ingressi": {"raggio": 30, "pendenza": 0.004, "coefficiente": "0.16", "incremento": 50},
  "verifiche": {"legge": "manning", "scabrezza": "abc", "portataProgetto": 150},
  "tratti": [
    {"tratto": "T1", "pendenza": 0.005, "raggio": 30, "portata": 150},
    {"tratto": "T2", "pendenza": 0.004, "raggio": 35, "portata": 200}]})";

auto giudizio(const valutazione::Giudizio& g) {
    return std::tuple(g.tratti, g.verificati, g.nonCalcolati, g.illeggibili, g.pozzetti,
                      g.pozzettiVerificati, g.pozzettiDiSalto, g.formaSbagliata, g.sezioneTipo,
                      g.idonea);
}

std::vector<std::string> nomi(const valutazione::Rete& rete) {
    std::vector<std::string> esito;
    for (const progetto::RigaLetta& riga : rete.righe) {
        esito.push_back(std::to_string(riga.riga) + " " + riga.nome());
    }
    return esito;
}

} // namespace

// The calculation report is given the windows' own evaluation: the same as
// the project evaluated afresh, and what the windows show, reach by reach
// and in its counts.
TEST_F(ProgettoNellaFinestra, LaRelazioneHaLaValutazioneDelleFinestre) {
    for (const char* progetto : {lineaBuona, lineaConDifetti, leggeIlleggibile}) {
        SCOPED_TRACE(progetto);
        scrivi("linea.sezione", progetto);
        ASSERT_TRUE(finestra->progetto()->apri(file("linea.sezione")));
        const progetto::Progetto p = finestra->progetto()->corrente();
        const valutazione::Valutazione v = finestra->valutazioneDelleFinestre(p);
        const valutazione::Valutazione attesa =
            valutazione::valuta(p, valutazione::tabellaCalcolata(finestra->tabella()));
        EXPECT_EQ(valutazione::conclusioneLinea(v, Separatore::Punto),
                  valutazione::conclusioneLinea(attesa, Separatore::Punto));
        EXPECT_EQ(valutazione::conclusioneSezione(v, Separatore::Punto),
                  valutazione::conclusioneSezione(attesa, Separatore::Punto));
        EXPECT_EQ(giudizio(v.giudizio), giudizio(attesa.giudizio));
        EXPECT_EQ(nomi(v.rete), nomi(attesa.rete));
        EXPECT_EQ(v.rete.righeDeiTratti, attesa.rete.righeDeiTratti);
        EXPECT_EQ(v.rete.pozzetti, attesa.rete.pozzetti);

        const ModelloTratti& tabella = *finestra->apriTratti()->modello;
        const ModelloTratti::Conteggio conteggio = tabella.conteggio();
        EXPECT_EQ(conteggio.tratti + conteggio.illeggibili, static_cast<int>(v.giudizio.tratti));
        EXPECT_EQ(conteggio.verificati, static_cast<int>(v.giudizio.verificati));
        EXPECT_EQ(conteggio.illeggibili, static_cast<int>(v.giudizio.illeggibili));
        for (std::size_t k = 0; k < v.rete.tratti.size(); ++k) {
            const int riga = static_cast<int>(v.rete.righeDeiTratti[k]) - 1;
            EXPECT_EQ(tabella.index(riga, tratti::Nome).data().toString().toStdString(),
                      v.rete.tratti[k].nome);
            EXPECT_EQ(tabella.index(riga, ModelloTratti::Verdetto).data().toString(),
                      v.rete.esiti ? QString(v.rete.esiti->esiti[k].verdetto()) : QString());
        }
    }
}

// Ctrl+R with the analysis window's law not read: the reaches window shows
// no result and names the box; the report states no law for the reaches,
// says why with the same box, and calls the work unfit.
TEST_F(ProgettoNellaFinestra, CtrlRConUnaLeggeCheNonSiLegge) {
    scrivi("linea.sezione", leggeIlleggibile);
    ASSERT_TRUE(finestra->progetto()->apri(file("linea.sezione")));
    const QString casella = "il coefficiente della legge di resistenza («abc»)";
    FinestraTratti* tratti = finestra->apriTratti();
    EXPECT_TRUE(tratti->linea->text().contains("non si legge " + casella))
        << tratti->linea->text().toStdString();
    EXPECT_EQ(tratti->modello->index(0, ModelloTratti::Verdetto).data().toString(), "");

    for (QAction* azione : finestra->findChildren<QAction*>()) {
        if (azione->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_R)) {
            azione->trigger();
        }
    }
    const auto chiudiIReport = qScopeGuard([] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* report = qobject_cast<FinestraReport*>(w)) {
                report->chiediSeSalvare = [](const QString&) { return RispostaSalvare::Scarta; };
                report->close();
            }
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    });
    ASSERT_NE(ElaboratoreTesti::aperto(), nullptr);
    const QString relazione = ElaboratoreTesti::aperto()->documenti().back()->toPlainText();
    const valutazione::Valutazione v =
        finestra->valutazioneDelleFinestre(finestra->progetto()->corrente());
    EXPECT_FALSE(v.rete.esiti);
    EXPECT_EQ(v.giudizio.idonea, false);
    EXPECT_TRUE(relazione.contains("non si legge " + casella));
    EXPECT_TRUE(relazione.contains("L'opera non è idonea così com'è."));
    EXPECT_FALSE(relazione.contains("Verificato l'unico tratto") ||
                 relazione.contains("Verificati entrambi i tratti"));
}

// "Dati del progetto" holds back a text the project could not read again:
// a box with a control character or a control of the writing direction is
// marked with the reason and OK waits; the description may break its lines.
TEST(DatiDelProgetto, UnTestoCheIlProgettoRifiuterebbeNonSiConferma) {
    const struct {
        QString etichetta, testo, motivo;
    } casi[] = {
        {"&Opera:", "Collettore \u202Evia Roma",
         "Il testo contiene un carattere di controllo della direzione del testo (U+202E), che "
         "non è ammesso: toglilo per confermare."},
        {"Fonte della legge di resistenza:", "Manuale\x01",
         "Il testo contiene un carattere di controllo (U+0001), che non è ammesso: toglilo per "
         "confermare."},
        {"&Note:", "riga 1\n\x1b[2Jriga 2",
         "Il testo contiene un carattere di controllo (U+001B), che non è ammesso: toglilo per "
         "confermare."},
        {"D&escrizione dell'opera:", "riga 1\nriga 2", ""},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.etichetta.toStdString());
        QTimer::singleShot(0, [&c] {
            auto* dialogo = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialogo, nullptr);
            QPushButton* ok = dialogo->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
            // Closed whatever the checks find: a dialog left open would wait.
            const auto chiudi =
                qScopeGuard([&] { ok->isEnabled() ? ok->click() : dialogo->reject(); });
            QWidget* casella = nullptr;
            for (const QLabel* etichetta : dialogo->findChildren<QLabel*>()) {
                if (etichetta->text() == c.etichetta) {
                    casella = etichetta->buddy();
                }
            }
            ASSERT_NE(casella, nullptr);
            casella->setProperty(casella->property("plainText").isValid() ? "plainText" : "text",
                                 c.testo);
            EXPECT_EQ(casella->toolTip(), c.motivo);
            EXPECT_EQ(ok->isEnabled(), c.motivo.isEmpty());
        });
        const std::optional<progetto::Dati> dati =
            modificaDatiProgetto(nullptr, progetto::progettoNuovo().dati, false);
        EXPECT_EQ(dati.has_value(), c.motivo.isEmpty());
        if (dati) {
            EXPECT_EQ(dati->descrizione, c.testo.toStdString());
        }
    }
}

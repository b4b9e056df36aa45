#include "contenuto_file.h"
#include "finestra_avviata.h"

#include "cli/esecuzione.h"

#include "app/vista_griglia.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>

#include <csignal>
#include <map>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>

using Riga = std::vector<std::string>;

using FormPrincipaleAvvio = FinestraAvviata;

TEST_F(FormPrincipaleAvvio, ValoriPredefinitiETabellaDiEsempio) {
    EXPECT_EQ(testo(finestra->Text1), "20");
    EXPECT_EQ(testo(finestra->Text4), "40/60");
    EXPECT_EQ(testo(finestra->Text2), "0.01");
    EXPECT_EQ(finestra->Combo1->currentIndex(), 0);
    EXPECT_EQ(finestra->Combo1->currentText(), "0.18: Tubaz. Ø >400 mm, acqua limpida");
    EXPECT_EQ(finestra->Combo1->count(), 3);
    EXPECT_EQ(testo(finestra->Text3), "100");
    EXPECT_EQ(testo(finestra->Text5), "INGLESE");
    EXPECT_FALSE(finestra->Text4->isEnabled());

    EXPECT_EQ(righe(), 10);
    EXPECT_EQ(rigaGriglia(0),
              (Riga{"", "ALTEZZA", "AREA", "CONT.BAGNATO", "R.IDRAULICO", "V", "Q"}));
    EXPECT_EQ(rigaGriglia(1), (Riga{"", "(cm)", "(mq)", "(m)", "(m)", "(cm/sec)", "(l/sec)"}));
    EXPECT_EQ(rigaGriglia(2), (Riga{"", "10.0", "0.0164", "0.3280", "0.0501", "107.87", "17.71"}));
    EXPECT_EQ(rigaGriglia(8)[0], "Max V");
    EXPECT_EQ(rigaGriglia(9),
              (Riga{"Max Q", "57.2", "0.1797", "1.3713", "0.1311", "210.36", "378.07"}));

    // What the view sees once the model has been published.
    auto* modello = finestra->modelloGriglia1;
    EXPECT_EQ(modello->rowCount(), 8);
    EXPECT_EQ(modello->columnCount(), 6);
    EXPECT_EQ(modello->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "ALTEZZA\n(cm)");
    EXPECT_EQ(modello->headerData(7, Qt::Vertical, Qt::DisplayRole).toString(), "Max Q");
    EXPECT_EQ(modello->data(modello->index(0, 5), Qt::DisplayRole).toString(), "17.71");
}

TEST(FormPrincipaleAvvioConteggi, TrePreparazioniVuotePoiDueCalcoli) {
    FormPrincipale finestra;
    std::vector<char> eventi; // 'P' preparation, 'C' sweep
    QObject::connect(&finestra, &FormPrincipale::grigliaPreparata, [&] { eventi.push_back('P'); });
    QObject::connect(&finestra, &FormPrincipale::tabellaCalcolata, [&] { eventi.push_back('C'); });
    finestra.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(std::string(eventi.begin(), eventi.end()), "PPPPCPC");
    EXPECT_EQ(finestra.messaggio(), "");
}

using FormPrincipaleIncremento = FinestraAvviata;

// What the user types into the increment box stays as typed, key by key;
// the table uses the bounded value at once, and the box and the line above
// the table say so.
TEST_F(FormPrincipaleIncremento, DigitatoRestaComeScrittoEIlCalcoloUsaIlLimite) {
    const struct {
        const char *raggio, *digitato;
        double usato;
        const char* riga;
    } casi[] = {
        {"40", "100", 100, ""},
        {"100", "25", 25, ""},
        {"20", "1000", 600, "Incremento limitato a 600 mm (massimo per questo raggio)"},
        {"40", "1", 1.2, "Incremento limitato a 1.2 mm (minimo per questo raggio)"},
        // A bound a rounding away is used, but is no bounding to speak of.
        {"4.1", "123", 30 * 4.1, ""},
        {"20", "0.1", 0.6, "Incremento limitato a 0.6 mm (minimo per questo raggio)"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.digitato);
        digita(finestra->Text1, c.raggio);
        finestra->Text3->clear();
        azzeraConteggi();
        for (const QChar tasto : QString(c.digitato)) {
            QTest::keyClicks(finestra->Text3, tasto);
            EXPECT_TRUE(QString(c.digitato).startsWith(testo(finestra->Text3)));
        }
        EXPECT_EQ(preparazioni, static_cast<int>(std::strlen(c.digitato))); // once a key
        EXPECT_EQ(s.incremento, c.usato);
        EXPECT_EQ(finestra->messaggio(), c.riga);
        EXPECT_EQ(finestra->Text3->styleSheet().contains("#D07000"), *c.riga != '\0');
    }
    EXPECT_EQ(s.numPassi, 1000);
    EXPECT_EQ(finestra->Text3->toolTip(),
              "Per un raggio di 20 cm l'incremento va da 0.6 a 600 mm: si usa 0.6 mm.");
}

// The bounded value is written back once, when the user leaves the box or
// presses Enter in it, and only if it differs from what was typed.
TEST_F(FormPrincipaleIncremento, RiscrittoSoloLasciandoLaCasella) {
    QApplication::setActiveWindow(finestra.get());
    const struct {
        const char* digitato;
        Qt::Key tasto;
        const char* scritto;
    } casi[] = {
        {"1000", Qt::Key_Return, "600"}, {"1000", Qt::Key_Tab, "600"},
        {"0.1", Qt::Key_Enter, "0.6"},   {"6e2", Qt::Key_Tab, "6e2"},
        {"600", Qt::Key_Return, "600"},  {"abc", Qt::Key_Tab, "abc"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.digitato);
        finestra->Text3->setFocus();
        digita(finestra->Text3, c.digitato);
        azzeraConteggi();
        QTest::keyClick(finestra->Text3, c.tasto);
        EXPECT_EQ(testo(finestra->Text3), c.scritto);
        EXPECT_EQ(calcoli, testo(finestra->Text3) != c.digitato ? 1 : 0);
        EXPECT_FALSE(finestra->messaggio().startsWith("Incremento limitato"));
    }
    // Another box changing never writes it.
    finestra->Text3->setFocus();
    digita(finestra->Text3, "1000");
    digita(finestra->Text2, "0.02");
    EXPECT_EQ(testo(finestra->Text3), "1000");
}

// A radius typed digit by digit, or emptied and typed again, leaves the
// increment as the user left it.
TEST_F(FormPrincipaleIncremento, IlRaggioNonToccaLIncremento) {
    digita(finestra->Text1, "30"); // «3» on the way caps the table's step at 90
    EXPECT_EQ(testo(finestra->Text3), "100");
    EXPECT_EQ(s.incremento, 100);
    EXPECT_EQ(s.numPassi, 9);

    for (const char* raggio : {"", "0", "-2"}) {
        digita(finestra->Text1, raggio);
        EXPECT_EQ(testo(finestra->Text4), "/");
        EXPECT_EQ(testo(finestra->Text3), "100");
        EXPECT_EQ(cella(2, 1), "");
        EXPECT_EQ(finestra->messaggio(), "Raggio caratteristico: non è un numero positivo");
    }
    digita(finestra->Text1, "20");
    EXPECT_EQ(s.incremento, 100);
    EXPECT_EQ(cella(2, 1), "10.0");

    finestra->Text1->end(false);
    QTest::keyClick(finestra->Text1, Qt::Key_Backspace);
    QTest::keyClick(finestra->Text1, Qt::Key_5);
    EXPECT_EQ(testo(finestra->Text4), "50/75");
    EXPECT_EQ(testo(finestra->Text3), "100");
    EXPECT_EQ(s.numPassi, 7);
}

TEST_F(FormPrincipaleIncremento, SuiLimitiNienteRiscritto) {
    for (const char* limite : {"600", "0.6"}) {
        digita(finestra->Text3, QString(limite).chopped(1));
        azzeraConteggi();
        aggiungi(finestra->Text3, QString(limite).right(1));
        EXPECT_EQ(testo(finestra->Text3), limite);
        EXPECT_EQ(calcoli, 1) << limite;
    }
}

TEST_F(FormPrincipaleIncremento, EsponenteLetto) {
    digita(finestra->Text3, "1e2");
    EXPECT_EQ(s.incremento, 100);
    EXPECT_EQ(righe(), 10);
}

using FormPrincipaleRaggio = FinestraAvviata;

TEST_F(FormPrincipaleRaggio, TestoCheCDblRifiuta) {
    aggiungi(finestra->Text1, "cm");
    EXPECT_EQ(testo(finestra->Text4), "40/60");
    EXPECT_EQ(finestra->messaggio(), "Raggio caratteristico: letto come 20");
    EXPECT_EQ(cella(9, 1), "57.2");
}

using FormPrincipaleCoefficiente = FinestraAvviata;

TEST_F(FormPrincipaleCoefficiente, DigitatoPoiScelto) {
    QLineEdit* casella = finestra->Combo1->lineEdit();
    digita(casella, "0.3");
    EXPECT_EQ(finestra->Combo1->currentIndex(), -1);
    EXPECT_EQ(finestra->Combo1->currentText(), "0.3");
    EXPECT_EQ(s.coeffBazin, 0.3);
    EXPECT_NE(cella(2, 1), "");

    digita(casella, "0,3");
    EXPECT_EQ(s.coeffBazin, 0.3);
    EXPECT_NE(cella(2, 1), "");

    digita(casella, "0.3,1");
    EXPECT_EQ(s.coeffBazin, 0);
    EXPECT_EQ(cella(2, 1), "");

    finestra->Combo1->setCurrentIndex(1);
    emit finestra->Combo1->activated(1);
    EXPECT_EQ(s.coeffBazin, 0.23);
    EXPECT_EQ(cella(2, 1), "10.0");
}

using FormPrincipaleIngressi = FinestraAvviata;

TEST_F(FormPrincipaleIngressi, PendenzaZeroONomeFileNonCalcolano) {
    digita(finestra->Text2, "0");
    EXPECT_EQ(cella(2, 1), "");
    EXPECT_EQ(testo(finestra->Text3), "100");

    azzeraConteggi();
    digita(finestra->Text5, "RETE");
    EXPECT_EQ(preparazioni + calcoli, 0);
    EXPECT_EQ(s.nomeFile, "INGLESE");
}

TEST_F(FormPrincipaleIngressi, TrentaRighePoiIngressoNonValidoPoiDieci) {
    digita(finestra->Text3, "20");
    ASSERT_EQ(righe(), 34);
    EXPECT_EQ(cella(32, 0), "Max V");

    digita(finestra->Text2, "");
    EXPECT_EQ(righe(), 34);
    EXPECT_EQ(cella(0, 3), "CONT.BAGNATO");
    EXPECT_EQ(cella(1, 6), "(l/sec)");
    for (int r = 2; r < 34; ++r) {
        EXPECT_EQ(rigaGriglia(r), Riga(7, "")) << r;
    }

    digita(finestra->Text2, "0.01");
    digita(finestra->Text3, "60");
    EXPECT_EQ(righe(), 14);
    EXPECT_EQ(cella(11, 0), "");
    EXPECT_EQ(cella(12, 0), "Max V");
    EXPECT_EQ(cella(13, 0), "Max Q");
    EXPECT_EQ(finestra->modelloGriglia1->rowCount(), 12);
}

TEST_F(FormPrincipaleIngressi, ErroreMostratoPoiCancellato) {
    digita(finestra->Text1, "1e300");
    EXPECT_EQ(finestra->messaggio(), "Errore 6: Overflow");
    EXPECT_EQ(testo(finestra->Text4), "2E+300/3E+300");

    digita(finestra->Text1, "20");
    EXPECT_EQ(finestra->messaggio(), "");
    EXPECT_EQ(testo(finestra->Text3), "100");
    EXPECT_EQ(cella(2, 1), "10.0");
}

TEST_F(FormPrincipaleIngressi, NumeroOltreIlDoubleNonFermaLaFinestra) {
    digita(finestra->Text2, "1e309");
    EXPECT_EQ(finestra->messaggio(), "Errore 6: Overflow");
    digita(finestra->Text2, "0.01");
    EXPECT_EQ(finestra->messaggio(), "");
    EXPECT_EQ(cella(9, 0), "Max Q");
}

TEST_F(FormPrincipaleIngressi, EsciChiudeLaFinestra) {
    finestra->Command2->click();
    EXPECT_FALSE(finestra->isVisible());
}

TEST_F(FormPrincipaleAvvio, LaRigaDiComandoDaIStessiTestiDellaGriglia) {
    std::string attesa;
    for (int r = 0; r < righe(); ++r) {
        for (int c = 0; c < 7; ++c) {
            if (c > 0) {
                attesa += ',';
            }
            attesa += cella(r, c);
        }
        attesa += "\r\n";
    }
    std::ostringstream uscita, errori;
    ASSERT_EQ(eseguiCli({"--formato", "csv"}, uscita, errori), 0);
    EXPECT_EQ(uscita.str(), attesa);
}

namespace {

class FormPrincipaleScriviSuFile : public FinestraAvviata {
  protected:
    void SetUp() override {
        FinestraAvviata::SetUp();
        finestra->avvisa = [this](const QString& a) { avvisi.push_back(a); };
        finestra->conferma = [this](const QString&) {
            ++domande;
            return risposta;
        };
    }

    QTemporaryDir cartella;
    std::vector<QString> avvisi;
    int domande = 0;
    bool risposta = false;
};

} // namespace

TEST_F(FormPrincipaleScriviSuFile, NomeVuotoDiventaIngleseNellaCartellaDiLavoro) {
    const QString prima = QDir::currentPath();
    QDir::setCurrent(cartella.path());
    digita(finestra->Text5, "");
    finestra->Command4->click();
    const QString percorso = cartella.filePath("INGLESE.txt");
    EXPECT_EQ(testo(finestra->Text5), "INGLESE");
    EXPECT_TRUE(avvisi.empty());
    EXPECT_EQ(finestra->messaggio(), "Risultati scritti in «" + percorso + "».");
    // Said even beside what the boxes are read as.
    digita(finestra->Text1, "20cm");
    risposta = true;
    finestra->Command4->click();
    QDir::setCurrent(prima);
    EXPECT_EQ(finestra->messaggio(),
              "Risultati scritti in «" + percorso + "». Raggio caratteristico: letto come 20");
    EXPECT_TRUE(contenutoFile(percorso).startsWith("TUBAZIONE INGLESE 40/60 Øeq mm 20\n"));
}

// Ctrl+E writes from every box, as from the grid: a line edit would take it
// as "end of line".
TEST_F(FormPrincipaleScriviSuFile, CtrlEDaOgniCasella) {
    const QString prima = QDir::currentPath();
    QDir::setCurrent(cartella.path());
    risposta = true;
    QApplication::setActiveWindow(finestra.get());
    const QString percorso = cartella.filePath("INGLESE.txt");
    const std::vector<QWidget*> caselle{
        finestra->Text1, finestra->Text2, finestra->Combo1->lineEdit(),
        finestra->Text3, finestra->Text5, finestra->griglia1};
    for (QWidget* casella : caselle) {
        QFile::remove(percorso);
        casella->setFocus();
        QTest::keyClick(casella, Qt::Key_E, Qt::ControlModifier);
        EXPECT_TRUE(QFile::exists(percorso)) << casella->metaObject()->className();
    }
    QDir::setCurrent(prima);
}

TEST_F(FormPrincipaleScriviSuFile, SenzaTabellaNienteScritto) {
    const QString percorso = cartella.filePath("r.csv");
    digita(finestra->Text5, percorso);
    digita(finestra->Text2, "0");
    finestra->Command4->click();
    ASSERT_EQ(avvisi.size(), 1u);
    EXPECT_TRUE(avvisi[0].startsWith("Nessuna tabella da scrivere"));
    EXPECT_FALSE(QFile::exists(percorso));

    digita(finestra->Text2, "0.01");
    digita(finestra->Text1, "1e300"); // an error stops the computation
    finestra->Command4->click();
    EXPECT_TRUE(avvisi.back().startsWith("Nessuna tabella da scrivere"));
    EXPECT_FALSE(QFile::exists(percorso));
}

TEST_F(FormPrincipaleScriviSuFile, FileEsistenteSostituitoSoloSeConfermato) {
    const QString percorso = cartella.filePath("r.csv");
    {
        QFile vecchio(percorso);
        ASSERT_TRUE(vecchio.open(QIODevice::WriteOnly));
        vecchio.write("vecchio");
    }
    digita(finestra->Text5, percorso);
    finestra->Command4->click();
    EXPECT_EQ(domande, 1);
    EXPECT_TRUE(avvisi.empty());
    EXPECT_EQ(contenutoFile(percorso), "vecchio");

    risposta = true;
    finestra->Command4->click();
    EXPECT_TRUE(contenutoFile(percorso).startsWith(",ALTEZZA,AREA"));
}

TEST_F(FormPrincipaleScriviSuFile, CartellaMancanteUnAvvisoELaFinestraVaAvanti) {
    const QString percorso = cartella.filePath("manca/r.txt");
    digita(finestra->Text5, percorso);
    finestra->Command4->click();
    ASSERT_EQ(avvisi.size(), 1u);
    EXPECT_EQ(avvisi[0], "Impossibile scrivere «" + percorso + "»: la cartella non esiste.");
    digita(finestra->Text3, "50");
    EXPECT_EQ(righe(), 16);
}

TEST_F(FormPrincipaleScriviSuFile, UnaFifoNonESostituita) {
    const QString fifo = cartella.filePath("coda.csv");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    digita(finestra->Text5, fifo);
    finestra->Command4->click();
    EXPECT_EQ(domande, 0);
    ASSERT_EQ(avvisi.size(), 1u);
    EXPECT_EQ(avvisi[0], "Impossibile scrivere «" + fifo +
                             "»: non è un file ma una coda FIFO, che resta com'è.");
    EXPECT_FALSE(QFileInfo(fifo).isFile());
}

// A write refused half-way (here beyond the largest file size allowed):
// the old file stays byte for byte and the user is warned why.
TEST_F(FormPrincipaleScriviSuFile, ScritturaFallitaLasciaIlVecchioFile) {
    const QString percorso = cartella.filePath("r.txt");
    {
        QFile vecchio(percorso);
        ASSERT_TRUE(vecchio.open(QIODevice::WriteOnly));
        vecchio.write("vecchio");
    }
    digita(finestra->Text5, percorso);
    risposta = true;
    const auto segnale = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limite{};
    ::getrlimit(RLIMIT_FSIZE, &limite);
    const rlimit ridotto{100, limite.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &ridotto);
    finestra->Command4->click();
    ::setrlimit(RLIMIT_FSIZE, &limite);
    std::signal(SIGXFSZ, segnale);

    EXPECT_EQ(finestra->messaggio(), "");
    ASSERT_EQ(avvisi.size(), 1u);
    EXPECT_EQ(avvisi[0],
              "Impossibile scrivere «" + percorso + "»: il file supera la dimensione consentita.");
    EXPECT_EQ(contenutoFile(percorso), "vecchio");
    EXPECT_EQ(QDir(cartella.path()).entryList(QDir::Files), QStringList{"r.txt"});
}

using FormPrincipaleIngressi = FinestraAvviata;

// A box that is not a positive number gets a red frame, a tooltip with the
// reason, and its name on the error line; the table empties as before.
TEST_F(FormPrincipaleIngressi, LaCasellaSbagliataEMarcata) {
    const struct {
        QWidget* casella;
        QLineEdit* testo;
        const char* scritto;
        const char* riga;
        const char* motivo;
    } casi[] = {
        {finestra->Text1, finestra->Text1, "abc", "Raggio caratteristico: non è un numero positivo",
         "Non è un numero: si legge 0."},
        {finestra->Text2, finestra->Text2, "1.234,5",
         "Pendenza: un solo separatore decimale, senza separare le migliaia",
         "Il numero ha sia la virgola sia il punto: il separatore decimale è uno solo, e le "
         "migliaia non si separano."},
        {finestra->Text3, finestra->Text3, "-5", "Incremento altezza: non è un numero positivo",
         "Il valore deve essere maggiore di zero."},
        {finestra->Combo1, finestra->Combo1->lineEdit(), "",
         "Coeff. scabrezza Bazin: non è un numero positivo",
         "La casella è vuota: serve un numero maggiore di zero."},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.riga);
        const QString prima = c.testo->text();
        digita(c.testo, c.scritto);
        EXPECT_EQ(finestra->messaggio(), c.riga);
        EXPECT_TRUE(c.casella->styleSheet().contains("border: 2px solid #C00000"));
        EXPECT_EQ(c.casella->toolTip(), c.motivo);
        EXPECT_EQ(righe(), 10);
        EXPECT_EQ(cella(2, 1), "");

        digita(c.testo, prima);
        digita(finestra->Text3, "100");
        if (c.casella == finestra->Combo1) {
            finestra->Combo1->setCurrentIndex(0);
            emit finestra->Combo1->activated(0);
        }
        EXPECT_EQ(finestra->messaggio(), "");
        EXPECT_EQ(c.casella->styleSheet(), "");
        EXPECT_EQ(c.casella->toolTip(), "");
        EXPECT_EQ(cella(2, 1), "10.0");
    }

    // Two at once, both named.
    digita(finestra->Text1, "");
    digita(finestra->Text3, "0");
    EXPECT_EQ(finestra->messaggio(), "Raggio caratteristico: non è un numero positivo; "
                                     "Incremento altezza: non è un numero positivo");
}

// A text Val reads only in part is used as Val reads it, with an orange
// frame that says what was left out.
TEST_F(FormPrincipaleIngressi, LetturaInParteSegnalata) {
    digita(finestra->Text1, "12,5 cm");
    EXPECT_EQ(testo(finestra->Text4), "25/37.5");
    EXPECT_EQ(s.raggio, 12.5);
    EXPECT_EQ(righe(), s.numPassi + 4);
    EXPECT_TRUE(finestra->Text1->styleSheet().contains("#D07000"));
    EXPECT_EQ(finestra->Text1->toolTip(),
              "Si legge 12.5: il resto del testo non fa parte del numero.");
    EXPECT_EQ(finestra->messaggio(), "Raggio caratteristico: letto come 12.5");
    digita(finestra->Text1, "20cm");
    EXPECT_EQ(finestra->Text1->toolTip(),
              "Si legge 20: il resto del testo non fa parte del numero.");
    digita(finestra->Text1, "20");
    EXPECT_EQ(finestra->Text1->styleSheet(), "");
    EXPECT_EQ(finestra->messaggio(), "");
}

// A decimal comma reads as a decimal point in every box, as an Italian
// keypad types it; what was typed stays as typed.
TEST_F(FormPrincipaleIngressi, VirgolaOPuntoDecimale) {
    const struct {
        QLineEdit* casella;
        const char* scritto;
        double variabili_pubbliche::Stato::*membro;
        double atteso;
    } casi[] = {
        {finestra->Text1, "25,5", &variabili_pubbliche::Stato::raggio, 25.5},
        {finestra->Text1, "25.5", &variabili_pubbliche::Stato::raggio, 25.5},
        {finestra->Text2, "0,0035", &variabili_pubbliche::Stato::pendenza, 0.0035},
        {finestra->Text3, "50,5", &variabili_pubbliche::Stato::incremento, 50.5},
        {finestra->Combo1->lineEdit(), "0,25", &variabili_pubbliche::Stato::coeffBazin, 0.25},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.scritto);
        digita(c.casella, c.scritto);
        EXPECT_EQ(s.*c.membro, c.atteso);
        EXPECT_EQ(testo(c.casella), c.scritto);
        EXPECT_EQ(finestra->messaggio(), "");
        EXPECT_NE(cella(2, 1), "");
    }
    digita(finestra->Text2, "0,003,5");
    EXPECT_EQ(finestra->messaggio(),
              "Pendenza: un solo separatore decimale, senza separare le migliaia");
    EXPECT_EQ(cella(2, 1), "");
}

// The window grows: the controls keep their places, the grid takes the room
// and the buttons follow the bottom edge.
TEST_F(FormPrincipaleIngressi, LaFinestraCresceELaGrigliaConLei) {
    const QSize progetto = finestra->areaCliente()->size();
    const QRect griglia = reinterpret_cast<QWidget*>(finestra->griglia1)->geometry();
    const QRect esci = finestra->Command2->geometry();
    const QRect raggio = finestra->Text1->geometry();
    finestra->resize(finestra->size() + QSize(300, 200));
    QCoreApplication::processEvents();
    EXPECT_EQ(finestra->areaCliente()->size(), progetto + QSize(300, 200));
    EXPECT_EQ(reinterpret_cast<QWidget*>(finestra->griglia1)->geometry(),
              griglia.adjusted(0, 0, 300, 200));
    EXPECT_EQ(finestra->Command2->geometry(), esci.translated(0, 200));
    EXPECT_EQ(finestra->Text1->geometry(), raggio);
    // Never smaller than designed.
    EXPECT_EQ(finestra->areaCliente()->minimumSize(), progetto);
}

TEST_F(FormPrincipaleIngressi, ElencoDelCoefficienteLeggibile) {
    const QFontMetrics metriche = finestra->Combo1->view()->fontMetrics();
    int piuLunga = 0;
    for (int i = 0; i < finestra->Combo1->count(); ++i) {
        piuLunga = std::max(piuLunga, metriche.horizontalAdvance(finestra->Combo1->itemText(i)));
    }
    EXPECT_GT(finestra->Combo1->view()->minimumWidth(), piuLunga);

    finestra->Combo1->lineEdit()->end(false);
    finestra->Combo1->setCurrentIndex(2);
    emit finestra->Combo1->activated(2);
    EXPECT_EQ(finestra->Combo1->lineEdit()->cursorPosition(), 0);
}

TEST_F(FormPrincipaleIngressi, MenuEScorciatoie) {
    std::map<QString, QKeySequence> voci;
    for (QAction* menu : finestra->menuBar()->actions()) {
        for (QAction* voce : menu->menu()->actions()) {
            if (!voce->isSeparator()) {
                voci[menu->text() + "/" + voce->text()] = voce->shortcut();
            }
        }
    }
    EXPECT_EQ(voci["&File/Nuovo"], QKeySequence("Ctrl+N"));
    EXPECT_EQ(voci["&File/Apri…"], QKeySequence("Ctrl+O"));
    EXPECT_EQ(voci["&File/Salva"], QKeySequence("Ctrl+S"));
    EXPECT_EQ(voci["&File/Salva con nome…"], QKeySequence("Ctrl+Shift+S"));
    EXPECT_TRUE(voci.count("&File/File recenti"));
    EXPECT_TRUE(voci.count("&File/Dati del progetto…"));
    EXPECT_EQ(voci["&File/Documento Word"], QKeySequence("Ctrl+D"));
    EXPECT_EQ(voci["&File/Scrivi su file"], QKeySequence("Ctrl+E"));
    EXPECT_EQ(voci["&File/Esci"], QKeySequence("Ctrl+Q"));
    EXPECT_EQ(voci["&Modifica/Copia"], QKeySequence("Ctrl+C"));
    EXPECT_EQ(voci["&Modifica/Seleziona tutto"], QKeySequence("Ctrl+A"));
    EXPECT_EQ(voci["&Calcolo/Scala di deflusso e verifiche…"], QKeySequence("Ctrl+G"));
    EXPECT_TRUE(voci.count("&?/Informazioni su…"));
}

// Tab goes round the window in one fixed order, Shift+Tab back; the grid
// passes Tab on, as the original grid control does, and keeps its arrows.
TEST_F(FormPrincipaleIngressi, TabFaIlGiroDellaFinestra) {
    FormPrincipale& f = *finestra;
    const std::vector<std::pair<QWidget*, const char*>> giro{
        {f.griglia1, "griglia1"}, {f.Command4, "Command4"}, {f.Command3, "Command3"},
        {f.Command2, "Command2"}, {f.Text1, "Text1"},       {f.Text2, "Text2"},
        {f.Combo1, "Combo1"},     {f.Text3, "Text3"},       {f.Text5, "Text5"}};
    const auto nome = [&](QWidget* w) {
        for (const auto& [controllo, n] : giro) {
            // The combo box's line edit stands for the combo box.
            if (w == controllo || (controllo == f.Combo1 && w == f.Combo1->lineEdit())) {
                return std::string(n);
            }
        }
        return std::string(w ? w->metaObject()->className() : "nessuno");
    };
    QApplication::setActiveWindow(&f);
    for (const auto& [tasto, passo] : {std::pair{Qt::Key_Tab, 1}, std::pair{Qt::Key_Backtab, -1}}) {
        f.griglia1->setFocus();
        const int n = static_cast<int>(giro.size());
        for (int i = 1; i <= n; ++i) {
            QTest::keyClick(QApplication::focusWidget(), tasto);
            EXPECT_EQ(nome(QApplication::focusWidget()), giro[((i * passo) % n + n) % n].second)
                << "tasto " << i;
        }
    }

    // Entered and left by Tab, the coefficient's list entry shows its number.
    f.Text2->setFocus();
    QTest::keyClick(f.Text2, Qt::Key_Tab);
    EXPECT_EQ(f.Combo1->lineEdit()->cursorPosition(), 0);
    EXPECT_EQ(f.Combo1->lineEdit()->selectedText(), f.Combo1->currentText());
    QTest::keyClick(f.Combo1->lineEdit(), Qt::Key_Tab);
    EXPECT_EQ(f.Combo1->lineEdit()->cursorPosition(), 0);

    f.griglia1->setFocus();
    f.griglia1->setCurrentIndex(f.modelloGriglia1->index(0, 0));
    QTest::keyClick(f.griglia1, Qt::Key_Right);
    QTest::keyClick(f.griglia1, Qt::Key_Down);
    EXPECT_EQ(f.griglia1->currentIndex(), f.modelloGriglia1->index(1, 1));
}

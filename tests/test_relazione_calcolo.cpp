#include "stato_pulito.h"

#include "documenti/disegno_documento.h"
#include "documenti/indice.h"
#include "documenti/proprieta_documento.h"
#include "numeri/conversioni.h"
#include "numeri/sezione.h"
#include "progetto/progetto.h"
#include "progetto/righe_tratti.h"
#include "progetto/voci_coefficiente.h"
#include "relazione/relazione_calcolo.h"
#include "relazione/report_senza_finestra.h"
#include "tratti/csv_tratti.h"
#include "tratti/parole.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QUrl>

#include <functional>
#include <memory>

using progetto::Casella;

namespace {

// A reach of 40 m at 0.005 carrying 50 l/s from one manhole to another, its
// upstream invert given or left to the network.
progetto::RigaTratto trattoTra(const char* nome, const char* monte, const char* valle,
                               const char* quota) {
    tratti::CelleTratto c{};
    c[tratti::Nome] = nome;
    c[tratti::PozzettoMonte] = monte;
    c[tratti::PozzettoValle] = valle;
    c[tratti::Lunghezza] = "40";
    c[tratti::Pendenza] = "0.005";
    c[tratti::QuotaMonte] = quota;
    c[tratti::Portata] = "50";
    return progetto::rigaDaCelle(c);
}

class RelazioneCalcolo : public StatoPulito {
  protected:
    // A project on the default section (r = 20 cm, i = 0.01, γ = 0.18):
    // 150 l/s runs at about half the height at some 2 m/s, 8 l/s low down.
    RelazioneCalcolo() : p(progetto::progettoNuovo()) {
        p.verifiche.portataProgetto = Casella::daTesto("150");
        p.verifiche.portataMinima = Casella::daTesto("8");
        p.dati.opera = "Collettore via Roma";
        p.dati.tratto = "T12";
        p.dati.committente = "Comune";
        p.dati.progettista = "Ing. Rossi";
        p.dati.data = "2026-12-07";
    }

    // The project evaluated with the table computed from its inputs as the
    // window computes it.
    valutazione::Valutazione valutata() {
        imposta(p.ingressi.raggio.valore(), p.ingressi.incremento.valore(),
                p.ingressi.pendenza.valore(), p.ingressi.coefficiente.valore());
        s.tipoSezione = TestoSezione(s.raggio);
        Modulo2::CalcolaTabella(s);
        return valutazione::valuta(p, valutazione::tabellaCalcolata(tabella()));
    }

    // The report's text.
    QString relazione(Separatore separatore = Separatore::Punto) {
        scriviRelazioneCalcolo(documento, p, valutata(), separatore);
        return senzaIndice();
    }

    // The report saved as a page and read back: its text, as a browser
    // shows it.
    QString relazioneSalvata(Separatore separatore) {
        QTemporaryDir cartella;
        const QString percorso = cartella.filePath("relazione.html");
        scriviRelazioneCalcoloSenzaFinestra(percorso.toStdString(), p, valutata(), separatore);
        QFile file(percorso);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        QTextDocument letto;
        letto.setHtml(QString::fromUtf8(file.readAll()));
        return letto.toPlainText();
    }

    // The text without the table of contents, which repeats the headings.
    QString senzaIndice() const {
        const std::unique_ptr<QTextDocument> copia(documento.clone());
        for (QTextBlock b = copia->begin(); b.isValid();) {
            const QTextBlock dopo = b.next();
            if (livelloVoceIndice(b.blockFormat()) > 0 || titoloIndice(b.blockFormat())) {
                QTextCursor c(b);
                c.select(QTextCursor::BlockUnderCursor);
                c.removeSelectedText();
            }
            b = dopo;
        }
        return copia->toPlainText();
    }

    // The part of the text from one heading to the next.
    static QString tra(const QString& testo, const QString& da, const QString& a) {
        const auto inizio = testo.indexOf(da);
        return testo.mid(inizio, testo.indexOf(a, inizio) - inizio);
    }

    progetto::Progetto p;
    QTextDocument documento;
};

} // namespace

TEST_F(RelazioneCalcolo, SezioniInOrdineEDatiComeScritti) {
    p.ingressi.pendenza = Casella::daTesto("0.00035");
    p.ingressi.incremento = Casella::daTesto("5e1");
    const QString testo = relazione();
    qsizetype dove = 0;
    for (const char* parte :
         {"Relazione di calcolo idraulico", "Opera: Collettore via Roma", "Tratto: T12",
          "Progettista: Ing. Rossi", "Data: 2026-12-07", "1 Dati", "Figura 1 – ", "2 Metodo",
          "C = 87 √R / (√R + γ)", "V = C √(R · i)", "3 Risultati",
          "Massima velocità:", "Massima portata:", "Figura 2 – ", "4 Verifiche",
          "Valori di riferimento", "Conclusione:"}) {
        const qsizetype trovato = testo.indexOf(QString::fromUtf8(parte), dove);
        ASSERT_GE(trovato, 0) << parte;
        dove = trovato;
    }
    const QString dati = tra(testo, "1 Dati", "2 Metodo");
    for (const char* scritto : {"0.00035", "5e1", "40 × 60", "150", "8", "70",
                                "0.18 (voce dell'elenco «Tubaz. Ø >400 mm, acqua limpida», "
                                "applicata alla sezione inglese 40 × 60 cm)"}) {
        EXPECT_TRUE(dati.contains(QString::fromUtf8(scritto))) << scritto;
    }
    EXPECT_FALSE(dati.contains("0.0004"));

    const ProprietaDocumento proprieta = proprietaDi(documento);
    EXPECT_EQ(proprieta.titolo, "Relazione di calcolo idraulico");
    EXPECT_EQ(proprieta.autore, "Ing. Rossi");
    EXPECT_EQ(proprieta.intestazione, "Collettore via Roma");
    EXPECT_TRUE(proprieta.soggetto.contains("tratto T12"));
}

// Each limit in words, with the values compared, on both sides: the design
// flow against all three, the minimum flow against the self-cleansing
// velocity only.
TEST_F(RelazioneCalcolo, OgniLimiteDaiDueLati) {
    const struct {
        const char *minima, *massima, *riempimento;
        std::vector<const char*> progetto, minimaFlusso;
    } casi[] = {
        {"50",
         "400",
         "70",
         {"velocità minima di autopulizia: V = ", " ≥ 50 cm/s, verificata",
          "velocità massima ammessa: V = ", " ≤ 400 cm/s, verificata",
          "riempimento massimo: h/H = ", " ≤ 70 %, verificata"},
         {" ≥ 50 cm/s, verificata"}},
        {"300",
         "100",
         "30",
         {" < 300 cm/s, non verificata", " > 100 cm/s, non verificata", " > 30 %, non verificata"},
         {" < 300 cm/s, non verificata"}},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.minima);
        p.verifiche.velocitaMinima = Casella::daTesto(c.minima);
        p.verifiche.velocitaMassima = Casella::daTesto(c.massima);
        p.verifiche.riempimentoMassimo = Casella::daTesto(c.riempimento);
        documento.clear();
        const QString testo = relazione();
        const QString progetto = tra(testo, "Portata di progetto Q = 150 l/s:", "Portata minima");
        for (const char* frase : c.progetto) {
            EXPECT_TRUE(progetto.contains(QString::fromUtf8(frase))) << frase;
        }
        const QString minima = tra(testo, "Portata minima Qmin = 8 l/s:", "Valori di riferimento");
        for (const char* frase : c.minimaFlusso) {
            EXPECT_TRUE(minima.contains(QString::fromUtf8(frase))) << frase;
        }
        EXPECT_FALSE(minima.contains("velocità massima"));
        EXPECT_FALSE(minima.contains("riempimento massimo"));
        EXPECT_FALSE(tra(testo, "Valori di riferimento", "Conclusione").contains("verificata"));
    }
    EXPECT_TRUE(tra(relazione(), "Conclusione", "\n").contains("non sono soddisfatte"));
}

TEST_F(RelazioneCalcolo, ConclusioneSenzaOConValoriNonRaggiunti) {
    p.verifiche.portataProgetto = {};
    p.verifiche.portataMinima = {};
    EXPECT_TRUE(relazione().contains("nessuna verifica da svolgere"));

    documento.clear();
    p.verifiche.portataProgetto = Casella::daTesto("5000");
    const QString testo = relazione();
    EXPECT_TRUE(testo.contains("Portata di progetto Q = 5000 l/s: la sezione non la raggiunge"));
    EXPECT_TRUE(testo.contains("1 verifica su 1 non è soddisfatta (portata di progetto non "
                               "raggiunta); la sezione non è idonea"));

    // A design value that is not a number is no check passed; an empty limit
    // is the proposal, and said so.
    documento.clear();
    p.verifiche.portataProgetto = Casella::daTesto("250.5,1");
    p.verifiche.portataMinima = Casella::daTesto("8");
    p.verifiche.velocitaMinima = {};
    const QString illeggibile = relazione();
    EXPECT_TRUE(illeggibile.contains("Portata di progetto «250.5,1»: non è un numero positivo"));
    EXPECT_TRUE(illeggibile.contains("non è idonea"));
    EXPECT_TRUE(illeggibile.contains("≥ 50 (proposta) cm/s, verificata"));
    EXPECT_FALSE(illeggibile.contains("nessuna verifica"));

    documento.clear();
    p.verifiche.portataProgetto = Casella::daTesto("150");
    EXPECT_TRUE(relazione().contains("tutte le verifiche sono soddisfatte"));
}

// The answers' law is named, its coefficient given with its unit and its
// formula written; the table keeps its Bazin.
TEST_F(RelazioneCalcolo, LaLeggeDelleVerifiche) {
    p.verifiche.legge = "manning";
    p.verifiche.scabrezza = Casella::daTesto("0.013: calcestruzzo");
    const QString testo = relazione();
    const QString dati = tra(testo, "1 Dati", "2 Metodo");
    for (const char* atteso :
         {"Coefficiente di scabrezza di Bazin γ (tabella)", "Legge di resistenza delle verifiche",
          "Manning", "Coefficiente n delle verifiche", "0.013: calcestruzzo", "s/m¹ᐟ³"}) {
        EXPECT_TRUE(dati.contains(QString::fromUtf8(atteso))) << atteso;
    }
    const QString metodo = tra(testo, "2 Metodo", "3 Risultati");
    for (const char* atteso :
         {"secondo Bazin per la tabella e Manning per le verifiche", "C = 87 √R / (√R + γ)",
          "V = R²ᐟ³ i¹ᐟ² / n", "n coefficiente di Manning"}) {
        EXPECT_TRUE(metodo.contains(QString::fromUtf8(atteso))) << atteso;
    }
}

// A line of reaches: a summary in one sentence, each reach's results and
// verdict, its own law, the reasons of those that fail or cannot be
// computed; a radius chosen is starred; a slope from the quotas is rounded.
TEST_F(RelazioneCalcolo, VerificaDeiTratti) {
    // The cells from the name on, the manholes' apart.
    const auto riga = [](std::vector<std::string> celle) {
        tratti::CelleTratto c{};
        if (!celle.empty()) {
            c[tratti::Nome] = celle[0];
            std::copy(celle.begin() + 1, celle.end(), c.begin() + tratti::Lunghezza);
        }
        return progetto::rigaDaCelle(c);
    };
    p.tratti = {riga({"T1", "50", "0.004", "", "", "40", "150", "8"}),
                riga({"T2", "40", "0.0005", "", "", "", "300", "2"}),
                riga({"T3", "80", "", "102.35", "101.95", "30", "150", "", "manning", "0.013"}),
                riga({}), riga({"T5", "40", "-0.01", "", "", "", "300", "2"})};
    const QString sezione = tra(relazione(), "4 Verifica della rete", "\nZZZ");
    const auto esiti =
        tratti::verificaTutti({tratti::trattoDaCelle(progetto::celleDi(p.tratti[0]), 1),
                               tratti::trattoDaCelle(progetto::celleDi(p.tratti[1]), 2)},
                              {});
    for (const QString& atteso :
         {QString("4 tratti: 2 verificati, 1 non verificato, 1 non calcolato."),
          QString("con i limiti e la legge di resistenza delle verifiche (Bazin, γ = 0.18), "
                  "tranne i tratti che hanno una legge propria"),
          QString("il più piccolo, non minore di quelli a monte, che rispetta tutti i limiti o, "
                  "quando nessuno li rispetta, il più piccolo entro il riempimento"),
          QString("T1\n—\n—\n50.00\n80/120\n0.0040\n—\n—\n—\n—\n"),
          QString("T3\n—\n—\n80.00\n60/90\n0.0050\n102.35\n101.95\n—\n—\n"),
          QString("T1\n150.00\n"), QString::fromStdString(TestoSezione(esiti[1].raggio)) + "*",
          "T2: " + QString::fromStdString(tratti::motivoDi(esiti[1], Separatore::Punto)),
          QString("T3: legge di Manning, n = 0.013 s/m¹ᐟ³."),
          QString("T5: non calcolato, «pendenza»: deve essere maggiore di zero: «-0.01».")}) {
        EXPECT_TRUE(sezione.contains(atteso)) << atteso.toStdString();
    }
    // Only blank rows: no reaches, no section.
    p.tratti = {riga({}), riga({})};
    documento.clear();
    EXPECT_FALSE(relazione().contains("Verifica della rete"));
}

// The manholes' table gives each shaft's depth to its lowest invert: at P2
// the reach arriving lies 17 cm below the one leaving it.
TEST_F(RelazioneCalcolo, ProfonditaDelPozzettoAlFondoPiuBasso) {
    p.tratti = {trattoTra("A", "P1", "P2", "99.95"), trattoTra("B", "P2", "P3", "99.92")};
    for (progetto::RigaTratto& t : p.tratti) {
        t.raggio = Casella::daTesto("30");
    }
    p.pozzetti = {{"P2", Casella::daTesto("102.88"), "", {}}};
    const QString pozzetti = tra(relazione(), "4.2 Pozzetti", "4.3 Tratti");
    EXPECT_TRUE(pozzetti.contains("P2\n102.88\n99.92\n0.00\n2.06\n3.13\nnon verificato\n"))
        << pozzetti.toStdString();
}

// A value rounded onto its limit takes the decimals that keep it on its
// side: the minimum flow runs at 49.997 cm/s.
TEST_F(RelazioneCalcolo, ValoreAlLimiteConLeCifreCheServono) {
    p.verifiche.portataMinima = Casella::daTesto("1.414603");
    EXPECT_TRUE(relazione().contains("V = 49.997 cm/s < 50 cm/s, non verificata"));
}

// A word longer than a line, in the notes of the project, breaks where the
// line ends instead of running off the page; ordinary words stay whole.
TEST_F(RelazioneCalcolo, ParolaPiuLungaDellaRigaVaACapo) {
    p.dati.note = std::string(5000, 'x') + " parola";
    relazione();
    documento.setPageSize(QSizeF(600, 800));
    QTextBlock note;
    for (QTextBlock b = documento.begin(); b.isValid(); b = b.next()) {
        if (b.text().startsWith("Note: ")) {
            note = b;
        }
    }
    ASSERT_TRUE(note.isValid());
    documento.pageCount(); // laid out
    EXPECT_TRUE(note.text().endsWith(" parola"));
    EXPECT_EQ(note.text().remove(QChar(0x200B)), QString::fromStdString("Note: " + p.dati.note));
    const QTextLayout* righe = note.layout();
    EXPECT_GT(righe->lineCount(), 20);
    for (int i = 0; i < righe->lineCount(); ++i) {
        EXPECT_LE(righe->lineAt(i).naturalTextWidth(), 600.0) << i;
    }
}

// A line of manholes gets its tree's longest path as a figure, captioned
// with its ends and its scales; reaches on their own get none.
TEST_F(RelazioneCalcolo, ProfiloDiOgniRete) {
    p.tratti = {trattoTra("A", "P1", "P2", "100"), trattoTra("B", "P2", "P3", "")};
    // The manholes' table: P1's invert, and P3 the outlet.
    EXPECT_TRUE(relazione().contains("P1\n—\n100.00\n—\n—\n—\nverificato\n\n"));
    EXPECT_TRUE(relazione().contains("P3\n—\n99.60\n—\n—\n—\nverificato\nsbocco"));
    documento.clear();
    EXPECT_TRUE(QRegularExpression("Figura \\d+ – Profilo longitudinale da P1 a P3, collettore "
                                   "principale: scala "
                                   "orizzontale 1:\\d+, verticale 1:\\d+\\.")
                    .match(relazione())
                    .hasMatch());
    p.tratti = {trattoTra("A", "", "", "100")};
    documento.clear();
    EXPECT_FALSE(relazione().contains("Profilo longitudinale"));
}

// The example line is drawn as its main line and its branch, which stops at
// its junction: at the project's scales where they fit the report's sheets,
// else at fitted ones, and the report says so.
TEST_F(RelazioneCalcolo, OgniPercorsoDellaLineaDiEsempio) {
    p = progetto::leggiProgetto(PROGETTO_ESEMPIO);
    const QString principale = "Profilo longitudinale da P1 a P15, collettore principale";
    const QString ramo = "Profilo longitudinale da S1 a P8, ramo fino all'innesto in P8 nel "
                         "collettore principale";
    const struct {
        std::optional<double> orizzontale, verticale;
        std::vector<QString> didascalie;
        bool adattate;
    } casi[] = {
        {std::nullopt,
         std::nullopt,
         {principale + ": scala orizzontale 1:5000, verticale 1:200.",
          ramo + ": scala orizzontale 1:2000, verticale 1:200."},
         false},
        {2000.0,
         200.0,
         {principale + ", foglio 1 di 2: scala orizzontale 1:2000, verticale 1:200.",
          principale + ", foglio 2 di 2: scala orizzontale 1:2000, verticale 1:200.",
          ramo + ": scala orizzontale 1:2000, verticale 1:200."},
         false},
        {10.0,
         std::nullopt,
         {principale + ": scala orizzontale 1:5000, verticale 1:200.",
          ramo + ": scala orizzontale 1:2000, verticale 1:200."},
         true},
    };
    for (const auto& c : casi) {
        p.profilo.scalaOrizzontale = c.orizzontale;
        p.profilo.scalaVerticale = c.verticale;
        documento.clear();
        const QString testo = relazione();
        QStringList didascalie;
        for (const QString& riga : testo.split('\n')) {
            if (riga.startsWith("Figura ") && riga.contains("Profilo longitudinale")) {
                didascalie << riga.mid(riga.indexOf("Profilo"));
            }
        }
        EXPECT_EQ(didascalie, QStringList(c.didascalie.begin(), c.didascalie.end()))
            << didascalie.join('\n').toStdString();
        EXPECT_EQ(testo.count("alle scale scelte nel progetto: è disegnato alle scale adatte"),
                  c.adattate ? 2 : 0);
    }
}

// One conclusion on the whole line: the work is fit only when every reach,
// every manhole and the typical section pass; what fails is named, and no
// sentence says the whole is verified.
TEST_F(RelazioneCalcolo, ConclusioniDellaLinea) {
    // A collector P1 → P11 of 40 m reaches; `cambia` spoils some.
    const auto linea = [](const std::function<void(int, tratti::CelleTratto&)>& cambia) {
        std::vector<progetto::RigaTratto> righe;
        for (int k = 1; k <= 10; ++k) {
            tratti::CelleTratto c{};
            c[tratti::PozzettoMonte] = "P" + std::to_string(k);
            c[tratti::PozzettoValle] = "P" + std::to_string(k + 1);
            c[tratti::Nome] = c[tratti::PozzettoMonte] + "-" + c[tratti::PozzettoValle];
            c[tratti::Lunghezza] = "40";
            c[tratti::Pendenza] = "0.005";
            c[tratti::QuotaMonte] = k == 1 ? "100" : "";
            c[tratti::Portata] = std::to_string(40 + 10 * k);
            c[tratti::PortataMinima] = std::to_string(4 + k);
            cambia(k, c);
            righe.push_back(progetto::rigaDaCelle(c));
        }
        return righe;
    };
    const auto nulla = [](int, tratti::CelleTratto&) {};
    const struct {
        const char* caso;
        std::function<void(int, tratti::CelleTratto&)> cambia;
        std::vector<QString> attesi;
        const char* sezioneTipo = "";
        const char* saltoMassimo = "";
    } casi[] = {
        {"tutti verificati",
         nulla,
         {"Verificati tutti i 10 tratti e tutti i pozzetti: le verifiche sono soddisfatte e "
          "l'opera è idonea."}},
        {"tutti verificati, con la sezione tipo",
         nulla,
         {"Verificati tutti i 10 tratti, tutti i pozzetti e la sezione tipo alle portate di "
          "progetto: le verifiche sono soddisfatte e l'opera è idonea."},
         "si"},
        {"un salto oltre il massimo a un solo pozzetto: un pozzetto di salto previsto",
         [](int k, tratti::CelleTratto& c) {
             if (k == 6) {
                 c[tratti::QuotaMonte] = "97";
             }
         },
         {"Verificati tutti i 10 tratti e tutti i pozzetti: le verifiche sono soddisfatte e "
          "l'opera è idonea.\n\nPrevisto 1 pozzetto di salto:\n– P6: salto di 2.00 m > 0.50 m."},
         "",
         "0.5"},
        {"due tratti troppo lenti",
         [](int k, tratti::CelleTratto& c) {
             if (k == 4 || k == 9) {
                 c[tratti::Pendenza] = "0.0002";
             }
         },
         {"Verificati 8 tratti su 10 e tutti i pozzetti. L'opera non è idonea così com'è.",
          "– velocità di autopulizia: 2 tratti.",
          "tratto P4-P5\nvelocità di autopulizia\nalla portata minima: 20.69 cm/s < 50 cm/s",
          "tratto P9-P10\n"}},
        {"un salto all'indietro a un pozzetto",
         [](int k, tratti::CelleTratto& c) {
             if (k == 6) {
                 c[tratti::QuotaMonte] = "101";
             }
         },
         {"Verificati 9 tratti su 10 e ",
          "tratto P6-P7\ncontropendenza al pozzetto\nal pozzetto «P6»: scorrimento ",
          "L'opera non è idonea così com'è."}},
    };
    for (const auto& c : casi) {
        p.tratti = linea(c.cambia);
        p.dati.sezioneTipo = c.sezioneTipo;
        p.rete.saltoMassimo = Casella::daTesto(c.saltoMassimo);
        documento.clear();
        const QString testo = relazione();
        EXPECT_EQ(testo.contains("Sezione tipo\n"), *c.sezioneTipo != '\0') << c.caso;
        const QString conclusioni = tra(testo, "Conclusioni\n", "Il progettista");
        for (const QString& atteso : c.attesi) {
            EXPECT_TRUE(conclusioni.contains(atteso))
                << c.caso << ": " << conclusioni.toStdString();
        }
        const bool idonea = conclusioni.contains("l'opera è idonea");
        EXPECT_EQ(idonea, c.attesi.size() == 1) << c.caso;
        if (!idonea) {
            EXPECT_FALSE(testo.contains("tutte le verifiche sono soddisfatte")) << c.caso;
            EXPECT_FALSE(testo.contains("la sezione è idonea")) << c.caso;
        }
    }
}

// A line's report: its sections in order, the designer's description, each
// criterion with its source, and the sources left blank as the designer's.
TEST_F(RelazioneCalcolo, SezioniDellaLineaEFonti) {
    tratti::CelleTratto c{};
    c[tratti::Nome] = "A";
    c[tratti::PozzettoMonte] = "P1";
    c[tratti::PozzettoValle] = "P2";
    c[tratti::Lunghezza] = "40";
    c[tratti::Pendenza] = "0.005";
    c[tratti::QuotaMonte] = "100";
    c[tratti::Portata] = "50";
    p.tratti = {progetto::rigaDaCelle(c)};
    p.dati.descrizione = "Collettore di via Roma.";
    p.dati.fonti.legge = "   ";
    const QString testo = relazione();
    qsizetype dove = 0;
    for (const char* parte :
         {"1 Premessa", "Collettore di via Roma.", "2 Criteri di verifica e riferimenti",
          "Tabella 1 – Criteri", "3 Metodo", "4 Verifica della rete", "4.1 Tratti",
          "Tabella 2 – Tratti", "Tabella 3 – Tratti", "4.2 Pozzetti", "Tabella 4 – Pozzetti",
          "4.3 Tratti non verificati", "Tutti i tratti sono verificati.", "5 Profili longitudinali",
          "Figura 1 – Profilo longitudinale", "6 Conclusioni"}) {
        const qsizetype trovato = testo.indexOf(QString::fromUtf8(parte), dove);
        ASSERT_GE(trovato, 0) << parte;
        dove = trovato;
    }
    // The table of contents after the title, each heading in order.
    EXPECT_TRUE(documento.toPlainText().contains(
        "Indice\n1 Premessa\n2 Criteri di verifica e riferimenti\n3 Metodo\n4 Verifica della "
        "rete\n4.1 Tratti\n4.2 Pozzetti\n4.3 Tratti non verificati\n5 Profili "
        "longitudinali\n6 Conclusioni\n"));
    const QString criteri = tra(testo, "2 Criteri", "3 Metodo");
    EXPECT_TRUE(criteri.contains("50 cm/s\nCircolare Min. LL.PP. n. 11633 del 7 "
                                 "gennaio 1974"));
    EXPECT_TRUE(criteri.contains("Bazin, γ = 0.18\na cura del progettista"));
    EXPECT_FALSE(testo.contains("Sezione tipo"));
    // Without the typical section, the method speaks of no table of results.
    const QString metodo = tra(testo, "3 Metodo", "4 Verifica");
    EXPECT_TRUE(metodo.contains("Le verifiche usano le formule tabellari"));
    EXPECT_FALSE(metodo.contains("tabella dei risultati") || metodo.contains("Max V"));
}

// A coefficient of the checks' law that does not read: the report states no
// law in its place, says the checks were not made and names the box; a line
// gets no results as if its reaches had been checked.
TEST_F(RelazioneCalcolo, LeggeCheNonSiLeggeNessunaLeggeAlSuoPosto) {
    const QString casella = "il coefficiente della legge di resistenza («abc»): Non è un numero";
    const struct {
        const char* caso;
        bool conTratti;
        const char* sezioneTipo;
        std::vector<QString> attesi, assenti;
    } casi[] = {
        {"la sezione sola",
         false,
         "",
         {"Le verifiche non sono state eseguite, perché non si legge " + casella + ".",
          "Conclusione: le verifiche non sono state eseguite, perché non si legge " + casella},
         {", verificata", "Valori di riferimento", "per le verifiche", "Bazin, γ",
          "si usa la tabella"}},
        {"una linea",
         true,
         "",
         {"I tratti non sono stati verificati, perché non si legge " + casella + ".",
          "I 2 tratti non sono stati verificati, perché non si legge " + casella,
          "L'opera non è idonea così com'è."},
         {"2 tratti: ", "Tabella 2 – Tratti", "Bazin, γ", "Profilo longitudinale"}},
        {"una linea con la sezione tipo",
         true,
         "si",
         {"Esito della sezione tipo: le verifiche non sono state eseguite, perché non si "
          "legge " +
              casella,
          "la sezione tipo non è stata verificata", "L'opera non è idonea così com'è."},
         {", verificata", "2 tratti: ", "Bazin, γ", "Valori di riferimento"}},
    };
    for (const auto& c : casi) {
        p = progetto::progettoNuovo();
        p.ingressi.coefficiente = Casella::daTesto("0.16");
        p.verifiche.portataProgetto = Casella::daTesto("150");
        p.verifiche.portataMinima = Casella::daTesto("8");
        p.verifiche.legge = "manning";
        p.verifiche.scabrezza = Casella::daTesto("abc");
        if (c.conTratti) {
            p.tratti = {trattoTra("A", "P1", "P2", "100"), trattoTra("B", "P2", "P3", "")};
        }
        p.dati.sezioneTipo = c.sezioneTipo;
        documento.clear();
        const QString testo = relazione();
        for (const QString& atteso : c.attesi) {
            EXPECT_TRUE(testo.contains(atteso)) << c.caso << ": " << atteso.toStdString();
        }
        for (const QString& assente : c.assenti) {
            EXPECT_FALSE(testo.contains(assente)) << c.caso << ": " << assente.toStdString();
        }
    }
}

// Names and notes are printed as typed, dots and commas included, under
// either separator, in the page saved and read back; the numbers beside
// them take the separator.
TEST_F(RelazioneCalcolo, NomiComeScrittiSottoOgniSeparatore) {
    p.tratti = {trattoTra("A,1", "P1.1", "P1.2", "100"), trattoTra("B.2", "P1.2", "P1.3", "")};
    p.dati.note = "Rif. tav. 1.2, 3,4";
    const struct {
        Separatore separatore;
        std::vector<QString> attesi;
    } casi[] = {
        {Separatore::Punto,
         {"Note: Rif. tav. 1.2, 3,4", "lunghezza complessiva di 80.0 m", "con sbocco in P1.3.",
          "A,1\nP1.1\nP1.2\n40.00\n", "B.2\nP1.2\nP1.3\n40.00\n", "P1.3\n—\n99.60\n",
          "Profilo longitudinale da P1.1 a P1.3, collettore principale: scala"}},
        {Separatore::Virgola,
         {"Note: Rif. tav. 1.2, 3,4", "lunghezza complessiva di 80,0 m", "con sbocco in P1.3.",
          "A,1\nP1.1\nP1.2\n40,00\n", "B.2\nP1.2\nP1.3\n40,00\n", "P1.3\n—\n99,60\n",
          "Profilo longitudinale da P1.1 a P1.3, collettore principale: scala"}},
    };
    for (const auto& c : casi) {
        const QString testo = relazioneSalvata(c.separatore);
        for (const QString& atteso : c.attesi) {
            EXPECT_TRUE(testo.contains(atteso))
                << nomeSeparatore(c.separatore) << ": " << atteso.toStdString();
        }
    }
}

// Under the comma every number the report makes takes it, in the prose,
// the formulas and the tables; what was typed stays as typed.
TEST_F(RelazioneCalcolo, NumeriConLaVirgola) {
    p.ingressi.pendenza = Casella::daTesto("0.0035");
    p.verifiche.legge = "colebrook";
    p.verifiche.scabrezza = Casella::daTesto("1.5");
    p.verifiche.temperatura = Casella::daTesto("12.5");
    p.verifiche.geometria = "esatta";
    p.verifiche.velocitaMinima = {};
    const QString testo = relazione(Separatore::Virgola);
    for (const char* atteso : {
             R"(Pendenza del fondo i\n0\.0035\nm/m)",
             R"(\n0,18 \(voce dell'elenco «Tubaz\. Ø >400 mm, acqua limpida», applicata alla )"
             R"(sezione inglese 40 × 60 cm\))",
             R"(Coefficiente ks delle verifiche\n1\.5\nmm)",
             R"(Temperatura dell'acqua\n12\.5\n°C)",
             R"(1/√λ = −2 log10\( ks / \(14,84 R\) \+ 2,51 / \(Re √λ\) \))",
             R"(ν = 1,792·10⁻⁶ / \(1 \+ 0,0337 T \+ 0,000221 T²\))",
             R"(g = 9,81 m/s²)",
             R"(4,79 r per il contorno e 3,02 r² per l'area)",
             R"(area piena 4,5941 r², raggio idraulico pieno 0,5793 r)",
             R"(alle altezze fisse 2,562 r e 2,859 r)",
             R"(Massima portata: riga all'altezza 2,859 r)",
             R"(\n10,0\n0,0164\n0,3280\n0,0501\n\d+,\d\d\n\d+,\d\d\n)",
             R"(altezza h = \d+,\d\d cm, riempimento h/H = \d+,\d %, velocità V = \d+,\d\d cm/s, )"
             R"(portata Q = 150,00 l/s)",
             R"(velocità minima di autopulizia: V = \d+,\d\d cm/s ≥ 50 \(proposta\) cm/s)",
             R"(\nSezione piena\n60,00\n100,0\n\d+,\d\d\n\d+,\d\d\n)",
         }) {
        EXPECT_TRUE(QRegularExpression(QString::fromUtf8(atteso)).match(testo).hasMatch())
            << atteso;
    }
}

// The figures drawn for the report write their numbers with its separator.
TEST_F(RelazioneCalcolo, FigureColSeparatoreDellaRelazione) {
    // Each figure as a picture's pixels or a drawing's SVG.
    const auto figure = [this](Separatore separatore) {
        QTextDocument d;
        scriviRelazioneCalcolo(d, p, valutata(), separatore);
        std::vector<QByteArray> esito;
        for (QTextBlock b = d.begin(); b.isValid(); b = b.next()) {
            for (auto f = b.begin(); !f.atEnd(); ++f) {
                const QTextFormat formato = f.fragment().charFormat();
                if (formato.isImageFormat()) {
                    const QImage immagine = d.resource(QTextDocument::ImageResource,
                                                       QUrl(formato.toImageFormat().name()))
                                                .value<QImage>();
                    esito.emplace_back(reinterpret_cast<const char*>(immagine.constBits()),
                                       immagine.sizeInBytes());
                } else if (eDisegno(formato)) {
                    esito.push_back(svgDelDisegno(formato));
                }
            }
        }
        return esito;
    };
    const std::vector<QByteArray> punto = figure(Separatore::Punto);
    const std::vector<QByteArray> virgola = figure(Separatore::Virgola);
    ASSERT_EQ(punto.size(), 2u);
    ASSERT_EQ(virgola.size(), 2u);
    for (std::size_t i = 0; i < punto.size(); ++i) {
        EXPECT_NE(punto[i], virgola[i]) << i;
    }
}

// The report heard from its start to its whole, never backwards, as the
// same report written unheard; stopped half way, it goes no further.
TEST_F(RelazioneCalcolo, AvanzamentoFinoAllaFineEAnnullabile) {
    const progetto::Progetto sezione = p;
    for (const progetto::Progetto& caso : {sezione, progetto::leggiProgetto(PROGETTO_ESEMPIO)}) {
        p = caso;
        std::vector<std::pair<std::int64_t, std::int64_t>> sentiti;
        QTextDocument seguito;
        scriviRelazioneCalcolo(seguito, p, valutata(), Separatore::Punto,
                               Avanzamento([&](std::int64_t fatti, std::int64_t totale) {
                                   sentiti.emplace_back(fatti, totale);
                                   return true;
                               }));
        EXPECT_EQ(seguito.toHtml(), [&] {
            QTextDocument d;
            scriviRelazioneCalcolo(d, p, valutata());
            return d.toHtml();
        }());
        ASSERT_GE(sentiti.size(), 3u);
        EXPECT_EQ(sentiti.front().first, 0);
        EXPECT_EQ(sentiti.back().first, sentiti.back().second);
        for (std::size_t i = 1; i < sentiti.size(); ++i) {
            EXPECT_LE(sentiti[i - 1].first, sentiti[i].first);
            EXPECT_EQ(sentiti[i].second, sentiti.front().second);
        }

        std::size_t chiamate = 0;
        QTextDocument fermato;
        EXPECT_THROW(scriviRelazioneCalcolo(fermato, p, valutata(), Separatore::Punto,
                                            Avanzamento([&](std::int64_t, std::int64_t) {
                                                return ++chiamate <= sentiti.size() / 2;
                                            })),
                     Annullato);
        EXPECT_EQ(chiamate, sentiti.size() / 2 + 1);
    }
}

#include "calc/tabella.h"
#include "cli/esecuzione.h"
#include "finisce_entro.h"
#include "lettore_docx.h"
#include "numeri/formato.h"
#include "progetto/voci_coefficiente.h"
#include "seme.h"
#include "table/testo_griglia.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextDocument>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

namespace {

struct Esito {
    int stato;
    std::string uscita, errori;
};

Esito esegui(std::vector<std::string> argomenti) {
    std::ostringstream uscita, errori;
    const int stato = eseguiCli(argomenti, uscita, errori);
    return {stato, uscita.str(), errori.str()};
}

std::vector<std::string> righe(const std::string& testo) {
    std::vector<std::string> esito;
    std::istringstream in(testo);
    for (std::string riga; std::getline(in, riga);) {
        esito.push_back(riga);
    }
    return esito;
}

} // namespace

TEST(Cli, FormatoSiConIValoriPredefiniti) {
    const Esito e = esegui({"--formato", "si"});
    ASSERT_EQ(e.stato, 0) << e.errori;
    EXPECT_EQ(e.errori, "");
    const auto r = righe(e.uscita);
    ASSERT_EQ(r.size(), 9u);
    EXPECT_EQ(r[0], "riga,etichetta,altezza_m,area_m2,contorno_m,raggio_idraulico_m,chezy,"
                    "velocita_m_s,portata_m3_s");
    EXPECT_EQ(r[1].substr(0, 25), "1,,0.10000000000000001,0.");
    EXPECT_EQ(r[6].substr(0, 24), "6,,0.60000000000000009,0");
    EXPECT_EQ(r[7].substr(0, 13), "7,Max V,0.512");
    EXPECT_EQ(r[8].substr(0, 13), "8,Max Q,0.571");
    // 17 significant digits read back to the very doubles of the sweep.
    const std::string portata = r[8].substr(r[8].rfind(',') + 1);
    calcolo::Ingressi predefiniti;
    predefiniti.coeffBazin = 0.18;
    predefiniti.raggio = 20;
    predefiniti.pendenza = 0.01;
    predefiniti.incremento = 100;
    EXPECT_EQ(std::stod(portata), calcolo::calcolaTabella(predefiniti).massimaPortata().portata);
}

// The default table to the last bit, as 17 significant digits read back
// exactly: no change to the formulas may move any of them.
TEST(Cli, TabellaPredefinitaAllUltimoBit) {
    // clang-format off
    const std::vector<std::string> attese = {
        "riga,etichetta,altezza_m,area_m2,contorno_m,raggio_idraulico_m,chezy,velocita_m_s,portata_m3_s",
        "1,,0.10000000000000001,0.016419868103413449,0.32800000008226093,0.050060573473461642,48.212873270229004,1.0787254486000941,0.017712529585809048",
        "2,,0.20000000000000001,0.045321627606668483,0.54910436672908625,0.082537365121754691,53.4878473962466,1.5366693197066432,0.06964435466233708",
        "3,,0.30000000000000004,0.081357893649915719,0.75652456726223771,0.10754164130365147,56.169309113796864,1.8419906113487856,0.14986047626225774",
        "4,,0.40000000000000002,0.12080000000000002,0.95800000000000007,0.12609603340292277,57.734443962578119,2.0501502953610324,0.24765815567961275",
        "5,,0.5,0.15906445909962075,1.1674395102393196,0.13625070738527026,58.481723060953691,2.1586863368633877,0.3433702745389165",
        "6,,0.60000000000000009,0.18363185307179589,1.5863185308000001,0.115759760417845,56.898211012403351,1.9358754896403974,0.35548840347893634",
        "7,Max V,0.51239999999999997,0.16326611687993603,1.1967207191219431,0.13642791862058468,58.494180127672628,2.160549818752735,0.35274457923340863",
        "8,Max Q,0.57179999999999997,0.17972401079587769,1.3713252968306628,0.1310586271625315,58.108087997442723,2.1036301795310139,0.37807285309656607",
    };
    // clang-format on
    const Esito e = esegui({"--formato", "si"});
    ASSERT_EQ(e.stato, 0);
    EXPECT_EQ(righe(e.uscita), attese);
}

TEST(Cli, IncrementoLimitatoConUnaNota) {
    const Esito e = esegui({"--formato", "si", "--incremento", "1000"});
    EXPECT_EQ(e.stato, 0);
    EXPECT_NE(e.errori.find("600"), std::string::npos);
    EXPECT_EQ(righe(e.uscita).size(), 4u); // header, one regular row, Max V, Max Q
}

TEST(Cli, LetturaRigorosa) {
    const struct {
        std::vector<std::string> argomenti;
        std::string opzione;
    } casi[] = {
        {{"--pendenza", "abc"}, "--pendenza"},
        {{"--raggio", "-3"}, "--raggio"},
        {{"--raggio", "1e400"}, "--raggio"},
        {{"--raggio", "20cm"}, "--raggio"},
        {{"--coefficiente", "0"}, "--coefficiente"},
        {{"--incremento"}, "--incremento"},
        {{"--boh"}, "--boh"},
        {{"--formato", "xml"}, "--formato"},
        {{"--file", ""}, "--file"},
        {{"--pendenza", "0,010"}, "--pendenza"},
        {{"--raggio", "1,500"}, "--raggio"},
        {{"--documento", ""}, "--documento"},
    };
    for (const auto& c : casi) {
        const Esito e = esegui(c.argomenti);
        EXPECT_EQ(e.stato, 2) << c.opzione;
        EXPECT_EQ(e.uscita, "") << c.opzione;
        EXPECT_NE(e.errori.find(c.opzione), std::string::npos) << e.errori;
        EXPECT_EQ(std::count(e.errori.begin(), e.errori.end(), '\n'), 1) << e.errori;
    }
}

TEST(Cli, ErroreDiCalcoloDaStatoUno) {
    const Esito e = esegui({"--formato", "si", "--raggio", "1e307"});
    EXPECT_EQ(e.stato, 1);
    EXPECT_EQ(e.uscita, "");
    EXPECT_NE(e.errori.find("Overflow"), std::string::npos);
}

// --separatore virgola writes what people read with the decimal comma: the
// aligned table, the results file's text, the reports; the machine formats
// keep their own separators.
TEST(Cli, SeparatoreDecimalePerCioCheSiLegge) {
    const std::vector<std::string> tabella = {"--raggio", "30", "--incremento", "300"};
    const auto con = [&](std::vector<std::string> altre) {
        altre.insert(altre.begin(), tabella.begin(), tabella.end());
        return esegui(altre);
    };
    const struct {
        std::vector<std::string> opzioni;
        const char* terzaRiga;
    } casi[] = {
        {{"--separatore", "virgola"},
         "          30,0  0,1020        0,8237       0,1238    202,52   "
         "206,51"},
        {{"--separatore", "punto"},
         "          30.0  0.1020        0.8237       0.1238    202.52   "
         "206.51"},
        {{"--separatore", "virgola", "--formato", "csv"},
         ",30.0,0.1020,0.8237,0.1238,202.52,206.51\r"},
        {{"--separatore", "punto", "--formato", "csv-it"},
         ";30,0;0,1020;0,8237;0,1238;202,52;206,51\r"},
    };
    for (const auto& c : casi) {
        const Esito e = con(c.opzioni);
        ASSERT_EQ(e.stato, 0) << e.errori;
        EXPECT_EQ(righe(e.uscita)[2], c.terzaRiga) << c.opzioni.back();
    }
    QTemporaryDir cartella;
    const std::string file = cartella.filePath("r").toStdString();
    ASSERT_EQ(con({"--separatore", "virgola", "--file", file}).stato, 0);
    std::ifstream letto(file + ".txt");
    std::string riga;
    std::getline(letto, riga);
    std::getline(letto, riga);
    EXPECT_EQ(riga, "COEFF. DI SCABREZZA SECONDO BAZIN =  0,18");
    EXPECT_EQ(con({"--separatore", "spazio"}).stato, 2);
}

// Radii at the edge of the doubles: every answer is refused with its
// reason, none is searched for ever.
TEST(Cli, RaggiSubnormaliRifiutatiSenzaAttese) {
    for (const std::vector<std::string>& risposte :
         {std::vector<std::string>{"--portata", "150"},
          {"--velocita", "100"},
          {"--portata-minima", "8"},
          {"--geometria", "esatta", "--portata", "150"},
          {"--legge", "kutter", "--scabrezza", "0.35", "--portata", "150"}}) {
        std::vector<std::string> argomenti = {"--raggio", "1e-319"};
        argomenti.insert(argomenti.end(), risposte.begin(), risposte.end());
        const Esito e = esegui(argomenti);
        EXPECT_EQ(e.stato, 1) << risposte[0];
        EXPECT_NE(e.errori.find("Underflow"), std::string::npos) << e.errori;
    }
}

TEST(Cli, AiutoEVersione) {
    EXPECT_NE(esegui({"--help"}).uscita.find("--raggio"), std::string::npos);
    EXPECT_EQ(esegui({"--version"}).uscita, "sezione-inglese-cli 1.0.0\n");
}

TEST(Cli, TabellaAllineataComeLaGriglia) {
    const Esito e = esegui({});
    ASSERT_EQ(e.stato, 0);
    const auto r = righe(e.uscita);
    ASSERT_EQ(r.size(), 10u);
    EXPECT_EQ(r[0], "       ALTEZZA    AREA  CONT.BAGNATO  R.IDRAULICO         V        Q");
    EXPECT_EQ(r[9], "Max Q     57.2  0.1797        1.3713       0.1311    210.36   378.07");
}

// 3 × 0.3 / 0.1 rounds to 8.999…: the full-section row is kept all the same.
TEST(Cli, LaSezionePienaResisteAgliArrotondamenti) {
    Esito e = esegui({"--formato", "csv", "--raggio", "30", "--incremento", "900"});
    ASSERT_EQ(e.stato, 0);
    auto r = righe(e.uscita);
    ASSERT_EQ(r.size(), 5u);
    EXPECT_EQ(r[2], ",90.0,0.4132,2.3795,0.1736,253.17,1046.02\r");
    e = esegui({"--formato", "csv", "--raggio", "30", "--incremento", "100"});
    r = righe(e.uscita);
    ASSERT_EQ(r.size(), 13u);
    EXPECT_EQ(r[10], ",90.0,0.4132,2.3795,0.1736,253.17,1046.02\r");
}

TEST(CliRisposte, AltezzeDellaPortataPoiPienaEMassimi) {
    const Esito e = esegui({"--portata", "370"});
    ASSERT_EQ(e.stato, 0) << e.errori;
    EXPECT_EQ(e.errori, "");
    const auto r = righe(e.uscita);
    ASSERT_EQ(r.size(), 7u);
    EXPECT_EQ(r[0], "       ALTEZZA    AREA  CONT.BAGNATO  R.IDRAULICO         V        Q");
    EXPECT_EQ(r[2].substr(0, 10), "Q1        ");
    EXPECT_EQ(r[2].substr(r[2].size() - 6), "370.00");
    EXPECT_EQ(r[3].substr(0, 2), "Q2");
    EXPECT_EQ(r[4], "Piena     60.0  0.1836        1.5863       0.1158    193.59   355.49");
    EXPECT_EQ(r[5].substr(0, 4), "Vmax");
    EXPECT_EQ(r[6].substr(0, 4), "Qmax");
}

TEST(CliRisposte, VelocitaInSiEUnaPortataMaiRaggiunta) {
    const Esito e = esegui({"--velocita", "200", "--portata", "500", "--formato", "si"});
    ASSERT_EQ(e.stato, 0);
    EXPECT_EQ(e.errori, "sezione-inglese-cli: nota: nessuna altezza con portata 500 l/s; la "
                        "portata massima della sezione è 378.07 l/s\n");
    const auto r = righe(e.uscita);
    ASSERT_EQ(r.size(), 6u);
    EXPECT_EQ(r[0], "riga,etichetta,altezza_m,area_m2,contorno_m,raggio_idraulico_m,chezy,"
                    "velocita_m_s,portata_m3_s");
    EXPECT_EQ(r[1].substr(0, 5), "1,V1,");
    EXPECT_EQ(r[2].substr(0, 5), "2,V2,");
    EXPECT_EQ(r[3].substr(0, 28), "3,Piena,0.60000000000000009,");
    EXPECT_EQ(r[5].substr(0, 7), "5,Qmax,");
    // The velocity read back is the one asked for.
    const std::string velocita = r[1].substr(0, r[1].rfind(','));
    EXPECT_NEAR(std::stod(velocita.substr(velocita.rfind(',') + 1)), 2.0, 1e-12);
}

TEST(CliRisposte, CurvaEGeometriaEsatta) {
    const Esito curva = esegui({"--curva", "3", "--formato", "csv"});
    ASSERT_EQ(curva.stato, 0);
    const auto r = righe(curva.uscita);
    ASSERT_EQ(r.size(), 5u);
    EXPECT_EQ(r[2], ",20.0,0.0453,0.5491,0.0825,153.67,69.64\r");
    EXPECT_EQ(r[4], ",60.0,0.1836,1.5863,0.1158,193.59,355.49\r");
    EXPECT_EQ(righe(esegui({"--curva", "100000", "--formato", "si"}).uscita).size(), 100001u);

    // The exact section, for the table too: its full area is 4.5941 r².
    const Esito esatta = esegui({"--geometria", "esatta", "--formato", "si"});
    ASSERT_EQ(esatta.stato, 0);
    const auto righeEsatte = righe(esatta.uscita);
    ASSERT_EQ(righeEsatte.size(), 9u);
    const std::string piena = righeEsatte[6];
    const double area = std::stod(piena.substr(piena.find(',', 3) + 1));
    EXPECT_NEAR(area / 0.04, 4.5941, 5e-5);
    EXPECT_NE(righeEsatte[6], righe(esegui({"--formato", "si"}).uscita)[6]);
}

TEST(CliRisposte, LetturaRigorosa) {
    for (const std::vector<std::string>& argomenti :
         std::vector<std::vector<std::string>>{{"--portata", "abc"},
                                               {"--portata", "-3"},
                                               {"--portata", "0"},
                                               {"--velocita", "1e400"},
                                               {"--curva", "0"},
                                               {"--curva", "2.5"},
                                               {"--curva", "100001"},
                                               {"--curva", "1e9"},
                                               {"--geometria", "vera"},
                                               {"--geometria"},
                                               {"--curva", "10", "--portata", "100"}}) {
        const Esito e = esegui(argomenti);
        EXPECT_EQ(e.stato, 2) << argomenti[0] << " " << argomenti.back();
        EXPECT_EQ(e.uscita, "");
        EXPECT_EQ(std::count(e.errori.begin(), e.errori.end(), '\n'), 1) << e.errori;
    }
}

TEST(CliDocumento, OgniFormatoDallEstensione) {
    QTemporaryDir cartella;
    ASSERT_TRUE(cartella.isValid());
    for (const char* nome : {"r.docx", "r.odt", "r.pdf", "r.html"}) {
        const QString percorso = cartella.filePath(nome);
        const Esito e = esegui({"--documento", percorso.toStdString()});
        ASSERT_EQ(e.stato, 0) << nome << e.errori;
        EXPECT_EQ(righe(e.uscita).size(), 10u);
        QFile file(percorso);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << nome;
        const QByteArray contenuto = file.readAll();
        EXPECT_GT(contenuto.size(), 500) << nome;
        if (QString(nome).endsWith(".pdf")) {
            EXPECT_TRUE(contenuto.startsWith("%PDF")) << nome;
        } else if (QString(nome).endsWith(".html")) {
            EXPECT_TRUE(QString::fromUtf8(contenuto).contains("Massima velocità:"));
        } else {
            EXPECT_TRUE(contenuto.startsWith("PK")) << nome;
        }
    }
    QFile docx(cartella.filePath("r.docx"));
    ASSERT_TRUE(docx.open(QIODevice::ReadOnly));
    EXPECT_EQ(docx::tabelle(docx::leggi(docx.readAll())).size(), 3u);
}

TEST(CliDocumento, EstensioneSconosciutaECartellaMancante) {
    const Esito sconosciuta = esegui({"--documento", "relazione.txt"});
    EXPECT_EQ(sconosciuta.stato, 2);
    EXPECT_NE(sconosciuta.errori.find("--documento"), std::string::npos);

    QTemporaryDir cartella;
    const QString percorso = cartella.filePath("manca/r.docx");
    const Esito mancante = esegui({"--documento", percorso.toStdString()});
    EXPECT_EQ(mancante.stato, 1);
    EXPECT_EQ(mancante.uscita, "");
    EXPECT_NE(mancante.errori.find(percorso.toStdString()), std::string::npos);
    EXPECT_NE(mancante.errori.find("la cartella non esiste"), std::string::npos);
    EXPECT_FALSE(QFileInfo::exists(percorso));
}

TEST(CliFile, ComeScriviSuFileSenzaChiedere) {
    QTemporaryDir cartella;
    const QString percorso = cartella.filePath("risultati");
    ASSERT_EQ(esegui({"--file", percorso.toStdString()}).stato, 0);
    ASSERT_EQ(esegui({"--file", percorso.toStdString(), "--raggio", "30"}).stato, 0);
    QFile file(percorso + ".txt");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("TUBAZIONE INGLESE 60/90 \xC3\x98"
                                          "eq mm 30\n"));

    // A name that is not UTF-8 is written under its own bytes, and leaves
    // alone the file whose name would replace them by U+FFFD.
    const std::string cartellaByte = QFile::encodeName(cartella.path()).toStdString();
    const std::string sostituto = cartellaByte + "/r\xEF\xBF\xBD.txt";
    std::ofstream(sostituto) << "altro";
    ASSERT_EQ(esegui({"--file", cartellaByte + "/r\xFF.txt"}).stato, 0);
    std::ifstream scritto(cartellaByte + "/r\xFF.txt");
    std::string prima;
    std::getline(scritto, prima);
    EXPECT_EQ(prima, "TUBAZIONE INGLESE 40/60 \xC3\x98"
                     "eq mm 20");
    std::ifstream altro(sostituto);
    std::string intatto;
    std::getline(altro, intatto);
    EXPECT_EQ(intatto, "altro");

    const Esito mancante = esegui({"--file", cartella.filePath("no/r.csv").toStdString()});
    EXPECT_EQ(mancante.stato, 1);
    EXPECT_EQ(mancante.uscita, "");
    EXPECT_NE(mancante.errori.find("la cartella non esiste"), std::string::npos);
}

// The real program, in a process of its own, under faults injected into its
// writes or with an output that cannot take the results.
namespace {

struct EsitoProcesso {
    int stato;
    QString errori;
};

class CliProcesso : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(cartella.isValid()); }

    // Runs the program in the test's folder; `guasto` is
    // "operation:errno:path prefix", `comando` a shell line around it.
    EsitoProcesso esegui(const QStringList& argomenti, const QString& guasto = {},
                         const QString& uscita = "/dev/null", const QString& lingua = {}) {
        QProcess processo;
        processo.setWorkingDirectory(cartella.path());
        QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
        // As a desktop sets its language: every category at once.
        if (!lingua.isEmpty()) {
            ambiente.insert("LANG", lingua);
            ambiente.insert("LC_ALL", lingua);
        }
        if (!guasto.isEmpty()) {
            ambiente.insert("LD_PRELOAD", LIBRERIA_GUASTI);
            ambiente.insert("SEZIONE_GUASTO", guasto);
            // Under the sanitizers the injected library comes before theirs.
            ambiente.insert("ASAN_OPTIONS",
                            ambiente.value("ASAN_OPTIONS") + ":verify_asan_link_order=0");
        }
        processo.setProcessEnvironment(ambiente);
        processo.setStandardOutputFile(uscita);
        processo.start(PROGRAMMA_CLI, argomenti);
        processo.waitForFinished(60000);
        return {processo.exitStatus() == QProcess::NormalExit ? processo.exitCode() : -1,
                QString::fromUtf8(processo.readAllStandardError())};
    }

    QString file(const QString& nome) const { return cartella.filePath(nome); }
    void crea(const QString& nome, const QByteArray& contenuto) const {
        QFile f(file(nome));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contenuto);
    }
    QByteArray leggi(const QString& nome) const {
        QFile f(file(nome));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QStringList nomi() const {
        return QDir(cartella.path()).entryList(QDir::Files | QDir::System | QDir::Hidden);
    }

    QTemporaryDir cartella;
};

} // namespace

// Under an Italian desktop's language the files for machines (DXF, SVG,
// CSV, the SI values) are the very bytes written under the C locale, and so
// are the reports: their numbers follow the separator asked for, never the
// locale.
TEST_F(CliProcesso, FileUgualiSottoLaLinguaItaliana) {
    crea("linea.csv", "tratto,pozzetto_monte,pozzetto_valle,lunghezza,pendenza,quota_monte,raggio,"
                      "portata,terreno_monte,terreno_valle\n"
                      "T1.1,P1.1,P1.2,50.5,0.005,100.25,30,100,102.5,102.3\n"
                      "T1.2,P1.2,P1.3,60,0.004,,,120.5,102.3,102.1\n");
    const struct {
        QStringList argomenti;
        QString scritto; // the file written; empty: standard output
    } casi[] = {
        {{"--tratti", "linea.csv", "--profilo", "p.dxf"}, "p.dxf"},
        {{"--tratti", "linea.csv", "--profilo", "p.svg"}, "p.svg"},
        {{"--tratti", "linea.csv", "--formato", "csv"}, ""},
        {{"--raggio", "32.5", "--formato", "si"}, ""},
        {{"--raggio", "32.5", "--formato", "csv"}, ""},
        {{"--raggio", "32.5", "--file", "t.csv"}, "t.csv"},
        {{"--tratti", "linea.csv", "--relazione", "r.html"}, "r.html"},
        {{"--raggio", "32.5", "--separatore", "virgola", "--documento", "d.html"}, "d.html"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.argomenti.join(' ').toStdString());
        QByteArray testi[2];
        const QString lingue[2] = {"C", "it_IT.UTF-8"};
        for (int i = 0; i < 2; ++i) {
            const QString uscita = file("uscita.txt");
            ASSERT_EQ(esegui(c.argomenti, {}, uscita, lingue[i]).stato, 0);
            testi[i] = leggi(c.scritto.isEmpty() ? "uscita.txt" : c.scritto);
            QFile::remove(file(c.scritto.isEmpty() ? "uscita.txt" : c.scritto));
        }
        EXPECT_FALSE(testi[0].isEmpty());
        EXPECT_EQ(testi[0], testi[1]);
    }
}

// A full disk refuses the few bytes of a small file: the old file stays
// byte for byte, and the failure is no success.
TEST_F(CliProcesso, DiscoPienoLasciaIlVecchioFile) {
    for (const char* nome : {"t.txt", "r.docx", "r.odt"}) {
        SCOPED_TRACE(nome);
        crea(nome, "vecchio");
        const QString opzione = QString(nome).startsWith("t") ? "--file" : "--documento";
        const EsitoProcesso e = esegui({opzione, nome}, "write:28:" + cartella.path() + "/");
        EXPECT_EQ(e.stato, 1);
        EXPECT_TRUE(e.errori.contains("spazio esaurito sul disco")) << e.errori.toStdString();
        EXPECT_EQ(leggi(nome), "vecchio");
        EXPECT_EQ(nomi(), QStringList{nome});
        QFile::remove(file(nome));
    }
}

TEST_F(CliProcesso, SincronizzazioneFallitaEUnaScritturaFallita) {
    crea("r.pdf", "vecchio");
    const EsitoProcesso e =
        esegui({"--documento", "r.pdf", "--incremento", "1"}, "fsync:5:" + cartella.path() + "/");
    EXPECT_EQ(e.stato, 1);
    EXPECT_TRUE(e.errori.contains("«r.pdf»: errore di lettura o scrittura sul dispositivo."))
        << e.errori.toStdString();
    EXPECT_EQ(leggi("r.pdf"), "vecchio");
    EXPECT_EQ(nomi(), QStringList{"r.pdf"});
}

// Killed while the new file is on its way to the disk: the old file stays,
// and no half-written file is left beside it.
TEST_F(CliProcesso, UccisoMentreScriveNonLasciaNulla) {
    for (const char* nome : {"t.txt", "r.docx"}) {
        SCOPED_TRACE(nome);
        crea(nome, "vecchio");
        const QString opzione = QString(nome).startsWith("t") ? "--file" : "--documento";
        const EsitoProcesso e = esegui({opzione, nome}, "fsync:-9:" + cartella.path() + "/");
        EXPECT_EQ(e.stato, -1);
        EXPECT_EQ(leggi(nome), "vecchio");
        EXPECT_EQ(nomi(), QStringList{nome});
        QFile::remove(file(nome));
    }
}

TEST_F(CliProcesso, UscitaStandardNonScrivibile) {
    const EsitoProcesso piena = esegui({"--formato", "csv", "--incremento", "1"}, {}, "/dev/full");
    EXPECT_EQ(piena.stato, 1);
    EXPECT_EQ(piena.errori, "sezione-inglese-cli: impossibile scrivere i risultati sull'uscita "
                            "standard: spazio esaurito sul disco\n");
    EXPECT_EQ(esegui({"--help"}, {}, "/dev/full").stato, 1);

    // A closed standard output: the results file must not take its place.
    QProcess processo;
    processo.setWorkingDirectory(cartella.path());
    processo.start("/bin/sh", {"-c", QString("exec '%1' --file t.txt >&-").arg(PROGRAMMA_CLI)});
    processo.waitForFinished(60000);
    EXPECT_EQ(processo.exitCode(), 1);
    EXPECT_TRUE(processo.readAllStandardError().contains("uscita standard"));
    EXPECT_TRUE(leggi("t.txt").startsWith("TUBAZIONE INGLESE 40/60"));
    EXPECT_FALSE(leggi("t.txt").contains("ALTEZZA    AREA  CONT.BAGNATO  R.IDRAULICO         V"));
}

TEST_F(CliProcesso, DestinazioniCheNonSonoFile) {
    ASSERT_EQ(::mkfifo(file("coda.docx").toLocal8Bit().constData(), 0600), 0);
    ASSERT_EQ(::mkfifo(file("coda").toLocal8Bit().constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/null", file("nulla.pdf")));
    for (const QStringList& argomenti :
         {QStringList{"--documento", "coda.docx"}, QStringList{"--documento", "nulla.pdf"},
          QStringList{"--file", "coda"}, QStringList{"--file", "/dev/null"}}) {
        SCOPED_TRACE(argomenti.join(' ').toStdString());
        const EsitoProcesso e = esegui(argomenti);
        EXPECT_EQ(e.stato, 1);
        EXPECT_TRUE(e.errori.contains("non è un file ma")) << e.errori.toStdString();
    }
    struct stat info {};
    ASSERT_EQ(::stat(file("coda.docx").toLocal8Bit().constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_TRUE(QFileInfo(file("nulla.pdf")).isSymLink());
    EXPECT_EQ(nomi(), (QStringList{"coda", "coda.docx", "nulla.pdf"}));
    EXPECT_FALSE(QFileInfo::exists("/dev/null.txt"));
}

// Two outputs that name one file, however they name it, or an output that
// names an input, would write one over the other: refused before anything
// is written, naming both options; two files are two files.
TEST_F(CliProcesso, UnFileSoloPerUnaCosa) {
    const QByteArray progetto = R"({"formato": "sezione-inglese", "versione": 1})";
    crea("T12.sezione", progetto);
    crea("T12.txt", progetto);
    crea("linea.html", "tratto,pendenza,portata\nT1,0.01,10\n");
    crea("vecchio.pdf", "vecchio");
    ASSERT_TRUE(QFile::link("vecchio.pdf", file("collegamento.pdf")));
    ASSERT_TRUE(QFile::link("nuovo.pdf", file("verso-nuovo.pdf")));
    ASSERT_TRUE(QDir(cartella.path()).mkdir("sotto"));
    const QStringList prima = nomi();
    const QString assoluto = file("r.pdf");
    const struct {
        QStringList argomenti;
        QString errore;
    } casi[] = {
        {{"--tratti", "linea.html", "--profilo", "X.pdf", "--relazione", "X.pdf"},
         "--relazione «X.pdf» e --profilo «X.pdf» nominano lo stesso file: l'uno si scriverebbe "
         "sopra l'altro"},
        {{"--documento", "./r.pdf", "--relazione", assoluto},
         "--documento «./r.pdf» e --relazione «" + assoluto + "» nominano lo stesso file"},
        {{"--documento", "sotto/../r.html", "--relazione", "r.html"},
         "--documento «sotto/../r.html» e --relazione «r.html»"},
        {{"--relazione", "collegamento.pdf", "--documento", "vecchio.pdf"},
         "--documento «vecchio.pdf» e --relazione «collegamento.pdf»"},
        {{"--relazione", "verso-nuovo.pdf", "--file", "nuovo.pdf"},
         "--relazione «verso-nuovo.pdf» e --file «nuovo.pdf»"},
        {{"--progetto", "T12.sezione", "--file", "T12.sezione"},
         "--file «T12.sezione» e --progetto «T12.sezione» nominano lo stesso file: si "
         "scriverebbe sopra il file da leggere"},
        {{"--progetto", "T12.txt", "--file", "T12"}, "--file «T12» e --progetto «T12.txt»"},
        {{"--tratti", "linea.html", "--relazione", "./linea.html"},
         "--relazione «./linea.html» e --tratti «linea.html»"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.argomenti.join(' ').toStdString());
        const EsitoProcesso e = esegui(c.argomenti);
        EXPECT_EQ(e.stato, 2);
        EXPECT_TRUE(e.errori.startsWith("sezione-inglese-cli: " + c.errore))
            << e.errori.toStdString();
        EXPECT_EQ(nomi(), prima);
        EXPECT_EQ(leggi("vecchio.pdf"), "vecchio");
        EXPECT_EQ(leggi("T12.sezione"), progetto);
    }
    EXPECT_EQ(esegui({"--documento", "r.pdf", "--relazione", "sotto/r.pdf", "--file", "r"}).stato,
              0);
    EXPECT_TRUE(QFileInfo::exists(file("sotto/r.pdf")));
    QStringList scritti = prima + QStringList{"r.pdf", "r.txt"};
    scritti.sort(Qt::CaseInsensitive);
    EXPECT_EQ(nomi(), scritti);
}

// A reader that goes away before the end, as `| head` does: the program
// says so and fails, rather than dying of SIGPIPE in silence. (The output is
// far larger than a pipe holds, so the reader is gone before it ends.)
TEST_F(CliProcesso, LettoreChiusoPrimaDellaFine) {
    QProcess processo;
    processo.setWorkingDirectory(cartella.path());
    processo.start("/bin/sh", {"-c",
                               "(env --default-signal=PIPE \"$0\" --formato si --curva 100000;"
                               " echo $? >stato) | head -c 10 >/dev/null",
                               PROGRAMMA_CLI});
    processo.waitForFinished(60000);
    EXPECT_EQ(leggi("stato"), "1\n");
    EXPECT_EQ(processo.readAllStandardError(),
              "sezione-inglese-cli: impossibile scrivere i risultati sull'uscita standard: il "
              "lettore dei dati si è chiuso\n");
}

// On a read-only disk the message says so, not that the file is protected.
TEST_F(CliProcesso, DiscoInSolaLettura) {
    crea("t.txt", "vecchio");
    const EsitoProcesso e = esegui({"--file", "t.txt"}, "access:30:" + cartella.path() + "/");
    EXPECT_EQ(e.stato, 1);
    EXPECT_TRUE(e.errori.endsWith("/t.txt»: il disco è di sola lettura.\n"))
        << e.errori.toStdString();
    EXPECT_EQ(leggi("t.txt"), "vecchio");
}

// What was typed is quoted escaped: a value cannot drive the terminal, nor
// break the message into lines.
TEST(Cli, ValoriConCaratteriDiControlloEscapati) {
    const Esito valore = esegui({"--raggio", "2\x1b]0;x\x07\xff"});
    EXPECT_EQ(
        valore.errori,
        "sezione-inglese-cli: il valore di --raggio non è un numero: «2\\x1b]0;x\\x07\\xff»\n");
    const Esito opzione = esegui({"--boh\n--raggio"});
    EXPECT_EQ(opzione.errori,
              "sezione-inglese-cli: opzione sconosciuta: «--boh\\n--raggio» (vedere --help)\n");
}

// csv-it: the cells of csv for Italian spreadsheets, whatever is printed.
TEST(Cli, CsvItalianoGliStessiTestiConVirgolaDecimale) {
    for (const std::vector<std::string>& richiesta :
         std::vector<std::vector<std::string>>{{}, {"--portata", "370"}, {"--curva", "3"}}) {
        const auto nelFormato = [&](const std::string& formato) {
            std::vector<std::string> argomenti = richiesta;
            argomenti.insert(argomenti.end(), {"--formato", formato});
            return esegui(argomenti);
        };
        const Esito csv = nelFormato("csv");
        const Esito italiano = nelFormato("csv-it");
        ASSERT_EQ(italiano.stato, 0);
        ASSERT_EQ(italiano.uscita.substr(0, 3), "\xEF\xBB\xBF");
        std::string indietro = italiano.uscita.substr(3);
        std::replace(indietro.begin(), indietro.end(), ',', '.');
        std::replace(indietro.begin(), indietro.end(), ';', ',');
        EXPECT_EQ(indietro, csv.uscita);
    }
    const auto r = righe(esegui({"--formato", "csv-it"}).uscita);
    EXPECT_EQ(r[0], "\xEF\xBB\xBF;ALTEZZA;AREA;CONT.BAGNATO;R.IDRAULICO;V;Q\r");
    EXPECT_EQ(r[2], ";10,0;0,0164;0,3280;0,0501;107,87;17,71\r");
}

TEST(Cli, CsvItalianoTraVirgoletteSoloCiCheContieneIlSeparatore) {
    EXPECT_EQ(testoCsvItaliano({{"a;b", "c,d", "e\"f", "2.5"}}),
              "\xEF\xBB\xBF\"a;b\";c,d;\"e\"\"f\";2,5\r\n");
}

// Project files: the inputs come from the file, the options override them.
namespace {

// A project file in `cartella` whose parts are `corpo` (JSON members); the
// keys left out keep a new project's values.
std::string progettoDi(const QTemporaryDir& cartella, const std::string& corpo,
                       const char* nome = "T12.sezione") {
    const std::string percorso = cartella.filePath(nome).toStdString();
    std::ofstream(percorso) << R"({"formato": "sezione-inglese", "versione": 1, )" << corpo << "}";
    return percorso;
}

const std::string numeri =
    R"("ingressi": {"raggio": 30, "pendenza": 0.004, "coefficiente": 0.16, "incremento": 50})";
const std::vector<std::string> opzioniNumeri{"--pendenza", "0.004",        "--coefficiente",
                                             "0.16",       "--incremento", "50"};

std::vector<std::string> unite(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

// The table of a file is the table of the same values given as options, to
// the last bit, notes included; an option overrides the file wherever it stands.
TEST(CliProgetto, ComeLeStesseOpzioni) {
    QTemporaryDir cartella;
    const std::string voce = vociCoefficiente[2].testo;
    const struct {
        std::string corpo;
        std::vector<std::string> prima, dopo, opzioni;
    } casi[] = {
        {numeri, {}, {}, unite({"--raggio", "30"}, opzioniNumeri)},
        {R"("ingressi": {"raggio": "25cm", "incremento": "5e1"})",
         {},
         {},
         {"--raggio", "25", "--incremento", "50"}},
        {R"("ingressi": {"coefficiente": ")" + voce + R"("})", {}, {}, {"--coefficiente", "0.36"}},
        {numeri, {"--raggio", "40"}, {}, unite({"--raggio", "40"}, opzioniNumeri)},
        {numeri, {}, {"--raggio", "40"}, unite({"--raggio", "40"}, opzioniNumeri)},
        {R"("ingressi": {"incremento": 1000})", {}, {}, {"--incremento", "1000"}},
        // The file's geometry is the analysis window's: the table keeps the
        // table's formulas, as in the window; the line's applies to both.
        {R"("verifiche": {"geometria": "esatta"})", {}, {}, {}},
        {R"("verifiche": {"geometria": "tabellare"})",
         {"--geometria", "esatta"},
         {},
         {"--geometria", "esatta"}},
        // A value the line replaces may be missing or bad in the file.
        {R"("ingressi": {"raggio": null, "pendenza": "abc"})",
         {"--raggio", "40"},
         {"--pendenza", "0.02"},
         {"--raggio", "40", "--pendenza", "0.02"}},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.corpo);
        const std::string file = progettoDi(cartella, c.corpo);
        const Esito dalFile =
            esegui(unite(unite(c.prima, {"--progetto", file, "--formato", "si"}), c.dopo));
        const Esito attese = esegui(unite(c.opzioni, {"--formato", "si"}));
        ASSERT_EQ(dalFile.stato, 0) << dalFile.errori;
        EXPECT_EQ(dalFile.uscita, attese.uscita);
        EXPECT_EQ(dalFile.errori, attese.errori);
    }
}

// --verifiche prints what --portata and --velocita print for the file's
// design values; the options override them.
TEST(CliProgetto, VerificheComePortataEVelocita) {
    QTemporaryDir cartella;
    const struct {
        std::string verifiche;
        std::vector<std::string> riga, opzioni;
    } casi[] = {
        {R"("portataProgetto": 150, "velocitaProgetto": null)", {}, {"--portata", "150"}},
        {R"("portataProgetto": 150, "velocitaProgetto": "120")",
         {"--portata", "200"},
         {"--portata", "200", "--velocita", "120"}},
        {R"("portataProgetto": " ", "velocitaProgetto": 1e9)", {}, {"--velocita", "1e9"}},
        {R"("portataProgetto": "1,5", "geometria": "esatta")",
         {"--portata", "150"},
         {"--portata", "150", "--geometria", "esatta"}},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.verifiche);
        const std::string file =
            progettoDi(cartella, numeri + R"(, "verifiche": {)" + c.verifiche + "}");
        const Esito dalFile = esegui(unite({"--progetto", file, "--verifiche"}, c.riga));
        const Esito attese = esegui(unite(unite({"--raggio", "30"}, opzioniNumeri), c.opzioni));
        ASSERT_EQ(dalFile.stato, 0) << dalFile.errori;
        EXPECT_EQ(dalFile.uscita, attese.uscita);
        EXPECT_EQ(dalFile.errori, attese.errori);
    }

    const std::string senzaValori = progettoDi(cartella, numeri, "vuoto.sezione");
    const Esito e = esegui({"--progetto", senzaValori, "--verifiche", "--formato", "csv"});
    ASSERT_EQ(e.stato, 0);
    const auto r = righe(e.uscita);
    ASSERT_EQ(r.size(), 5u);
    EXPECT_EQ(r[2].substr(0, 6), "Piena,");
    EXPECT_EQ(r[4].substr(0, 5), "Qmax,");
    EXPECT_EQ(e.errori, "sezione-inglese-cli: nota: il progetto «" + senzaValori +
                            "» non ha né una portata né una velocità di progetto: solo la "
                            "sezione piena e i massimi\n");
}

TEST(CliProgetto, ValoriCheLaFinestraNonUsaEFileGuasti) {
    QTemporaryDir cartella;
    const std::string pessima = R"("verifiche": {"portataProgetto": "1.000,5"})";
    const struct {
        std::string corpo;
        std::vector<std::string> altre;
        std::string messaggio;
    } casi[] = {
        {R"("ingressi": {"raggio": "abc"})",
         {},
         "non ha un raggio positivo (ingressi.raggio: «abc»)"},
        {R"("ingressi": {"pendenza": -0.01})", {}, "(ingressi.pendenza: «-0.01»)"},
        {R"("ingressi": {"incremento": null})", {}, "(ingressi.incremento: vuoto)"},
        {R"("ingressi": {"coefficiente": "1e400"})", {}, "fuori dall'intervallo dei numeri)"},
        {pessima, {"--verifiche"}, "(verifiche.portataProgetto: «1.000,5»). Il numero ha sia"},
        {"\"ingressi\": [", {}, "Impossibile aprire «"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.corpo);
        const std::string file = progettoDi(cartella, c.corpo);
        const Esito e = esegui(unite({"--progetto", file}, c.altre));
        EXPECT_EQ(e.stato, 2);
        EXPECT_EQ(e.uscita, "");
        EXPECT_NE(e.errori.find(c.messaggio), std::string::npos) << e.errori;
        EXPECT_NE(e.errori.find("«" + file + "»"), std::string::npos) << e.errori;
        EXPECT_EQ(std::count(e.errori.begin(), e.errori.end(), '\n'), 1) << e.errori;
    }
    // A design value plays no part in the table: a bad one is no error there.
    EXPECT_EQ(esegui({"--progetto", progettoDi(cartella, pessima)}).stato, 0);

    const std::string buono = progettoDi(cartella, numeri);
    const struct {
        std::vector<std::string> argomenti;
        std::string messaggio;
    } usi[] = {
        {{"--verifiche", "--portata", "100"}, "--verifiche vale solo con --progetto"},
        {{"--progetto", buono, "--verifiche", "--curva", "3"},
         "insieme a --portata, --velocita, --portata-minima o --verifiche"},
    };
    for (const auto& u : usi) {
        const Esito e = esegui(u.argomenti);
        EXPECT_EQ(e.stato, 2);
        EXPECT_EQ(e.uscita, "");
        EXPECT_NE(e.errori.find(u.messaggio), std::string::npos) << e.errori;
    }
}

// The real program reads the file as the test does.
TEST_F(CliProcesso, ProgettoComeLeStesseOpzioni) {
    crea("T12.sezione", QByteArray::fromStdString(
                            R"({"formato": "sezione-inglese", "versione": 1, )" + numeri + "}"));
    const EsitoProcesso e =
        esegui({"--progetto", "T12.sezione", "--formato", "si"}, {}, file("uscita.csv"));
    ASSERT_EQ(e.stato, 0) << e.errori.toStdString();
    EXPECT_EQ(leggi("uscita.csv").toStdString(),
              ::esegui(unite({"--raggio", "30", "--formato", "si"}, opzioniNumeri)).uscita);
}

// --portata-minima: the row Qmin after the design rows; a minimum flow
// never reached has a note. A project's portataMinima answers with
// --verifiche as the option does.
TEST(CliProgetto, PortataMinimaLaRigaQmin) {
    const Esito e = esegui(
        {"--portata-minima", "8", "--velocita", "100", "--portata", "370", "--formato", "csv"});
    std::vector<std::string> etichette;
    for (const std::string& riga : righe(e.uscita)) {
        etichette.push_back(riga.substr(0, riga.find(',')));
    }
    EXPECT_EQ(etichette, (std::vector<std::string>{"", "", "Q1", "Q2", "V1", "Qmin", "Piena",
                                                   "Vmax", "Qmax"}));
    EXPECT_EQ(esegui({"--portata-minima", "500"}).errori,
              "sezione-inglese-cli: nota: nessuna altezza con portata minima 500 l/s; la portata "
              "massima della sezione è 378.07 l/s\n");

    QTemporaryDir cartella;
    const std::string file =
        progettoDi(cartella, numeri + R"(, "verifiche": {"portataMinima": 8})");
    const Esito dalFile = esegui({"--progetto", file, "--verifiche"});
    ASSERT_EQ(dalFile.stato, 0) << dalFile.errori;
    EXPECT_EQ(
        dalFile.uscita,
        esegui(unite(unite({"--raggio", "30"}, opzioniNumeri), {"--portata-minima", "8"})).uscita);
    const Esito pessimo =
        esegui({"--progetto", progettoDi(cartella, R"("verifiche": {"portataMinima": "8,5,5"})"),
                "--verifiche"});
    EXPECT_NE(pessimo.errori.find("(verifiche.portataMinima: «8,5,5»)"), std::string::npos);
}

// --relazione writes the calculation report in the format of its
// extension, from a project or from the options, with what was typed.
TEST(CliRelazione, InOgniFormato) {
    QTemporaryDir cartella;
    const std::string file = progettoDi(
        cartella, R"("ingressi": {"raggio": 30, "pendenza": 0.00035, "incremento": "5e1"},
                     "verifiche": {"portataProgetto": 150, "portataMinima": 8},
                     "progetto": {"opera": "Collettore via Roma", "progettista": "Ing. Rossi"})");
    const auto contenuto = [&](const char* nome) {
        QFile f(cartella.filePath(nome));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const std::vector<QByteArray> attesi{
        "Relazione di calcolo idraulico", "Collettore via Roma", "0.00035",     "5e1",
        "C = 87 √R / (√R + γ)",           "Figura 1 – ",         "Figura 2 – ", "verificata"};
    for (const char* nome : {"r.docx", "r.odt", "r.html", "r.pdf"}) {
        SCOPED_TRACE(nome);
        const Esito e =
            esegui({"--progetto", file, "--relazione", cartella.filePath(nome).toStdString()});
        ASSERT_EQ(e.stato, 0) << e.errori;
        const QByteArray byte = contenuto(nome);
        if (QByteArray(nome).endsWith("pdf")) {
            EXPECT_TRUE(byte.startsWith("%PDF") && byte.contains("/Author")); // text compressed
            continue;
        }
        QByteArray testo = byte;
        int figure = byte.count("<img");
        if (!QByteArray(nome).endsWith("html")) {
            const auto parti = docx::parti(byte);
            testo = parti.count("word/document.xml") ? parti.at("word/document.xml")
                                                     : parti.at("content.xml");
            testo += parti.count("docProps/core.xml") ? parti.at("docProps/core.xml")
                                                      : parti.at("meta.xml");
            figure = static_cast<int>(std::count_if(parti.begin(), parti.end(), [](const auto& p) {
                return p.first.endsWith(".png");
            }));
        }
        for (const QByteArray& atteso : attesi) {
            EXPECT_TRUE(testo.contains(atteso)) << atteso.toStdString();
        }
        EXPECT_TRUE(testo.contains("Ing. Rossi"));
        EXPECT_EQ(figure, 2);
    }
    EXPECT_EQ(esegui({"--relazione", cartella.filePath("r.txt").toStdString()}).stato, 2);
    const Esito opzioni = esegui({"--raggio", "25", "--portata", "1.2e2", "--relazione",
                                  cartella.filePath("o.html").toStdString()});
    ASSERT_EQ(opzioni.stato, 0) << opzioni.errori;
    EXPECT_TRUE(contenuto("o.html").contains("1.2e2"));
}

// Bazin's coefficient given by --scabrezza is --coefficiente's, and the
// default table stays what it was to the last bit.
TEST(CliLeggi, BazinComePrimaAllUltimoBit) {
    const std::string predefinita = esegui({"--formato", "si"}).uscita;
    for (const std::vector<std::string>& argomenti : std::vector<std::vector<std::string>>{
             {"--legge", "bazin"},
             {"--scabrezza", "0.18"},
             {"--coefficiente", "0.18", "--legge", "bazin", "--scabrezza", "0.18"}}) {
        EXPECT_EQ(esegui(unite(argomenti, {"--formato", "si"})).uscita, predefinita);
    }
    EXPECT_EQ(esegui({"--scabrezza", "0.3", "--formato", "si"}).uscita,
              esegui({"--coefficiente", "0.3", "--formato", "si"}).uscita);
}

// A law reaches every output: the results file, the calculation report, and
// a project's table, whose Bazin coefficient then plays no part.
TEST(CliLeggi, IlFileLaRelazioneEIlProgettoSeguonoLaLegge) {
    QTemporaryDir cartella;
    const std::string csv = cartella.filePath("r.csv").toStdString();
    const std::vector<std::string> manning{"--legge", "manning", "--scabrezza", "0.013"};
    const Esito tabella = esegui(unite(manning, {"--formato", "csv", "--file", csv}));
    ASSERT_EQ(tabella.stato, 0) << tabella.errori;
    std::ifstream file(csv);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), tabella.uscita);
    EXPECT_NE(tabella.uscita, esegui({"--formato", "csv"}).uscita);

    const std::string html = cartella.filePath("r.html").toStdString();
    const Esito minima = esegui(unite(manning, {"--portata-minima", "8", "--relazione", html}));
    ASSERT_EQ(minima.stato, 0) << minima.errori;
    EXPECT_NE(righe(minima.uscita)[2].find("85.56"), std::string::npos) << minima.uscita;
    std::ifstream relazione(html);
    EXPECT_NE(std::string(std::istreambuf_iterator<char>(relazione), {}).find("V = 85.56 cm/s"),
              std::string::npos);

    const std::string progetto = progettoDi(cartella, numeri);
    EXPECT_EQ(esegui(unite({"--progetto", progetto, "--formato", "si"}, manning)).uscita,
              esegui(unite({"--raggio", "30", "--pendenza", "0.004", "--incremento", "50",
                            "--formato", "si"},
                           manning))
                  .uscita);
}

TEST(CliLeggi, ErroriDUso) {
    const struct {
        std::vector<std::string> argomenti;
        std::string messaggio;
    } casi[] = {
        {{"--legge", "chezy"}, "legge sconosciuta per --legge: «chezy»"},
        {{"--legge", "kutter"}, "manca --scabrezza: la legge di Kutter richiede"},
        {{"--legge", "colebrook", "--scabrezza", "0"}, "--scabrezza deve essere maggiore di zero"},
        {{"--scabrezza", "0.013", "--legge", "manning", "--coefficiente", "0.18"},
         "--coefficiente è il coefficiente di Bazin"},
        {{"--scabrezza", "0.2", "--coefficiente", "0.18"}, "due coefficienti di Bazin diversi"},
        {{"--scabrezza", "6"}, "legge di Bazin: «6» (γ in m½, da 0.01 a 5)"},
        {{"--legge", "strickler", "--scabrezza", "9"},
         "legge di Gauckler–Strickler: «9» (Ks in m¹ᐟ³/s, da 10 a 150)"},
        {{"--legge", "manning", "--scabrezza", "0.5"}, "legge di Manning: «0.5»"},
        {{"--legge", "colebrook", "--scabrezza", "101"}, "legge di Colebrook–White: «101»"},
        {{"--legge", "kutter", "--scabrezza", "0.35", "--temperatura", "20"},
         "--temperatura vale solo con --legge colebrook"},
        {{"--legge", "colebrook", "--scabrezza", "1", "--temperatura", "-1"},
         "--temperatura è fuori dall'intervallo da 0 a 40 °C: «-1»"},
    };
    for (const auto& c : casi) {
        const Esito e = esegui(c.argomenti);
        EXPECT_EQ(e.stato, 2) << c.messaggio;
        EXPECT_EQ(e.uscita, "");
        EXPECT_NE(e.errori.find(c.messaggio), std::string::npos) << e.errori;
        EXPECT_EQ(std::count(e.errori.begin(), e.errori.end(), '\n'), 1) << e.errori;
    }
    for (const char* temperatura : {"0", "40"}) {
        EXPECT_EQ(esegui({"--legge", "colebrook", "--scabrezza", "1", "--temperatura", temperatura})
                      .stato,
                  0);
    }
}

// A project's law is its analysis window's: the answers follow it, the
// table keeps Bazin; a law on the line is for everything.
TEST(CliProgetto, LaLeggeDelProgettoPerLeRisposte) {
    QTemporaryDir cartella;
    const std::string file = progettoDi(
        cartella, numeri + R"(, "verifiche": {"legge": "manning", "scabrezza": "0.013: cls",
                                               "portataProgetto": 150})");
    const auto uscita = [](const std::vector<std::string>& argomenti) {
        const Esito e = esegui(unite(argomenti, {"--formato", "si"}));
        EXPECT_EQ(e.stato, 0) << e.errori;
        return e.uscita;
    };
    const std::vector<std::string> comeFile = unite({"--raggio", "30"}, opzioniNumeri);
    EXPECT_EQ(uscita({"--progetto", file}), uscita(comeFile));
    EXPECT_EQ(uscita({"--progetto", file, "--verifiche"}),
              uscita({"--raggio", "30", "--pendenza", "0.004", "--incremento", "50", "--portata",
                      "150", "--legge", "manning", "--scabrezza", "0.013"}));
    // Bazin's γ on the line is the table's; it leaves another law alone,
    // and is Bazin's for the answers too.
    EXPECT_EQ(uscita({"--progetto", file, "--verifiche", "--coefficiente", "0.2"}),
              uscita({"--raggio", "30", "--pendenza", "0.004", "--incremento", "50", "--portata",
                      "150", "--legge", "manning", "--scabrezza", "0.013"}));
    const std::string bazin =
        progettoDi(cartella, numeri + R"(, "verifiche": {"legge": "bazin", "scabrezza": 0.46,
                                               "portataProgetto": 150})",
                   "bazin.sezione");
    EXPECT_EQ(uscita({"--progetto", bazin, "--verifiche", "--coefficiente", "0.2"}),
              uscita({"--raggio", "30", "--pendenza", "0.004", "--incremento", "50", "--portata",
                      "150", "--coefficiente", "0.2"}));
    const std::string sbagliato =
        progettoDi(cartella, numeri + R"(, "verifiche": {"legge": "manning", "scabrezza": 5})",
                   "sbagliato.sezione");
    const Esito e = esegui({"--progetto", sbagliato});
    EXPECT_EQ(e.stato, 2);
    EXPECT_TRUE(e.errori.find("verifiche.scabrezza") != std::string::npos) << e.errori;
}

// A line of reaches: --tratti.
namespace {

std::string lineaDi(const QTemporaryDir& cartella, const std::string& testo,
                    const char* nome = "linea.csv") {
    const std::string percorso = cartella.filePath(nome).toStdString();
    std::ofstream(percorso) << testo;
    return percorso;
}

std::string esatto(double valore) {
    char cifre[32];
    return {cifre, std::to_chars(cifre, cifre + sizeof cifre, valore).ptr};
}

// The fields of a line up to the first quote, without its line end.
std::vector<std::string> campiCsv(std::string linea) {
    linea = linea.substr(0, std::min(linea.find('"'), linea.find('\r')));
    std::vector<std::string> campi(1);
    for (const char c : linea) {
        if (c == ',') {
            campi.emplace_back();
        } else {
            campi.back().push_back(c);
        }
    }
    return campi;
}

const std::string lineaDiProva = "tratto,pendenza,raggio,portata,portata_minima\n"
                                 "T1,0.005,30,150,8\n"
                                 "T2,0.005,,300,12\n"
                                 "T3,0.0005,20,20,0.5\n";

} // namespace

// Each reach's heights are those --portata and --portata-minima print for
// its radius, slope and law (its own or the line's), to the last digit.
TEST(CliTratti, LeAltezzeDiPortataEPortataMinima) {
    const std::optional<unsigned> s = seme();
    ASSERT_TRUE(s);
    std::mt19937 generatore(*s);
    const std::string leggi[][2] = {{"", ""},
                                    {"bazin", "0.46"},
                                    {"kutter", "0.35"},
                                    {"strickler", "75"},
                                    {"manning", "0.013"},
                                    {"colebrook", "1"}};
    const std::vector<std::string> geometria = {
        "--geometria",
        std::uniform_int_distribution<int>(0, 1)(generatore) ? "esatta" : "tabellare"};
    std::uniform_real_distribution<double> raggio(15, 120), pendenza(-3.5, -1.3), portata(0, 3.5),
        quota(-0.1, 0.3);
    std::uniform_int_distribution<std::size_t> legge(0, std::size(leggi) - 1);
    std::string testo = "tratto,raggio,pendenza,portata,portata_minima,legge,scabrezza\n";
    std::vector<std::vector<std::string>> singoli;
    for (int i = 0; i < 20; ++i) {
        const auto& l = leggi[legge(generatore)];
        const double q = std::pow(10.0, portata(generatore));
        const double minima = q * quota(generatore);
        std::vector<std::string> opzioni = {
            "--raggio",   esatto(raggio(generatore)),
            "--pendenza", esatto(std::pow(10.0, pendenza(generatore))),
            "--portata",  esatto(q)};
        testo += "T," + opzioni[1] + "," + opzioni[3] + "," + opzioni[5] + ",";
        if (minima > 0) {
            opzioni.insert(opzioni.end(), {"--portata-minima", esatto(minima)});
            testo += opzioni.back();
        }
        testo += "," + l[0] + "," + l[1] + "\n";
        if (!l[0].empty()) {
            opzioni.insert(opzioni.end(), {"--legge", l[0], "--scabrezza", l[1]});
        }
        singoli.push_back(unite(unite(opzioni, geometria), {"--formato", "si"}));
    }
    QTemporaryDir cartella;
    const Esito linea =
        esegui(unite({"--tratti", lineaDi(cartella, testo), "--formato", "csv"}, geometria));
    ASSERT_EQ(linea.stato, 0) << linea.errori;
    const auto esiti = righe(linea.uscita);
    ASSERT_EQ(esiti.size(), singoli.size() + 1);
    for (std::size_t i = 0; i < singoli.size(); ++i) {
        SCOPED_TRACE(esiti[i + 1]);
        const std::vector<std::string> campi = campiCsv(esiti[i + 1]);
        // Height (cm) and velocity (cm/s) of Q1 and of Qmin, to the six
        // digits the file gives them, empty where the flow is never reached.
        std::vector<std::string> attesi(4), trovati = {campi[7], campi[9], campi[11], campi[12]};
        for (const std::string& riga : righe(esegui(singoli[i]).uscita)) {
            const std::vector<std::string> si = campiCsv(riga);
            if (si[1] == "Q1" || si[1] == "Qmin") {
                const std::size_t k = si[1] == "Q1" ? 0 : 2;
                attesi[k] = SeiCifre(std::stod(si[2]) * 100);
                attesi[k + 1] = SeiCifre(std::stod(si[7]) * 100);
            }
        }
        EXPECT_EQ(trovati, attesi);
    }
}

TEST(CliTratti, ErroriDUsoEFileGuasti) {
    QTemporaryDir cartella;
    const std::string buona = lineaDi(cartella, lineaDiProva);
    const std::string guasta = lineaDi(cartella, lineaDiProva + "T4,0.01,,-5,\n", "guasta.csv");
    const std::string colorata =
        lineaDi(cartella, lineaDiProva + "\x1B[31mT4,0.01,,5,\n", "colorata.csv");
    const std::string anello = lineaDi(cartella,
                                       "tratto,pozzetto_monte,pozzetto_valle,pendenza,portata\n"
                                       "A,P1,P2,0.01,50\nB,P2,P1,0.01,50\n",
                                       "anello.csv");
    const std::string terreni = lineaDi(cartella,
                                        "tratto,pozzetto_monte,terreno_monte,pendenza,portata\n"
                                        "A,P1,101,0.01,50\nB,P1,102,0.01,50\n",
                                        "terreni.csv");
    const struct {
        std::vector<std::string> argomenti;
        std::string messaggio;
    } casi[] = {
        {{"--formato", "si"}, "--formato si non vale con --tratti"},
        {{"--raggio", "30"}, "--raggio non si può dare insieme a --tratti"},
        {{"--portata-minima", "3"}, "--portata-minima non si può dare insieme a --tratti"},
        {{"--catalogo", "30,,40"}, "--catalogo ha un raggio vuoto"},
        {{"--catalogo", "30,-40"}, "--catalogo deve essere maggiore di zero: «-40»"},
        {{"--velocita-minima", "0"}, "--velocita-minima deve essere maggiore di zero"},
        {{"--riempimento-massimo", "70%"}, "--riempimento-massimo non è un numero"},
        {{"--riempimento-massimo", "150"}, "--riempimento-massimo è una parte dell'altezza"},
        {{"--progetto", progettoDi(cartella, R"("verifiche": {"riempimentoMassimo": 150})")},
         "verifiche.riempimentoMassimo: «150»): al più 100"},
        {{"--tratti", cartella.filePath("nessuno.csv").toStdString()}, "il file non esiste"},
        {{"--tratti", guasta},
         "«" + guasta + "», riga 5, colonna «portata»: deve essere maggiore di zero: «-5»\n"},
        {{"--tratti", anello},
         "la rete non è un albero: righe 2 e 3: i tratti «A», «B» formano un anello, chiuso "
         "al pozzetto «P1»"},
        {{"--tratti", terreni}, "«P1»"},
        {{"--allineamento", "cielo"}, "allineamento sconosciuto per --allineamento: «cielo»"},
        {{"--tratti", colorata},
         "riga 5, colonna «tratto»: contiene un carattere di controllo (U+001B), che non è "
         "ammesso\n"},
    };
    for (const auto& c : casi) {
        const Esito e = esegui(unite({"--tratti", buona}, c.argomenti));
        EXPECT_EQ(e.stato, 2) << c.messaggio;
        EXPECT_EQ(e.uscita, "");
        EXPECT_NE(e.errori.find(c.messaggio), std::string::npos) << e.errori;
        EXPECT_EQ(std::count(e.errori.begin(), e.errori.end(), '\n'), 1) << e.errori;
    }
    const Esito senza = esegui({"--velocita-massima", "300"});
    EXPECT_EQ(senza.stato, 2);
    EXPECT_NE(senza.errori.find("--velocita-massima vale solo con --tratti"), std::string::npos);
}

// A value no sewer can have is refused where it is read, with its range,
// from a file, an option or a project; nothing of the line is printed.
TEST(CliTratti, UnValoreFuoriMisuraRifiutatoConIlSuoIntervallo) {
    QTemporaryDir cartella;
    const std::string linea =
        lineaDi(cartella, "tratto,lunghezza,quota_monte,quota_valle,raggio,portata\n"
                          "T1,100,102,101,30,150\nT2,4e-320,102,101,,150\n");
    const std::string buona = lineaDi(cartella, lineaDiProva, "buona.csv");
    const std::string profonda = progettoDi(cartella, R"("rete": {"profondita_massima": 0})");
    const struct {
        std::vector<std::string> argomenti;
        std::string motivo;
    } casi[] = {
        {{"--tratti", linea},
         "riga 3, colonna «lunghezza»: fuori dall'intervallo ammesso (da 0.01 a 100000 m): "
         "«4e-320»"},
        {{"--tratti", buona, "--catalogo", "25,1e300"},
         "il valore di --catalogo è fuori dall'intervallo ammesso (da 1 a 1000 cm): «1e300»"},
        {{"--tratti", buona, "--salto-massimo", "1e9"}, "(maggiore di 0 e al più 100 m)"},
        {{"--tratti", buona, "--progetto", profonda},
         "(rete.profondita_massima: «0»). Serve un numero maggiore di 0 e al più 100 m."},
    };
    for (const auto& c : casi) {
        const Esito e = esegui(c.argomenti);
        EXPECT_EQ(e.stato, 2) << c.motivo;
        EXPECT_EQ(e.uscita, "");
        EXPECT_NE(e.errori.find(c.motivo), std::string::npos) << e.errori;
    }
}

// The limits and the law come from the project unless the options give
// them; reaches that fail still exit with 0.
TEST(CliTratti, LimitiELeggeDalProgettoODalleOpzioni) {
    QTemporaryDir cartella;
    const std::string linea = lineaDi(cartella, lineaDiProva);
    const std::string progetto =
        progettoDi(cartella, R"("ingressi": {"raggio": null}, "verifiche": {"velocitaMinima": 70,
                     "riempimentoMassimo": "60", "legge": "manning", "scabrezza": 0.013})");
    const std::vector<std::string> comeProgetto = {
        "--velocita-minima", "70",      "--riempimento-massimo", "60",
        "--legge",           "manning", "--scabrezza",           "0.013"};
    const auto uscita = [&](const std::vector<std::string>& argomenti) {
        const Esito e = esegui(unite({"--tratti", linea, "--formato", "csv"}, argomenti));
        EXPECT_EQ(e.stato, 0) << e.errori;
        return e.uscita;
    };
    EXPECT_EQ(uscita({"--progetto", progetto}), uscita(comeProgetto));
    EXPECT_NE(uscita(comeProgetto), uscita({}));
    EXPECT_EQ(uscita({"--progetto", progetto, "--velocita-minima", "40"}),
              uscita({"--velocita-minima", "40", "--riempimento-massimo", "60", "--legge",
                      "manning", "--scabrezza", "0.013"}));

    // The project's catalogue, unless the line gives one.
    const std::string conCatalogo =
        progettoDi(cartella, R"("catalogo": [45, 100])", "catalogo.sezione");
    EXPECT_EQ(uscita({"--progetto", conCatalogo}), uscita({"--catalogo", "100,45"}));
    EXPECT_EQ(uscita({"--progetto", conCatalogo, "--catalogo", "35"}),
              uscita({"--catalogo", "35"}));

    const auto esiti = righe(uscita({"--catalogo", "100,45"}));
    ASSERT_EQ(esiti.size(), 4u);
    EXPECT_EQ(campiCsv(esiti[1])[3], "30");
    EXPECT_EQ(campiCsv(esiti[2])[3], "45");
    EXPECT_EQ(campiCsv(esiti[2])[4], "si");
    EXPECT_EQ(campiCsv(esiti[3])[20], "non verificato");
    EXPECT_EQ(esegui({"--tratti", linea, "--formato", "csv-it"}).uscita.substr(0, 10),
              "\xEF\xBB\xBFtratto;");
    EXPECT_EQ(esegui({"--tratti", linea}).uscita.substr(0, 7), "TRATTO ");
}

// A reach the report cannot compute is named on standard error too; the
// report is written all the same.
TEST(CliTratti, RelazioneConUnTrattoNonCalcolato) {
    QTemporaryDir cartella;
    const std::string progetto =
        progettoDi(cartella, R"("tratti": [{"tratto": "T1", "pendenza": 0.005, "portata": 150},
                               {"tratto": "T2", "pendenza": "-0.01", "portata": 300}])");
    const Esito e =
        esegui({"--progetto", progetto, "--relazione", cartella.filePath("r.html").toStdString()});
    EXPECT_EQ(e.stato, 0);
    EXPECT_EQ(e.errori, "sezione-inglese-cli: nota: tratto non calcolato nella relazione: T2, "
                        "«pendenza»: deve essere maggiore di zero: «-0.01»\n");
}

// --relazione with --tratti reports the very line the results print: its
// reaches' verdicts, and the criteria and law the options gave.
TEST(CliTratti, RelazioneDellaLinea) {
    QTemporaryDir cartella;
    const std::string linea = lineaDi(cartella, lineaDiProva);
    const std::string html = cartella.filePath("linea.html").toStdString();
    const std::vector<std::string> criteri = {
        "--riempimento-massimo", "60",    "--legge",    "manning",
        "--scabrezza",           "0.013", "--catalogo", "100,45"};
    const Esito e =
        esegui(unite({"--tratti", linea, "--formato", "csv", "--relazione", html}, criteri));
    ASSERT_EQ(e.stato, 0) << e.errori;
    EXPECT_EQ(e.uscita, esegui(unite({"--tratti", linea, "--formato", "csv"}, criteri)).uscita);
    QTextDocument letto;
    std::ifstream file(html);
    letto.setHtml(QString::fromStdString(std::string(std::istreambuf_iterator<char>(file), {})));
    const QString testo = letto.toPlainText();
    int verificati = 0;
    for (const std::string& riga : righe(e.uscita)) {
        verificati += campiCsv(riga)[20] == "verificato";
    }
    const std::string sommario = "3 tratti: " + std::to_string(verificati) + " verificat" +
                                 (verificati == 1 ? "o, " : "i, ") +
                                 std::to_string(3 - verificati) + " non verificat" +
                                 (verificati == 2 ? "o." : "i.");
    for (const std::string& atteso :
         {std::string("4 Verifica della rete"), std::string("60 %"),
          std::string("Manning, n = 0.013"), std::string("45, 100"), sommario}) {
        EXPECT_TRUE(testo.contains(QString::fromStdString(atteso))) << atteso;
    }
}

namespace {

std::string contenuto(const std::string& percorso) {
    std::ifstream file(percorso);
    return {std::istreambuf_iterator<char>(file), {}};
}

// The texts of an SVG, in the order they are drawn.
std::vector<std::string> testiSvg(const std::string& svg) {
    static const QRegularExpression testo(">([^<]*)</text>");
    std::vector<std::string> testi;
    for (const QRegularExpressionMatch& m : testo.globalMatch(QString::fromStdString(svg))) {
        testi.push_back(m.captured(1).toStdString());
    }
    return testi;
}

// The rows of an HTML document's tables, each as its cells' texts.
std::vector<std::vector<std::string>> righeHtml(const std::string& html) {
    const auto opzioni = QRegularExpression::DotMatchesEverythingOption;
    static const QRegularExpression riga("<tr.*?</tr>", opzioni);
    static const QRegularExpression cella("<t[dh].*?</t[dh]>", opzioni);
    static const QRegularExpression marca("<[^>]*>");
    std::vector<std::vector<std::string>> righe;
    for (const QRegularExpressionMatch& r : riga.globalMatch(QString::fromStdString(html))) {
        std::vector<std::string> celle;
        for (const QRegularExpressionMatch& c : cella.globalMatch(r.captured())) {
            celle.push_back(c.captured().remove(marca).trimmed().toStdString());
        }
        righe.push_back(std::move(celle));
    }
    return righe;
}

// A line of two reaches from P1 to P3, as a project's rows and as a file.
const std::string trattiDiProva =
    R"("tratti": [{"tratto": "A", "pozzetto_monte": "P1", "pozzetto_valle": "P2",
                   "lunghezza": 40, "pendenza": 0.005, "quota_monte": 100, "portata": 30},
                  {"tratto": "B", "pozzetto_monte": "P2", "pozzetto_valle": "P3",
                   "lunghezza": 50, "pendenza": 0.005, "portata": 60}])";
const std::string fileDiProva = "tratto,pozzetto_monte,pozzetto_valle,lunghezza,pendenza,"
                                "quota_monte,portata\n"
                                "A,P1,P2,40,0.005,100,30\n"
                                "B,P2,P3,50,0.005,,60\n";

} // namespace

// One project, one line: the filling h/H of each reach is the same in the
// profile, in the calculation report and in the results of --tratti, under
// the project's law whatever the table's Bazin γ.
TEST(CliProgetto, LaStessaLineaNelProfiloNellaRelazioneENeiTratti) {
    QTemporaryDir cartella;
    const std::string dir = cartella.path().toStdString() + "/";
    const std::string linea = lineaDi(cartella, fileDiProva);
    const struct {
        const char* legge;
        std::vector<std::string> opzioni;
    } casi[] = {
        {R"("legge": "strickler", "scabrezza": 70)", {}},
        {R"("legge": "manning", "scabrezza": 0.013)", {}},
        {R"("legge": "bazin", "scabrezza": 0.46)", {}},
        {R"("legge": "bazin", "scabrezza": 0.46)", {"--coefficiente", "0.3"}},
        {R"("legge": "kutter", "scabrezza": 0.35)", {"--legge", "strickler", "--scabrezza", "60"}},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.legge);
        const std::string progetto =
            progettoDi(cartella, R"("ingressi": {"coefficiente": 0.16}, "verifiche": {)" +
                                     std::string(c.legge) + "}, " + trattiDiProva);
        const Esito tratti = esegui(
            unite({"--tratti", linea, "--progetto", progetto, "--formato", "csv"}, c.opzioni));
        ASSERT_EQ(tratti.stato, 0) << tratti.errori;
        ASSERT_EQ(esegui(unite({"--progetto", progetto, "--profilo", dir + "p.svg", "--relazione",
                                dir + "r.html"},
                               c.opzioni))
                      .stato,
                  0);
        std::vector<std::string> nelProfilo, nellaRelazione, attesiProfilo, attesiRelazione;
        const std::vector<std::string> esiti = righe(tratti.uscita);
        for (auto riga = esiti.begin() + 1; riga != esiti.end(); ++riga) {
            const double riempimento = std::stod(campiCsv(*riga)[8]);
            attesiProfilo.push_back(Format(riempimento / 100, "0.00"));
            attesiRelazione.push_back(Format(riempimento, "0.0"));
        }
        const std::vector<std::string> testi = testiSvg(contenuto(dir + "p.svg"));
        static const QRegularExpression sezione("^\\d+/\\d+$");
        for (std::size_t k = 0; k + 2 < testi.size(); ++k) {
            // Under each reach, its section ("50/75"), its flow, its h/H.
            if (sezione.match(QString::fromStdString(testi[k])).hasMatch()) {
                nelProfilo.push_back(testi[k + 2]);
            }
        }
        std::size_t colonna = 0;
        for (const std::vector<std::string>& riga : righeHtml(contenuto(dir + "r.html"))) {
            const auto hH = std::find(riga.begin(), riga.end(), "h/H");
            if (hH != riga.end()) {
                colonna = static_cast<std::size_t>(hH - riga.begin());
            } else if (colonna > 0 && riga.size() > colonna && (riga[0] == "A" || riga[0] == "B")) {
                nellaRelazione.push_back(riga[colonna]);
            }
        }
        EXPECT_EQ(nelProfilo, attesiProfilo);
        EXPECT_EQ(nellaRelazione, attesiRelazione);
    }
}

// --tratti with --progetto: the file's reaches under the project's manholes
// and rules, as if the file gave the ground levels and the options the
// rules; the options still override the project.
TEST(CliTratti, IPozzettiELeRegoleDelProgetto) {
    QTemporaryDir cartella;
    const std::string senza = lineaDi(cartella, fileDiProva, "senza.csv");
    const std::string terreni = "tratto,pozzetto_monte,pozzetto_valle,lunghezza,pendenza,"
                                "quota_monte,portata,terreno_monte,terreno_valle\n";
    const std::string con =
        lineaDi(cartella, terreni + "A,P1,P2,40,0.005,100,30,102,\nB,P2,P3,50,0.005,,60,,101.3\n",
                "con.csv");
    const std::string valle =
        lineaDi(cartella, terreni + "A,P1,P2,40,0.005,100,30,,\nB,P2,P3,50,0.005,,60,,101.3\n",
                "valle.csv");
    const std::string regole = R"("rete": {"allineamento": "fondo", "profondita_massima": 1.9})";
    // Z9 is not of the file's line: it is left out, not an unused manhole.
    const std::string tutti =
        progettoDi(cartella, regole + R"(, "pozzetti": [{"pozzetto": "P1", "quota_terreno": 102},
                                   {"pozzetto": "P3", "quota_terreno": 101.3, "nota": "sbocco"},
                                   {"pozzetto": "Z9", "quota_terreno": 50}])",
                   "tutti.sezione");
    const std::string monte = progettoDi(
        cartella, regole + R"(, "pozzetti": [{"pozzetto": "P1", "quota_terreno": "102"}])",
        "monte.sezione");
    const std::vector<std::string> comeRegole = {"--allineamento", "fondo", "--profondita-massima",
                                                 "1.9"};
    const struct {
        std::vector<std::string> argomenti, comeOpzioni;
    } casi[] = {
        {{"--tratti", senza, "--progetto", tutti}, unite({"--tratti", con}, comeRegole)},
        {{"--tratti", con, "--progetto", tutti}, unite({"--tratti", con}, comeRegole)},
        {{"--tratti", valle, "--progetto", monte}, unite({"--tratti", con}, comeRegole)},
        {{"--tratti", senza, "--progetto", tutti, "--allineamento", "cieli"},
         {"--tratti", con, "--allineamento", "cieli", "--profondita-massima", "1.9"}},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.argomenti[1] + " " + c.argomenti[3]);
        const Esito e = esegui(unite(c.argomenti, {"--formato", "csv"}));
        ASSERT_EQ(e.stato, 0) << e.errori;
        EXPECT_EQ(e.uscita, esegui(unite(c.comeOpzioni, {"--formato", "csv"})).uscita);
        const auto esiti = righe(e.uscita);
        ASSERT_EQ(esiti.size(), 3u);
        EXPECT_NE(campiCsv(esiti[1])[17], "") << "ricoprimento";
        EXPECT_NE(e.uscita.find("scavo"), std::string::npos) << e.uscita;
    }

    const std::string altraQuota = progettoDi(
        cartella, R"("pozzetti": [{"pozzetto": "P3", "quota_terreno": "101,2"}])", "altra.sezione");
    const Esito due = esegui({"--tratti", con, "--progetto", altraQuota});
    EXPECT_EQ(due.stato, 2);
    EXPECT_EQ(due.uscita, "");
    EXPECT_EQ(due.errori, "sezione-inglese-cli: il pozzetto «P3» ha la quota del terreno 101.3 "
                          "nel file «" +
                              con + "» e 101,2 nel progetto «" + altraQuota + "»\n");
}

// Names are printed as they were typed, in every format and with either
// separator; only the numbers take the decimal comma.
TEST(CliTratti, INomiComeScritti) {
    QTemporaryDir cartella;
    // T2.2 starts above the end of T1.1: a counter-step at «1.1».
    const std::string linea =
        lineaDi(cartella, "tratto,pozzetto_monte,pozzetto_valle,lunghezza,quota_monte,"
                          "quota_valle,raggio,portata\n"
                          "T1.1,P1.1,1.1,40,100,99.8,30,30\n"
                          "T2.2,1.1,P3.3,50,100.2,99.5,30,60\n");
    const struct {
        std::vector<std::string> opzioni;
        std::vector<std::string> attesi;
    } casi[] = {
        {{"--formato", "csv"}, {"\nT2.2,1.1,P3.3,", "al pozzetto «1.1»", "«T1.1», 99.80 m"}},
        {{"--formato", "csv-it"}, {"\nT2.2;1.1;P3.3;", "al pozzetto «1.1»", "«T1.1», 99,80 m"}},
        {{"--formato", "csv-it", "--separatore", "virgola"},
         {"\nT2.2;1.1;P3.3;", "al pozzetto «1.1»"}},
        {{"--separatore", "virgola"}, {"\nT2.2     1.1  P3.3  ", "«T1.1», 99,80 m"}},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.opzioni.back());
        const Esito e = esegui(unite({"--tratti", linea}, c.opzioni));
        ASSERT_EQ(e.stato, 0) << e.errori;
        for (const std::string& atteso : c.attesi) {
            EXPECT_NE(e.uscita.find(atteso), std::string::npos) << atteso << "\n" << e.uscita;
        }
        for (const char* nome : {"P1,1", "T1,1", "«1,1»", " 1,1 ", ";1,1;"}) {
            EXPECT_EQ(e.uscita.find(nome), std::string::npos) << nome << "\n" << e.uscita;
        }
    }
}

// --profilo writes the path's profile beside the reaches' results, from the
// longest path or from --da; what cannot be drawn or written is refused
// with its reason and no file.
TEST(Cli, ProfiloLongitudinale) {
    QTemporaryDir cartella;
    const std::string dir = cartella.path().toStdString() + "/";
    std::ofstream(dir + "linea.csv")
        << "tratto,pozzetto_monte,pozzetto_valle,lunghezza,pendenza,quota_monte,raggio,portata\n"
           "A,P1,P2,40,0.005,100,,30\nB,P2,P3,50,0.005,,,60\nC,R1,P2,10,0.01,100.5,,5\n";
    std::ofstream(dir + "sciolti.csv") << "tratto,lunghezza,pendenza,portata\nA,40,0.005,30\n";
    // A box of the rules that does not read stops the line, and its profile.
    std::ofstream(dir + "salto.sezione")
        << R"({"formato": "sezione-inglese", "versione": 1, "rete": {"salto_massimo": "abc"}, )"
        << trattiDiProva << "}";
    std::ofstream(dir + "lunga.csv")
        << "tratto,pozzetto_monte,pozzetto_valle,lunghezza,pendenza,quota_monte,portata\n"
           "A,P1,P2,5000,0.005,100,30\n";
    // The project's scale, unless the line gives one.
    std::ofstream(dir + "scale.sezione")
        << R"({"formato": "sezione-inglese", "versione": 1, "profilo": {"scala_orizzontale": 10}})";
    const struct {
        std::vector<std::string> argomenti;
        int stato;
        const char* file;   // written, when the run succeeds
        std::string errore; // in the message, when it fails
    } casi[] = {
        {{"--tratti", dir + "linea.csv", "--profilo", dir + "p.pdf"}, 0, "p.pdf", ""},
        {{"--tratti", dir + "linea.csv", "--profilo", dir + "p.dxf", "--da", "R1"}, 0, "p.dxf", ""},
        {{"--tratti", dir + "linea.csv", "--profilo", dir + "p.svg", "--scala-orizzontale", "500",
          "--scala-verticale", "50"},
         0,
         "p.svg",
         ""},
        {{"--tratti", dir + "linea.csv", "--profilo", dir + "x.pdf", "--da", "P9"},
         2,
         nullptr,
         "«P9» non è nominato"},
        {{"--tratti", dir + "sciolti.csv", "--profilo", dir + "x.pdf"}, 2, nullptr, "percorso"},
        {{"--tratti", dir + "linea.csv", "--profilo", dir + "x.doc"}, 2, nullptr, ".dxf"},
        {{"--profilo", dir + "x.pdf"}, 2, nullptr, "--tratti"},
        {{"--progetto", dir + "salto.sezione", "--profilo", dir + "x.pdf"},
         2,
         nullptr,
         "il salto massimo (rete.salto_massimo: «abc»). Non è un numero."},
        {{"--tratti", dir + "linea.csv", "--da", "P1"}, 2, nullptr, "--profilo"},
        {{"--tratti", dir + "linea.csv", "--profilo", dir + "x.pdf", "--scala-verticale", "0"},
         2,
         nullptr,
         "--scala-verticale"},
        {{"--tratti", dir + "linea.csv", "--profilo", dir + "x.pdf", "--scala-orizzontale", "5"},
         2,
         nullptr,
         "da 1:10 a 1:1000000"},
        {{"--tratti", dir + "lunga.csv", "--profilo", dir + "x.svg", "--scala-orizzontale", "10"},
         2,
         nullptr,
         "fogli"},
        {{"--tratti", dir + "lunga.csv", "--profilo", dir + "x.pdf", "--scala-orizzontale",
          "100000", "--scala-verticale", "10"},
         2,
         nullptr,
         "le quote del foglio 1 non stanno nel disegno"},
        {{"--tratti", dir + "linea.csv", "--profilo", dir + "x.pdf", "--da", "P3"},
         2,
         nullptr,
         "«P3» è uno sbocco"},
        {{"--progetto", dir + "scale.sezione", "--tratti", dir + "lunga.csv", "--profilo",
          dir + "x.svg"},
         2,
         nullptr,
         "il progetto «" + dir + "scale.sezione», profilo.scala_orizzontale: "},
        {{"--progetto", dir + "scale.sezione", "--tratti", dir + "lunga.csv", "--profilo",
          dir + "q.svg", "--scala-orizzontale", "5000"},
         0,
         "q.svg",
         ""},
        {{"--tratti", dir + "linea.csv", "--profilo", dir + "manca/x.pdf"}, 1, nullptr, "manca"},
    };
    for (const auto& c : casi) {
        const Esito e = esegui(c.argomenti);
        EXPECT_EQ(e.stato, c.stato) << c.argomenti.back() << ": " << e.errori;
        if (c.file != nullptr) {
            EXPECT_GT(QFileInfo(QString::fromStdString(dir + c.file)).size(), 1000) << c.file;
            EXPECT_NE(e.uscita.find("verificato"), std::string::npos);
        } else {
            EXPECT_NE(e.errori.find(c.errore), std::string::npos) << e.errori;
            for (const char* nome : {"x.pdf", "x.svg"}) {
                EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir + nome)));
            }
        }
    }
}

// Whatever the levels, radii and lengths of a file of reaches, --profilo in
// every format and --relazione end within a watchdog's time: they write
// their file, or refuse with the reason and write none, and never advise
// about a scale that was not typed.
TEST(Cli, ProfiloOstileFinisceORifiuta) {
    // Each case runs in a process of its own, which leaves without
    // clearing a temporary folder: the files have fixed names instead.
    const std::string dir = ::testing::TempDir() + "ostile_";
    const std::string colonne =
        "tratto,pozzetto_monte,pozzetto_valle,lunghezza,pendenza,quota_monte,raggio,portata,"
        "terreno_monte\n";
    const struct {
        const char* nome;
        std::string righe;
        std::vector<std::string> opzioni;
    } linee[] = {
        {"scorrimento a 1e16 m", "T1,P1,P2,50,0.005,1e16,30,100,\n", {}},
        {"terreno a 3e20 m", "T1,P1,P2,50,0.005,100,30,100,3e20\n", {}},
        {"scorrimento fino a −∞",
         "T1,P1,P2,1e308,0.5,-1.7e308,30,100,\nT2,P2,P3,50,0.005,,30,100,\n",
         {}},
        {"raggio di 1e300 cm dal catalogo",
         "T1,P1,P2,50,0.005,100,,100,\n",
         {"--catalogo", "1e300"}},
        {"tratto di 1e15 m", "T1,P1,P2,1e15,0.005,100,30,100,\n", {}},
        {"tratto di 1e20 m", "T1,P1,P2,1e20,0.005,100,30,100,\n", {}},
    };
    for (const auto& l : linee) {
        SCOPED_TRACE(l.nome);
        std::ofstream(dir + "linea.csv") << colonne << l.righe;
        for (const char* uscita : {"--profilo", "--relazione"}) {
            for (const char* formato : {"pdf", "svg", "png", "dxf"}) {
                if (std::string(uscita) == "--relazione" && std::string(formato) != "pdf") {
                    continue;
                }
                const std::string file = dir + "uscita." + formato;
                std::vector<std::string> argomenti = {"--tratti", dir + "linea.csv", uscita, file};
                argomenti.insert(argomenti.end(), l.opzioni.begin(), l.opzioni.end());
                EXPECT_FINISCE_ENTRO(20, {
                    std::remove(file.c_str());
                    const Esito e = esegui(argomenti);
                    EXPECT_EQ(e.stato == 0, QFileInfo::exists(QString::fromStdString(file)))
                        << e.errori;
                    EXPECT_EQ(e.errori.find("--scala-verticale"), std::string::npos) << e.errori;
                });
                std::remove(file.c_str());
            }
        }
    }
    std::remove((dir + "linea.csv").c_str());
}

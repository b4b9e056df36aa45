#include "calc/variabili_pubbliche.h"
#include "cli/esecuzione.h"
#include "lettore_docx.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sstream>

namespace {

struct Esito {
    int stato;
    std::string uscita, errori;
};

Esito esegui(std::vector<std::string> argomenti) {
    variabili_pubbliche::stato = {};
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
    EXPECT_EQ(std::stod(portata), variabili_pubbliche::stato.portata(8));
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

TEST(Cli, CsvNeglettaNessunaRiga) {
    const Esito e = esegui({"--formato", "csv", "--raggio", "30", "--incremento", "900"});
    ASSERT_EQ(e.stato, 0);
    const auto r = righe(e.uscita);
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[2], "Max V,76.9,0.3673,1.7951,0.2046,281.54,1034.23\r");
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

    const Esito mancante = esegui({"--file", cartella.filePath("no/r.csv").toStdString()});
    EXPECT_EQ(mancante.stato, 1);
    EXPECT_EQ(mancante.uscita, "");
    EXPECT_NE(mancante.errori.find("la cartella non esiste"), std::string::npos);
}

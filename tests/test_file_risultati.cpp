#include "contenuto_file.h"
#include "file/errore_file.h"
#include "relazione/file_risultati.h"
#include "stato_pulito.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

class FileRisultati : public StatoPulito {
  protected:
    void SetUp() override {
        StatoPulito::SetUp();
        ASSERT_TRUE(cartella.isValid());
    }
    QTemporaryDir cartella;
};

} // namespace

TEST_F(FileRisultati, NomeDelFile) {
    const std::string qui = QDir::currentPath().toStdString() + "/";
    EXPECT_EQ(PercorsoRisultati(""), qui + "INGLESE.txt");
    EXPECT_EQ(PercorsoRisultati("rete"), qui + "rete.txt");
    EXPECT_EQ(PercorsoRisultati("rete."), qui + "rete.txt");
    EXPECT_EQ(PercorsoRisultati("rete.csv"), qui + "rete.csv");
    EXPECT_EQ(PercorsoRisultati("rete.dat"), qui + "rete.dat");
    EXPECT_EQ(PercorsoRisultati("/tmp/a/rete"), "/tmp/a/rete.txt");
    EXPECT_EQ(PercorsoRisultati("/tmp/a.b/rete"), "/tmp/a.b/rete.txt");
    // The bytes of a name that is not UTF-8 stay as they are.
    EXPECT_EQ(PercorsoRisultati("/tmp/r\xff"), "/tmp/r\xff.txt");
}

TEST_F(FileRisultati, TestoLeggibileConIValoriPredefiniti) {
    calcola(20, 100);
    const QStringList righe =
        QString::fromStdString(ContenutoRisultati("r.txt", tabella())).split('\n');
    ASSERT_EQ(righe.size(), 23);
    EXPECT_EQ(righe[0], "TUBAZIONE INGLESE 40/60 Øeq mm 20");
    EXPECT_EQ(righe[1], "COEFF. DI SCABREZZA SECONDO BAZIN =  0.18");
    EXPECT_EQ(righe[2], "PENDENZA m/m  0.0100");
    EXPECT_EQ(righe[3], "");
    EXPECT_EQ(righe[4], "ALTEZZA    AREA  CONT.BAGNATO  R.IDRAULICO  VELOCITA'  PORTATA");
    EXPECT_EQ(righe[5], "   (cm)    (mq)           (m)          (m)   (cm/sec)  (l/sec)");
    EXPECT_EQ(righe[6], "   10.0  0.0164        0.3280       0.0501     107.87    17.71");
    EXPECT_EQ(righe[13], "Massima velocità:");
    EXPECT_EQ(righe[16], "   51.2  0.1633        1.1967       0.1364     216.05   352.74");
    EXPECT_EQ(righe[18], "Massima portata:");
    EXPECT_EQ(righe[21], "   57.2  0.1797        1.3713       0.1311     210.36   378.07");
    EXPECT_EQ(righe[22], "");
}

TEST_F(FileRisultati, CsvConITestiDellaGriglia) {
    calcola(20, 100);
    const QStringList righe =
        QString::fromStdString(ContenutoRisultati("r.CSV", tabella())).split("\r\n");
    ASSERT_EQ(righe.size(), 11);
    EXPECT_EQ(righe[0], ",ALTEZZA,AREA,CONT.BAGNATO,R.IDRAULICO,V,Q");
    EXPECT_EQ(righe[9], "Max Q,57.2,0.1797,1.3713,0.1311,210.36,378.07");
}

// The text's numbers take the separator asked for, a grouped radius
// included; the CSV keeps the grid's texts, with the point.
TEST_F(FileRisultati, SeparatoreDelTestoNonDelCsv) {
    const struct {
        double raggio, incremento;
        Separatore separatore;
        std::vector<const char*> righe; // the first three and the first of the table
        const char* csv;                // the first row of the CSV's table
    } casi[] = {
        {20,
         100,
         Separatore::Punto,
         {"TUBAZIONE INGLESE 40/60 Øeq mm 20", "COEFF. DI SCABREZZA SECONDO BAZIN =  0.18",
          "PENDENZA m/m  0.0100", "   10.0  0.0164        0.3280       0.0501     107.87    17.71"},
         ",10.0,0.0164,0.3280,0.0501,107.87,17.71"},
        {20,
         100,
         Separatore::Virgola,
         {"TUBAZIONE INGLESE 40/60 Øeq mm 20", "COEFF. DI SCABREZZA SECONDO BAZIN =  0,18",
          "PENDENZA m/m  0,0100", "   10,0  0,0164        0,3280       0,0501     107,87    17,71"},
         ",10.0,0.0164,0.3280,0.0501,107.87,17.71"},
        {1234.5,
         10000,
         Separatore::Virgola,
         {"TUBAZIONE INGLESE 2469/3703,5 Øeq mm 1.235"},
         nullptr},
    };
    for (const auto& c : casi) {
        calcola(c.raggio, c.incremento);
        const QStringList testo =
            QString::fromStdString(ContenutoRisultati("r.txt", tabella(), c.separatore))
                .split('\n');
        for (std::size_t i = 0; i < c.righe.size(); ++i) {
            EXPECT_EQ(testo[i < 3 ? static_cast<qsizetype>(i) : 6].toStdString(), c.righe[i])
                << c.raggio;
        }
        if (c.csv != nullptr) {
            EXPECT_EQ(QString::fromStdString(ContenutoRisultati("r.csv", tabella(), c.separatore))
                          .split("\r\n")[2],
                      c.csv);
        }
    }
}

// The largest step fills the section in one: a single row, the full section.
TEST_F(FileRisultati, UnaSolaRigaLaSezionePiena) {
    calcola(30, 900);
    const QStringList testo =
        QString::fromStdString(ContenutoRisultati("r.txt", tabella())).split('\n');
    EXPECT_TRUE(testo[6].startsWith("   90.0"));
    EXPECT_EQ(testo[8], "Massima velocità:");
    EXPECT_TRUE(testo[11].startsWith("   76.9"));
    const QStringList csv =
        QString::fromStdString(ContenutoRisultati("r.csv", tabella())).split("\r\n");
    ASSERT_EQ(csv.size(), 6);
    EXPECT_TRUE(csv[2].startsWith(",90.0,"));
    EXPECT_TRUE(csv[3].startsWith("Max V,76.9,"));
}

TEST_F(FileRisultati, CartellaMancanteNessunFile) {
    calcola(20, 100);
    const std::string percorso = cartella.filePath("manca/r.txt").toStdString();
    try {
        ScriviRisultati(percorso, tabella());
        FAIL() << "nessun errore";
    } catch (const ErroreFile& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Impossibile scrivere «" + percorso + "»: la cartella non esiste.");
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(percorso)));
}

TEST_F(FileRisultati, CartellaDiSolaLetturaLasciaIlVecchioFile) {
    calcola(20, 100);
    QString percorso;
    if (geteuid() == 0) {
        // Root writes into any folder with write bits off; sysfs refuses it.
        percorso = "/sys/sezione-inglese.txt";
    } else {
        percorso = cartella.filePath("r.txt");
        QFile vecchio(percorso);
        ASSERT_TRUE(vecchio.open(QIODevice::WriteOnly));
        vecchio.write("vecchio");
        vecchio.close();
        QFile::setPermissions(cartella.path(), QFile::ReadOwner | QFile::ExeOwner);
    }
    EXPECT_THROW(ScriviRisultati(percorso.toStdString(), tabella()), ErroreFile);
    QFile::setPermissions(cartella.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (geteuid() == 0) {
        EXPECT_FALSE(QFile::exists(percorso));
    } else {
        EXPECT_EQ(contenutoFile(percorso), "vecchio");
        EXPECT_EQ(QDir(cartella.path()).entryList(QDir::Files), QStringList{"r.txt"});
    }
}

TEST_F(FileRisultati, SostituisceUnFileEsistenteIntero) {
    calcola(20, 100);
    const QString percorso = cartella.filePath("r.txt");
    QFile vecchio(percorso);
    ASSERT_TRUE(vecchio.open(QIODevice::WriteOnly));
    vecchio.write(QByteArray(100000, 'x'));
    vecchio.close();
    ScriviRisultati(percorso.toStdString(), tabella());
    EXPECT_TRUE(contenutoFile(percorso).startsWith("TUBAZIONE INGLESE 40/60"));
    EXPECT_FALSE(contenutoFile(percorso).contains('x'));
}

// An existing folder keeps its name: writing refuses it rather than putting
// a file beside it.
TEST_F(FileRisultati, UnaCartellaNonDiventaUnFileAccanto) {
    calcola(20, 100);
    const std::string nome = cartella.path().toStdString();
    EXPECT_EQ(PercorsoRisultati(nome), nome);
    EXPECT_THROW(ScriviRisultati(PercorsoRisultati(nome), tabella()), ErroreFile);
    EXPECT_FALSE(QFile::exists(cartella.path() + ".txt"));
}

TEST_F(FileRisultati, LaSezioneEsattaLoDice) {
    calcola(20, 100);
    EXPECT_EQ(QString::fromStdString(ContenutoRisultati("r.txt", tabella())).split('\n')[3], "");
    s.geometria = formule::Geometria::Esatta;
    EXPECT_EQ(QString::fromStdString(ContenutoRisultati("r.txt", tabella())).split('\n')[3],
              "GEOMETRIA ESATTA, PROFILO A QUATTRO ARCHI");
}

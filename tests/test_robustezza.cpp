#include "cli/esecuzione.h"
#include "elaboratore/finestra_report.h"
#include "finestra_avviata.h"
#include "relazione/file_risultati.h"
#include "seme.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <iostream>
#include <optional>
#include <random>
#include <set>
#include <sstream>

// Randomised inputs, typed many times in random order: nothing may crash,
// corrupt the table or leave a half-written file. The seed is printed; set
// SEZIONE_SEME to replay a run.
namespace {

// The files in a folder that the test did not ask for: leftovers of a write.
QStringList estranei(const QTemporaryDir& cartella, const std::set<std::string>& scritti) {
    QStringList esito;
    for (const QFileInfo& file :
         QDir(cartella.path()).entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (scritti.count(QFile::encodeName(file.absoluteFilePath()).toStdString()) == 0) {
            esito.append(file.fileName());
        }
    }
    return esito;
}

const std::vector<QString> testiDifficili = {"20",
                                             "0.01",
                                             "100",
                                             "0.6",
                                             "600",
                                             "1000",
                                             "0.1",
                                             "-0",
                                             "0",
                                             "-2",
                                             "1e2",
                                             "1e309",
                                             "-1e309",
                                             "1.7976931348623157e308",
                                             "4.9e-324",
                                             "2.2250738585072014e-308",
                                             "1e-300",
                                             "1e300",
                                             "1e154",
                                             "nan",
                                             "inf",
                                             "-inf",
                                             "NaN",
                                             "1e",
                                             "1e+",
                                             ".",
                                             "-",
                                             "+",
                                             " ",
                                             "  20  ",
                                             "",
                                             "20cm",
                                             "0,5",
                                             "1,234",
                                             "Ø",
                                             "€10",
                                             "😀",
                                             "１２",
                                             "0x10",
                                             "&H10",
                                             "1d2",
                                             "3.9",
                                             "3",
                                             "0.3",
                                             "0,3",
                                             "30",
                                             "900",
                                             "0.9",
                                             QString(400, '9'),
                                             "0." + QString(400, '0') + "1",
                                             "1" + QString(320, '0'),
                                             QString(1000, ' ') + "5"};

QString scelta(std::mt19937& caso, const std::vector<QString>& testi) {
    return testi[std::uniform_int_distribution<std::size_t>(0, testi.size() - 1)(caso)];
}

// Each data column's pattern, column 0 its labels.
const QRegularExpression modelli[7] = {
    QRegularExpression("^(|Max V|Max Q)$"),     QRegularExpression("^(|-?\\d+\\.\\d)$"),
    QRegularExpression("^(|-?\\d+\\.\\d{4})$"), QRegularExpression("^(|-?\\d+\\.\\d{4})$"),
    QRegularExpression("^(|-?\\d+\\.\\d{4})$"), QRegularExpression("^(|-?\\d+\\.\\d{2})$"),
    QRegularExpression("^(|-?\\d+\\.\\d{2})$")};

class Robustezza : public FinestraAvviata {
  protected:
    void verificaTabella(const std::string& passo) {
        SCOPED_TRACE(passo);
        // The line above the table: a computation error, or the boxes not
        // read as typed, or where the results were written, or nothing.
        const QString messaggio = finestra->messaggio();
        static const QRegularExpression ingressi(
            "^(((Raggio caratteristico|Pendenza|Coeff\\. scabrezza Bazin|Incremento altezza): "
            "(non è un numero positivo|un solo separatore decimale, senza separare le "
            "migliaia|letto come "
            "[^;]+)|Incremento limitato a [^;]+ mm "
            "\\((minimo|massimo) per questo raggio\\))(; |$))*$");
        ASSERT_TRUE(messaggio.startsWith("Errore ") || messaggio.startsWith("Risultati scritti") ||
                    ingressi.match(messaggio).hasMatch())
            << messaggio.toStdString();
        ASSERT_GE(righe(), 4);
        if (!messaggio.startsWith("Errore ")) {
            ASSERT_EQ(righe(), s.numPassi + 4);
        }
        ASSERT_EQ(rigaGriglia(0), (std::vector<std::string>{"", "ALTEZZA", "AREA", "CONT.BAGNATO",
                                                            "R.IDRAULICO", "V", "Q"}));
        ASSERT_EQ(rigaGriglia(1), (std::vector<std::string>{"", "(cm)", "(mq)", "(m)", "(m)",
                                                            "(cm/sec)", "(l/sec)"}));
        for (int r = 2; r < righe(); ++r) {
            for (int c = 0; c < 7; ++c) {
                ASSERT_TRUE(modelli[c].match(QString::fromStdString(cella(r, c))).hasMatch())
                    << "cella (" << r << ", " << c << ") = «" << cella(r, c) << "»";
            }
        }
    }
};

} // namespace

TEST_F(Robustezza, DigitazioneCasualeNellaFinestra) {
    const std::optional<unsigned> iniziale = seme();
    ASSERT_TRUE(iniziale);
    std::mt19937 caso(*iniziale);
    std::set<std::string> scritti;
    QTemporaryDir cartella;
    const QString prima = QDir::currentPath();
    QDir::setCurrent(cartella.path()); // where "Scrivi su file" writes
    finestra->avvisa = [](const QString&) {};
    finestra->conferma = [&](const QString&) { return caso() % 2 == 0; };

    QLineEdit* caselle[] = {finestra->Text1, finestra->Text2, finestra->Text3, finestra->Text5,
                            finestra->Combo1->lineEdit()};
    for (int passo = 0; passo < 600; ++passo) {
        QLineEdit* casella = caselle[caso() % 5];
        std::ostringstream descrizione;
        switch (caso() % 8) {
        case 0:
        case 1:
        case 2: { // pasted over the whole text
            const QString testo = scelta(caso, testiDifficili);
            descrizione << "incolla «" << testo.left(40).toStdString() << "»";
            casella->selectAll();
            casella->insert(testo);
            break;
        }
        case 3:
        case 4: { // one key at the end
            const QString tasti = "0123456789.-e ,x";
            const QChar tasto = tasti[static_cast<qsizetype>(caso() % tasti.size())];
            descrizione << "tasto «" << QString(tasto).toStdString() << "»";
            casella->end(false);
            QTest::keyClicks(casella, QString(tasto));
            break;
        }
        case 5:
            descrizione << "cancella";
            casella->end(false);
            QTest::keyClick(casella, Qt::Key_Backspace);
            break;
        case 6: {
            const int voce = static_cast<int>(caso() % 3);
            descrizione << "voce " << voce;
            finestra->Combo1->setCurrentIndex(voce);
            emit finestra->Combo1->activated(voce);
            break;
        }
        default:
            descrizione << "Scrivi su file";
            scritti.insert(PercorsoRisultati(finestra->Text5->text().toStdString()));
            finestra->Command4->click();
            break;
        }
        verificaTabella("passo " + std::to_string(passo) + ": " + descrizione.str());
        if (HasFatalFailure()) {
            break;
        }
    }
    // Whatever was written, was written whole: no temporary file is left.
    EXPECT_EQ(estranei(cartella, scritti), QStringList());
    QDir::setCurrent(prima);
}

// Mostly sound option lines, so that most trials compute and many write
// files, with a difficult value, a missing one or a stray word now and then.
TEST(RobustezzaCli, OpzioniCasuali) {
    const std::optional<unsigned> iniziale = seme();
    ASSERT_TRUE(iniziale);
    std::mt19937 caso(*iniziale);
    QTemporaryDir cartella;
    const QString prima = QDir::currentPath();
    QDir::setCurrent(cartella.path()); // a relative name lands here

    const std::vector<QString> numeriOpzioni = {"--raggio", "--pendenza", "--incremento",
                                                "--coefficiente"};
    const std::vector<QString> buoni = {"20",  "0.01", "100", "0.18", "30",  "0.6",
                                        "900", "1e2",  "3.9", "3",    "0.3", "1234"};
    std::vector<QString> difficili = testiDifficili;
    for (const char* v : {"tabella", "csv", "si", "xml", "--help", "-x", ""}) {
        difficili.emplace_back(v);
    }
    const std::vector<QString> documenti = {"r.docx", "r.pdf", "r.odt", "r.html", "a.b/../r.docx"};
    const std::vector<QString> risultati = {"r", "r.csv", "r.txt", "r.", ".r"};
    const std::vector<QString> destinazioniDifficili = {"no/r.odt",
                                                        "/sys/sezione-inglese.html",
                                                        cartella.path() + "/",
                                                        "/dev/null",
                                                        "--help",
                                                        "r\xff.txt",
                                                        "r.doc"};

    std::set<std::string> scritti;
    int calcolati = 0, conFile = 0;
    const int prove = 500;
    for (int prova = 0; prova < prove; ++prova) {
        std::vector<std::vector<std::string>> gruppi; // an option and its value
        const auto aggiungi = [&](const QString& opzione, const QString& valore) {
            gruppi.push_back({opzione.toStdString()});
            if (caso() % 50 != 0) { // now and then the value is missing
                gruppi.back().push_back(valore.toStdString());
            }
        };
        for (const QString& opzione : numeriOpzioni) {
            if (caso() % 2 == 0) {
                aggiungi(opzione, caso() % 25 == 0 ? scelta(caso, difficili) : scelta(caso, buoni));
            }
        }
        if (caso() % 3 == 0) {
            aggiungi("--formato", scelta(caso, {"tabella", "csv", "si"}));
        }
        for (const auto& [opzione, nomi] :
             {std::pair{"--file", &risultati}, std::pair{"--documento", &documenti}}) {
            if (caso() % 2 == 0) {
                aggiungi(opzione, caso() % 12 == 0 ? scelta(caso, destinazioniDifficili)
                                                   : scelta(caso, *nomi));
            }
        }
        if (caso() % 25 == 0) {
            gruppi.push_back({scelta(caso, {"--help", "--version", "-x", "raggio"}).toStdString()});
        }
        std::shuffle(gruppi.begin(), gruppi.end(), caso);
        std::vector<std::string> argomenti;
        for (const auto& gruppo : gruppi) {
            argomenti.insert(argomenti.end(), gruppo.begin(), gruppo.end());
        }

        std::string riga;
        for (const auto& a : argomenti) {
            riga += " «" + a.substr(0, 30) + "»";
        }
        SCOPED_TRACE(riga);
        std::ostringstream uscita, errori;
        const int stato = eseguiCli(argomenti, uscita, errori);
        ASSERT_TRUE(stato == 0 || stato == 1 || stato == 2) << stato;
        if (stato == 0) {
            EXPECT_FALSE(uscita.str().empty());
            ++calcolati;
        } else {
            // A usage error is one line; a computation or file error may
            // follow the note on a bounded increment.
            const std::string messaggi = errori.str();
            const auto linee = std::count(messaggi.begin(), messaggi.end(), '\n');
            EXPECT_EQ(uscita.str(), "");
            EXPECT_TRUE(stato == 2 ? linee == 1 : linee >= 1) << messaggi;
        }
        if (stato == 2) {
            continue;
        }
        bool scriveFile = false;
        for (std::size_t i = 0; i + 1 < argomenti.size(); ++i) {
            const QString nome = QString::fromStdString(argomenti[i + 1]);
            if (argomenti[i] == "--file") {
                scritti.insert(PercorsoRisultati(argomenti[i + 1]));
                scriveFile = true;
            } else if (argomenti[i] == "--documento") {
                scritti.insert(
                    QDir::cleanPath(QDir::current().absoluteFilePath(nome)).toStdString());
                scriveFile = true;
            }
        }
        conFile += stato == 0 && scriveFile ? 1 : 0;
    }
    std::cout << calcolati << " prove su " << prove << " calcolate, " << conFile
              << " con file scritti" << std::endl;
    EXPECT_GT(calcolati, prove * 55 / 100);
    EXPECT_GT(conFile, prove * 35 / 100);

    EXPECT_FALSE(QFileInfo::exists("/sys/sezione-inglese.html"));
    EXPECT_FALSE(QFileInfo::exists("/dev/null.txt"));
    for (const QFileInfo& file : QDir(cartella.path()).entryInfoList(QDir::Files)) {
        EXPECT_GT(file.size(), 0) << file.fileName().toStdString();
    }
    EXPECT_EQ(estranei(cartella, scritti), QStringList());
    QDir::setCurrent(prima);
}

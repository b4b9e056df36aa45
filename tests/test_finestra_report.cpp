#include "app/finestra_analisi.h"
#include "app/preferenze.h"
#include "app/progetto_finestra.h"
#include "app/vista_griglia.h"
#include "contenuto_file.h"
#include "documenti/collegamento.h"
#include "documenti/elaboratore_testi.h"
#include "documenti/scrittore_docx.h"
#include "documento_salvato.h"
#include "elaboratore/cartella_temporanea.h"
#include "elaboratore/finestra_report.h"
#include "finestra_avviata.h"
#include "lettore_docx.h"
#include "progetto/progetto.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QUrl>

#include <sys/stat.h>

namespace {

class FinestraReportAperta : public FinestraAvviata {
  protected:
    void TearDown() override {
        for (FinestraReport* f : finestreReport()) {
            f->chiediSeSalvare = [](const QString&) { return RispostaSalvare::Scarta; };
            f->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static std::vector<FinestraReport*> finestreReport() {
        std::vector<FinestraReport*> esito;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* f = qobject_cast<FinestraReport*>(w)) {
                esito.push_back(f);
            }
        }
        return esito;
    }

    FinestraReport* documentoWord() {
        finestra->Command3->click();
        QCoreApplication::processEvents();
        const auto aperte = finestreReport();
        return aperte.size() == 1 ? aperte.front() : nullptr;
    }

    // Closes a report window for good, as the event loop would.
    static void chiudi(FinestraReport* report) {
        report->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The menu command bound to the keys, as the keys would trigger it.
    static void premi(QWidget* finestra, const QKeySequence& tasti) {
        for (QAction* azione : finestra->findChildren<QAction*>()) {
            if (azione->shortcut() == tasti) {
                azione->trigger();
                return;
            }
        }
        ADD_FAILURE() << "nessun comando per " << tasti.toString().toStdString();
    }
};

} // namespace

TEST_F(FinestraReportAperta, OgniReportUnaSchedaNellaStessaFinestra) {
    FinestraReport* report = documentoWord();
    ASSERT_NE(report, nullptr);
    EXPECT_TRUE(report->isVisible());
    EXPECT_TRUE(report->isMaximized());
    EXPECT_EQ(report->schede()->count(), 1);
    EXPECT_EQ(report->schede()->tabText(0), "Documento1");
    EXPECT_TRUE(report->elaboratore()->documenti().front()->isModified());

    EXPECT_EQ(documentoWord(), report);
    EXPECT_EQ(report->schede()->count(), 2);
    EXPECT_EQ(report->schede()->tabText(1), "Documento2");
}

TEST_F(FinestraReportAperta, ChiudereChiedeUnaVoltaPrimaDiPerdereDocumenti) {
    FinestraReport* report = documentoWord();
    documentoWord();
    int domande = 0;
    RispostaSalvare risposta = RispostaSalvare::Annulla;
    report->chiediSeSalvare = [&](const QString&) {
        ++domande;
        return risposta;
    };

    EXPECT_FALSE(report->chiudiDocumento(0));
    EXPECT_EQ(report->schede()->count(), 2);
    EXPECT_FALSE(report->close());
    EXPECT_EQ(domande, 2);

    risposta = RispostaSalvare::Scarta;
    EXPECT_TRUE(report->chiudiDocumento(0));
    EXPECT_EQ(report->schede()->count(), 1);
    EXPECT_EQ(report->elaboratore()->documenti().size(), 1u);
    domande = 0;
    EXPECT_TRUE(report->close());
    EXPECT_EQ(domande, 1);
}

TEST_F(FinestraReportAperta, RestaApertaDopoEsci) {
    FinestraReport* report = documentoWord();
    finestra->Command2->click();
    EXPECT_FALSE(finestra->isVisible());
    EXPECT_TRUE(report->isVisible());
}

TEST_F(FinestraReportAperta, UnaNuovaFinestraDopoLaChiusuraHaIlReportIntero) {
    FinestraReport* primo = documentoWord();
    const auto atteso = docx::leggi(documentoDocx(*primo->elaboratore()->documenti().back()));
    primo->chiediSeSalvare = [](const QString&) { return RispostaSalvare::Scarta; };
    chiudi(primo);
    EXPECT_EQ(ElaboratoreTesti::aperto(), nullptr);

    FinestraReport* secondo = documentoWord();
    ASSERT_NE(secondo, nullptr);
    const auto corpo = docx::leggi(documentoDocx(*secondo->elaboratore()->documenti().back()));
    EXPECT_EQ(corpo, atteso);
    EXPECT_EQ(docx::tabelle(corpo).size(), 3u);
}

TEST_F(FinestraReportAperta, NomeFileVuotoDiventaInglese) {
    digita(finestra->Text5, "");
    documentoWord();
    EXPECT_EQ(testo(finestra->Text5), "INGLESE");
    EXPECT_EQ(s.nomeFile, "INGLESE");
}

TEST_F(FinestraReportAperta, UnMessaggioSoloSeLElaboratoreNonSiAvvia) {
    std::vector<std::string> messaggi;
    finestra->avviaElaboratore = [] { return nullptr; };
    finestra->messaggioReport = [&](const std::string& t) { messaggi.push_back(t); };
    finestra->Command3->click();
    EXPECT_EQ(messaggi.size(), 1u);
    EXPECT_TRUE(finestreReport().empty());
}

// A report must show the numbers of the inputs on screen: with no table, no
// report, and the same reason as "Scrivi su file" gives.
TEST_F(FinestraReportAperta, SenzaTabellaNessunReport) {
    std::vector<QString> avvisi;
    finestra->avvisa = [&](const QString& a) { avvisi.push_back(a); };
    digita(finestra->Text2, "0");
    finestra->Command3->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(finestreReport().empty());
    ASSERT_EQ(avvisi.size(), 1u);
    EXPECT_EQ(avvisi[0], "Nessuna tabella da scrivere: raggio, pendenza, incremento e "
                         "coefficiente devono essere numeri positivi (Pendenza: non è un "
                         "numero positivo).");

    digita(finestra->Text2, "0.01");
    digita(finestra->Text1, "1e300"); // the computation fails
    finestra->Command3->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(finestreReport().empty());
    EXPECT_EQ(avvisi.back(), "Nessuna tabella da scrivere: l'ultimo calcolo non è riuscito.");
}

TEST_F(FinestraReportAperta, SalvaConNomeNonSostituisceUnaFifo) {
    FinestraReport* report = documentoWord();
    std::vector<QString> avvisi;
    report->avvisa = [&](const QString& a) { avvisi.push_back(a); };
    QTemporaryDir cartella;
    const QString fifo = cartella.filePath("coda.docx");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    report->salvaCome(fifo, "Documento Word (*.docx)");
    ASSERT_EQ(avvisi.size(), 1u);
    EXPECT_TRUE(avvisi[0].contains("non è un file ma una coda FIFO")) << avvisi[0].toStdString();
    EXPECT_FALSE(QFileInfo(fifo).isFile());
    EXPECT_TRUE(report->elaboratore()->documenti().front()->isModified());

    report->salvaCome(cartella.filePath("relazione"), "Documento ODF (*.odt)");
    EXPECT_TRUE(QFileInfo(cartella.filePath("relazione.odt")).isFile());
    EXPECT_EQ(report->schede()->tabText(0), "relazione.odt");
}

// The copy handed to the desktop lives in a folder of the program's own,
// which goes when the program ends.
TEST_F(FinestraReportAperta, CopiaPerIlSistemaInUnaCartellaTemporanea) {
    FinestraReport* report = documentoWord();
    QUrl aperto;
    report->apriConIlSistema = [&](const QUrl& indirizzo) {
        aperto = indirizzo;
        return true;
    };
    report->apriNelSistema();
    const QFileInfo copia(aperto.toLocalFile());
    EXPECT_EQ(copia.fileName(), "Documento1.docx");
    EXPECT_EQ(copia.absolutePath(), cartellaTemporaneaProgramma());
    EXPECT_TRUE(copia.isFile());
    rimuoviCartellaTemporaneaProgramma();
    EXPECT_FALSE(QFileInfo::exists(copia.absolutePath()));
}

// Closing an unsaved document by its tab or with the whole window, for each
// answer: saved and closed, discarded, or kept open.
TEST_F(FinestraReportAperta, ChiudereSalvaScartaOAnnulla) {
    const struct {
        RispostaSalvare risposta;
        bool chiuso;
    } casi[] = {{RispostaSalvare::Salva, true},
                {RispostaSalvare::Scarta, true},
                {RispostaSalvare::Annulla, false}};
    for (const auto& caso : casi) {
        for (const bool finestraIntera : {false, true}) {
            SCOPED_TRACE(testing::Message() << static_cast<int>(caso.risposta) << finestraIntera);
            FinestraReport* report = documentoWord();
            ASSERT_NE(report, nullptr);
            QTemporaryDir cartella;
            const QString file = cartella.filePath("relazione.docx");
            report->chiediSeSalvare = [&](const QString&) { return caso.risposta; };
            report->scegliFile = [&](const QString&) {
                return FinestraReport::FileScelto{file, ""};
            };

            EXPECT_EQ(finestraIntera ? report->close() : report->chiudiDocumento(0), caso.chiuso);
            EXPECT_EQ(report->schede()->count(), caso.chiuso && !finestraIntera ? 0 : 1);
            EXPECT_EQ(QFileInfo(file).isFile(), caso.risposta == RispostaSalvare::Salva);
            report->chiediSeSalvare = [](const QString&) { return RispostaSalvare::Scarta; };
            chiudi(report);
        }
    }
}

// A save cancelled in its dialog, or one that fails, keeps the document.
TEST_F(FinestraReportAperta, SalvataggioNonRiuscitoNonChiude) {
    QTemporaryDir cartella;
    for (const QString& scelto : {QString(), cartella.filePath("manca/relazione.docx")}) {
        FinestraReport* report = documentoWord();
        std::vector<QString> avvisi;
        report->avvisa = [&](const QString& a) { avvisi.push_back(a); };
        report->chiediSeSalvare = [](const QString&) { return RispostaSalvare::Salva; };
        report->scegliFile = [&](const QString&) { return FinestraReport::FileScelto{scelto, ""}; };

        EXPECT_FALSE(report->chiudiDocumento(0));
        EXPECT_FALSE(report->close());
        EXPECT_EQ(report->schede()->count(), 1);
        EXPECT_TRUE(report->elaboratore()->documenti().front()->isModified());
        EXPECT_EQ(avvisi.size(), scelto.isEmpty() ? 0u : 2u);
        report->chiediSeSalvare = [](const QString&) { return RispostaSalvare::Scarta; };
        chiudi(report);
    }
}

// Ctrl+S asks for a name the first time, then writes the same file in the
// same format; Ctrl+Shift+S asks again.
TEST_F(FinestraReportAperta, SalvaUsaIlFileDelDocumento) {
    FinestraReport* report = documentoWord();
    ASSERT_NE(report, nullptr);
    QTemporaryDir cartella;
    std::vector<QString> proposti;
    report->scegliFile = [&](const QString& proposto) {
        proposti.push_back(proposto);
        return FinestraReport::FileScelto{cartella.filePath("relazione"), "Documento ODF (*.odt)"};
    };
    const QTextDocument& documento = *report->elaboratore()->documenti().front();
    const QString file = cartella.filePath("relazione.odt");

    premi(report, Qt::CTRL | Qt::Key_S);
    ASSERT_EQ(proposti.size(), 1u);
    EXPECT_EQ(proposti[0], QDir::current().filePath("Relazione.docx"));
    EXPECT_EQ(report->schede()->tabText(0), "relazione.odt");
    EXPECT_FALSE(documento.isModified());

    QTest::keyClicks(qobject_cast<QTextEdit*>(report->schede()->widget(0)), "Nota");
    EXPECT_TRUE(documento.isModified());
    premi(report, Qt::CTRL | Qt::Key_S);
    EXPECT_EQ(proposti.size(), 1u);
    EXPECT_FALSE(documento.isModified());
    QFile scritto(file);
    ASSERT_TRUE(scritto.open(QIODevice::ReadOnly));
    EXPECT_EQ(scritto.readAll(), salvato(documento, "copia.odt"));

    premi(report, Qt::CTRL | Qt::SHIFT | Qt::Key_S);
    ASSERT_EQ(proposti.size(), 2u);
    EXPECT_EQ(proposti[1], file);
}

// A report is first proposed under the open project's work, in its folder,
// with what would make a folder of the name taken out (a project holds no
// control characters).
TEST_F(FinestraReportAperta, IlNomePropostoVieneDalProgetto) {
    const struct {
        const char* opera;
        const char* nome;
    } casi[] = {
        {"Rete «Prati» – lotto 1", "Relazione – Rete «Prati» – lotto 1.docx"},
        {"Via A/B\\nord ", "Relazione – Via A-B-nord.docx"},
        {"../su", "Relazione – -su.docx"},
        {"", "Relazione.docx"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.opera);
        QTemporaryDir cartella;
        progetto::Progetto p = finestra->progetto()->corrente();
        p.dati.opera = c.opera;
        const QString file = cartella.filePath("rete.sezione");
        progetto::scriviProgetto(file.toStdString(), p);
        finestra->progetto()->avvisa = [](const QString& avviso) {
            ADD_FAILURE() << avviso.toStdString();
        };
        ASSERT_TRUE(finestra->progetto()->apri(file.toStdString()));
        FinestraReport* report = documentoWord();
        ASSERT_NE(report, nullptr);
        QString proposto;
        report->scegliFile = [&](const QString& nome) {
            proposto = nome;
            return FinestraReport::FileScelto{};
        };
        premi(report, Qt::CTRL | Qt::Key_S);
        EXPECT_EQ(proposto, cartella.filePath(c.nome));
        report->chiediSeSalvare = [](const QString&) { return RispostaSalvare::Scarta; };
        chiudi(report);
    }
}

// The decimal comma the user prefers is in every text people read: the
// grid, its copy, the analysis window, both reports, the results file. The
// copy's HTML and the plain CSV keep numbers a spreadsheet reads.
TEST_F(FinestraReportAperta, LaVirgolaInOgniTestoDaLeggere) {
    QTemporaryDir cartella;
    finestra->preferenze()->impostaSeparatore(Separatore::Virgola);
    digita(finestra->Text2, "0,0035");
    digita(finestra->Text5, cartella.filePath("risultati"));
    finestra->griglia1->copia(true);
    FinestraAnalisi* analisi = finestra->apriAnalisi();
    digita(analisi->portata, "150");
    FinestraReport* report = documentoWord();
    ASSERT_NE(report, nullptr);
    std::vector<QString> avvisi;
    finestra->avvisa = [&](const QString& a) { avvisi.push_back(a); };
    premi(finestra.get(), QKeySequence(Qt::CTRL | Qt::Key_R));
    QCoreApplication::processEvents();
    EXPECT_EQ(avvisi, std::vector<QString>());
    ASSERT_EQ(report->schede()->count(), 2);
    finestra->Command4->click();
    const auto scheda = [&](int i) {
        return qobject_cast<QTextEdit*>(report->schede()->widget(i))->toPlainText();
    };
    // A number's point, not a version's.
    const QRegularExpression puntoDecimale("(?<![\\d.])\\d+\\.\\d+(?![\\d.])");
    const struct {
        const char* dove;
        QString testo;
    } letti[] = {
        {"griglia", finestra->modelloGriglia1->index(2, 1).data().toString()},
        {"copia", QGuiApplication::clipboard()->text()},
        {"analisi", analisi->tabella->item(0, 1)->text() + analisi->stato->text()},
        {"Documento Word", scheda(0)},
        {"Relazione di calcolo", scheda(1)},
        {"file dei risultati", contenutoFile(cartella.filePath("risultati.txt"))},
    };
    for (const auto& l : letti) {
        SCOPED_TRACE(l.dove);
        EXPECT_TRUE(l.testo.contains(QRegularExpression("\\d,\\d"))) << l.testo.toStdString();
        EXPECT_FALSE(l.testo.contains(puntoDecimale))
            << l.testo.mid(std::max(0, static_cast<int>(l.testo.indexOf(puntoDecimale)) - 60), 120)
                   .toStdString();
    }
    EXPECT_TRUE(scheda(1).contains("0,0035"));
    EXPECT_TRUE(QGuiApplication::clipboard()->mimeData()->html().contains(
        QRegularExpression("sdval=\"\\d+\\.\\d+\"")));
    digita(finestra->Text5, cartella.filePath("risultati.csv"));
    finestra->Command4->click();
    EXPECT_TRUE(contenutoFile(cartella.filePath("risultati.csv")).contains(puntoDecimale));
}

// A calculation report stopped while it is composed opens no tab, and no
// warning: the user asked for it. Not stopped, it is heard to its end.
TEST_F(FinestraReportAperta, RelazioneAnnullataNessunaScheda) {
    FinestraReport* report = documentoWord();
    ASSERT_NE(report, nullptr);
    std::vector<QString> avvisi;
    finestra->avvisa = [&](const QString& a) { avvisi.push_back(a); };
    std::vector<std::pair<std::int64_t, std::int64_t>> sentiti;
    finestra->seguiLavoro = [&](const QString& testo) {
        EXPECT_FALSE(testo.isEmpty());
        return [&](std::int64_t fatti, std::int64_t totale) {
            sentiti.emplace_back(fatti, totale);
            return true;
        };
    };
    premi(finestra.get(), QKeySequence(Qt::CTRL | Qt::Key_R));
    QCoreApplication::processEvents();
    ASSERT_EQ(report->schede()->count(), 2);
    ASSERT_GE(sentiti.size(), 2u);
    EXPECT_EQ(sentiti.back().first, sentiti.back().second);
    const std::size_t chiamate = sentiti.size();

    for (const std::size_t ferma : {std::size_t{0}, chiamate / 2}) {
        SCOPED_TRACE(ferma);
        std::size_t sentite = 0;
        finestra->seguiLavoro = [&](const QString&) {
            return [&](std::int64_t, std::int64_t) { return sentite++ < ferma; };
        };
        premi(finestra.get(), QKeySequence(Qt::CTRL | Qt::Key_R));
        QCoreApplication::processEvents();
        EXPECT_EQ(sentite, ferma + 1);
        EXPECT_EQ(report->schede()->count(), 2);
        EXPECT_EQ(report->elaboratore()->documenti().size(), 2u);
    }
    EXPECT_EQ(avvisi, std::vector<QString>());
}

// A save stopped leaves the file as it was, the document unsaved under its
// old name, and no warning.
TEST_F(FinestraReportAperta, SalvataggioAnnullatoDocumentoNonSalvato) {
    FinestraReport* report = documentoWord();
    ASSERT_NE(report, nullptr);
    std::vector<QString> avvisi;
    report->avvisa = [&](const QString& a) { avvisi.push_back(a); };
    report->seguiLavoro = [](const QString&) {
        return [](std::int64_t, std::int64_t) { return false; };
    };
    QTemporaryDir cartella;
    const QString percorso = cartella.filePath("relazione.docx");
    QFile esistente(percorso);
    ASSERT_TRUE(esistente.open(QIODevice::WriteOnly));
    esistente.write("prima");
    esistente.close();

    EXPECT_FALSE(report->salvaCome(percorso, ""));
    EXPECT_EQ(contenutoFile(percorso), "prima");
    EXPECT_EQ(QDir(cartella.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"relazione.docx"});
    EXPECT_TRUE(report->elaboratore()->documenti().front()->isModified());
    EXPECT_EQ(report->schede()->tabText(0), "Documento1");
    // "Salva" still asks where: nothing was saved anywhere.
    int domande = 0;
    report->scegliFile = [&](const QString&) {
        ++domande;
        return FinestraReport::FileScelto{};
    };
    report->salva();
    EXPECT_EQ(domande, 1);
    EXPECT_EQ(avvisi, std::vector<QString>());
}

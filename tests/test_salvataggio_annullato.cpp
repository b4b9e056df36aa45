#include "documenti/indice.h"
#include "documenti/salvataggio.h"
#include "errori/avanzamento.h"
#include "relazione/scrittore_relazione.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace {

using Sentito = std::pair<std::int64_t, std::int64_t>;

// A report of some pages with its contents: paragraphs, then a long table
// that runs onto several of them.
void componi(QTextDocument& documento) {
    ScrittoreRelazione scrittore(documento);
    scrittore.titolo("Relazione di prova");
    const int indice = scrittore.posizione();
    scrittore.sezione("Premessa");
    for (int i = 0; i < 60; ++i) {
        scrittore.paragrafo(QString("Paragrafo %1 della relazione, abbastanza lungo da andare a "
                                    "capo almeno una volta nella pagina A4.")
                                .arg(i));
    }
    ScrittoreRelazione::Tabella t;
    t.righe = {{"Tratto", "L (m)"}};
    for (int i = 0; i < 300; ++i) {
        t.righe.push_back({QString("T%1").arg(i), QString::number(10 + i)});
    }
    t.larghezzeCm = {4, 3};
    t.aDestra = {false, true};
    scrittore.sezione("Tratti");
    scrittore.tabella(t, "Tratti.");
    inserisciIndice(documento, indice);
}

// What the listener heard, stopping the work at call `ferma` (from 0).
struct Ascoltatore {
    std::optional<std::size_t> ferma;
    std::vector<Sentito> sentiti;

    Avanzamento avanzamento() {
        return Avanzamento([this](std::int64_t fatti, std::int64_t totale) {
            sentiti.emplace_back(fatti, totale);
            return !ferma || sentiti.size() <= *ferma;
        });
    }
};

QByteArray contenuto(const QString& percorso) {
    QFile file(percorso);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class SalvataggioAnnullato : public ::testing::TestWithParam<const char*> {
  protected:
    SalvataggioAnnullato() { componi(documento); }

    std::string percorso(const char* nome) const {
        return QFile::encodeName(cartella.filePath(QString(nome) + GetParam())).toStdString();
    }

    QTextDocument documento;
    QTemporaryDir cartella;
};

} // namespace

// Heard from nothing to the whole, never backwards, and the file is the one
// written unheard.
TEST_P(SalvataggioAnnullato, SiArrivaAlTotaleELoStessoFile) {
    Ascoltatore ascoltatore;
    salvaDocumento(documento, percorso("seguito"), ascoltatore.avanzamento());
    salvaDocumento(documento, percorso("solo"));

    ASSERT_GE(ascoltatore.sentiti.size(), 3u);
    EXPECT_EQ(ascoltatore.sentiti.front().first, 0);
    const auto [fatti, totale] = ascoltatore.sentiti.back();
    EXPECT_EQ(fatti, totale);
    for (std::size_t i = 1; i < ascoltatore.sentiti.size(); ++i) {
        EXPECT_LE(ascoltatore.sentiti[i - 1].first, ascoltatore.sentiti[i].first);
        EXPECT_EQ(ascoltatore.sentiti[i].second, totale);
    }
    if (std::string(GetParam()) != ".pdf") { // a .pdf holds its time of making
        EXPECT_EQ(contenuto(QString::fromStdString(percorso("seguito"))),
                  contenuto(QString::fromStdString(percorso("solo"))));
    }
}

// Stopped at its start, while its pages are measured (a .docx and an .odt
// measure them for the contents first) or half way, a save leaves no file, nor a temporary
// one, and a file already there as it was.
TEST_P(SalvataggioAnnullato, AnnullatoNonLasciaNulla) {
    Ascoltatore tutto;
    salvaDocumento(documento, percorso("misura"), tutto.avanzamento());
    QFile::remove(QString::fromStdString(percorso("misura")));
    const std::size_t chiamate = tutto.sentiti.size();

    const QByteArray prima = "il file di prima\n";
    for (const std::size_t ferma : {std::size_t{0}, chiamate / 4, chiamate / 2, chiamate - 2}) {
        for (const bool esistente : {false, true}) {
            SCOPED_TRACE(testing::Message() << "ferma " << ferma << " di " << chiamate
                                            << (esistente ? ", file esistente" : ""));
            const std::string destinazione = percorso("relazione");
            const QString nome = QString::fromStdString(destinazione);
            QFile::remove(nome);
            if (esistente) {
                QFile file(nome);
                ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                file.write(prima);
            }
            Ascoltatore ascoltatore{ferma, {}};
            EXPECT_THROW(salvaDocumento(documento, destinazione, ascoltatore.avanzamento()),
                         Annullato);
            EXPECT_EQ(ascoltatore.sentiti.size(), ferma + 1);
            EXPECT_EQ(QDir(cartella.path())
                          .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                      esistente ? QStringList{nome.section('/', -1)} : QStringList());
            if (esistente) {
                EXPECT_EQ(contenuto(nome), prima);
            }
            // Stopped while its pages were measured, the document keeps no
            // layout of theirs.
            EXPECT_EQ(documento.findChild<QAbstractTextDocumentLayout*>(), nullptr);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(OgniFormato, SalvataggioAnnullato,
                         ::testing::Values(".docx", ".odt", ".pdf", ".html"));

// A listener hears each thousandth once at most, and always the start and
// the end, however the work counts.
TEST(Avanzamento, OgniMillesimoUnaVoltaELaFineSempre) {
    for (const std::int64_t totale : {1, 7, 1000, 123457}) {
        SCOPED_TRACE(totale);
        std::vector<Sentito> sentiti;
        Avanzamento avanzamento([&](std::int64_t fatti, std::int64_t di) {
            sentiti.emplace_back(fatti, di);
            return true;
        });
        for (std::int64_t fatti = 0; fatti <= totale; ++fatti) {
            avanzamento(fatti, totale);
            avanzamento(fatti, totale);
        }
        ASSERT_FALSE(sentiti.empty());
        EXPECT_EQ(sentiti.front(), Sentito(0, totale));
        EXPECT_EQ(sentiti.back(), Sentito(totale, totale));
        EXPECT_EQ(sentiti.size(),
                  static_cast<std::size_t>(std::min<std::int64_t>(totale, 1000) + 1));
    }
}

#include "lettore_docx.h"

#include "analisi/tabella_analisi.h"
#include "app/finestra_analisi.h"
#include "app/finestra_tratti.h"
#include "app/form_principale.h"
#include "app/modello_pozzetti.h"
#include "app/modello_tratti.h"
#include "app/progetto_finestra.h"
#include "calc/resistenza.h"
#include "file/csv.h"
#include "numeri/misure.h"
#include "progetto/progetto.h"
#include "relazione/report_senza_finestra.h"
#include "relazione/testi_report.h"
#include "tratti/csv_tratti.h"
#include "valutazione/valutazione.h"

#include <QBrush>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <iostream>
#include <map>
#include <numeric>

// Every project of the corpus through every front end: the windows, the
// report saved as a page and as Word, and the command line's CSV must say
// what the project's one evaluation says, word for word and digit for digit.
namespace {

using Testi = std::vector<std::string>;
using Tabelle = std::vector<std::vector<Testi>>; // tables, rows, cells

const Testi campiTratto = {"nome", "esito", "h", "V", "quota monte"};
const Testi campiPozzetto = {"nome", "esito", "scorrimento"};
const Testi campiRisposta = {"etichetta", "h", "A", "P", "R", "V", "Q"};

// What every front end must say of one project, rendered from its
// evaluation under the C locale; an empty number is one there is none of.
struct Atteso {
    progetto::Progetto progetto;
    valutazione::Valutazione valutazione;
    std::string legge; // as the report and the reaches window write it, or the box that stops it
    bool conEsiti = false;
    std::vector<std::pair<std::size_t, Testi>> tratti; // row of the project, from 0; campiTratto
    std::vector<std::pair<bool, Testi>> pozzetti;      // in the report; campiPozzetto
    std::vector<Testi> risposte;                       // the analysis window's rows
    std::vector<Testi> risposteCli;                    // campiRisposta
    bool valoreIlleggibile = false;                    // a design value's box
    // The reaches as a file the command line reads, plain and Italian (none
    // while a row does not read), and the results it must print from them
    // (none: it refuses the line).
    std::optional<std::string> fileTratti[2], esiti[2];
    std::string chiaveCheFerma; // the box the command line names
};

std::string misura(Misura m, std::optional<double> valore) {
    return valore ? testoMisura(m, *valore, Separatore::Punto) : std::string();
}
std::string misura(Misura m, const std::optional<analisi::Risposta>& r,
                   double analisi::Risposta::*valore) {
    return misura(m, r ? std::optional((*r).*valore) : std::nullopt);
}

Atteso attesoDi(const std::string& percorso) {
    Atteso a;
    a.progetto = progetto::leggiProgetto(percorso);
    a.valutazione = valutazione::valuta(a.progetto);
    const valutazione::Valutazione& v = a.valutazione;
    const valutazione::Rete& rete = v.rete;
    if (v.linea.impedimento) {
        a.legge = valutazione::testoCasella(*v.linea.impedimento);
        a.chiaveCheFerma = v.linea.impedimento->chiave;
    } else if (!rete.righe.empty()) {
        const formule::Resistenza& r = v.linea.impostazioni->resistenza;
        a.legge = std::string(formule::nomeLegge(r.legge)) + ", " + testoResistenza(r);
    } else if (v.sezione.legge.resistenza) {
        a.legge = formule::nomeLegge(v.sezione.legge.resistenza->legge);
    }
    a.conEsiti = rete.esiti.has_value();
    std::size_t k = 0;
    for (const progetto::RigaLetta& riga : rete.righe) {
        if (!riga.tratto) {
            a.tratti.push_back({riga.riga - 1, {riga.nome(), "non calcolato", "", "", ""}});
        } else if (!rete.esiti) {
            a.tratti.push_back({riga.riga - 1, {riga.nome(), "", "", "", ""}});
        } else {
            const tratti::Esito& e = rete.esiti->esiti[k++];
            a.tratti.push_back({riga.riga - 1,
                                {riga.nome(), e.verdetto(),
                                 misura(Misura::Altezza, e.progetto, &analisi::Risposta::altezza),
                                 misura(Misura::Velocita, e.progetto, &analisi::Risposta::velocita),
                                 misura(Misura::Quota, e.quotaMonte)}});
        }
    }
    for (const tratti::EsitoPozzetto& z :
         rete.esiti ? rete.esiti->pozzetti : std::vector<tratti::EsitoPozzetto>{}) {
        a.pozzetti.push_back({z.usato || !z.verificato(),
                              {z.nome,
                               !z.verificato() ? "non verificato"
                               : z.conDeroga() ? "verificato con deroga"
                                               : "verificato",
                               misura(Misura::Quota, z.quotaFondo)}});
    }
    a.valoreIlleggibile = !v.sezione.illeggibili.empty();
    for (const RigaAnalisi& riga : v.sezione.righe) {
        const Testi w = testiAnalisi(riga);
        a.risposte.push_back(w);
        a.risposteCli.push_back({w[0], misura(Misura::Altezza, riga.risposta.risposta.altezza),
                                 w[3], w[4], w[5], w[7], w[8]});
    }
    // The file of reaches the command line reads has a header line first.
    const bool illeggibile =
        std::any_of(rete.righe.begin(), rete.righe.end(), [](const auto& r) { return !r.tratto; });
    std::vector<std::size_t> righe(rete.tratti.size());
    std::iota(righe.begin(), righe.end(), 2);
    for (const auto& [i, formato] :
         {std::pair{0, tratti::Formato::Csv}, {1, tratti::Formato::CsvItaliano}}) {
        if (!illeggibile) {
            a.fileTratti[i] = tratti::testoTratti(rete.tratti, formato, rete.pozzetti);
        }
        // A fault of the shape among reaches the command line refuses; a
        // manhole no reach names it never sees.
        if (!illeggibile && rete.esiti &&
            std::all_of(rete.esiti->errori.begin(), rete.esiti->errori.end(),
                        [](const tratti::ErroreRete& e) { return e.tratti.empty(); })) {
            a.esiti[i] = tratti::testoEsiti(rete.tratti, rete.esiti->esiti, formato,
                                            Separatore::Punto, righe);
        }
    }
    return a;
}

// Field by field, each named.
void confronta(const Testi& avuto, const Testi& atteso, const Testi& campi,
               const std::string& dove) {
    ASSERT_EQ(avuto.size(), atteso.size()) << dove;
    for (std::size_t i = 0; i < atteso.size(); ++i) {
        EXPECT_EQ(avuto[i], atteso[i]) << dove << ", " << campi[i];
    }
}

std::string testo(const QVariant& dato) {
    return dato.toString().toStdString();
}

// The windows as the user has them after opening the file: the reaches'
// and manholes' tables, the line's settings, the analysis window's answers.
void confrontaFinestre(const std::string& percorso, const Atteso& a, const std::string& dove) {
    FormPrincipale finestra;
    finestra.avvisa = [&](const QString& avviso) {
        ADD_FAILURE() << dove << ": " << avviso.toStdString();
    };
    finestra.show();
    QCoreApplication::processEvents();
    ASSERT_TRUE(finestra.progetto()->apri(percorso)) << dove;
    FinestraTratti* reti = finestra.apriTratti();
    ModelloTratti& modello = *reti->modello;
    modello.attendiCalcolo();
    EXPECT_TRUE(reti->linea->text().contains(QString::fromStdString(a.legge)))
        << dove << ", legge: " << reti->linea->text().toStdString();
    for (const auto& [riga, atteso] : a.tratti) {
        const auto cella = [&](int colonna) {
            return testo(modello.index(static_cast<int>(riga), colonna).data());
        };
        Testi avuto = {cella(tratti::Nome), cella(ModelloTratti::Verdetto),
                       cella(ModelloTratti::Altezza), cella(ModelloTratti::Velocita),
                       cella(ModelloTratti::QuotaMonteUsata)};
        if (avuto[1].empty() && modello.errore(static_cast<int>(riga))) {
            avuto[1] = "non calcolato"; // the row marks its cell instead
        }
        confronta(avuto, atteso, campiTratto,
                  dove + ", finestra dei tratti, riga " + std::to_string(riga + 1));
    }
    const ModelloPozzetti& pozzetti = *reti->pozzetti;
    for (const auto& [inRelazione, atteso] : a.pozzetti) {
        int r = 0;
        while (r < pozzetti.rowCount() &&
               testo(pozzetti.index(r, ModelloPozzetti::Nome).data()) != atteso[0]) {
            ++r;
        }
        ASSERT_LT(r, pozzetti.rowCount()) << dove << ", pozzetto " << atteso[0];
        // A manhole that fails is shown in red, with the reason; one that
        // passes by an exception, in its own colour.
        const QVariant sfondo = pozzetti.index(r, ModelloPozzetti::Stato).data(Qt::BackgroundRole);
        const bool fallito = sfondo.isValid() && sfondo.value<QBrush>().color().green() < 220;
        confronta({atteso[0],
                   fallito            ? "non verificato"
                   : sfondo.isValid() ? "verificato con deroga"
                                      : "verificato",
                   testo(pozzetti.index(r, ModelloPozzetti::Scorrimento).data())},
                  atteso, campiPozzetto, dove + ", finestra dei pozzetti, " + atteso[0]);
    }
    FinestraAnalisi* analisi = finestra.apriAnalisi();
    QCoreApplication::processEvents();
    ASSERT_EQ(static_cast<std::size_t>(analisi->tabella->rowCount()), a.risposte.size()) << dove;
    for (std::size_t r = 0; r < a.risposte.size(); ++r) {
        for (std::size_t c = 0; c < a.risposte[r].size(); ++c) {
            const QTableWidgetItem* voce =
                analisi->tabella->item(static_cast<int>(r), static_cast<int>(c));
            EXPECT_EQ(voce != nullptr ? voce->text().toStdString() : "", a.risposte[r][c])
                << dove << ", finestra di analisi, riga " << a.risposte[r][0] << ", colonna " << c;
        }
    }
}

// The report saved, read back: its tables, each row's cells, and its text.
struct Letta {
    Tabelle tabelle;
    QString testo;
};
Letta pagina(const QByteArray& html) {
    QTextDocument documento;
    documento.setHtml(QString::fromUtf8(html));
    Letta letta{{}, documento.toPlainText()};
    for (QTextFrame* cornice : documento.rootFrame()->childFrames()) {
        if (const auto* t = qobject_cast<QTextTable*>(cornice)) {
            std::vector<Testi>& righe = letta.tabelle.emplace_back(t->rows());
            for (int r = 0; r < t->rows(); ++r) {
                for (int c = 0; c < t->columns(); ++c) {
                    QTextCursor cursore = t->cellAt(r, c).firstCursorPosition();
                    cursore.setPosition(t->cellAt(r, c).lastCursorPosition().position(),
                                        QTextCursor::KeepAnchor);
                    righe[static_cast<std::size_t>(r)].push_back(
                        cursore.selectedText().toStdString());
                }
            }
        }
    }
    return letta;
}
Letta word(const QByteArray& docx) {
    const std::vector<docx::Elemento> corpo = docx::leggi(docx);
    Letta letta;
    for (const docx::Testo& paragrafo : docx::paragrafi(corpo)) {
        letta.testo += paragrafo.testo + '\n';
    }
    for (const docx::Tabella& t : docx::tabelle(corpo)) {
        std::vector<Testi>& righe = letta.tabelle.emplace_back();
        for (const docx::Riga& riga : t.righe) {
            Testi& celle = righe.emplace_back();
            for (const docx::Testo& cella : riga.celle) {
                celle.push_back(cella.testo.toStdString());
                letta.testo += cella.testo + '\n';
            }
        }
    }
    return letta;
}

// The report's tables of the reaches and of the manholes, and the law's
// line among its texts; "—" is a value there is none of.
void confrontaRelazione(const Letta& letta, const Atteso& a, const std::string& dove) {
    EXPECT_TRUE(letta.testo.contains(QString::fromStdString(a.legge)))
        << dove << ", legge: " << a.legge;
    const auto tabella = [&](const char* prima, const char* seconda) -> const std::vector<Testi>* {
        for (const std::vector<Testi>& t : letta.tabelle) {
            if (t.size() > 1 && t[0].size() > 1 && t[0][0] == prima && t[0][1] == seconda) {
                return &t;
            }
        }
        return nullptr;
    };
    const auto valore = [](const std::string& cella) {
        return cella == "—" ? std::string() : cella;
    };
    const std::vector<Testi>* luogo = tabella("Tratto", "Da");
    const std::vector<Testi>* acqua = tabella("Tratto", "Q");
    if (!a.conEsiti || a.tratti.empty()) {
        EXPECT_EQ(acqua, nullptr) << dove << ": una tabella dei tratti senza esiti";
        return;
    }
    ASSERT_TRUE(luogo && acqua && acqua->size() == a.tratti.size() + 2 &&
                luogo->size() == acqua->size())
        << dove << ": le tabelle dei tratti";
    for (std::size_t k = 0; k < a.tratti.size(); ++k) {
        const Testi& w = (*acqua)[k + 2];
        // The report tells an existing reach beside its verdict.
        const std::string esito = w[9].substr(0, w[9].find(" (esistente)"));
        confronta({w[0], esito, valore(w[3]), valore(w[5]), valore((*luogo)[k + 2][6])},
                  a.tratti[k].second, campiTratto, dove + ", tratto " + a.tratti[k].second[0]);
    }
    const std::vector<Testi>* pozzetti = tabella("Pozzetto", "Terreno");
    std::size_t r = 2;
    for (const auto& [inRelazione, atteso] : a.pozzetti) {
        if (inRelazione) {
            ASSERT_TRUE(pozzetti && r < pozzetti->size()) << dove << ", pozzetto " << atteso[0];
            const Testi& z = (*pozzetti)[r++];
            confronta({z[0], z[6], valore(z[2])}, atteso, campiPozzetto,
                      dove + ", pozzetto " + atteso[0]);
        }
    }
}

QByteArray letto(const QString& percorso) {
    QFile file(percorso);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Uscita {
    int stato;
    std::string testo, errori;
};
// The command line as a process, under an Italian desktop's language.
Uscita cli(const QStringList& argomenti) {
    QProcess processo;
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert("LANG", "it_IT.UTF-8");
    ambiente.insert("LC_ALL", "it_IT.UTF-8");
    processo.setProcessEnvironment(ambiente);
    processo.start(PROGRAMMA_CLI, argomenti);
    processo.waitForFinished(-1);
    return {processo.exitStatus() == QProcess::NormalExit ? processo.exitCode() : -1,
            processo.readAllStandardOutput().toStdString(),
            processo.readAllStandardError().toStdString()};
}

std::vector<Testi> recordCsv(const std::string& testo) {
    const csv::Testo preparato = csv::preparato(testo);
    csv::Lettore lettore(preparato);
    std::vector<Testi> record;
    while (std::optional<csv::Record> r = lettore.prossimo()) {
        record.push_back(r->campi);
    }
    return record;
}

std::vector<std::string> corpus() {
    std::vector<std::string> file;
    for (const QString& nome :
         QDir(CORPUS_ACCORDO).entryList({"*.sezione"}, QDir::Files, QDir::Name)) {
        file.push_back(nome.toStdString());
    }
    return file;
}

class Accordo : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(corpus().size(), 42u);
        ASSERT_TRUE(cartella.isValid());
        for (const std::string& nome : corpus()) {
            std::setlocale(LC_ALL, "C");
            attesi[nome] = attesoDi(percorso(nome));
        }
        // The front ends run as on an Italian desktop, where the C library's
        // numbers have the decimal comma.
        if (std::setlocale(LC_ALL, "it_IT.UTF-8") == nullptr) {
            std::cout << "nota: manca il locale it_IT.UTF-8, le finestre e la relazione sotto C\n";
        }
    }
    void TearDown() override { std::setlocale(LC_ALL, "C"); }

    static std::string percorso(const std::string& nome) { return CORPUS_ACCORDO "/" + nome; }
    QString file(const QString& nome) const { return cartella.filePath(nome); }

    std::map<std::string, Atteso> attesi;
    QTemporaryDir cartella;
};

} // namespace

TEST_F(Accordo, FinestreERelazione) {
    for (const auto& [nome, a] : attesi) {
        confrontaFinestre(percorso(nome), a, nome);
        // Without a table of the main window Ctrl+R and --relazione refuse:
        // there is no report to compare.
        if (!a.valutazione.tabella.tabella) {
            continue;
        }
        for (const char* estensione : {".html", ".docx"}) {
            const QString f = file("relazione") + estensione;
            scriviRelazioneCalcoloSenzaFinestra(f.toStdString(), a.progetto, a.valutazione);
            confrontaRelazione(f.endsWith(".html") ? pagina(letto(f)) : word(letto(f)), a,
                               nome + ", relazione " + estensione);
        }
    }
}

TEST_F(Accordo, RigaDiComando) {
    const char* const formati[] = {"csv", "csv-it"};
    for (const auto& [nome, a] : attesi) {
        // A row that does not read leaves no file of reaches to give it:
        // the reaches window's export refuses it too.
        for (int i = 0; i < 2 && a.fileTratti[i]; ++i) {
            const std::string dove = nome + ", riga di comando --formato " + formati[i];
            QFile scritto(file("tratti.csv"));
            ASSERT_TRUE(scritto.open(QIODevice::WriteOnly | QIODevice::Truncate));
            scritto.write(a.fileTratti[i]->data(), static_cast<qint64>(a.fileTratti[i]->size()));
            scritto.close();
            const Uscita u = cli({"--progetto", QString::fromStdString(percorso(nome)), "--tratti",
                                  file("tratti.csv"), "--formato", formati[i]});
            if (!a.chiaveCheFerma.empty()) {
                EXPECT_EQ(u.stato, 2) << dove;
                EXPECT_NE(u.errori.find("(" + a.chiaveCheFerma), std::string::npos)
                    << dove << ": " << u.errori;
            } else if (!a.esiti[i]) {
                EXPECT_EQ(u.stato, 2) << dove;
                EXPECT_NE(u.errori.find("la rete non è un albero"), std::string::npos)
                    << dove << ": " << u.errori;
            } else {
                EXPECT_EQ(u.stato, 0) << dove << ": " << u.errori;
                const std::vector<Testi> stampati = recordCsv(u.testo),
                                         dovuti = recordCsv(*a.esiti[i]);
                ASSERT_EQ(stampati.size(), dovuti.size()) << dove << ":\n" << u.testo;
                for (std::size_t r = 0; r < dovuti.size(); ++r) {
                    confronta(stampati[r], dovuti[r], dovuti[0], dove + ", tratto " + dovuti[r][0]);
                }
            }
        }
        const Uscita s = cli({"--progetto", QString::fromStdString(percorso(nome)), "--verifiche",
                              "--formato", "csv"});
        // The answers where the project gives them all, as the analysis
        // window shows them: h to the millimetre, A, P, R, V, Q.
        const std::string dove = nome + ", riga di comando --verifiche";
        if (a.risposte.empty() || a.valoreIlleggibile) {
            EXPECT_EQ(s.stato, 2) << dove << ": " << s.testo;
            continue;
        }
        ASSERT_EQ(s.stato, 0) << dove << ": " << s.errori;
        const std::vector<Testi> righe = recordCsv(s.testo);
        ASSERT_EQ(righe.size(), a.risposte.size() + 2) << dove;
        for (std::size_t r = 0; r < a.risposteCli.size(); ++r) {
            confronta(righe[r + 2], a.risposteCli[r], campiRisposta, dove);
        }
    }
}

#include "analisi/risposte.h"
#include "app/finestra_analisi.h"
#include "app/finestra_tratti.h"
#include "app/form_principale.h"
#include "app/modello_tratti.h"
#include "con_finestra.h"
#include "documenti/elaboratore_testi.h"
#include "documenti/salvataggio.h"
#include "elaboratore/finestra_report.h"
#include "figure/figura_scala.h"
#include "figure/figura_sezione.h"
#include "linea_di_prova.h"
#include "numeri/conversioni.h"
#include "relazione/report_senza_finestra.h"

#include <QAction>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextEdit>
#include <benchmark/benchmark.h>

#include <chrono>
#include <sys/resource.h>

// The largest report (1002 rows): from the "Documento Word" button to a
// saved .docx, and to the document laid out and painted in the report
// window; the memory of twenty of them open at once; the largest
// calculation report and its figures.
namespace {

ElaboratoreTesti* elaboratoreAperto() {
    return ElaboratoreTesti::aperto();
}

QAction* azioneConTasti(FormPrincipale& finestra, const QKeySequence& tasti) {
    for (QAction* voce : finestra.findChildren<QAction*>()) {
        if (voce->shortcut() == tasti) {
            return voce;
        }
    }
    return nullptr;
}

void ReportMassimoDalPulsante(benchmark::State& misura) {
    finestraDiProva().Text3->setText("0.6");
    const QTemporaryDir cartella;
    const std::string percorso = cartella.filePath("relazione.docx").toStdString();
    for (auto _ : misura) {
        finestraDiProva().Command3->click();
        ElaboratoreTesti* elaboratore = elaboratoreAperto();
        salvaDocumento(*elaboratore->documenti().back(), percorso);

        misura.PauseTiming();
        elaboratore->chiudiDocumento(elaboratore->documenti().back());
        QCoreApplication::processEvents();
        misura.ResumeTiming();
    }
}

// From the button to the report laid out and painted in the report window:
// the report, then the editor's one layout when the event loop runs.
void ReportMassimoDalPulsanteAllaFinestra(benchmark::State& misura) {
    finestraDiProva().Text3->setText("0.6");
    for (auto _ : misura) {
        finestraDiProva().Command3->click();
        QCoreApplication::processEvents();
        ElaboratoreTesti* elaboratore = elaboratoreAperto();
        auto* finestra = qobject_cast<FinestraReport*>(elaboratore->parent());
        auto* editor = qobject_cast<QTextEdit*>(finestra->schede()->currentWidget());
        benchmark::DoNotOptimize(editor->document()->size());
        editor->viewport()->repaint();

        misura.PauseTiming();
        elaboratore->chiudiDocumento(elaboratore->documenti().back());
        QCoreApplication::processEvents();
        misura.ResumeTiming();
    }
}

// Twenty of the largest reports open at once: the peak memory of the
// process, in MB, as a counter.
void VentiReportMassimiAperti(benchmark::State& misura) {
    finestraDiProva().Text3->setText("0.6");
    for (auto _ : misura) {
        for (int i = 0; i < 20; ++i) {
            finestraDiProva().Command3->click();
            QCoreApplication::processEvents();
        }
        misura.PauseTiming();
        ElaboratoreTesti* elaboratore = elaboratoreAperto();
        while (!elaboratore->documenti().empty()) {
            elaboratore->chiudiDocumento(elaboratore->documenti().back());
        }
        QCoreApplication::processEvents();
        misura.ResumeTiming();
    }
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    misura.counters["picco_MB"] = static_cast<double>(uso.ru_maxrss) / 1024;
}

// The largest calculation report (1002 rows, a design flow and a minimum
// flow, both figures): from File → "Relazione di calcolo…" to a saved .docx.
void RelazioneCalcoloMassimaDalMenu(benchmark::State& misura) {
    FormPrincipale& finestra = finestraDiProva();
    finestra.Text3->setText("0.6");
    FinestraAnalisi* analisi = finestra.apriAnalisi();
    analisi->portata->setText("150");
    analisi->portataMinima->setText("8");
    analisi->hide();
    QAction* relazione = azioneConTasti(finestra, QKeySequence(Qt::CTRL | Qt::Key_R));
    const QTemporaryDir cartella;
    const std::string percorso = cartella.filePath("relazione.docx").toStdString();
    for (auto _ : misura) {
        relazione->trigger();
        ElaboratoreTesti* elaboratore = elaboratoreAperto();
        salvaDocumento(*elaboratore->documenti().back(), percorso);

        misura.PauseTiming();
        elaboratore->chiudiDocumento(elaboratore->documenti().back());
        QCoreApplication::processEvents();
        misura.ResumeTiming();
    }
}

// The worst project a file may hold: every text at its longest, one word
// with no blank, and reaches whose names are as long, up to the file's size.
progetto::Progetto progettoPeggiore() {
    progetto::Progetto p = progetto::progettoNuovo();
    const std::string parola(progetto::testoMassimo, 'x');
    for (std::string* testo : {&p.dati.opera, &p.dati.tratto, &p.dati.committente,
                               &p.dati.progettista, &p.dati.data, &p.dati.note}) {
        *testo = parola;
    }
    while (progetto::testoProgetto(p).size() + parola.size() < progetto::dimensioneMassima) {
        progetto::RigaTratto riga;
        riga.tratto = parola;
        riga.pendenza = progetto::Casella::daTesto("0.01");
        riga.portata = progetto::Casella::daTesto("150");
        p.tratti.push_back(riga);
    }
    return p;
}

// A project's calculation report, written and saved as .pdf or .docx
// (range 0 or 1).
void RelazioneSalvata(benchmark::State& misura, progetto::Progetto (*progettoDiProva)()) {
    const calcolo::Tabella& tabella = finestraDiProva().tabella();
    const progetto::Progetto p = progettoDiProva();
    const QTemporaryDir cartella;
    const std::string percorso =
        cartella.filePath(misura.range(0) == 0 ? "relazione.pdf" : "relazione.docx").toStdString();
    for (auto _ : misura) {
        scriviRelazioneCalcoloSenzaFinestra(
            percorso, p, valutazione::valuta(p, valutazione::tabellaCalcolata(tabella)));
    }
}

// A collector of 500 reaches with manholes and ground levels: a main line
// of 300 reaches, and ten branches of 20 joining it, every one sized from the
// catalogue, so the report holds the whole network and its profile.
progetto::Progetto progettoDiCinquecentoTratti() {
    progetto::Progetto p = progetto::progettoNuovo();
    p.dati.opera = "Collettore di prova";
    p.dati.descrizione = "Rete di 500 tratti.";
    const auto tratto = [&p](const std::string& monte, const std::string& valle, double portata,
                             const char* quota) {
        p.tratti.push_back(trattoDiProva(monte, valle, portata, quota));
    };
    const auto nome = [](const char* prefisso, int numero) {
        return std::string(prefisso).append(std::to_string(numero));
    };
    for (int k = 0; k < 300; ++k) {
        tratto(nome("P", k), nome("P", k + 1), 40 + 2 * k, k == 0 ? "200" : "");
    }
    for (int r = 0; r < 10; ++r) {
        const std::string ramo = nome("R", r).append("-");
        for (int k = 0; k < 20; ++k) {
            tratto(ramo + std::to_string(k),
                   k == 19 ? nome("P", 30 * r + 25) : ramo + std::to_string(k + 1), 20 + k,
                   k == 0 ? "205" : "");
        }
    }
    for (int k = 0; k <= 300; ++k) {
        progetto::RigaPozzetto pozzetto;
        pozzetto.pozzetto = nome("P", k);
        pozzetto.quotaTerreno = progetto::Casella::daTesto(CStr(203 - 0.16 * k));
        p.pozzetti.push_back(pozzetto);
    }
    return p;
}

// The calculation report's figures at the size it draws them, for the
// largest table: 1000 rows of 0.6 mm, and a design flow and a dry-weather one.
DatiScala scalaMassima() {
    DatiScala dati;
    dati.sezione = {0.2, 0.01, {formule::Legge::Bazin, 0.18}, formule::Geometria::Tabellare};
    for (int k = 1; k <= 1000; ++k) {
        dati.righeTabella.push_back(analisi::grandezze(dati.sezione, 0.0006 * k));
    }
    const analisi::Risposte risposte(dati.sezione);
    dati.livelli = {{"Qmin", risposte.perPortata(0.008).front().altezza},
                    {"Q1", risposte.perPortata(0.150).front().altezza}};
    return dati;
}

const QSize figuraDiRelazione(1800, 1300);

void FiguraSezione(benchmark::State& misura) {
    const DatiScala dati = scalaMassima();
    for (auto _ : misura) {
        benchmark::DoNotOptimize(figuraSezione(dati.sezione.raggio, dati.sezione.geometria,
                                               dati.livelli, figuraDiRelazione));
    }
}

void FiguraScala(benchmark::State& misura) {
    const DatiScala dati = scalaMassima();
    for (auto _ : misura) {
        benchmark::DoNotOptimize(figuraScala(dati, figuraDiRelazione));
    }
}

// The report of a 10,000-reach line from the window, as a designer gets
// it: the line in "Verifica dei tratti", File → "Relazione di calcolo…", the report in the
// word processor, saved from there as .pdf or .docx (range 0 or 1). The
// counters: composing into the word processor and saving, s.
void RelazioneLineaLungaDallaFinestra(benchmark::State& misura) {
    FormPrincipale& finestra = finestraDiProva();
    const QTemporaryDir cartella;
    FinestraTratti* tratti = finestra.apriTratti();
    tratti->impostaProgetto(lineaDiProva(10000));
    tratti->modello->attendiCalcolo();
    QAction* relazione = azioneConTasti(finestra, QKeySequence(Qt::CTRL | Qt::Key_R));
    const std::string percorso =
        cartella.filePath(misura.range(0) == 0 ? "relazione.pdf" : "relazione.docx").toStdString();
    using Orologio = std::chrono::steady_clock;
    std::chrono::duration<double> composizione{}, salvataggio{};
    for (auto _ : misura) {
        const auto inizio = Orologio::now();
        relazione->trigger();
        ElaboratoreTesti* elaboratore = elaboratoreAperto();
        const auto composto = Orologio::now();
        salvaDocumento(*elaboratore->documenti().back(), percorso);
        composizione += composto - inizio;
        salvataggio += Orologio::now() - composto;
        misura.PauseTiming();
        elaboratore->chiudiDocumento(elaboratore->documenti().back());
        QCoreApplication::processEvents();
        misura.ResumeTiming();
    }
    misura.counters["composizione_s"] = composizione.count();
    misura.counters["salvataggio_s"] = salvataggio.count();
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    misura.counters["picco_MB"] = static_cast<double>(uso.ru_maxrss) / 1024;
}

} // namespace

// The memory peak is the process's: the figures come after the twenty
// reports, so that it counts what the reports take.
BENCHMARK(ReportMassimoDalPulsanteAllaFinestra)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(VentiReportMassimiAperti)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(ReportMassimoDalPulsante)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(FiguraSezione)->Unit(benchmark::kMillisecond);
BENCHMARK(FiguraScala)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RelazioneSalvata, DiCinquecentoTratti, progettoDiCinquecentoTratti)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly();
BENCHMARK_CAPTURE(RelazioneSalvata, DelProgettoPeggiore, progettoPeggiore)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(RelazioneLineaLungaDallaFinestra)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kSecond)
    ->Iterations(1);
BENCHMARK(RelazioneCalcoloMassimaDalMenu)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

int main(int argc, char** argv) {
    return eseguiConFinestra(argc, argv);
}

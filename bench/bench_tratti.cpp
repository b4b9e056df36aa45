#include "app/finestra_analisi.h"
#include "app/finestra_tratti.h"
#include "app/form_principale.h"
#include "app/modello_tratti.h"
#include "app/progetto_finestra.h"
#include "con_finestra.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

// "Verifica dei tratti" with 10,000 reaches, on a live event loop: the time
// from a change to every result shown, and the longest the event loop was
// kept from running (a user's key or click waits that long at worst).
namespace {

constexpr int numeroTratti = 10000;

// A line of reaches as a spreadsheet would give it: slopes 0.002 to 0.01,
// flows 20 to 600 l/s, one radius in three left for the catalogue.
std::vector<progetto::RigaTratto> linea(int numero = numeroTratti) {
    std::vector<progetto::RigaTratto> righe;
    for (int i = 0; i < numero; ++i) {
        progetto::RigaTratto r;
        r.tratto = QString("T%1").arg(i + 1).toStdString();
        r.pendenza = progetto::Casella::daTesto(std::to_string(0.002 + 0.008 * (i % 97) / 96));
        r.portata = progetto::Casella::daTesto(std::to_string(20 + 580 * (i % 89) / 88.0));
        r.portataMinima = progetto::Casella::daTesto(std::to_string(1 + i % 13));
        if (i % 3 != 0) {
            r.raggio = progetto::Casella::daTesto(std::to_string(30 + 5 * (i % 7)));
        }
        righe.push_back(r);
    }
    return righe;
}

// Runs the event loop until the model has every result, beating every
// millisecond: the widest gap between beats is the longest block.
struct Attesa {
    double bloccoMassimo = 0; // ms
};

Attesa attendiEsiti(FinestraTratti& finestra, QElapsedTimer& dallInizio) {
    Attesa attesa;
    QEventLoop ciclo;
    double ultimo = 0;
    QTimer battito;
    battito.setInterval(1);
    QObject::connect(&battito, &QTimer::timeout, [&] {
        const double ora = static_cast<double>(dallInizio.nsecsElapsed()) / 1e6;
        attesa.bloccoMassimo = std::max(attesa.bloccoMassimo, ora - ultimo);
        ultimo = ora;
        if (!finestra.modello->inCalcolo()) {
            // Once more round the loop, for the last results' painting.
            finestra.tabella->viewport()->repaint();
            ciclo.quit();
        }
    });
    battito.start();
    ciclo.exec();
    return attesa;
}

FinestraTratti& finestraTratti() {
    static FinestraTratti* finestra = [] {
        FinestraTratti* f = finestraDiProva().apriTratti();
        f->modello->impostaRighe(linea());
        f->modello->attendiCalcolo();
        return f;
    }();
    return *finestra;
}

void misura(benchmark::State& stato, const std::function<void(int giro)>& cambia) {
    FinestraTratti& finestra = finestraTratti();
    double bloccoMassimo = 0;
    int giro = 0;
    for (auto _ : stato) {
        QElapsedTimer dallInizio;
        dallInizio.start();
        cambia(giro++);
        const Attesa attesa = attendiEsiti(finestra, dallInizio);
        stato.SetIterationTime(static_cast<double>(dallInizio.nsecsElapsed()) / 1e9);
        bloccoMassimo = std::max(bloccoMassimo, attesa.bloccoMassimo);
    }
    stato.counters["blocco_massimo_ms"] = bloccoMassimo;
}

// Every row new, as when a project or a file of 10,000 reaches is opened.
void DiecimilaTrattiImpostati(benchmark::State& stato) {
    const std::vector<progetto::RigaTratto> righe = linea();
    misura(stato, [&](int) { finestraTratti().modello->impostaRighe(righe); });
}

// A limit typed in the analysis window: every reach again.
void UnLimiteCambiato(benchmark::State& stato) {
    FinestraAnalisi* analisi = finestraDiProva().apriAnalisi();
    misura(stato, [&](int giro) { analisi->velocitaMinima->setText(giro % 2 == 0 ? "55" : "50"); });
}

// One cell typed: only its reach again.
void UnaCellaCambiata(benchmark::State& stato) {
    ModelloTratti* modello = finestraTratti().modello;
    misura(stato, [&](int giro) {
        modello->setData(modello->index(5000, tratti::Portata), giro % 2 == 0 ? "151" : "150");
    });
}

// A column of 10,000 flows pasted over the filled ones, then undone: each
// recomputes every reach.
void DiecimilaCelleIncollateEAnnullate(benchmark::State& stato) {
    ModelloTratti* modello = finestraTratti().modello;
    const std::vector<std::vector<std::string>> blocco(numeroTratti, {"123"});
    misura(stato, [&](int giro) {
        if (giro % 2 == 0) {
            modello->incolla(0, tratti::Portata, blocco);
        } else {
            modello->annullamenti()->undo();
        }
    });
}

// The same in a project: each change also tells whether the project now
// differs from its file, for the caption's marker.
void UnaCellaCambiataInUnProgetto(benchmark::State& stato) {
    finestraDiProva().progetto()->nuovo();
    finestraTratti().modello->impostaRighe(linea());
    finestraTratti().modello->attendiCalcolo();
    UnaCellaCambiata(stato);
}

// A key in the main window's slope box, in a project saved with its
// reaches (none, or 10,000): the table again, and the caption's marker.
// Every other key brings the box back to the saved text, so that the
// project reads as saved again.
void TastoNellaFinestraPrincipaleInUnProgetto(benchmark::State& stato) {
    FormPrincipale& principale = finestraDiProva();
    principale.progetto()->nuovo();
    finestraTratti().modello->impostaRighe(linea(static_cast<int>(stato.range(0))));
    finestraTratti().modello->attendiCalcolo();
    principale.Text2->setText("0.01");
    QTemporaryDir cartella;
    principale.progetto()->scegliFileDaSalvare = [&](const std::string&) {
        return cartella.filePath("linea.sezione").toStdString();
    };
    if (!principale.progetto()->salvaCome()) {
        stato.SkipWithError("il progetto non si salva");
        return;
    }
    bool alterna = false;
    for (auto _ : stato) {
        principale.Text2->setText(alterna ? "0.01" : "0.02");
        alterna = !alterna;
    }
}

} // namespace

BENCHMARK(TastoNellaFinestraPrincipaleInUnProgetto)
    ->Arg(0)
    ->Arg(numeroTratti)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(DiecimilaTrattiImpostati)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(UnLimiteCambiato)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(UnaCellaCambiata)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(DiecimilaCelleIncollateEAnnullate)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(6);
BENCHMARK(UnaCellaCambiataInUnProgetto)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

int main(int argc, char** argv) {
    return eseguiConFinestra(argc, argv);
}

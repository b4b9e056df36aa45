#include "app/finestra_analisi.h"
#include "app/form_principale.h"
#include "app/grafico_deflusso.h"
#include "con_finestra.h"

#include <QLineEdit>
#include <QWidget>
#include <benchmark/benchmark.h>

// One keystroke through the window's input pipeline: handler, recalculation,
// grid writes and the model's notification of the view, without painting
// (no event loop runs between keystrokes).
namespace {

void impostaIncremento(const char* incremento) {
    finestraDiProva().Text2->setText("0.01");
    finestraDiProva().Text3->setText(incremento);
}

void TastoSullaPendenza(benchmark::State& misura, const char* incremento) {
    impostaIncremento(incremento);
    bool alterna = false;
    for (auto _ : misura) {
        finestraDiProva().Text2->setText(alterna ? "0.01" : "0.02");
        alterna = !alterna;
    }
}

void RicalcoloPredefinito(benchmark::State& misura) {
    TastoSullaPendenza(misura, "100");
}
void RicalcoloMilleRighe(benchmark::State& misura) {
    TastoSullaPendenza(misura, "0.6");
}

// «0.5» is below the smallest increment: bounded to 0.6, written back, and
// so computed twice.
void RicalcoloLimitatoMilleRighe(benchmark::State& misura) {
    impostaIncremento("0.6");
    for (auto _ : misura) {
        finestraDiProva().Text3->setText("0.5");
    }
}

// The same keystroke with "Scala di deflusso e verifiche" open: it follows
// the inputs, and its chart is painted again before the next key.
void RicalcoloConAnalisiAperta(benchmark::State& misura) {
    impostaIncremento("100");
    FinestraAnalisi* analisi = finestraDiProva().apriAnalisi();
    analisi->portata->setText("370");
    bool alterna = false;
    for (auto _ : misura) {
        finestraDiProva().Text2->setText(alterna ? "0.01" : "0.02");
        alterna = !alterna;
        analisi->grafico->viewport()->repaint();
    }
    analisi->close();
}

} // namespace

BENCHMARK(RicalcoloConAnalisiAperta)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(RicalcoloPredefinito)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(RicalcoloMilleRighe)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(RicalcoloLimitatoMilleRighe)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

int main(int argc, char** argv) {
    return eseguiConFinestra(argc, argv);
}

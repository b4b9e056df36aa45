#include "app/form_principale.h"
#include "con_finestra.h"

#include <QLineEdit>
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

} // namespace

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

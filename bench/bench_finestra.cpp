#include "app/form_principale.h"

#include <QApplication>
#include <QLineEdit>
#include <benchmark/benchmark.h>

// One keystroke through the window's input pipeline: handler, recalculation,
// grid writes and the model's notification of the view, without painting
// (no event loop runs between keystrokes).
namespace {

FormPrincipale* finestra = nullptr;

void impostaIncremento(const char* incremento) {
    finestra->Text2->setText("0.01");
    finestra->Text3->setText(incremento);
}

void TastoSullaPendenza(benchmark::State& misura, const char* incremento) {
    impostaIncremento(incremento);
    bool alterna = false;
    for (auto _ : misura) {
        finestra->Text2->setText(alterna ? "0.01" : "0.02");
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
        finestra->Text3->setText("0.5");
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
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication applicazione(argc, argv);
    FormPrincipale form;
    finestra = &form;
    form.show();
    QCoreApplication::processEvents();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

#include "analisi/risposte.h"
#include "analisi/verifiche.h"

#include <benchmark/benchmark.h>

// The answers for one set of inputs, as the analysis window asks for them
// at every keystroke: full section, true maxima, the heights of a design
// flow and of a design velocity.
namespace {

const analisi::Sezione sezione{
    0.2, 0.01, {formule::Legge::Bazin, 0.18}, formule::Geometria::Tabellare};

void TutteLeRisposte(benchmark::State& misura) {
    for (auto _ : misura) {
        const analisi::Risposte risposte(sezione);
        benchmark::DoNotOptimize(analisi::risposteRichieste(risposte, 0.370, 2.0));
    }
}

void TutteLeRisposteEsatte(benchmark::State& misura) {
    analisi::Sezione esatta = sezione;
    esatta.geometria = formule::Geometria::Esatta;
    for (auto _ : misura) {
        const analisi::Risposte risposte(esatta);
        benchmark::DoNotOptimize(analisi::risposteRichieste(risposte, 0.370, 2.0));
    }
}

void CurvaDiMillePunti(benchmark::State& misura) {
    for (auto _ : misura) {
        benchmark::DoNotOptimize(analisi::curva(sezione, 1000));
    }
}

} // namespace

BENCHMARK(TutteLeRisposte)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly();
BENCHMARK(TutteLeRisposteEsatte)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly();
BENCHMARK(CurvaDiMillePunti)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly();

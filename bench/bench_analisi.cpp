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

// The same for each law, with a minimum flow as well: the design values
// are within every law's reach.
void RisposteConLaLegge(benchmark::State& misura, formule::Resistenza resistenza) {
    analisi::Sezione conLegge = sezione;
    conLegge.resistenza = resistenza;
    for (auto _ : misura) {
        const analisi::Risposte risposte(conLegge);
        benchmark::DoNotOptimize(analisi::risposteRichieste(risposte, 0.300, 1.8, 0.008));
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
BENCHMARK_CAPTURE(RisposteConLaLegge, bazin, {formule::Legge::Bazin, 0.18})
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly();
BENCHMARK_CAPTURE(RisposteConLaLegge, kutter, {formule::Legge::Kutter, 0.35})
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly();
BENCHMARK_CAPTURE(RisposteConLaLegge, strickler, {formule::Legge::Strickler, 75})
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly();
BENCHMARK_CAPTURE(RisposteConLaLegge, manning, {formule::Legge::Manning, 0.013})
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly();
BENCHMARK_CAPTURE(RisposteConLaLegge, colebrook, {formule::Legge::Colebrook, 1.0})
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly();
BENCHMARK(CurvaDiMillePunti)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly();

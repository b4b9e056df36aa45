#include "calc/calcolo.h"
#include "calc/variabili_pubbliche.h"

#include <benchmark/benchmark.h>

// The largest sweep the window allows: radius 20 cm, increment 0.6 mm, 1002 rows.
static void SweepMassimo(benchmark::State& misura) {
    auto& s = variabili_pubbliche::stato;
    s.raggio = 20;
    s.incremento = 0.6;
    s.pendenza = 0.01;
    s.coeffBazin = 0.18;
    for (auto _ : misura) {
        Modulo2::CalcolaTabella();
        benchmark::DoNotOptimize(s.portata(1002));
    }
    misura.counters["righe"] = s.numPassi + 2;
}
BENCHMARK(SweepMassimo)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly();

#include "calc/calcolo.h"
#include "calc/tabella.h"

#include <benchmark/benchmark.h>

// The largest sweep the window allows: radius 20 cm, increment 0.6 mm, 1002
// rows; on the window's computation state, and as a table returned.
static void SweepMassimo(benchmark::State& misura) {
    variabili_pubbliche::Stato s;
    s.raggio = 20;
    s.incremento = 0.6;
    s.pendenza = 0.01;
    s.coeffBazin = 0.18;
    for (auto _ : misura) {
        Modulo2::CalcolaTabella(s);
        benchmark::DoNotOptimize(s.portata(1002));
    }
    misura.counters["righe"] = s.numPassi + 2;
}
BENCHMARK(SweepMassimo)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly();

static void TabellaMassima(benchmark::State& misura) {
    calcolo::Ingressi ingressi;
    ingressi.raggio = 20;
    ingressi.incremento = 0.6;
    ingressi.pendenza = 0.01;
    ingressi.coeffBazin = 0.18;
    for (auto _ : misura) {
        benchmark::DoNotOptimize(calcolo::calcolaTabella(ingressi).righe.size());
    }
}
BENCHMARK(TabellaMassima)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly();

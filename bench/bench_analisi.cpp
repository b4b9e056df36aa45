#include "analisi/risposte.h"
#include "analisi/verifiche.h"
#include "tratti/rete.h"
#include "tratti/tratto.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

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

// A line of 10,000 reaches of the usual sizes, slopes and flows, the same
// at every run; with `dimensionati`, every radius left to the catalogue.
std::vector<tratti::Tratto> lineaDiDiecimilaTratti(bool dimensionati) {
    std::mt19937 generatore(20261207);
    const tratti::Impostazioni impostazioni;
    std::uniform_int_distribution<std::size_t> misura(0, impostazioni.catalogo.size() - 1);
    std::uniform_real_distribution<double> esponentePendenza(-3, -1.5);
    std::uniform_real_distribution<double> portata(20, 800);
    std::uniform_real_distribution<double> quotaMinima(0.005, 0.05);
    std::vector<tratti::Tratto> linea(10000);
    for (tratti::Tratto& t : linea) {
        t.raggio = impostazioni.catalogo[misura(generatore)];
        if (dimensionati) {
            t.raggio.reset();
        }
        t.pendenza = std::pow(10.0, esponentePendenza(generatore));
        t.portata = portata(generatore);
        t.portataMinima = t.portata * quotaMinima(generatore);
    }
    return linea;
}

// The whole line verified at both flows, as the command line's --tratti
// and the window's table of reaches ask for it.
void VerificaDiDiecimilaTratti(benchmark::State& misura, bool dimensionati) {
    const std::vector<tratti::Tratto> linea = lineaDiDiecimilaTratti(dimensionati);
    const tratti::Impostazioni impostazioni;
    for (auto _ : misura) {
        benchmark::DoNotOptimize(tratti::verificaTutti(linea, impostazioni));
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
BENCHMARK_CAPTURE(VerificaDiDiecimilaTratti, con_i_raggi, false)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly();
BENCHMARK_CAPTURE(VerificaDiDiecimilaTratti, dimensionati, true)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly();

#include "tratti/csv_tratti.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <sys/resource.h>

// The largest file of reaches as the command line takes it: 100,000 reaches
// in about 50 MB, read, verified (a third sized from the catalogue) and
// written as an aligned table; the process's peak memory, in MB, as a
// counter. Alone in its program, so that the peak is the line's.
namespace {

std::string fileDiCentomilaTratti() {
    std::mt19937 caso(1);
    std::uniform_real_distribution<double> pendenza(0.002, 0.012);
    std::uniform_int_distribution<int> portata(20, 400);
    const std::string nome(93, 'x');
    const std::string zeri(90, '0');
    std::string testo = "tratto,lunghezza,pendenza,raggio,portata,portata_minima,legge,scabrezza\n";
    for (int i = 0; i < 100000; ++i) {
        const char* raggi[] = {"", "30", "40"};
        // One piece at a time: GCC 12 warns falsely on a long chain of +.
        for (const std::string& pezzo :
             {std::string(1, 'T'), std::to_string(100000 + i), nome, std::string(",100."), zeri,
              std::string(","), std::to_string(pendenza(caso)), zeri, std::string(","),
              std::string(raggi[i % 3]), std::string(","), std::to_string(portata(caso)),
              std::string("."), zeri, std::string(",5,manning,0.013"), zeri, std::string("\n")}) {
            testo += pezzo;
        }
    }
    return testo;
}

void CentomilaTrattiDalFile(benchmark::State& misura) {
    const std::string testo = fileDiCentomilaTratti();
    misura.counters["file_MB"] = static_cast<double>(testo.size()) / (1024 * 1024);
    for (auto _ : misura) {
        const tratti::TrattiLetti letti = tratti::leggiTrattiConRighe(testo);
        const std::vector<tratti::Esito> esiti = tratti::verificaTutti(letti.tratti, {});
        benchmark::DoNotOptimize(tratti::testoEsiti(letti.tratti, esiti, tratti::Formato::Tabella));
    }
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    misura.counters["picco_MB"] = static_cast<double>(uso.ru_maxrss) / 1024;
}

} // namespace

BENCHMARK(CentomilaTrattiDalFile)->Unit(benchmark::kMillisecond)->Iterations(1);

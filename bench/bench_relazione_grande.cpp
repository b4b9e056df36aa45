#include "documenti/salvataggio.h"
#include "linea_di_prova.h"
#include "relazione/relazione_calcolo.h"
#include "valutazione/valutazione.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextDocument>
#include <benchmark/benchmark.h>

#include <chrono>
#include <sys/resource.h>

// The report of a long line, from its evaluation to the saved file, as the
// command line writes it: 3,000 and 10,000 reaches (a hundred networks of
// a hundred, each with its profile), as .docx (range 1) and .pdf (range 0).
// The counters: the time to compose the document and to save it, s; the
// file's size and the process's peak memory, in MB. The
// peak is the process's: run one case at a time (--benchmark_filter) to
// read one report's.
namespace {

void RelazioneLineaLunga(benchmark::State& misura) {
    const progetto::Progetto p = lineaDiProva(static_cast<std::size_t>(misura.range(0)));
    const valutazione::Valutazione v = valutazione::valuta(p);
    const QTemporaryDir cartella;
    const QString nome = misura.range(1) == 0 ? "relazione.pdf" : "relazione.docx";
    const std::string percorso = cartella.filePath(nome).toStdString();
    using Orologio = std::chrono::steady_clock;
    std::chrono::duration<double> composizione{}, salvataggio{};
    for (auto _ : misura) {
        const auto inizio = Orologio::now();
        QTextDocument documento;
        scriviRelazioneCalcolo(documento, p, v);
        const auto composto = Orologio::now();
        salvaDocumento(documento, percorso);
        composizione += composto - inizio;
        salvataggio += Orologio::now() - composto;
    }
    const double volte = static_cast<double>(misura.iterations());
    misura.counters["composizione_s"] = composizione.count() / volte;
    misura.counters["salvataggio_s"] = salvataggio.count() / volte;
    misura.counters["file_MB"] =
        static_cast<double>(QFileInfo(cartella.filePath(nome)).size()) / (1024 * 1024);
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    misura.counters["picco_MB"] = static_cast<double>(uso.ru_maxrss) / 1024;
}

} // namespace

BENCHMARK(RelazioneLineaLunga)
    ->ArgNames({"tratti", "docx"})
    ->ArgsProduct({{3000, 10000}, {1, 0}})
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

int main(int argc, char** argv) {
    // Fonts and pictures need a GUI application; no window opens.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication applicazione(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

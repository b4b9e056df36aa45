#include "app/form_principale.h"
#include "con_finestra.h"
#include "report/elaboratore_testi.h"
#include "report/finestra_report.h"
#include "report/salvataggio.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextDocument>
#include <benchmark/benchmark.h>

// The largest report (1002 rows), from the "Documento Word" button to a saved
// .docx. The report window lays the document out for its editor afterwards,
// in the event loop; that is left out of the timing.
namespace {

ElaboratoreTesti* elaboratoreAperto() {
    return ElaboratoreTesti::aperto();
}

void ReportMassimoDalPulsante(benchmark::State& misura) {
    finestraDiProva().Text3->setText("0.6");
    const QTemporaryDir cartella;
    const std::string percorso = cartella.filePath("relazione.docx").toStdString();
    for (auto _ : misura) {
        finestraDiProva().Command3->click();
        ElaboratoreTesti* elaboratore = elaboratoreAperto();
        salvaDocumento(*elaboratore->documenti().back(), percorso);

        misura.PauseTiming();
        elaboratore->chiudiDocumento(elaboratore->documenti().back());
        QCoreApplication::processEvents();
        misura.ResumeTiming();
    }
}

// What the report window does afterwards: the editor lays the document out.
void ImpaginazioneReportMassimo(benchmark::State& misura) {
    finestraDiProva().Text3->setText("0.6");
    for (auto _ : misura) {
        misura.PauseTiming();
        finestraDiProva().Command3->click();
        misura.ResumeTiming();
        QCoreApplication::processEvents();
        ElaboratoreTesti* elaboratore = elaboratoreAperto();
        benchmark::DoNotOptimize(elaboratore->documenti().back()->size());

        misura.PauseTiming();
        elaboratore->chiudiDocumento(elaboratore->documenti().back());
        QCoreApplication::processEvents();
        misura.ResumeTiming();
    }
}

} // namespace

BENCHMARK(ImpaginazioneReportMassimo)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly();
BENCHMARK(ReportMassimoDalPulsante)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

int main(int argc, char** argv) {
    return eseguiConFinestra(argc, argv);
}

#include "app/finestra_analisi.h"
#include "app/form_principale.h"
#include "app/grafico_deflusso.h"
#include "con_finestra.h"

#include "calc/calcolo.h"
#include "calc/formule_sezione.h"

#include <QLineEdit>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <charconv>
#include <chrono>

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

// «0.5» and «0.4» are below the smallest increment: the table takes 0.6,
// the box keeps what was typed and says so.
void RicalcoloLimitatoMilleRighe(benchmark::State& misura) {
    impostaIncremento("0.6");
    bool alterna = false;
    for (auto _ : misura) {
        finestraDiProva().Text3->setText(alterna ? "0.5" : "0.4");
        alterna = !alterna;
    }
}

// The same keystroke with "Scala di deflusso e verifiche" open: it follows
// the inputs, and its chart is painted again before the next key.
void RicalcoloConAnalisiAperta(benchmark::State& misura) {
    impostaIncremento("100");
    FinestraAnalisi* analisi = finestraDiProva().apriAnalisi();
    analisi->portata->setText("370");
    bool alterna = false;
    for (auto _ : misura) {
        finestraDiProva().Text2->setText(alterna ? "0.01" : "0.02");
        alterna = !alterna;
        analisi->grafico->repaint();
    }
    analisi->close();
}

// The floor a keystroke at 1000 rows is measured against: the same 1002
// rows computed with plain doubles, through the same formulas, and their
// six values written with std::to_chars, nothing else.
struct Riga {
    double contorno = 0, area = 0, raggioIdr = 0, chezy = 0, velocita = 0, portata = 0;
};

struct ConsegnaRiga {
    Riga& r;
    void rapporto(double) {}
    void angolo(double) {}
    void contorno(double v) { r.contorno = v; }
    void area(double v) { r.area = v; }
    void raggioIdr(double v) { r.raggioIdr = v; }
    void chezy(double v) { r.chezy = v; }
    void velocita(double v) { r.velocita = v; }
    void portata(double v) { r.portata = v; }
};

std::size_t pavimentoMilleRighe() {
    const double raggio = 0.2;
    const double passo = 0.0006;
    char testo[32];
    std::size_t caratteri = 0;
    for (int k = 1; k <= 1002; ++k) {
        const double h = k <= 1000 ? k * passo
                                   : raggio * (k == 1001 ? Modulo2::altezzaMaxVelocita
                                                         : Modulo2::altezzaMaxPortata);
        Riga r;
        ConsegnaRiga consegna{r};
        formule::calcolaAltezza(h, raggio, formule::Resistenza{formule::Legge::Bazin, 0.18}, 0.01,
                                formule::Geometria::Tabellare, consegna);
        const std::pair<double, int> valori[] = {{h * 100, 1},          {r.area, 4},
                                                 {r.contorno, 4},       {r.raggioIdr, 4},
                                                 {r.velocita * 100, 2}, {r.portata * 1000, 2}};
        for (const auto& [valore, decimali] : valori) {
            caratteri += static_cast<std::size_t>(std::to_chars(testo, testo + sizeof testo, valore,
                                                                std::chars_format::fixed, decimali)
                                                      .ptr -
                                                  testo);
        }
    }
    return caratteri;
}

// A keystroke at 1000 rows against the floor, both timed in the same run:
// the counters give each in ms and their ratio.
void TastoMilleRigheControPavimento(benchmark::State& misura) {
    using Orologio = std::chrono::steady_clock;
    impostaIncremento("0.6");
    bool alterna = false;
    Orologio::duration tasti{}, pavimento{};
    for (auto _ : misura) {
        const auto inizio = Orologio::now();
        finestraDiProva().Text2->setText(alterna ? "0.01" : "0.02");
        alterna = !alterna;
        const auto mezzo = Orologio::now();
        benchmark::DoNotOptimize(pavimentoMilleRighe());
        pavimento += Orologio::now() - mezzo;
        tasti += mezzo - inizio;
    }
    const auto ms = [&](Orologio::duration d) {
        return std::chrono::duration<double, std::milli>(d).count() /
               static_cast<double>(misura.iterations());
    };
    misura.counters["tasto_ms"] = ms(tasti);
    misura.counters["pavimento_ms"] = ms(pavimento);
    misura.counters["rapporto"] = ms(tasti) / ms(pavimento);
}

} // namespace

BENCHMARK(TastoMilleRigheControPavimento)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(RicalcoloConAnalisiAperta)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
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

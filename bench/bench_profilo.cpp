#include "app/finestra_profilo.h"
#include "figure/esporta_profilo.h"
#include "figure/figura_profilo.h"
#include "tratti/profilo.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <filesystem>
#include <stdexcept>

#include <random>
#include <string>
#include <vector>

// A trunk sewer of 1,000 reaches of 40 m from one head to its outlet, its
// invert known at the head: its profile drawn in a window, laid out on A3
// sheets and drawn, and written as DXF and as PDF. Then the largest lines a
// file may hold, whose work must grow with their size only: a chain of
// 99,999 reaches written as DXF at 1:10, and a star of 99,999 reaches into
// one manhole, its paths and the profile's window opened on it.
namespace {

std::string pozzetto(int numero) {
    std::string nome = "P";
    nome += std::to_string(numero);
    return nome;
}

struct Percorso {
    std::vector<tratti::Tratto> tratti;
    tratti::EsitiRete rete;
    tratti::Profilo profilo;
};

const Percorso& percorso() {
    static const Percorso p = [] {
        Percorso p;
        std::mt19937 generatore(7);
        std::uniform_real_distribution<double> pendenza(0.003, 0.01), apporto(2, 8);
        std::vector<tratti::Pozzetto> pozzetti;
        double q = 0;
        for (int k = 0; k < 1000; ++k) {
            tratti::Tratto t;
            t.pozzettoMonte = pozzetto(k);
            t.pozzettoValle = pozzetto(k + 1);
            t.nome = t.pozzettoMonte + "-" + t.pozzettoValle;
            t.lunghezza = 40;
            t.pendenza = pendenza(generatore);
            q += apporto(generatore);
            t.portata = q;
            t.portataMinima = q / 10;
            if (k == 0) {
                t.quotaMonte = 500;
            }
            p.tratti.push_back(t);
            pozzetti.push_back({t.pozzettoMonte, 503 - 0.2 * k, ""});
        }
        pozzetti.push_back({pozzetto(1000), 303, ""});
        p.rete = *tratti::calcolaRete(p.tratti, pozzetti, tratti::Impostazioni());
        p.profilo = tratti::Percorsi(p.tratti, p.rete).da("P0");
        return p;
    }();
    return p;
}

ImpaginazioneProfilo impaginazione() {
    return impaginaProfilo(percorso().profilo, dimensioniFoglio(FormatoFoglio::A3));
}

// As the window draws it: the whole path on one sheet as high as the
// view, every line and text of it painted, the view's part shown.
void ProfiloNellaFinestra(benchmark::State& misura) {
    QImage vista(QSize(1366, 700), QImage::Format_RGB32);
    for (auto _ : misura) {
        const ImpaginazioneProfilo imp = impaginaProfilo(
            percorso().profilo, QSizeF(297.0 * 1366 / 700, 297), std::nullopt, std::nullopt, true);
        QPainter pittore(&vista);
        pittore.fillRect(vista.rect(), Qt::white);
        pittore.scale(700 / 297.0, 700 / 297.0);
        disegnaFoglioProfilo(pittore, percorso().profilo, imp, 0);
    }
}

// Every A3 sheet drawn as a picture at 100 dots an inch, one after another.
void ProfiloDisegnato(benchmark::State& misura) {
    const ImpaginazioneProfilo imp = impaginazione();
    QImage immagine(QSize(420, 297) * 4, QImage::Format_RGB32);
    for (auto _ : misura) {
        for (std::size_t f = 0; f < imp.fogli.size(); ++f) {
            QPainter pittore(&immagine);
            pittore.scale(4, 4);
            disegnaFoglioProfilo(pittore, percorso().profilo, imp, f);
        }
    }
    misura.counters["fogli"] = static_cast<double>(imp.fogli.size());
}

void ProfiloDxf(benchmark::State& misura) {
    for (auto _ : misura) {
        benchmark::DoNotOptimize(profiloDxf(percorso().profilo, impaginazione()));
    }
}

void ProfiloPdf(benchmark::State& misura) {
    const std::string file = "/tmp/bench_profilo.pdf";
    for (auto _ : misura) {
        scriviProfilo(file, percorso().profilo, impaginazione());
    }
    std::remove(file.c_str());
}

constexpr int grande = 99999;

struct Rete {
    std::vector<tratti::Tratto> tratti;
    tratti::EsitiRete rete;
};

tratti::Tratto trattoDa50(std::string monte, std::string valle) {
    tratti::Tratto t;
    t.nome = monte + "-" + valle;
    t.pozzettoMonte = std::move(monte);
    t.pozzettoValle = std::move(valle);
    t.lunghezza = 50;
    t.pendenza = 0.005;
    t.raggio = 30;
    t.portata = 100;
    return t;
}

const Rete& catena() {
    static const Rete r = [] {
        Rete r;
        for (int k = 0; k < grande; ++k) {
            r.tratti.push_back(trattoDa50(pozzetto(k), pozzetto(k + 1)));
        }
        r.tratti.front().quotaMonte = 100;
        r.rete = *tratti::calcolaRete(r.tratti, {}, tratti::Impostazioni());
        return r;
    }();
    return r;
}

const Rete& stella() {
    static const Rete r = [] {
        Rete r;
        for (int k = 0; k < grande; ++k) {
            r.tratti.push_back(trattoDa50(pozzetto(k), "O"));
            r.tratti.back().quotaMonte = 100;
        }
        r.rete = *tratti::calcolaRete(r.tratti, {}, tratti::Impostazioni());
        return r;
    }();
    return r;
}

// The chain at 1:10 needs more sheets than a drawing may have: its layout
// is counted and refused, whatever the scale.
void CatenaDxfAUnoADieci(benchmark::State& misura) {
    const tratti::Profilo profilo = tratti::Percorsi(catena().tratti, catena().rete).da("P0");
    for (auto _ : misura) {
        try {
            benchmark::DoNotOptimize(profiloDxf(
                profilo, impaginaProfilo(profilo, dimensioniFoglio(FormatoFoglio::A3), 10.0)));
        } catch (const std::invalid_argument&) {
        }
    }
}

// The same chain written as a DXF file at the largest scale it may be
// drawn at: some 3,000 sheets, made and written a few at a time.
void CatenaDxfAUnoACinquemila(benchmark::State& misura) {
    const tratti::Profilo profilo = tratti::Percorsi(catena().tratti, catena().rete).da("P0");
    const std::string file = std::filesystem::temp_directory_path() / "catena_bench.dxf";
    for (auto _ : misura) {
        scriviProfilo(file, profilo,
                      impaginaProfilo(profilo, dimensioniFoglio(FormatoFoglio::A3), 5000.0));
    }
    std::filesystem::remove(file);
}

void StellaPercorsi(benchmark::State& misura) {
    const Rete& r = stella();
    for (auto _ : misura) {
        const tratti::Percorsi percorsi(r.tratti, r.rete);
        benchmark::DoNotOptimize(percorsi.testaPiuLunga());
    }
}

// What opening the window does: the paths, the heads in their list, the
// first one's profile laid out.
void StellaNellaFinestra(benchmark::State& misura) {
    const Rete& r = stella();
    FinestraProfilo finestra;
    for (auto _ : misura) {
        finestra.mostra(r.tratti, r.rete, Separatore::Punto);
    }
}

} // namespace

BENCHMARK(ProfiloNellaFinestra)->Unit(benchmark::kMillisecond);
BENCHMARK(ProfiloDisegnato)->Unit(benchmark::kMillisecond);
BENCHMARK(ProfiloDxf)->Unit(benchmark::kMillisecond);
BENCHMARK(ProfiloPdf)->Unit(benchmark::kMillisecond);
BENCHMARK(CatenaDxfAUnoADieci)->Unit(benchmark::kMillisecond);
BENCHMARK(CatenaDxfAUnoACinquemila)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(StellaPercorsi)->Unit(benchmark::kMillisecond);
BENCHMARK(StellaNellaFinestra)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication applicazione(argc, argv);
    percorso();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

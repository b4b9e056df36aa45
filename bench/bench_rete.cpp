#include "tratti/rete.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

// The network of a large town: 100,000 reaches in trees of 100 towards
// their outlets, each tree a collector of 40 reaches with three branches of
// 20, the levels known only at the heads. Computed whole: the shape, every
// radius sized downstream, the levels carried by the crowns' rule and every
// check at every manhole.
namespace {

constexpr int numeroAlberi = 1000;

std::string nome(char lettera, int albero, int numero) {
    std::string testo(1, lettera);
    testo += std::to_string(albero);
    testo += '.';
    testo += std::to_string(numero);
    return testo;
}

struct Rete {
    std::vector<tratti::Tratto> tratti;
    std::vector<tratti::Pozzetto> pozzetti;
};

Rete reteGrande() {
    std::mt19937 generatore(12345);
    std::uniform_real_distribution<double> pendenza(0.003, 0.02), apporto(2, 8), terreno(2.5, 4);
    Rete rete;
    for (int a = 0; a < numeroAlberi; ++a) {
        // The collector P0 → P40 (the outlet); branches of 20 join it at
        // P10, P20 and P30.
        std::vector<double> portata(41, 0);
        const auto aggiungi = [&](const std::string& monte, const std::string& valle, int k,
                                  double q, bool testa) {
            tratti::Tratto t;
            t.nome = monte + "-" + valle;
            t.pozzettoMonte = monte;
            t.pozzettoValle = valle;
            t.lunghezza = 40;
            t.pendenza = pendenza(generatore);
            t.portata = q;
            t.portataMinima = q * 0.1;
            if (testa) {
                t.quotaMonte = 100;
            }
            rete.tratti.push_back(std::move(t));
            rete.pozzetti.push_back({monte, 100 + terreno(generatore), ""});
            (void)k;
        };
        double q = 0;
        for (int ramo = 1; ramo <= 3; ++ramo) {
            double qr = 0;
            for (int k = 0; k < 20; ++k) {
                qr += apporto(generatore);
                aggiungi(nome('R', a, ramo * 100 + k),
                         k < 19 ? nome('R', a, ramo * 100 + k + 1) : nome('P', a, ramo * 10), k, qr,
                         k == 0);
            }
            portata[static_cast<std::size_t>(ramo * 10)] = qr;
        }
        for (int k = 0; k < 40; ++k) {
            q += apporto(generatore) + portata[static_cast<std::size_t>(k)];
            aggiungi(nome('P', a, k), nome('P', a, k + 1), k, q, k == 0);
        }
    }
    return rete;
}

void AlberiDiCentomilaTratti(benchmark::State& misura) {
    const Rete rete = reteGrande();
    const tratti::Impostazioni impostazioni;
    for (auto _ : misura) {
        benchmark::DoNotOptimize(tratti::calcolaRete(rete.tratti, rete.pozzetti, impostazioni));
    }
    misura.counters["tratti"] = static_cast<double>(rete.tratti.size());
}

} // namespace

BENCHMARK(AlberiDiCentomilaTratti)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

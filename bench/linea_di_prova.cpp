#include "linea_di_prova.h"

#include "numeri/conversioni.h"

#include <string>

progetto::RigaTratto trattoDiProva(const std::string& monte, const std::string& valle,
                                   double portata, const char* quota) {
    progetto::RigaTratto riga;
    riga.tratto = monte + "-" + valle;
    riga.pozzettoMonte = monte;
    riga.pozzettoValle = valle;
    riga.lunghezza = progetto::Casella::daTesto("40");
    riga.pendenza = progetto::Casella::daTesto("0.004");
    riga.quotaMonte = progetto::Casella::daTesto(quota);
    riga.portata = progetto::Casella::daTesto(CStr(portata));
    riga.portataMinima = progetto::Casella::daTesto(CStr(portata / 10));
    return riga;
}

progetto::Progetto lineaDiProva(std::size_t tratti) {
    progetto::Progetto p = progetto::progettoNuovo();
    p.dati.opera = "Rete di prova";
    p.dati.descrizione = "Reti di cento tratti, ognuna col suo sbocco.";
    const auto tratto = [&p](const std::string& monte, const std::string& valle, double portata,
                             const char* quota) {
        p.tratti.push_back(trattoDiProva(monte, valle, portata, quota));
    };
    constexpr int principale = 80;
    constexpr int ramo = 20;
    for (std::size_t rete = 0; p.tratti.size() < tratti; ++rete) {
        const std::string n = "N" + std::to_string(rete) + "-";
        const auto pozzetto = [&n](const char* prefisso, int k) {
            return n + prefisso + std::to_string(k);
        };
        for (int k = 0; k < principale && p.tratti.size() < tratti; ++k) {
            tratto(pozzetto("P", k), pozzetto("P", k + 1), 40 + 5 * k, k == 0 ? "200" : "");
        }
        for (int k = 0; k < ramo && p.tratti.size() < tratti; ++k) {
            tratto(pozzetto("R", k),
                   k == ramo - 1 ? pozzetto("P", principale / 2) : pozzetto("R", k + 1), 20 + k,
                   k == 0 ? "200.5" : "");
        }
        for (int k = 0; k <= principale; ++k) {
            progetto::RigaPozzetto riga;
            riga.pozzetto = pozzetto("P", k);
            riga.quotaTerreno = progetto::Casella::daTesto(CStr(203 - 0.16 * k));
            p.pozzetti.push_back(riga);
        }
    }
    return p;
}

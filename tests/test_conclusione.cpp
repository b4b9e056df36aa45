#include "progetto/progetto.h"
#include "valutazione/conclusione.h"
#include "valutazione/valutazione.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

bool ha(const std::vector<std::string>& voci, const std::string& voce) {
    return std::find(voci.begin(), voci.end(), voce) != voci.end();
}

} // namespace

// The example line's conclusion as the report and the page render it: the
// verdict in a sentence, what fails counted and tabled with its remedy, the
// exceptions and the drop manhole each in its own list.
TEST(Conclusione, LaLineaDiEsempio) {
    using valutazione::Mancanza;
    const struct {
        const char* nome;
        std::function<void(progetto::Progetto&)> cambia;
        bool idonea;
        std::string giudizio;
        std::vector<std::string> conteggi;
        std::vector<Mancanza> mancanze; // among the rows
        std::size_t righe;
        std::size_t deroghe;
    } casi[] = {
        {"idonea con le deroghe",
         [](progetto::Progetto&) {},
         true,
         "Verificati tutti i 19 tratti e tutti i pozzetti: le verifiche sono soddisfatte, con "
         "le deroghe motivate, e l'opera è idonea.",
         {},
         {},
         0,
         14},
        {"senza deroghe, più piena e più coperta",
         [](progetto::Progetto& p) {
             p.deroghe.clear();
             p.verifiche.riempimentoMassimo = progetto::Casella::daTesto("50");
             p.rete.ricoprimentoMinimo = progetto::Casella::daTesto("1.5");
         },
         false,
         "Verificati 0 tratti su 19 e 0 pozzetti su 20. L'opera non è idonea così com'è.",
         {"ricoprimento minimo: 19 tratti e 20 pozzetti", "velocità di autopulizia: 13 tratti",
          "riempimento massimo: 12 tratti", "allineamento al pozzetto: 1 tratto e 1 pozzetto"},
         {{"tratto P1-P2", "ricoprimento minimo", "a monte (pozzetto «P1»): 1.05 m < 1.50 m", ""},
          {"tratto P11-P12", "allineamento al pozzetto",
           "al pozzetto «P11»: cielo 22.55 m > 22.27 m di «P10-P11»", ""},
          {"tratto P5-P6", "riempimento massimo", "alla portata di progetto: 50.3% > 50%",
           "pendenze da 0.0054 a 0.0812 m/m"}},
         // Each reach's covers at both ends, its filling and velocity;
         // a manhole's fault is told at its reach, not twice.
         38 + 12 + 13 + 1,
         0},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        progetto::Progetto p = progetto::leggiProgetto(PROGETTO_ESEMPIO);
        c.cambia(p);
        const valutazione::ConclusioneLinea conclusione =
            valutazione::conclusioneLinea(valutazione::valuta(p), Separatore::Punto);
        EXPECT_EQ(conclusione.idonea, c.idonea);
        EXPECT_EQ(conclusione.giudizio, c.giudizio);
        EXPECT_EQ(conclusione.conteggi.voci.size(), c.conteggi.size());
        for (const std::string& conteggio : c.conteggi) {
            EXPECT_TRUE(ha(conclusione.conteggi.voci, conteggio)) << conteggio;
        }
        EXPECT_EQ(conclusione.mancanze.size(), c.righe);
        for (const Mancanza& m : c.mancanze) {
            EXPECT_NE(std::find(conclusione.mancanze.begin(), conclusione.mancanze.end(), m),
                      conclusione.mancanze.end())
                << m.elemento << ", " << m.verifica << ": " << m.valori;
        }
        EXPECT_EQ(conclusione.deroghe.voci.size(), c.deroghe);
        // The drop manhole is a provision whatever the verdict.
        EXPECT_EQ(conclusione.provvedimenti.titolo, "Previsto 1 pozzetto di salto:");
        EXPECT_EQ(conclusione.provvedimenti.voci,
                  std::vector<std::string>{"P8: salto di 0.71 m > 0.50 m"});
    }
}

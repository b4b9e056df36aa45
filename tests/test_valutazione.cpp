#include "progetto/progetto.h"
#include "progetto/righe_tratti.h"
#include "valutazione/valutazione.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

using progetto::Casella;

namespace {

// A letter and a number, built so as not to trip GCC 12's false -Wrestrict.
std::string numerato(char lettera, int numero) {
    std::string nome(1, lettera);
    nome += std::to_string(numero);
    return nome;
}

// A collector P1 → P4 of three 40 m reaches, its first invert given.
progetto::Progetto lineaDiTre() {
    progetto::Progetto p = progetto::progettoNuovo();
    for (int k = 1; k <= 3; ++k) {
        tratti::CelleTratto c{};
        c[tratti::Nome] = numerato('T', k);
        c[tratti::PozzettoMonte] = numerato('P', k);
        c[tratti::PozzettoValle] = numerato('P', k + 1);
        c[tratti::Lunghezza] = "40";
        c[tratti::Pendenza] = "0.005";
        c[tratti::QuotaMonte] = k == 1 ? "100" : "";
        c[tratti::Portata] = std::to_string(40 + 10 * k);
        p.tratti.push_back(progetto::rigaDaCelle(c));
    }
    return p;
}

} // namespace

// A box that does not read stops what needs it, and says which: no other law
// or coefficient is taken in its place.
TEST(Valutazione, UnaCasellaCheNonSiLeggeFerma) {
    const struct {
        const char* caso;
        std::function<void(progetto::Progetto&)> cambia;
        const char* chiaveSezione; // the box that stops the answers; "" when they stand
        const char* chiaveLinea;   // the box that stops the line; "" when it stands
    } casi[] = {
        {"Manning senza coefficiente leggibile",
         [](progetto::Progetto& p) {
             p.verifiche.legge = "manning";
             p.verifiche.scabrezza = Casella::daTesto("abc");
         },
         "verifiche.scabrezza", "verifiche.scabrezza"},
        {"Colebrook con la temperatura fuori dall'intervallo",
         [](progetto::Progetto& p) {
             p.verifiche.legge = "colebrook";
             p.verifiche.scabrezza = Casella::daTesto("1");
             p.verifiche.temperatura = Casella::daTesto("90");
         },
         "verifiche.temperatura", "verifiche.temperatura"},
        {"Bazin della tabella con il γ della finestra che non è un numero",
         [](progetto::Progetto& p) { p.ingressi.coefficiente = Casella::daTesto("abc"); }, "",
         "ingressi.coefficiente"},
        {"una profondità massima di zero",
         [](progetto::Progetto& p) { p.rete.profonditaMassima = Casella::daTesto("0"); }, "",
         "rete.profondita_massima"},
        {"un ricoprimento che non è un numero",
         [](progetto::Progetto& p) { p.rete.ricoprimentoMinimo = Casella::daTesto("uno"); }, "",
         "rete.ricoprimento_minimo"},
        {"tutto leggibile", [](progetto::Progetto&) {}, "", ""},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.caso);
        progetto::Progetto p = lineaDiTre();
        c.cambia(p);
        const valutazione::Valutazione v = valutazione::valuta(p);
        EXPECT_EQ(v.sezione.impedimento ? v.sezione.impedimento->chiave : "", c.chiaveSezione);
        EXPECT_EQ(v.linea.impedimento ? v.linea.impedimento->chiave : "", c.chiaveLinea);
        EXPECT_EQ(v.linea.impostazioni.has_value(), *c.chiaveLinea == '\0');
        EXPECT_EQ(v.rete.esiti.has_value(), *c.chiaveLinea == '\0');
        EXPECT_EQ(v.giudizio.idonea, std::optional<bool>(*c.chiaveLinea == '\0'));
    }
}

// A drop over the maximum is a provision: the work stays fit, and the drop
// manhole is named.
TEST(Valutazione, UnSaltoEUnPozzettoDiSaltoPrevisto) {
    progetto::Progetto p = lineaDiTre();
    p.tratti[1].quotaMonte = Casella::daTesto("98");
    p.rete.saltoMassimo = Casella::daTesto("0.5");
    const valutazione::Valutazione v = valutazione::valuta(p);
    EXPECT_EQ(v.giudizio.pozzettiDiSalto, std::vector<std::string>{"P2"});
    EXPECT_EQ(v.giudizio.verificati, 3u);
    EXPECT_EQ(v.giudizio.idonea, std::optional<bool>(true));
}

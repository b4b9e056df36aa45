#include "seme.h"
#include "tratti/parole.h"
#include "tratti/rete.h"
#include "tratti/tratto.h"
#include "tratto_di_rete.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>

using tratti::Allineamento;
using tratti::Esito;
using tratti::Impostazioni;
using tratti::Tratto;

namespace {

// A letter and a number, built so as not to trip GCC 12's false -Wrestrict.
std::string numerato(char lettera, int numero) {
    std::string nome(1, lettera);
    nome += std::to_string(numero);
    return nome;
}

bool contiene(const std::string& testo, const std::string& parte) {
    return testo.find(parte) != std::string::npos;
}

std::string motivo(const Esito& e) {
    return tratti::motivoDi(e, Separatore::Punto);
}

// What a manhole's checks found, in its words.
std::vector<std::string> testi(const std::vector<tratti::Rilievo>& rilievi) {
    std::vector<std::string> testi;
    for (const tratti::Rilievo& r : rilievi) {
        testi.push_back(tratti::testoRilievo(r, Separatore::Punto, tratti::Voce::Pozzetto));
    }
    return testi;
}

} // namespace

// On small random trees, with a check that passes a reach from a size of
// its own up, each empty radius is the one of the assignment that tries
// every size of every reach, keeps those where no reach to size is smaller
// than any size upstream of it and each passes, and takes the least in
// total.
TEST(Rete, DimensionataComeLaProvaDiOgniAssegnazione) {
    const std::optional<unsigned> s = seme();
    ASSERT_TRUE(s);
    std::mt19937 generatore(*s);
    Impostazioni impostazioni;
    impostazioni.catalogo = {25, 30, 40, 50};
    const std::vector<double>& catalogo = impostazioni.catalogo;
    for (int prova = 0; prova < 30; ++prova) {
        // Reach k flows into a later reach, or to the outlet.
        const int n = 2 + static_cast<int>(generatore() % 5);
        std::vector<int> valle(static_cast<std::size_t>(n));
        std::vector<Tratto> linea;
        std::vector<double> soglia;
        for (int k = 0; k < n; ++k) {
            const int dove = k + 1 + static_cast<int>(generatore() % static_cast<unsigned>(n - k));
            valle[static_cast<std::size_t>(k)] = dove < n ? dove : -1;
            Tratto t = tratto("", "", "", 100);
            t.nome = numerato('T', k);
            t.pozzettoMonte = numerato('P', k);
            t.pozzettoValle = dove < n ? numerato('P', dove) : "S";
            if (generatore() % 5 == 0) {
                t.raggio = catalogo[generatore() % catalogo.size()];
            }
            linea.push_back(t);
            soglia.push_back(catalogo[generatore() % catalogo.size()]);
        }
        const auto passa = [&](const Tratto& t, double r) {
            return r >= soglia[static_cast<std::size_t>(std::stoi(t.nome.substr(1)))];
        };
        const tratti::Verifica verifica = [&](const Tratto& t, const Impostazioni&) {
            Esito e;
            e.raggio = *t.raggio;
            e.pendenza = *t.pendenza;
            e.verificato = passa(t, e.raggio);
            return e;
        };
        const std::vector<Esito> esiti =
            tratti::calcolaRete(linea, {}, impostazioni, verifica)->esiti;

        std::vector<double> migliore;
        std::vector<std::size_t> scelta(linea.size(), 0);
        const std::function<void(std::size_t)> prova_ = [&](std::size_t k) {
            if (k == linea.size()) {
                std::vector<double> r(linea.size());
                for (std::size_t i = 0; i < linea.size(); ++i) {
                    r[i] = linea[i].raggio.value_or(catalogo[scelta[i]]);
                }
                for (std::size_t i = 0; i < linea.size(); ++i) {
                    const bool vuoto = !linea[i].raggio;
                    if (vuoto && !passa(linea[i], r[i])) {
                        return;
                    }
                    for (std::size_t u = 0; u < linea.size(); ++u) {
                        int giu = valle[u];
                        while (giu >= 0 && giu != static_cast<int>(i)) {
                            giu = valle[static_cast<std::size_t>(giu)];
                        }
                        if (vuoto && giu == static_cast<int>(i) && r[u] > r[i]) {
                            return;
                        }
                    }
                }
                const auto somma = [](const std::vector<double>& v) {
                    double t = 0;
                    for (const double x : v) {
                        t += x;
                    }
                    return t;
                };
                if (migliore.empty() || somma(r) < somma(migliore)) {
                    migliore = r;
                }
                return;
            }
            for (scelta[k] = 0; scelta[k] < (linea[k].raggio ? 1 : catalogo.size()); ++scelta[k]) {
                prova_(k + 1);
            }
        };
        prova_(0);
        ASSERT_FALSE(migliore.empty());
        for (std::size_t i = 0; i < linea.size(); ++i) {
            SCOPED_TRACE(linea[i].nome);
            EXPECT_EQ(esiti[i].raggio, migliore[i]);
            EXPECT_EQ(esiti[i].dimensionato, !linea[i].raggio);
        }
    }
}

// Three reaches join at P4 and one leaves it with no level of its own: its
// inverts come from the rule over the lowest of those coming in, and the
// drops follow.
TEST(Rete, QuoteDiUnaConfluenzaPerOgniRegola) {
    std::vector<Tratto> linea = {tratto("A", "P1", "P4", 50, 30), tratto("B", "P2", "P4", 120, 40),
                                 tratto("C", "P3", "P4", 30, 25), tratto("D", "P4", "P5", 220, 50)};
    linea[0].quotaMonte = 100.0; // down to 99.75
    linea[1].quotaMonte = 100.2; // down to 99.95
    linea[2].quotaMonte = 99.9;  // down to 99.65
    const auto pelo = [&](std::size_t k) {
        return tratti::verifica(linea[k], Impostazioni()).progetto->altezza;
    };
    const double peloPiuBasso = std::min({99.75 + pelo(0), 99.95 + pelo(1), 99.65 + pelo(2)});
    const struct {
        Allineamento regola;
        double monte;
        bool verificato;
    } casi[] = {
        // Crowns 100.65, 101.15, 100.40: the lowest less D's 1.50 m.
        {Allineamento::Cieli, 100.40 - 1.5, true},
        {Allineamento::Pelo, peloPiuBasso - pelo(3), true},
        // The lowest invert; B and C then drop into it, which the rule forbids.
        {Allineamento::Fondo, 99.65, false},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(tratti::nomeAllineamento(c.regola));
        Impostazioni impostazioni;
        impostazioni.allineamento = c.regola;
        const tratti::EsitiRete rete = *tratti::calcolaRete(linea, {}, impostazioni);
        const Esito& d = rete.esiti[3];
        EXPECT_NEAR(*d.quotaMonte, c.monte, 1e-9);
        EXPECT_NEAR(*d.quotaValle, c.monte - 0.25, 1e-9);
        EXPECT_NEAR(*d.salto, 99.95 - c.monte, 1e-9);
        EXPECT_EQ(d.verificato, c.verificato) << motivo(d);
        EXPECT_TRUE(rete.errori.empty());
        ASSERT_EQ(rete.alberi.size(), 1u);
        EXPECT_EQ(rete.alberi[0].sbocco, "P5");
        EXPECT_TRUE(rete.alberi[0].conQuote);
    }
}

// Each break of continuity fails the reach leaving the manhole with the
// values compared, and the manhole where it happens in its own words; a
// smaller flow only warns, a drop over the maximum fails the manhole alone.
TEST(Rete, ContinuitaAlPozzetto) {
    const struct {
        const char* nome;
        std::function<void(std::vector<Tratto>&, Impostazioni&)> cambia;
        std::string motivo, avvisi;
        std::size_t pozzetto; // where the manhole's check fails
        std::string difetto;  // none: every manhole passes
    } casi[] = {
        {"sezione", [](auto& l, auto&) { l[1].raggio = 25; },
         "la sezione si riduce verso valle: r = 25 cm dopo r = 30 cm di «A»", "", 1,
         "sezione ridotta verso valle: r = 25 cm di «B» dopo r = 30 cm di «A»"},
        {"contropendenza", [](auto& l, auto&) { l[1].quotaMonte = 99.9; },
         "contropendenza al pozzetto «P2»: lo scorrimento 99.90 m è sopra quello di «A», 99.75 m",
         "", 1, "contropendenza: lo scorrimento di «B», 99.90 m, è sopra quello di «A», 99.75 m"},
        {"portata", [](auto& l, auto&) { l[1].portata = 40; }, "",
         "portata minore di un tratto a monte: 40 l/s < 50 l/s di «A»", 1, ""},
        {"ricoprimento", [](auto&, auto& i) { i.ricoprimentoMinimo = 1.5; },
         "ricoprimento insufficiente a monte (pozzetto «P2»): 1.35 m < 1.50 m", "", 1,
         "ricoprimento di «A» insufficiente: 1.35 m < 1.50 m"},
        {"salto",
         [](auto& l, auto& i) {
             l[1].quotaMonte = 99.0;
             i.saltoMassimo = 0.5;
         },
         "", "salto di 0.75 m al pozzetto «P2», oltre 0.50 m: serve un pozzetto di salto", 1,
         "salto di 0.75 m, oltre 0.50 m: serve un pozzetto di salto"},
        {"profondità", [](auto&, auto& i) { i.profonditaMassima = 2; },
         "scavo oltre la profondità massima a valle (pozzetto «P3»): 2.20 m > 2.00 m", "", 2,
         "scavo di «B» oltre la profondità massima: 2.20 m > 2.00 m"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        std::vector<Tratto> linea = {tratto("A", "P1", "P2", 50, 30), tratto("B", "P2", "P3", 60)};
        linea[0].quotaMonte = 100;
        Impostazioni impostazioni;
        c.cambia(linea, impostazioni);
        const std::vector<tratti::Pozzetto> pozzetti = {
            {"P1", 102, ""}, {"P2", 102, ""}, {"P3", 101.7, ""}};
        const tratti::EsitiRete rete = *tratti::calcolaRete(linea, pozzetti, impostazioni);
        const Esito& b = rete.esiti[1];
        EXPECT_EQ(b.verificato, c.motivo.empty()) << motivo(b);
        EXPECT_TRUE(contiene(motivo(b), c.motivo)) << motivo(b);
        EXPECT_EQ(tratti::avvisiDi(b, Separatore::Punto), c.avvisi);
        if (c.difetto.empty()) {
            for (const tratti::EsitoPozzetto& p : rete.pozzetti) {
                EXPECT_TRUE(p.verificato()) << p.nome;
            }
        } else {
            const std::vector<std::string> difetti = testi(rete.pozzetti[c.pozzetto].rilievi);
            EXPECT_NE(std::find(difetti.begin(), difetti.end(), c.difetto), difetti.end());
            // A drop manhole is a provision: its manhole passes, as its reach does.
            EXPECT_EQ(rete.pozzetti[c.pozzetto].verificato(), c.motivo.empty() && c.avvisi != "");
        }
    }
}

// Each fault of the shape is named with its manhole and its reaches, and
// leaves the other trees computed as a network.
TEST(Rete, OgniDifettoDellaForma) {
    const struct {
        const char* nome;
        std::vector<Tratto> tratti;
        std::vector<tratti::Pozzetto> pozzetti;
        std::string pozzetto, motivo, perTratto;
    } casi[] = {
        {"diramazione",
         {tratto("A", "P1", "P2", 50), tratto("B", "P1", "P3", 50)},
         {},
         "P1",
         "dal pozzetto «P1» escono 2 tratti («A», «B»): una diramazione non è un collettore",
         "dal pozzetto «P1» escono 2 tratti: una diramazione non è un collettore"},
        {"anello",
         {tratto("A", "P1", "P2", 50), tratto("B", "P2", "P3", 50), tratto("C", "P3", "P1", 50)},
         {},
         "P1",
         "i tratti «A», «B», «C» formano un anello, chiuso al pozzetto «P1»",
         "il tratto è in un anello di 3 tratti, chiuso al pozzetto «P1»"},
        {"a sé stesso",
         {tratto("A", "P1", "P1", 50)},
         {},
         "P1",
         "il tratto «A» va dal pozzetto «P1» a sé stesso",
         "il tratto «A» va dal pozzetto «P1» a sé stesso"},
        {"non usato",
         {tratto("A", "P1", "P2", 50)},
         {{"P9", 100, ""}},
         "P9",
         "il pozzetto «P9» non è usato da alcun tratto",
         ""},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        std::vector<Tratto> linea = c.tratti;
        linea.push_back(tratto("X", "Q1", "Q2", 50));
        linea.push_back(tratto("Y", "Q2", "Q3", 50));
        const tratti::EsitiRete rete = *tratti::calcolaRete(linea, c.pozzetti, {});
        ASSERT_EQ(rete.errori.size(), 1u);
        EXPECT_EQ(rete.errori[0].rilievo.pozzetto, c.pozzetto);
        EXPECT_EQ(testi({rete.errori[0].rilievo}).front(), c.motivo);
        for (const std::size_t k : rete.errori[0].tratti) {
            EXPECT_FALSE(rete.esiti[k].verificato);
            EXPECT_TRUE(contiene(motivo(rete.esiti[k]), c.perTratto));
        }
        // The sound tree is still a network, with its outlet, and its
        // manholes pass; the fault's manhole fails by it, the others of its
        // part are left unchecked.
        EXPECT_TRUE(std::any_of(rete.alberi.begin(), rete.alberi.end(),
                                [](const tratti::Albero& a) { return a.sbocco == "Q3"; }));
        for (const tratti::EsitoPozzetto& p : rete.pozzetti) {
            const bool sano = p.nome.front() == 'Q' || (c.pozzetto == "P9" && p.nome != "P9");
            EXPECT_EQ(p.verificato(), sano) << p.nome;
            if (p.nome == c.pozzetto) {
                EXPECT_EQ(testi(p.rilievi), std::vector<std::string>{c.motivo});
            } else if (!sano) {
                EXPECT_EQ(testi(p.rilievi),
                          std::vector<std::string>{"la sua rete ha un errore: quote "
                                                   "e continuità non verificate"});
            }
        }
    }
}

// A fault of thousands of reaches is said once, naming the first few; each
// reach refers to it in a few words, so that what the line says grows with
// its reaches, not with their square.
TEST(Rete, UnDifettoDiMigliaiaDiTrattiDettoUnaVolta) {
    constexpr int n = 3000;
    const struct {
        const char* nome;
        std::function<Tratto(int)> tratto;
    } casi[] = {
        {"anello",
         [](int k) {
             return tratto(numerato('T', k).c_str(), numerato('P', k).c_str(),
                           numerato('P', (k + 1) % n).c_str(), 50, 30);
         }},
        {"diramazione",
         [](int k) {
             return tratto(numerato('T', k).c_str(), "P", numerato('Q', k).c_str(), 50, 30);
         }},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        std::vector<Tratto> linea;
        for (int k = 0; k < n; ++k) {
            linea.push_back(c.tratto(k));
        }
        const tratti::EsitiRete rete = *tratti::calcolaRete(linea, {}, {});
        ASSERT_EQ(rete.errori.size(), 1u);
        EXPECT_EQ(rete.errori[0].tratti.size(), std::size_t{n});
        const std::string detto = testi({rete.errori[0].rilievo}).front();
        EXPECT_TRUE(contiene(detto, "«T9» e altri 2990")) << detto;
        EXPECT_LT(detto.size(), 300u);
        for (const Esito& e : rete.esiti) {
            ASSERT_FALSE(e.verificato);
            ASSERT_LT(motivo(e).size(), 300u) << motivo(e);
        }
    }
}

// A reach whose results cannot be written is "non calcolato" with its
// reason; the rest of the line is computed and printed as usual.
TEST(Rete, UnRisultatoFuoriDaiNumeriNonFermaLaLinea) {
    const std::vector<Tratto> linea = {tratto("A", "P1", "P2", 50, 30),
                                       tratto("B", "P2", "P3", 50, 30)};
    const tratti::Verifica fuori = [](const Tratto& t, const Impostazioni& i) {
        Esito e = tratti::verifica(t, i);
        if (t.nome == "A") {
            e.portataPiena = HUGE_VAL;
        }
        return e;
    };
    const tratti::EsitiRete rete = *tratti::calcolaRete(linea, {}, {}, fuori);
    EXPECT_FALSE(rete.esiti[0].calcolato);
    EXPECT_EQ(motivo(rete.esiti[0]),
              "errore di calcolo: un risultato del tratto supera l'intervallo dei numeri");
    EXPECT_TRUE(rete.esiti[1].calcolato && rete.esiti[1].verificato) << motivo(rete.esiti[1]);
}

// At each bound of the slope the limit that sets it holds with equality;
// just beyond, the reach fails.
TEST(Rete, PendenzeAmmesseAlLimite) {
    const struct {
        double raggio, portata, minima;
    } casi[] = {{30, 150, 8}, {25, 20, 2}, {50, 600, 40}, {40, 90, 0}, {80, 2500, 100}};
    for (const auto& c : casi) {
        SCOPED_TRACE(c.raggio);
        Tratto t = tratto("T", "", "", c.portata, c.raggio);
        if (c.minima > 0) {
            t.portataMinima = c.minima;
        }
        const Impostazioni impostazioni;
        const analisi::Limiti& limiti = impostazioni.limiti;
        const Esito esito = tratti::verifica(t, impostazioni);
        ASSERT_FALSE(esito.senzaPendenza);
        ASSERT_TRUE(esito.pendenzaMinima && esito.pendenzaMassima);
        const auto alla = [&](double pendenza) {
            Tratto provato = t;
            provato.pendenza = pendenza;
            return tratti::verifica(provato, impostazioni);
        };
        const Esito minima = alla(*esito.pendenzaMinima);
        const double velocita =
            (minima.minima ? *minima.minima : *minima.progetto).velocita / limiti.velocitaMinima;
        const double riempimento = minima.progetto->riempimento / limiti.riempimentoMassimo;
        EXPECT_LT(std::min(std::abs(velocita - 1), std::abs(riempimento - 1)), 1e-9);
        EXPECT_FALSE(alla(*esito.pendenzaMinima * (1 - 1e-6)).verificato);
        const Esito massima = alla(*esito.pendenzaMassima);
        EXPECT_NEAR(massima.progetto->velocita / limiti.velocitaMassima, 1, 1e-9);
        EXPECT_FALSE(alla(*esito.pendenzaMassima * (1 + 1e-6)).verificato);
        EXPECT_TRUE(alla(std::sqrt(*esito.pendenzaMinima * *esito.pendenzaMassima)).verificato);
    }
}

// A tree with no invert anywhere has no levels and no level checks; an
// invert known at one end of a reach gives it the other by its slope.
TEST(Rete, QuoteDaUnaSolaQuotaNota) {
    std::vector<Tratto> linea = {tratto("A", "P1", "P2", 50, 30), tratto("B", "P2", "P3", 60, 30)};
    const std::vector<tratti::Pozzetto> bassi = {{"P2", 99, ""}, {"P3", 99, ""}};
    tratti::EsitiRete senza = *tratti::calcolaRete(linea, bassi, {});
    EXPECT_FALSE(senza.alberi.at(0).conQuote);
    EXPECT_FALSE(senza.esiti[1].quotaMonte);
    EXPECT_FALSE(senza.esiti[1].verificato) << motivo(senza.esiti[1]);

    linea[1].quotaValle = 100;
    const tratti::EsitiRete con = *tratti::calcolaRete(linea, bassi, {});
    EXPECT_TRUE(con.alberi.at(0).conQuote);
    EXPECT_NEAR(*con.esiti[1].quotaMonte, 100.25, 1e-9);
    EXPECT_FALSE(con.esiti[1].verificato);
    EXPECT_TRUE(
        contiene(motivo(con.esiti[1]), "ricoprimento insufficiente a valle (pozzetto «P3»)"))
        << motivo(con.esiti[1]);
}

// The levels never contradict themselves: no rule sets a reach leaving a
// manhole above the lowest invert coming in; a line whose only invert is
// at its outlet is levelled upstream; where the levels stop, every reach
// they do not reach names the reach that stops them. Sizes are held to
// every size upstream, not to the next one only.
TEST(Rete, QuoteESezioniCheNonSiContraddicono) {
    const auto raggio = [](Tratto t, double r) {
        t.raggio = r;
        return t;
    };
    const struct {
        const char* caso;
        std::vector<Tratto> linea;
        Allineamento regola;
        std::function<void(std::vector<Tratto>&)> cambia;
        std::function<void(const tratti::EsitiRete&)> controlla;
    } casi[] = {
        {"pelo: la portata cresce in una sezione più grande",
         {raggio(tratto("A", "P1", "P2", 400), 40), raggio(tratto("B", "P2", "P3", 410), 80)},
         Allineamento::Pelo,
         [](auto& l) { l[0].quotaMonte = 100; },
         [](const tratti::EsitiRete& r) {
             EXPECT_LE(*r.esiti[1].quotaMonte, *r.esiti[0].quotaValle);
             EXPECT_FALSE(contiene(motivo(r.esiti[1]), "contropendenza"));
         }},
        {"cieli: un raggio digitato che si riduce",
         {raggio(tratto("A", "P1", "P2", 50), 60), raggio(tratto("B", "P2", "P3", 50), 30)},
         Allineamento::Cieli,
         [](auto& l) { l[0].quotaMonte = 100; },
         [](const tratti::EsitiRete& r) {
             EXPECT_DOUBLE_EQ(*r.esiti[1].quotaMonte, *r.esiti[0].quotaValle);
             EXPECT_TRUE(contiene(motivo(r.esiti[1]), "la sezione si riduce verso valle"));
             EXPECT_FALSE(contiene(motivo(r.esiti[1]), "contropendenza"));
         }},
        {"la sola quota allo sbocco",
         {raggio(tratto("A", "P1", "P2", 50), 30), raggio(tratto("B", "P2", "P3", 60), 40)},
         Allineamento::Cieli,
         [](auto& l) { l[1].quotaValle = 99; },
         [](const tratti::EsitiRete& r) {
             ASSERT_TRUE(r.esiti[0].quotaValle && r.esiti[0].quotaMonte);
             // The crowns meet at P2: 0.90 m of A over 1.20 m of B.
             EXPECT_NEAR(*r.esiti[0].quotaValle, *r.esiti[1].quotaMonte + 0.30, 1e-9);
             EXPECT_TRUE(r.esiti[0].verificato) << motivo(r.esiti[0]);
         }},
        {"un tratto senza lunghezza ferma le quote",
         {tratto("A", "P1", "P2", 50, 30), tratto("B", "P2", "P3", 60, 30),
          tratto("C", "P3", "P4", 70, 30)},
         Allineamento::Cieli,
         [](auto& l) {
             l[0].quotaMonte = 100;
             l[1].lunghezza.reset();
         },
         [](const tratti::EsitiRete& r) {
             EXPECT_TRUE(r.esiti[0].verificato) << motivo(r.esiti[0]);
             for (const std::size_t k : {1, 2}) {
                 EXPECT_FALSE(r.esiti[k].verificato);
                 EXPECT_TRUE(
                     contiene(motivo(r.esiti[k]), "quote non calcolate: manca la lunghezza di «B»"))
                     << motivo(r.esiti[k]);
             }
         }},
        {"nessuna sezione minore di una a monte, digitata o scelta",
         {raggio(tratto("A", "P1", "P2", 50), 60), raggio(tratto("B", "P2", "P3", 60), 30),
          tratto("C", "P3", "P4", 70), raggio(tratto("D", "P4", "P5", 80), 40)},
         Allineamento::Cieli,
         [](auto&) {},
         [](const tratti::EsitiRete& r) {
             EXPECT_GE(r.esiti[2].raggio, 60);
             EXPECT_TRUE(contiene(motivo(r.esiti[3]),
                                  "la sezione si riduce verso valle: r = 40 cm dopo r = "))
                 << motivo(r.esiti[3]);
         }},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.caso);
        std::vector<Tratto> linea = c.linea;
        c.cambia(linea);
        Impostazioni impostazioni;
        impostazioni.allineamento = c.regola;
        impostazioni.catalogo = {25, 30, 40, 50, 60, 70, 80, 90, 100};
        c.controlla(*tratti::calcolaRete(linea, {}, impostazioni));
    }
}

// A tree whose ground is known but no invert at all: its cover cannot be
// checked, and each reach says so rather than pass; without ground, there
// is nothing to say.
TEST(Rete, TerrenoSenzaQuoteNonVerificabile) {
    const std::vector<Tratto> linea = {tratto("A", "P1", "P2", 50, 30),
                                       tratto("B", "P2", "P3", 60, 30)};
    for (const bool conTerreno : {true, false}) {
        SCOPED_TRACE(conTerreno);
        const std::vector<tratti::Pozzetto> pozzetti = {
            {"P1", conTerreno ? std::optional(101.0) : std::nullopt, ""}};
        const tratti::EsitiRete r = *tratti::calcolaRete(linea, pozzetti, Impostazioni());
        for (const Esito& e : r.esiti) {
            EXPECT_EQ(e.verificato, !conTerreno) << motivo(e);
            EXPECT_EQ(contiene(motivo(e), "nessuna quota di scorrimento nella rete"), conTerreno);
        }
    }
}

// No slope passes a size whose self-cleansing needs more slope than its
// maximum velocity allows: the reason says so.
TEST(Rete, NessunaPendenzaAllaMisura) {
    Tratto t = tratto("T", "", "", 2, 100);
    t.portataMinima = 0.1;
    Impostazioni impostazioni;
    impostazioni.limiti.velocitaMassima = 0.6;
    const Esito esito = tratti::verifica(t, impostazioni);
    EXPECT_TRUE(esito.senzaPendenza);
    EXPECT_FALSE(esito.verificato);
    EXPECT_TRUE(contiene(motivo(esito), "nessuna pendenza rispetta i limiti con r = 100 cm"))
        << motivo(esito);
}

// A slope typed and inverts typed over a length are one fact: drops apart
// by more than a millimetre fail the reach, in a network or on its own,
// with both values in its words; within a millimetre, or with a value
// missing, nothing is found.
TEST(Rete, PendenzaEQuoteUnSoloFatto) {
    const struct {
        const char* caso;
        std::optional<double> pendenza, monte, valle, lunghezza;
        bool inRete;
        Separatore separatore;
        const char* parole; // none: they agree
    } casi[] = {
        {"in disaccordo", 0.005, 100, 99.7, 50, true, Separatore::Punto,
         "pendenza 0.0050 e quote 100.00 − 99.70 m su 50.00 m (0.0060) in disaccordo di 50 mm"},
        {"a sé, con la virgola", 0.005, 100, 99.752, 50, false, Separatore::Virgola,
         "pendenza 0,0050 e quote 100,00 − 99,752 m su 50,00 m (0,00496) in disaccordo di 2 mm"},
        {"poco oltre il millimetro", 0.005, 100, 99.7515, 50, true, Separatore::Punto,
         "in disaccordo di 1.5 mm"},
        {"d'accordo", 0.006, 100, 99.7, 50, true, Separatore::Punto, nullptr},
        {"entro il millimetro", 0.005, 100, 99.749, 50, true, Separatore::Punto, nullptr},
        {"senza pendenza", std::nullopt, 100, 99.7, 50, true, Separatore::Punto, nullptr},
        {"senza la quota di valle", 0.005, 100, std::nullopt, 50, true, Separatore::Punto, nullptr},
        {"senza lunghezza", 0.005, 100, 99.7, std::nullopt, false, Separatore::Punto, nullptr},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.caso);
        Tratto t = c.inRete ? tratto("A", "P1", "P2", 50, 30) : tratto("A", "", "", 50, 30);
        t.pendenza = c.pendenza;
        t.quotaMonte = c.monte;
        t.quotaValle = c.valle;
        t.lunghezza = c.lunghezza;
        const std::vector<Tratto> linea = {t, tratto("B", "P2", "P3", 50, 30)};
        const Esito e = tratti::calcolaRete(linea, {}, {})->esiti[0];
        const std::string testo = tratti::motivoDi(e, c.separatore);
        if (c.parole == nullptr) {
            EXPECT_TRUE(e.verificato) << testo;
        } else {
            EXPECT_FALSE(e.verificato);
            EXPECT_TRUE(contiene(testo, c.parole)) << testo;
        }
    }
}

// A manhole's depth reaches the lowest invert at it, whether that of a
// reach coming in or of the one leaving: a counter-step leaves the shaft
// as deep as the reach arriving.
TEST(Rete, ProfonditaAlFondoPiuBasso) {
    const struct {
        const char* caso;
        double monteB;     // the invert of B leaving P2
        double p1, p2, p3; // expected depths
    } casi[] = {
        {"una contropendenza: il fondo di A", 99.92, 2.0, 3.13, 2.33},
        {"un salto: il fondo di B", 99.60, 2.0, 3.28, 2.65},
        {"allineati", 99.75, 2.0, 3.13, 2.50},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.caso);
        std::vector<Tratto> linea = {tratto("A", "P1", "P2", 50, 30),
                                     tratto("B", "P2", "P3", 60, 30)};
        linea[0].quotaMonte = 100;
        linea[1].quotaMonte = c.monteB;
        const tratti::EsitiRete r =
            *tratti::calcolaRete(linea, {{"P1", 102, ""}, {"P2", 102.88, ""}, {"P3", 102, ""}}, {});
        ASSERT_EQ(r.pozzetti.size(), 3U);
        const double attese[] = {c.p1, c.p2, c.p3};
        for (std::size_t p = 0; p < 3; ++p) {
            ASSERT_TRUE(r.pozzetti[p].profondita) << r.pozzetti[p].nome;
            EXPECT_NEAR(*r.pozzetti[p].profondita, attese[p], 1e-9) << r.pozzetti[p].nome;
        }
    }
    // No ground, or no levels: no depth.
    const tratti::EsitiRete senza =
        *tratti::calcolaRete({tratto("A", "P1", "P2", 50, 30)}, {{"P2", 102, ""}}, {});
    for (const tratti::EsitoPozzetto& p : senza.pozzetti) {
        EXPECT_FALSE(p.profondita) << p.nome;
    }
}

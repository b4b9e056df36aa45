#include "analisi/profilo.h"
#include "analisi/risposte.h"
#include "analisi/verifiche.h"
#include "errori/errore_runtime.h"

#include <boost/math/tools/toms748_solve.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

using analisi::Risposte;
using analisi::Sezione;
using formule::Geometria;
using formule::Legge;

namespace {

// Radius 20 cm, slope 0.01, Bazin 0.18: the window's defaults.
Sezione predefinita(Geometria geometria = Geometria::Tabellare) {
    return {0.2, 0.01, {Legge::Bazin, 0.18}, geometria};
}

double relativo(double a, double b) {
    return std::fabs(a - b) / std::fabs(b);
}

} // namespace

TEST(Risposte, SezionePienaComeLaTabella) {
    const Risposte r(predefinita());
    EXPECT_EQ(r.piena().altezza, 3 * 0.2);
    EXPECT_NEAR(r.piena().area, 0.1836319, 5e-8);
    EXPECT_NEAR(r.piena().portata, 0.3554884, 5e-8);
    EXPECT_EQ(r.piena().riempimento, 1.0);
    EXPECT_EQ(r.piena().portataRelativa, 1.0);
}

TEST(Risposte, IMassimiSonoMassimi) {
    for (const Geometria g : {Geometria::Tabellare, Geometria::Esatta}) {
        for (const double gamma : {0.06, 0.18, 0.36, 1.75}) {
            const Sezione s{0.2, 0.01, {Legge::Bazin, gamma}, g};
            const Risposte r(s);
            const double hv = r.velocitaMassima().altezza;
            const double hq = r.portataMassima().altezza;
            EXPECT_NEAR(hv / 0.2, 2.56, 0.02);
            EXPECT_NEAR(hq / 0.2, 2.86, 0.04);
            for (const double passo : {1e-7, 1e-5, 1e-3}) {
                for (const double h : {hv - passo, hv + passo}) {
                    EXPECT_LE(analisi::grandezze(s, h).velocita, r.velocitaMassima().velocita);
                }
                for (const double h : {hq - passo, hq + passo}) {
                    EXPECT_LE(analisi::grandezze(s, h).portata, r.portataMassima().portata);
                }
            }
            // The table's fixed rows fall short of the true maxima.
            EXPECT_LE(analisi::grandezze(s, 2.562 * 0.2).velocita, r.velocitaMassima().velocita);
            EXPECT_LE(analisi::grandezze(s, 2.859 * 0.2).portata, r.portataMassima().portata);
        }
    }
}

// In the exact crown the velocity, a rising function of R, peaks where
// A'P = AP': cos²a (P2r + 2a) = A2r + a + ½ sin 2a with h = 2r + r sin a.
// Solved here on its own, it checks the height to 1e-10.
TEST(Risposte, VelocitaMassimaEsattaAUnDecimiliardesimo) {
    const Sezione s = predefinita(Geometria::Esatta);
    const formule::Costanti& k = formule::costanti(Geometria::Esatta);
    const auto condizione = [&](double a) {
        return std::cos(a) * std::cos(a) * (k.contornoA2r + 2 * a) -
               (k.areaA2r + a + 0.5 * std::sin(2 * a));
    };
    std::uintmax_t iterazioni = 200;
    const auto [basso, alto] = boost::math::tools::toms748_solve(
        condizione, 0.1, 1.5, boost::math::tools::eps_tolerance<double>(52), iterazioni);
    const double atteso = 2 * 0.2 + 0.2 * std::sin((basso + alto) / 2);
    EXPECT_LT(relativo(Risposte(s).velocitaMassima().altezza, atteso), 1e-10);
}

TEST(Risposte, QuanteAltezzePerOgniFasciaDiPortate) {
    const Sezione s = predefinita();
    const Risposte r(s);
    const double piena = r.piena().portata;
    const double massima = r.portataMassima().portata;
    EXPECT_EQ(r.perPortata(massima * 1.001).size(), 0u);
    EXPECT_EQ(r.perPortata(0.370).size(), 2u); // 370 l/s
    EXPECT_EQ(r.perPortata((piena + massima) / 2).size(), 2u);
    EXPECT_EQ(r.perPortata(piena * 0.999).size(), 1u);
    EXPECT_EQ(r.perPortata(0.0177).size(), 1u);
    EXPECT_EQ(r.perPortata(0).size(), 0u);
    EXPECT_EQ(r.perPortata(-1).size(), 0u);

    // The table's step at r/5: flows between the side formulas' value just
    // above r/5 and the invert's at r/5 are reached twice down there.
    const double alFondo = analisi::grandezze(s, 0.04).portata;
    const double suiFianchi = analisi::grandezze(s, std::nextafter(0.04, 1.0)).portata;
    ASSERT_LT(suiFianchi, alFondo);
    const auto nellaFascia = r.perPortata((alFondo + suiFianchi) / 2);
    ASSERT_EQ(nellaFascia.size(), 2u);
    EXPECT_LE(nellaFascia[0].altezza, 0.04);
    EXPECT_GT(nellaFascia[1].altezza, 0.04);
    EXPECT_EQ(Risposte(predefinita(Geometria::Esatta)).perPortata(alFondo * 0.99).size(), 1u);

    // The velocity: the same bands around its own maximum.
    EXPECT_EQ(r.perVelocita(r.velocitaMassima().velocita * 1.001).size(), 0u);
    EXPECT_EQ(r.perVelocita(r.piena().velocita * 1.05).size(), 2u);
    EXPECT_EQ(r.perVelocita(0.5).size(), 1u);
}

// The height of a random flow or velocity, then the heights of that value:
// one of them is the height started from. Near a maximum the inverse is
// ill-conditioned and is left out.
TEST(Risposte, AndataERitornoSuIngressiCasuali) {
    std::mt19937 caso(20261207);
    std::uniform_real_distribution<double> uniforme(0, 1);
    int provate = 0;
    for (int prova = 0; prova < 400; ++prova) {
        const Sezione s{0.05 + 2 * uniforme(caso),
                        std::pow(10, -4 + 2.5 * uniforme(caso)),
                        {Legge::Bazin, 0.06 + 1.7 * uniforme(caso)},
                        prova % 2 == 0 ? Geometria::Tabellare : Geometria::Esatta};
        const Risposte r(s);
        const double h = s.altezzaPiena() * (1e-4 + (1 - 1e-4) * uniforme(caso));
        const analisi::Grandezze g = analisi::grandezze(s, h);
        const double piena = s.altezzaPiena();
        const bool vicinoV = std::fabs(h - r.velocitaMassima().altezza) < 0.02 * piena;
        const bool vicinoQ = std::fabs(h - r.portataMassima().altezza) < 0.02 * piena;
        const auto contiene = [&](const std::vector<analisi::Risposta>& altezze) {
            for (const auto& a : altezze) {
                if (relativo(a.altezza, h) < 1e-10) {
                    return true;
                }
            }
            return false;
        };
        SCOPED_TRACE("prova " + std::to_string(prova));
        if (!vicinoQ) {
            EXPECT_TRUE(contiene(r.perPortata(g.portata))) << h;
        }
        if (!vicinoV) {
            EXPECT_TRUE(contiene(r.perVelocita(g.velocita))) << h;
        }
        provate += !vicinoQ && !vicinoV;
    }
    EXPECT_GT(provate, 300);
}

TEST(SezioneEsatta, ValoriDelleTabelleClassiche) {
    const formule::Costanti& k = formule::costanti(Geometria::Esatta);
    EXPECT_NEAR(k.areaA2r, 3.02333, 5e-6);
    EXPECT_NEAR(k.contornoA2r, 4.78830, 5e-6);
    EXPECT_EQ(k.quartoDiGiro, M_PI / 2);

    const double r = 0.2;
    const Risposte risposte(predefinita(Geometria::Esatta));
    const analisi::Risposta& piena = risposte.piena();
    EXPECT_NEAR(piena.area / (r * r), 4.5941, 5e-5);
    EXPECT_NEAR(piena.area / (9 * r * r), 0.5105, 5e-5);
    EXPECT_NEAR(piena.raggioIdr / r, 0.5793, 5e-5);
    EXPECT_NEAR(piena.raggioIdr / (3 * r), 0.1931, 5e-5);
}

// The exact profile has no step: the area and the perimeter run on across
// r/5 and 2r, and the area rises all the way up.
TEST(SezioneEsatta, ContinuaECrescente) {
    const Sezione s = predefinita(Geometria::Esatta);
    for (const double confine : {0.04, 0.4}) {
        const auto sotto = analisi::grandezze(s, confine);
        const auto sopra = analisi::grandezze(s, std::nextafter(confine, 1.0));
        EXPECT_LT(relativo(sopra.area, sotto.area), 1e-12) << confine;
        EXPECT_LT(relativo(sopra.contorno, sotto.contorno), 1e-12) << confine;
        EXPECT_LT(relativo(sopra.portata, sotto.portata), 1e-12) << confine;
    }
    double precedente = 0;
    for (const auto& g : analisi::curva(s, 3000)) {
        EXPECT_GT(g.area, precedente) << g.altezza;
        precedente = g.area;
    }
}

TEST(Curva, AltezzeEquidistantiFinoAllaSezionePiena) {
    const Sezione s = predefinita();
    const auto punti = analisi::curva(s, 6);
    ASSERT_EQ(punti.size(), 6u);
    EXPECT_DOUBLE_EQ(punti[0].altezza, 0.1);
    EXPECT_EQ(punti[5].altezza, s.altezzaPiena());
    EXPECT_EQ(punti[5].portata, Risposte(s).piena().portata);
    EXPECT_NEAR(punti[0].portata, 0.0177125, 5e-8);
}

TEST(Scarto, TabellareControEsattaPiccoloMaNonNullo) {
    const Sezione s = predefinita();
    for (const double h : {0.1, 0.3, 0.5, 0.6}) {
        const double scarto = analisi::scartoTabellarePercento(s, h);
        EXPECT_LT(std::fabs(scarto), 2.0) << h;
        EXPECT_NE(scarto, 0.0) << h;
    }
}

// The outline the window draws: the arcs meet without a step, the width is
// 2r at 2r and 0.8 r where the side arcs meet the invert.
TEST(Profilo, ArchiTangentiESemilarghezzeNote) {
    const double r = 0.2;
    EXPECT_DOUBLE_EQ(analisi::semilarghezza(r, 2 * r), r);
    EXPECT_NEAR(analisi::semilarghezza(r, r / 5), 0.4 * r, 1e-15);
    EXPECT_NEAR(analisi::semilarghezza(r, std::nextafter(r / 5, 1.0)), 0.4 * r, 1e-12);
    EXPECT_DOUBLE_EQ(analisi::semilarghezza(r, 0), 0);
    EXPECT_NEAR(analisi::semilarghezza(r, 3 * r), 0, 1e-7);
    EXPECT_EQ(analisi::semilarghezza(r, -0.01), 0);
    EXPECT_EQ(analisi::semilarghezza(r, 0.61), 0);
}

TEST(Verifiche, EtichetteEdEsiti) {
    const Risposte r(predefinita());
    const analisi::RisposteRichieste richieste = analisi::risposteRichieste(r, 0.370, 5.0);
    std::vector<std::string> etichette;
    for (const auto& riga : richieste.righe) {
        etichette.push_back(riga.etichetta);
    }
    EXPECT_EQ(etichette, (std::vector<std::string>{"Q1", "Q2", "Piena", "Vmax", "Qmax"}));
    EXPECT_TRUE(richieste.portataRaggiunta);
    EXPECT_FALSE(richieste.velocitaRaggiunta);

    const analisi::Limiti limiti; // 0.5 m/s, 4 m/s, 70%
    EXPECT_TRUE(analisi::verifica(r.perPortata(0.02)[0], limiti).conforme());
    const analisi::Esito piena = analisi::verifica(r.piena(), limiti);
    EXPECT_TRUE(piena.troppoPiena);
    EXPECT_EQ(piena.testo(), "riempimento oltre il limite");
    const analisi::Esito lenta = analisi::verifica(r.perPortata(0.0005)[0], {1.0, 1.5, 0.01});
    EXPECT_EQ(lenta.testo(), "velocità troppo bassa, riempimento oltre il limite");
}

// Sections far from the usual, both ways: a flow read back to its height.
TEST(Risposte, SezioniEstreme) {
    for (const Sezione s : {Sezione{1e-6, 1e-8, {Legge::Bazin, 100}, Geometria::Tabellare},
                            Sezione{1000, 1, {Legge::Bazin, 0.06}, Geometria::Esatta},
                            Sezione{0.01, 0.5, {Legge::Bazin, 1.75}, Geometria::Tabellare}}) {
        SCOPED_TRACE(s.raggio);
        const Risposte r(s);
        EXPECT_NEAR(r.portataMassima().altezza / s.raggio, 2.86, 0.05);
        for (const double frazione : {0.05, 0.3, 0.7}) {
            const double h = frazione * s.altezzaPiena();
            const auto altezze = r.perPortata(analisi::grandezze(s, h).portata);
            ASSERT_FALSE(altezze.empty());
            EXPECT_LT(relativo(altezze.front().altezza, h), 1e-10);
        }
    }
}

// A value the formulas cannot give back, far down the invert, has no height
// rather than a wrong one.
TEST(Risposte, ValoriMinusculiSenzaAltezzeSbagliate) {
    const Risposte r(predefinita());
    EXPECT_TRUE(r.perPortata(1e-30).empty());
    for (const auto& a : r.perVelocita(1e-12)) {
        EXPECT_LT(relativo(a.velocita, 1e-12), 1e-6);
    }
}

// The dry-weather flow: one row after the design rows, at the lowest of its
// heights (there are two between the full section's flow and the maximum),
// held to the self-cleansing velocity alone.
TEST(Verifiche, PortataMinima) {
    const Risposte r(predefinita());
    for (const double q : {0.008, (r.piena().portata + r.portataMassima().portata) / 2}) {
        const auto righe = analisi::risposteRichieste(r, 0.150, {}, q).righe;
        ASSERT_EQ(righe.size(), 5u);
        EXPECT_EQ(righe[1].etichetta, "Qmin");
        EXPECT_EQ(righe[1].risposta.altezza, r.perPortata(q).front().altezza);
    }

    const auto righe = analisi::risposteRichieste(r, 0.150, {}, 0.008).righe;
    const double v = righe[1].risposta.velocita;
    const struct {
        analisi::Limiti limiti;
        const char* minima;
        const char* progetto;
    } casi[] = {
        {{v * 0.999, 4.0, 0.7}, "conforme", "conforme"},
        {{v * 1.001, 4.0, 0.7}, "velocità troppo bassa", "conforme"},
        {{v * 0.5, v * 0.9, 0.01}, "conforme", "velocità troppo alta, riempimento oltre il limite"},
    };
    for (const auto& c : casi) {
        EXPECT_EQ(analisi::verifica(righe[1], c.limiti)->testo(), c.minima);
        EXPECT_EQ(analisi::verifica(righe[0], c.limiti)->testo(), c.progetto);
    }
}

// Radii across the whole range of the doubles, from the least subnormal to
// the largest finite, under every law and both geometries: each answer
// returns or is refused after a bounded number of evaluations.
TEST(Risposte, OgniRaggioFiniscePresto) {
    std::vector<double> raggi = {std::numeric_limits<double>::denorm_min(),
                                 4e-320,
                                 1e-319,
                                 5e-317,
                                 std::numeric_limits<double>::min(),
                                 std::numeric_limits<double>::max()};
    for (int esponente = -300; esponente <= 300; esponente += 25) {
        raggi.push_back(std::pow(10.0, esponente));
    }
    const formule::Resistenza leggi[] = {{Legge::Bazin, 0.18},
                                         {Legge::Kutter, 0.35},
                                         {Legge::Strickler, 70},
                                         {Legge::Manning, 0.013},
                                         {Legge::Colebrook, 1, 15}};
    constexpr std::size_t valutazioniMassime = 1000;
    for (const double raggio : raggi) {
        for (const auto& legge : leggi) {
            for (const Geometria g : {Geometria::Tabellare, Geometria::Esatta}) {
                SCOPED_TRACE(testing::Message() << raggio << " " << static_cast<int>(legge.legge)
                                                << " " << static_cast<int>(g));
                try {
                    const Risposte r(Sezione{raggio, 0.01, legge, g});
                    EXPECT_LE(r.valutazioni(), valutazioniMassime);
                    r.perPortata(0.150);
                    r.perVelocita(1.5);
                    r.perPortata(r.portataMassima().portata / 2);
                    EXPECT_LE(r.valutazioni(), 3 * valutazioniMassime);
                } catch (const ErroreRuntime&) {
                    // Refused, with its reason: fine.
                }
            }
        }
    }
    // The radii that hung before are refused by name.
    try {
        Risposte(Sezione{1e-321, 0.01, {Legge::Bazin, 0.18}, Geometria::Tabellare});
        ADD_FAILURE() << "un raggio subnormale non è rifiutato";
    } catch (const ErroreRuntime& e) {
        EXPECT_EQ(e.tipo(), TipoErrore::Underflow);
    }
}

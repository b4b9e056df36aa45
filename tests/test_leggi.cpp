#include "analisi/risposte.h"
#include "cli/esecuzione.h"
#include "seme.h"

#include <boost/math/tools/toms748_solve.hpp>
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <sstream>

using analisi::Sezione;
using formule::Geometria;
using formule::Legge;
using formule::Resistenza;

namespace {

// The laws as the textbooks write them, on their own: the program gives the
// hydraulic radius, the velocity comes from here.
constexpr double gravita = 9.81;

double viscosita(double temperatura) {
    return 1.792e-6 / (1 + 0.0337 * temperatura + 0.000221 * temperatura * temperatura);
}

// 1/√λ of Colebrook–White, found by iteration: a trial x = 1/√λ gives the
// velocity x √(8 g R i), and the Reynolds number from it.
double inversoRadiceLambda(double raggioIdr, double pendenza, double ksMm, double temperatura) {
    const double scala = std::sqrt(8 * gravita * raggioIdr * pendenza);
    const auto equazione = [&](double x) {
        const double reynolds = 4 * raggioIdr * x * scala / viscosita(temperatura);
        return x + 2 * std::log10(ksMm / 1000 / (14.84 * raggioIdr) + 2.51 * x / reynolds);
    };
    std::uintmax_t iterazioni = 200;
    const auto [basso, alto] = boost::math::tools::toms748_solve(
        equazione, 1e-3, 1e3, boost::math::tools::eps_tolerance<double>(52), iterazioni);
    return (basso + alto) / 2;
}

double velocitaAttesa(const Resistenza& r, double raggioIdr, double pendenza) {
    const double k = r.coefficiente;
    const double radiceRi = std::sqrt(raggioIdr * pendenza);
    switch (r.legge) {
    case Legge::Bazin:
        return 87 / (1 + k / std::sqrt(raggioIdr)) * radiceRi;
    case Legge::Kutter:
        return 100 / (1 + k / std::sqrt(raggioIdr)) * radiceRi;
    case Legge::Strickler:
        return k * std::cbrt(raggioIdr * raggioIdr) * std::sqrt(pendenza);
    case Legge::Manning:
        return std::cbrt(raggioIdr * raggioIdr) * std::sqrt(pendenza) / k;
    case Legge::Colebrook:
        return inversoRadiceLambda(raggioIdr, pendenza, k, r.temperatura) *
               std::sqrt(8 * gravita * raggioIdr * pendenza);
    }
    return 0;
}

double relativo(double a, double b) {
    return std::fabs(a - b) / std::fabs(b);
}

// Typical coefficients of sewers, within each law's turbulent range down to
// a centimetre of water.
const struct {
    Legge legge;
    const char* chiave;
    double minimo, massimo;
} campioni[] = {
    {Legge::Bazin, "bazin", 0.06, 1.75},      {Legge::Kutter, "kutter", 0.1, 2},
    {Legge::Strickler, "strickler", 40, 120}, {Legge::Manning, "manning", 0.009, 0.025},
    {Legge::Colebrook, "colebrook", 0.01, 3},
};

std::string testo(double valore) {
    char cifre[32];
    return {cifre, std::to_chars(cifre, cifre + sizeof cifre, valore).ptr};
}

// The rows of `--formato si`: h, A, P, R, C, V, Q.
std::vector<std::vector<double>> righeSi(const std::vector<std::string>& argomenti) {
    std::ostringstream uscita, errori;
    EXPECT_EQ(eseguiCli(argomenti, uscita, errori), 0) << errori.str();
    std::vector<std::vector<double>> righe;
    std::istringstream in(uscita.str());
    std::string riga;
    std::getline(in, riga); // the header
    while (std::getline(in, riga)) {
        std::vector<double> valori;
        std::istringstream campi(riga);
        std::string campo;
        for (int c = 0; std::getline(campi, campo, ','); ++c) {
            if (c >= 2) {
                valori.push_back(std::stod(campo));
            }
        }
        righe.push_back(valori);
    }
    return righe;
}

} // namespace

// For each law, on random sections: every row of the table, and the heights
// of a flow and of a velocity, give what the law gives for their hydraulic
// radius; the maxima are maxima of the law.
TEST(Leggi, RigheEAltezzeComeLeFormuleSuIngressiCasuali) {
    const std::optional<unsigned> iniziale = seme();
    ASSERT_TRUE(iniziale);
    std::mt19937 caso(*iniziale);
    const auto tra = [&](double a, double b) {
        return std::uniform_real_distribution<double>(a, b)(caso);
    };
    for (const auto& campione : campioni) {
        for (int prova = 0; prova < 12; ++prova) {
            const Resistenza legge{campione.legge, tra(campione.minimo, campione.massimo),
                                   tra(0, 40)};
            const double raggioCm = tra(20, 100);
            const double pendenza = std::pow(10, tra(-3, -1));
            const Geometria geometria = prova % 2 ? Geometria::Esatta : Geometria::Tabellare;
            std::vector<std::string> argomenti{
                "--formato",    "si",
                "--raggio",     testo(raggioCm),
                "--pendenza",   testo(pendenza),
                "--incremento", testo(tra(10, 100)),
                "--geometria",  geometria == Geometria::Esatta ? "esatta" : "tabellare",
                "--legge",      campione.chiave,
                "--scabrezza",  testo(legge.coefficiente)};
            if (campione.legge == Legge::Colebrook) {
                argomenti.insert(argomenti.end(), {"--temperatura", testo(legge.temperatura)});
            }
            SCOPED_TRACE(::testing::PrintToString(argomenti));
            for (const std::vector<double>& r : righeSi(argomenti)) {
                ASSERT_EQ(r.size(), 7u);
                const double area = r[1], raggioIdr = r[3];
                const double v = velocitaAttesa(legge, raggioIdr, pendenza);
                EXPECT_LT(relativo(r[5], v), 1e-10) << "h = " << r[0];
                EXPECT_LT(relativo(r[4], v / std::sqrt(raggioIdr * pendenza)), 1e-10);
                EXPECT_LT(relativo(r[6], area * v), 1e-10);
            }

            const Sezione s{raggioCm / 100, pendenza, legge, geometria};
            const analisi::Risposte risposte(s);
            const analisi::Grandezze g = analisi::grandezze(s, tra(0.05, 0.8) * s.altezzaPiena());
            const double velocita = velocitaAttesa(legge, g.raggioIdr, pendenza);
            const auto perPortata = risposte.perPortata(g.area * velocita);
            const auto perVelocita = risposte.perVelocita(velocita);
            EXPECT_FALSE(perPortata.empty());
            EXPECT_FALSE(perVelocita.empty());
            for (const auto& a : perPortata) {
                EXPECT_LT(relativo(a.area * velocitaAttesa(legge, a.raggioIdr, pendenza),
                                   g.area * velocita),
                          1e-10);
            }
            for (const auto& a : perVelocita) {
                EXPECT_LT(relativo(velocitaAttesa(legge, a.raggioIdr, pendenza), velocita), 1e-10);
            }
            const double passo = 1e-6 * s.altezzaPiena();
            for (const double verso : {-1.0, 1.0}) {
                EXPECT_LE(analisi::grandezze(s, risposte.velocitaMassima().altezza + verso * passo)
                              .velocita,
                          risposte.velocitaMassima().velocita);
                EXPECT_LE(analisi::grandezze(s, risposte.portataMassima().altezza + verso * passo)
                              .portata,
                          risposte.portataMassima().portata);
            }
        }
    }
}

// Gauckler–Strickler's Ks is Manning's 1/n.
TEST(Leggi, StricklerEManningConKsUgualeAUnoSuN) {
    for (const auto& [ks, n] : {std::pair{80.0, 0.0125}, {62.5, 0.016}, {100.0, 0.01}}) {
        const Sezione strickler{0.3, 0.002, {Legge::Strickler, ks}, Geometria::Tabellare};
        const Sezione manning{0.3, 0.002, {Legge::Manning, n}, Geometria::Tabellare};
        for (const double h : {0.01, 0.2, 0.6, 0.9}) {
            EXPECT_LT(relativo(analisi::grandezze(strickler, h).portata,
                               analisi::grandezze(manning, h).portata),
                      1e-14)
                << ks << " " << h;
        }
    }
}

// λ and Re of the flow at the full section of a pipe of diameter D = 4R.
struct Attrito {
    double lambda, reynolds;
};

Attrito attrito(const Sezione& s) {
    const analisi::Grandezze g = analisi::grandezze(s, s.altezzaPiena());
    return {8 * gravita * g.raggioIdr * s.pendenza / (g.velocita * g.velocita),
            4 * g.raggioIdr * g.velocita / viscosita(s.resistenza.temperatura)};
}

// The Moody chart: ks/D = 0.001 at Re = 1e5 gives λ ≈ 0.0222.
TEST(Leggi, ColebrookWhiteComeIlDiagrammaDiMoody) {
    Sezione s{0.2, 0.01, {Legge::Colebrook, 1}, Geometria::Tabellare};
    const double diametro = 4 * analisi::grandezze(s, s.altezzaPiena()).raggioIdr;
    s.resistenza.coefficiente = 0.001 * diametro * 1000;
    const auto scartoRe = [&](double logPendenza) {
        s.pendenza = std::pow(10, logPendenza);
        return attrito(s).reynolds - 1e5;
    };
    std::uintmax_t iterazioni = 200;
    const auto [basso, alto] = boost::math::tools::toms748_solve(
        scartoRe, -8.0, 0.0, boost::math::tools::eps_tolerance<double>(40), iterazioni);
    s.pendenza = std::pow(10, (basso + alto) / 2);
    EXPECT_NEAR(attrito(s).reynolds, 1e5, 1);
    EXPECT_NEAR(attrito(s).lambda, 0.0222, 0.0001);
}

// A smooth pipe (ks → 0): Prandtl–Kármán, 1/√λ = 2 log10(Re √λ) − 0.8.
TEST(Leggi, ColebrookWhiteLiscioComePrandtlKarman) {
    for (const double pendenza : {1e-6, 1e-4, 1e-2, 1.0}) {
        const Attrito a = attrito({0.2, pendenza, {Legge::Colebrook, 0.0001}, Geometria::Esatta});
        const double inverso = 1 / std::sqrt(a.lambda);
        EXPECT_NEAR(inverso, 2 * std::log10(a.reynolds * std::sqrt(a.lambda)) - 0.8, 0.01 * inverso)
            << "Re = " << a.reynolds;
    }
}

// Where Colebrook–White's closed form gives V < 0 (the first millimetres
// of a very rough, flat sewer) no output shows a velocity or a flow as if
// it were real: the rows say why, and a note says how many.
TEST(Leggi, ColebrookWhiteSenzaMotoTurbolentoSenzaVeQ) {
    const std::vector<std::string> ruvida = {"--legge",    "colebrook", "--scabrezza", "100",
                                             "--pendenza", "0.001",     "--raggio",    "20"};
    const auto esegui = [&](std::vector<std::string> altre) {
        altre.insert(altre.begin(), ruvida.begin(), ruvida.end());
        std::ostringstream uscita, errori;
        EXPECT_EQ(eseguiCli(altre, uscita, errori), 0) << errori.str();
        return std::pair{uscita.str(), errori.str()};
    };
    const struct {
        std::vector<std::string> opzioni;
        std::string primaRiga; // the first row of values, as printed
    } casi[] = {
        {{"--incremento", "0.6"},
         "           0.1  0.0000        0.0219       0.0004  "
         "                   moto non turbolento: legge non applicabile"},
        {{"--incremento", "0.6", "--formato", "csv"}, ",0.1,0.0000,0.0219,0.0004,,\r"},
        {{"--curva", "200", "--formato", "csv"}, ",0.3,0.0001,0.0491,0.0020,,\r"},
    };
    for (const auto& c : casi) {
        const auto [uscita, errori] = esegui(c.opzioni);
        std::istringstream righe(uscita);
        std::string riga;
        std::getline(righe, riga);
        std::getline(righe, riga);
        std::getline(righe, riga);
        EXPECT_EQ(riga, c.primaRiga) << c.opzioni[0];
        EXPECT_NE(errori.find("V < 0, moto non turbolento: legge non applicabile"),
                  std::string::npos)
            << errori;
    }
    const auto [si, note] = esegui({"--incremento", "0.6", "--formato", "si"});
    EXPECT_NE(si.find("\n1,,0.00059999999999999995,"), std::string::npos);
    EXPECT_NE(si.find(",,,\n2,,"), std::string::npos) << si.substr(0, 300);
    EXPECT_EQ(si.find(",-"), std::string::npos);
}

#include "caselle/catalogo.h"
#include "caselle/ingressi.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

// The catalogue's box and the network's lengths, as the reaches' window and
// the browser page read them.
TEST(Catalogo, RaggiDalTesto) {
    const std::vector<double>& usuale = catalogo::usuale();
    const struct {
        const char* testo;
        std::optional<std::vector<double>> raggi;
        const char* nelMotivo;
    } casi[] = {
        {"", usuale, ""},
        {"   ", usuale, ""},
        {"25, 30", std::vector<double>{25, 30}, ""},
        {" 25 ,, 30 ", std::vector<double>{25, 30}, ""},
        {"25,30", std::vector<double>{25, 30}, ""}, // no semicolon: commas part radii
        {"22,5; 25", std::vector<double>{22.5, 25}, ""},
        {"25,30;35", std::vector<double>{25.3, 35}, ""}, // between semicolons, one radius
        {"25, 30; 35", std::vector<double>{25, 30, 35}, ""},
        {"25, x", std::nullopt, "«x»"},
        {"25; -3", std::nullopt, "«-3»"},
        {"0", std::nullopt, "«0»"},
        {"25, 1e300", std::nullopt, "da 1 a 1000 cm"},
        {"0.5", std::nullopt, "da 1 a 1000 cm"},
        {"1; 1000", std::vector<double>{1, 1000}, ""},
    };
    for (const auto& c : casi) {
        std::string motivo;
        EXPECT_EQ(catalogo::daTesto(c.testo, motivo), c.raggi) << c.testo;
        EXPECT_NE(motivo.find(c.nelMotivo), std::string::npos) << c.testo << ": " << motivo;
    }
}

TEST(Catalogo, TestoSecondoIlSeparatore) {
    EXPECT_EQ(catalogo::testo({25, 22.5, 100}, Separatore::Punto), "25, 22.5, 100");
    EXPECT_EQ(catalogo::testo({25, 22.5, 100}, Separatore::Virgola), "25; 22,5; 100");
    // What it writes reads back to the same radii, in either separator.
    for (const Separatore s : {Separatore::Punto, Separatore::Virgola}) {
        std::string motivo;
        EXPECT_EQ(catalogo::daTesto(catalogo::testo({25, 22.5, 100}, s), motivo),
                  (std::vector<double>{25, 22.5, 100}));
    }
}

TEST(Catalogo, LunghezzeDellaRete) {
    const struct {
        const char* testo;
        const tratti::Campo& campo;
        std::optional<std::string> motivo;
    } casi[] = {
        {"", tratti::campoRicoprimento, std::nullopt},
        {"1", tratti::campoRicoprimento, std::nullopt},
        {"1,5", tratti::campoProfondita, std::nullopt},
        {"0", tratti::campoRicoprimento, std::nullopt},
        {"0", tratti::campoProfondita, "Serve un numero maggiore di 0 e al più 100 m."},
        {"-1", tratti::campoRicoprimento, "Serve un numero da 0 a 100 m."},
        {"-0.5", tratti::campoSalto, "Serve un numero maggiore di 0 e al più 100 m."},
        {"100", tratti::campoSalto, std::nullopt},
        {"1e20", tratti::campoProfondita, "Serve un numero maggiore di 0 e al più 100 m."},
    };
    for (const auto& c : casi) {
        EXPECT_EQ(motivoLunghezza(c.testo, c.campo), c.motivo) << c.testo;
    }
    EXPECT_TRUE(motivoLunghezza("abc", tratti::campoRicoprimento).has_value());
}

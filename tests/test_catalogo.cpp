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
        bool strettamente;
        std::optional<std::string> motivo;
    } casi[] = {
        {"", false, std::nullopt},
        {"1", false, std::nullopt},
        {"1,5", true, std::nullopt},
        {"0", false, std::nullopt},
        {"0", true, "Serve un numero maggiore di zero."},
        {"-1", false, "Serve un numero non negativo."},
        {"-0.5", true, "Serve un numero maggiore di zero."},
    };
    for (const auto& c : casi) {
        EXPECT_EQ(motivoLunghezza(c.testo, 0, c.strettamente), c.motivo) << c.testo;
    }
    EXPECT_TRUE(motivoLunghezza("abc", 0, false).has_value());
}

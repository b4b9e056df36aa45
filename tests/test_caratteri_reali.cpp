#include "numeri/caratteri_reali.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

// The conversions the browser build makes with the C library give the C++
// library's texts: the shortest, the plain, the rounded to so many digits,
// and the reading back.
namespace {

std::string testo(char* (*scrivi)(char*, char*, double), double v) {
    char buffer[400];
    return std::string(buffer, scrivi(buffer, buffer + sizeof buffer, v));
}

void comeLaLibreria(double v) {
    char atteso[400];
    EXPECT_EQ(testo(caratteri::breve, v),
              std::string(atteso, std::to_chars(atteso, atteso + 400, v).ptr))
        << v;
    EXPECT_EQ(
        testo(caratteri::fisso, v),
        std::string(atteso, std::to_chars(atteso, atteso + 400, v, std::chars_format::fixed).ptr))
        << v;
    for (const int cifre : {0, 2, 14, 16}) {
        char scritto[400];
        EXPECT_EQ(
            std::string(scritto, caratteri::scientifico(scritto, scritto + 400, v, cifre)),
            std::string(
                atteso,
                std::to_chars(atteso, atteso + 400, v, std::chars_format::scientific, cifre).ptr))
            << v;
    }
    const std::string t = testo(caratteri::breve, v);
    double letto = 0;
    const auto esito = caratteri::leggi(t.data(), t.data() + t.size(), letto);
    EXPECT_EQ(esito.ec, std::errc());
    EXPECT_EQ(letto, v);
}

} // namespace

TEST(CaratteriReali, ComeLaLibreriaCxx) {
    // Ties at the last digit, the spacing of the doubles changing at a power
    // of two, plain against exponent, the edges of the doubles.
    for (const double v : {0.0, -0.0, 0.5, 2.5, 0.125, 2.384185791015625e-7, 5.858190679279809e-244,
                           1e21, 1e22, 123456789012345683968.0, 1e-4, 1e-5, 0.1, 1234.5, -17.25,
                           5e-324, 2.2250738585072014e-308, 1.7976931348623157e308}) {
        comeLaLibreria(v);
    }
    std::mt19937_64 caso(20261208);
    std::uniform_real_distribution<double> tabella(0, 1000);
    for (int i = 0; i < 20000; ++i) {
        const double v = std::bit_cast<double>(caso());
        if (std::isfinite(v)) {
            comeLaLibreria(v);
        }
        comeLaLibreria(std::round(tabella(caso) * 100) / 100);
        comeLaLibreria(tabella(caso));
    }
}

TEST(CaratteriReali, LetturaComeFromChars) {
    const struct {
        const char* testo;
        std::errc errore;
        std::size_t letti;
    } casi[] = {
        {"1e-400", std::errc::result_out_of_range, 6},
        {"1e400", std::errc::result_out_of_range, 5},
        {"2.4e-324", std::errc::result_out_of_range, 8},
        {"4.9e-324", std::errc(), 8},
        {"0e9999", std::errc(), 6},
        {"-0", std::errc(), 2},
        {"1.", std::errc(), 2},
        {".5", std::errc(), 2},
        {"12abc", std::errc(), 2},
        {"+1", std::errc::invalid_argument, 0},
        {" 1", std::errc::invalid_argument, 0},
    };
    for (const auto& c : casi) {
        const std::string t = c.testo;
        double atteso = -1;
        double letto = -1;
        const auto libreria = std::from_chars(t.data(), t.data() + t.size(), atteso);
        const auto esito = caratteri::leggi(t.data(), t.data() + t.size(), letto);
        EXPECT_EQ(esito.ec, c.errore) << c.testo;
        EXPECT_EQ(esito.ec, libreria.ec) << c.testo;
        EXPECT_EQ(static_cast<std::size_t>(esito.ptr - t.data()), c.letti) << c.testo;
        EXPECT_EQ(letto, atteso) << c.testo;
    }
}

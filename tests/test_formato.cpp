#include "errori/errore_runtime.h"
#include "numeri/cifre_decimali.h"
#include "numeri/formato.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

TEST(Format, SenzaModelloComeCStr) {
    EXPECT_EQ(Format(40.0), "40");
    EXPECT_EQ(Format(37.5), "37.5");
}

TEST(Format, IModelliInUso) {
    EXPECT_EQ(Format(1234.5, "#0.#0"), "1234.50");
    EXPECT_EQ(Format(0.5, "##0.###0"), "0.5000");
    EXPECT_EQ(Format(12345.6, "###,##0"), "12,346");
    EXPECT_EQ(Format(1234.4, "###,##0"), "1,234");
    EXPECT_EQ(Format(20.0, "###,##0"), "20");
    EXPECT_EQ(Format(1234567.0, "###,##0"), "1,234,567");
    EXPECT_EQ(Format(0.18, "#0.#0"), "0.18");
    EXPECT_EQ(Format(0.01, "#0.###0"), "0.0100");
    EXPECT_EQ(Format(10.0, "###0.0"), "10.0");
    EXPECT_EQ(Format(0.0, "###0.0"), "0.0");
    EXPECT_EQ(Format(107.8725, "###0.#0"), "107.87");
    EXPECT_EQ(Format(17.713, "#####0.#0"), "17.71");
    EXPECT_EQ(Format(0.016420, "##0.###0"), "0.0164");
}

TEST(Format, ArrotondaAMetaVersoLEsterno) {
    EXPECT_EQ(Format(0.125, "#0.#0"), "0.13");
    EXPECT_EQ(Format(2.5, "###,##0"), "3");
    EXPECT_EQ(Format(9.99996, "##0.###0"), "10.0000");
    EXPECT_EQ(Format(999999.5, "###,##0"), "1,000,000");
    EXPECT_EQ(Format(0.00004, "##0.###0"), "0.0000");
    EXPECT_EQ(Format(0.00005, "##0.###0"), "0.0001");
}

TEST(Format, SegnoSoloSuUnValoreCheResti) {
    EXPECT_EQ(Format(-1.5, "###0.#0"), "-1.50");
    EXPECT_EQ(Format(-0.001, "###0.#0"), "0.00");
    EXPECT_EQ(Format(-0.0, "###0.0"), "0.0");
}

TEST(Format, GrandezzeEstremeSenzaNotazioneEsponenziale) {
    EXPECT_EQ(Format(1e20, "###0.0"), "100000000000000000000.0");
    EXPECT_EQ(Format(1e-300, "##0.###0"), "0.0000");
    EXPECT_THROW(Format(INFINITY, "###0.0"), ErroreRuntime);
    EXPECT_THROW(Format(NAN), ErroreRuntime);
}

// Beside its limit, a value reads on its own side of it.
TEST(FormatConfronto, IlValoreDalSuoLatoDelLimite) {
    const struct {
        double valore, limite;
        const char* modello;
        const char* atteso;
    } casi[] = {
        {49.997, 50, "0.00", "49.997"},
        {51.234, 50, "0.00", "51.23"},
        {50, 50, "0.00", "50.00"},
        {70.00001, 70, "0.0", "70.00001"},
        {49.99999999, 50, "0.00", "49.99999999"},
        // Against the limit printed, 58, not 57.99999999999999.
        {58.0000001, std::nextafter(58.0, 0.0), "0.00", "58.0000001"},
        // Fifteen digits read 50: every digit of the double.
        {49.999999999999986, 50, "0.00", "49.999999999999986"},
        {70.00000000000001, 70, "0.0", "70.00000000000001"},
    };
    for (const auto& c : casi) {
        EXPECT_EQ(FormatConfronto(c.valore, c.limite, c.modello), c.atteso) << c.valore;
    }
}

// The 15 digits are those of the text std::to_chars writes, at the edges of
// the range worked out with integers and beyond it: ties at the 16th digit
// (to even), values next to a power of ten, the smallest and largest.
TEST(CifreDecimali, ComeIlTestoDelValore) {
    const double casi[] = {1000000000000005.0,
                           1000000000000015.0,
                           999999999999999.5,
                           999999999999998.5,
                           12345678901234.25,
                           12345678901233.75,
                           std::nextafter(1e15, 0.0),
                           1e15,
                           std::nextafter(1e-5, 0.0),
                           1e-5,
                           std::nextafter(1e-5, 1.0),
                           9.9999999999999995e-3,
                           0.1,
                           0.5,
                           107.8725,
                           std::nextafter(100.0, 0.0),
                           4503599627370495.5,
                           1e300,
                           5e-324,
                           -2.5};
    for (const double valore : casi) {
        char testo[40];
        *std::to_chars(testo, testo + sizeof testo, std::fabs(valore),
                       std::chars_format::scientific, 14)
             .ptr = '\0';
        const std::string atteso = testo[0] + std::string(testo + 2, 14);
        const CifreDecimali d = cifreDecimali(valore);
        EXPECT_EQ(std::to_string(d.significando), atteso) << testo;
        EXPECT_EQ(d.esponente, std::atoi(testo + 17)) << testo;
        EXPECT_EQ(d.negativo, valore < 0) << testo;
    }
}

#include "errori/errore_runtime.h"
#include "numeri/conversioni.h"
#include "numeri/separatore.h"
#include "numeri/testo_decimale.h"

#include <cfloat>
#include <clocale>
#include <cmath>
#include <gtest/gtest.h>

TEST(Val, LeggeIlNumeroInizialeESiFermaAlPrimoCarattereEstraneo) {
    EXPECT_EQ(Val("12abc"), 12);
    EXPECT_EQ(Val("0,5"), 0);
    EXPECT_EQ(Val("1,234"), 1);
    EXPECT_EQ(Val("1e2"), 100);
    EXPECT_EQ(Val("0.01"), 0.01);
    EXPECT_EQ(Val("  -2.5E-1x"), -0.25);
    EXPECT_EQ(Val("1 2 . 5"), 12.5); // blanks are skipped everywhere
    EXPECT_EQ(Val("1e"), 1);
    EXPECT_EQ(Val("1e+x"), 1);
    EXPECT_EQ(Val(".5"), 0.5);
}

TEST(Val, NessunNumeroDaZero) {
    for (const char* testo : {"", "   ", "abc", "-", ".", "nan", "inf", "e5", "Ø"}) {
        EXPECT_EQ(Val(testo), 0) << testo;
    }
    EXPECT_TRUE(std::signbit(Val("-0")));
}

TEST(Val, EstremiDellIntervalloDeiDouble) {
    EXPECT_EQ(Val("1e-320"), 1e-320); // a denormal is a number
    EXPECT_EQ(Val("1e-400"), 0);
    EXPECT_EQ(Val("1.7976931348623157e308"), DBL_MAX);
    EXPECT_THROW(Val("1e309"), ErroreRuntime);
    EXPECT_EQ(Val(std::string(400, '0') + "1"), 1);
    EXPECT_THROW(Val("1" + std::string(400, '0')), ErroreRuntime);
}

TEST(CDbl, SoloUnTestoCheSiaTuttoUnNumero) {
    EXPECT_EQ(CDbl("  20 "), 20);
    EXPECT_EQ(CDbl("1,234"), 1234);
    EXPECT_EQ(CDbl("1,234,567.5"), 1234567.5);
    EXPECT_EQ(CDbl("12.5"), 12.5);
    EXPECT_EQ(CDbl("-1e2"), -100);
    for (const char* testo :
         {"", " ", "20cm", "abc", "0,5", "1,23", "1,2345", "1e", "1 2", ",5", "-", "."}) {
        try {
            CDbl(testo);
            ADD_FAILURE() << testo;
        } catch (const ErroreRuntime& e) {
            EXPECT_EQ(e.numero(), 13) << testo;
        }
    }
    EXPECT_THROW(CDbl("1e400"), ErroreRuntime);
}

TEST(CStr, QuindiciCifreSenzaZeriFinali) {
    EXPECT_EQ(CStr(20), "20");
    EXPECT_EQ(CStr(-60), "-60");
    EXPECT_EQ(CStr(0.01), "0.01");
    EXPECT_EQ(CStr(600.0), "600");
    EXPECT_EQ(CStr(0.6), "0.6");
    EXPECT_EQ(CStr(0.30000000000000004), "0.3");
    EXPECT_EQ(CStr(-0.0), "0");
    EXPECT_EQ(CStr(123456789012345.0), "123456789012345");
    EXPECT_EQ(CStr(1e15), "1E+15");
    EXPECT_EQ(CStr(0.0001), "0.0001");
    EXPECT_EQ(CStr(-1.5e-5), "-1.5E-05");
    EXPECT_EQ(CStr(DBL_MAX), "1.79769313486232E+308");
}

TEST(CStr, RiletteDaValRestanoLoStessoValore) {
    for (double v : {20.0, 0.01, 0.6, 600.0, 3.9 * 3 / 100, 1e-7, 1e300, 12.5, 0.0003}) {
        EXPECT_EQ(CStr(Val(CStr(v))), CStr(v));
        EXPECT_NEAR(Val(CStr(v)), v, std::fabs(v) * 1e-14);
    }
}

TEST(CStr, IndipendenteDalLocaleDellUtente) {
    if (std::setlocale(LC_ALL, "it_IT.UTF-8") == nullptr &&
        std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "nessun locale con la virgola decimale";
    }
    EXPECT_EQ(CStr(0.01), "0.01");
    EXPECT_EQ(Val("0.01"), 0.01);
    EXPECT_EQ(CDbl("1,234.5"), 1234.5);
    std::setlocale(LC_ALL, "C");
}

// A box's number with a decimal comma or point reads alike; both, or
// thousands grouped, are refused; what follows the number stays.
TEST(DecimaleConPunto, VirgolaOPuntoMaiEntrambi) {
    const struct {
        const char* scritto;
        const char* letto; // nullptr: refused
    } casi[] = {
        {"0,0035", "0.0035"},   {"0.0035", "0.0035"},
        {"12,5 cm", "12.5 cm"}, {"-1,5e-3", "-1.5e-3"},
        {"20", "20"},           {"0.18: Tubaz., acqua", "0.18: Tubaz., acqua"},
        {"1.234,5", nullptr},   {"1,234,567", nullptr},
        {"1.2.3", nullptr},
    };
    for (const auto& c : casi) {
        const TestoDecimale d = decimaleConPunto(c.scritto);
        if (c.letto == nullptr) {
            EXPECT_TRUE(d.rifiuto.has_value()) << c.scritto;
            EXPECT_EQ(ValCasella(c.scritto), 0) << c.scritto;
        } else {
            EXPECT_EQ(d.testo, c.letto) << c.scritto;
            EXPECT_FALSE(d.rifiuto.has_value()) << c.scritto;
        }
    }
    EXPECT_EQ(ValCasella("0,0035"), 0.0035);
}

// A number's text takes the separator people read as it is made: its
// point and its grouping trade places under the comma.
TEST(Separatore, IlTestoDiUnNumero) {
    const struct {
        const char* testo;
        const char* conVirgola;
    } casi[] = {
        {"107.87", "107,87"}, {"1,234.5", "1.234,5"}, {"-1.5E-05", "-1,5E-05"}, {"120", "120"}};
    for (const auto& c : casi) {
        EXPECT_EQ(numeroCon(c.testo, Separatore::Virgola), c.conVirgola);
        EXPECT_EQ(numeroCon(c.testo, Separatore::Punto), c.testo);
    }
}

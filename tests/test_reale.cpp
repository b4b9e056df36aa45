#include "calc/intero16.h"
#include "calc/reale.h"

#include <cfloat>
#include <gtest/gtest.h>

namespace {

TipoErrore erroreDi(auto operazione) {
    try {
        operazione();
    } catch (const ErroreRuntime& e) {
        return e.tipo();
    }
    ADD_FAILURE() << "nessun errore";
    return TipoErrore::ArgomentoNonValido;
}

} // namespace

TEST(Reale, ClassificaIGuastiComeLaVirgolaMobile) {
    EXPECT_EQ(erroreDi([] { (Reale(1.0) / 0.0).valore(); }), TipoErrore::DivisionePerZero);
    EXPECT_EQ(erroreDi([] { (Reale(0.0) / 0.0).valore(); }), TipoErrore::OperazioneNonValida);
    EXPECT_EQ(erroreDi([] { (Reale(DBL_MAX) * 2.0).valore(); }), TipoErrore::Overflow);
    EXPECT_EQ(erroreDi([] { radice(-1e-300); }), TipoErrore::ArgomentoNonValido);
    // Underflow and inexact results are not faults.
    EXPECT_EQ((Reale(DBL_MIN) / 1e10).valore(), DBL_MIN / 1e10);
    EXPECT_EQ((Reale(1.0) / 3.0).valore(), 1.0 / 3.0);
}

TEST(Reale, UnRisultatoMemorizzatoEntraNelloStatoPrimaDellErrore) {
    double destinazione = 7;
    EXPECT_THROW(memorizza(destinazione, Reale(1.0) / 0.0), ErroreRuntime);
    EXPECT_TRUE(std::isinf(destinazione));

    // A fault in an intermediate result stops before the store.
    double altra = 7;
    EXPECT_THROW(memorizza(altra, (Reale(1.0) / 0.0) + 1.0), ErroreRuntime);
    EXPECT_EQ(altra, 7);
}

TEST(Intero16, LeSommeNonSiAvvolgono) {
    EXPECT_EQ(Intero16(32766) + Intero16(1), 32767);
    EXPECT_EQ(erroreDi([] { Intero16(32767) + Intero16(1); }), TipoErrore::Overflow);
    EXPECT_EQ(erroreDi([] { Intero16(-32768) + Intero16(-1); }), TipoErrore::Overflow);
    EXPECT_EQ(Intero16::parteIntera(6.000000000000001), 6);
    EXPECT_EQ(Intero16::parteIntera(0.9999999999999999), 0);
    EXPECT_EQ(Intero16::parteIntera(-0.5), -1);
    EXPECT_EQ(erroreDi([] { Intero16::parteIntera(32768.0); }), TipoErrore::Overflow);
    EXPECT_EQ(erroreDi([] { Intero16::parteIntera(NAN); }), TipoErrore::Overflow);
}

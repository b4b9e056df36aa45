#include "analisi/valori_indicativi.h"

#include <gtest/gtest.h>

#include <string>

using analisi::ValoreIndicativo;
using analisi::valoriIndicativi;
using formule::Legge;

TEST(ValoriIndicativi, BreviNelCampoDellaLeggeDalPiuLiscio) {
    for (const Legge legge :
         {Legge::Bazin, Legge::Kutter, Legge::Strickler, Legge::Manning, Legge::Colebrook}) {
        SCOPED_TRACE(std::string(formule::nomeLegge(legge)));
        EXPECT_NE(std::string(analisi::fonteValoriIndicativi(legge)), "");
        const auto& valori = valoriIndicativi(legge);
        ASSERT_GE(valori.size(), 4u);
        EXPECT_LE(valori.size(), 8u);
        const formule::Intervallo campo = formule::intervalloCoefficiente(legge);
        // Strickler's Ks grows as the wall gets smoother; every other coefficient shrinks.
        const double verso = legge == Legge::Strickler ? -1 : 1;
        for (std::size_t i = 0; i < valori.size(); ++i) {
            SCOPED_TRACE(valori[i].descrizione);
            EXPECT_NE(std::string(valori[i].descrizione), "");
            EXPECT_GE(valori[i].valore, campo.minimo);
            EXPECT_LE(valori[i].valore, campo.massimo);
            if (i > 0) {
                EXPECT_GT(verso * valori[i].valore, verso * valori[i - 1].valore);
            }
        }
    }
}

TEST(ValoriIndicativi, StricklerEManningConcordanoSullaStessaParete) {
    int confrontate = 0;
    for (const ValoreIndicativo& n : valoriIndicativi(Legge::Manning)) {
        for (const ValoreIndicativo& ks : valoriIndicativi(Legge::Strickler)) {
            if (std::string(n.descrizione) == ks.descrizione) {
                SCOPED_TRACE(n.descrizione);
                EXPECT_NEAR(ks.valore * n.valore, 1.0, 0.01);
                ++confrontate;
            }
        }
    }
    EXPECT_GE(confrontate, 4);
}

#include "errori/errore_runtime.h"
#include "table/griglia.h"
#include "table/griglia_in_memoria.h"

#include <gtest/gtest.h>

using Griglia::IndiceCella;
using Griglia::ScriviCella;

TEST(IndiceCella, RigaPerColonnePiuColonna) {
    GrigliaInMemoria g(3, 7);
    EXPECT_EQ(IndiceCella(0, 0, g), 0);
    EXPECT_EQ(IndiceCella(0, 6, g), 6);
    EXPECT_EQ(IndiceCella(1, 0, g), 7);
    EXPECT_EQ(IndiceCella(2, 1, g), 15);
    EXPECT_EQ(IndiceCella(1005, 6, g), 7041);
    EXPECT_EQ(IndiceCella(4680, 6, g), 32766);
    try {
        IndiceCella(4681, 6, g);
        FAIL() << "nessun errore";
    } catch (const ErroreRuntime& e) {
        EXPECT_EQ(e.numero(), 6);
    }
}

// Reads Cols afresh at every call.
class GrigliaCheCambiaColonne : public GrigliaAstratta {
  public:
    int colonne = 7;
    int Cols() const override { return colonne; }
    void setRows(int) override {}
    void setTextArray(int, std::string&&) override {}
};

TEST(IndiceCella, LeggeLeColonneAdOgniChiamata) {
    GrigliaCheCambiaColonne g;
    EXPECT_EQ(IndiceCella(2, 1, g), 15);
    g.colonne = 3;
    EXPECT_EQ(IndiceCella(2, 1, g), 7);
}

TEST(ScriviCella, ScriveSoloLaCellaIndicata) {
    GrigliaInMemoria g(3, 7);
    ScriviCella("x", 1, 2, g);
    ScriviCella("fuori", 0, 7, g); // column 7 is cell (1, 0)
    EXPECT_EQ(g.testo(1, 2), "x");
    EXPECT_EQ(g.testo(1, 0), "fuori");
    EXPECT_EQ(g.testo(0, 0), "");
    ScriviCella("", 1, 2, g);
    EXPECT_EQ(g.testo(1, 2), "");
    EXPECT_THROW(ScriviCella("x", 3, 0, g), ErroreRuntime);
    EXPECT_THROW(ScriviCella("x", 0, -1, g), ErroreRuntime);
}

TEST(GrigliaInMemoria, CambiareLeRigheTieneQuelleCheRestano) {
    GrigliaInMemoria g(4, 7);
    ScriviCella("intestazione", 0, 1, g);
    ScriviCella("riga 3", 3, 6, g);
    g.setRows(3);
    EXPECT_EQ(g.Rows(), 3);
    g.setRows(5);
    EXPECT_EQ(g.testo(0, 1), "intestazione");
    EXPECT_EQ(g.testo(3, 6), "");
    EXPECT_THROW(g.setRows(-1), ErroreRuntime);
}

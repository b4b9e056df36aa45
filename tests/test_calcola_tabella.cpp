#include "stato_pulito.h"

#include <optional>

namespace {

using CalcolaTabella = StatoPulito;

struct RigaAttesa {
    double h, contorno, area, raggioIdr, chezy, velocita, portata;
};

// The defaults: radius 20 cm, increment 100 mm, slope 0.01, coefficient 0.18.
const RigaAttesa tabellaDiEsempio[] = {
    {0.1, 0.328000, 0.016420, 0.050061, 48.2129, 1.078725, 0.017713},
    {0.2, 0.549104, 0.045322, 0.082537, 53.4878, 1.536669, 0.069644},
    {0.30000000000000004, 0.756525, 0.081358, 0.107542, 56.1693, 1.841991, 0.149860},
    {0.4, 0.958000, 0.120800, 0.126096, 57.7344, 2.050150, 0.247658},
    {0.5, 1.167440, 0.159064, 0.136251, 58.4817, 2.158686, 0.343370},
    {0.6000000000000001, 1.586319, 0.183632, 0.115760, 56.8982, 1.935875, 0.355488},
    {0.2 * 2.562, 1.196721, 0.163266, 0.136428, 58.4942, 2.160550, 0.352745},
    {0.2 * 2.859, 1.371325, 0.179724, 0.131059, 58.1081, 2.103630, 0.378073},
};

} // namespace

TEST_F(CalcolaTabella, TabellaDiEsempio) {
    imposta(20, 100);
    Modulo2::CalcolaTabella(s);

    EXPECT_EQ(s.raggioM, 0.2);
    EXPECT_EQ(s.passo, 0.1);
    EXPECT_EQ(s.numPassi, 6);
    EXPECT_EQ(s.riga, 8);
    for (int k = 1; k <= 8; ++k) {
        const RigaAttesa& a = tabellaDiEsempio[k - 1];
        SCOPED_TRACE(k);
        EXPECT_EQ(s.altezza(k), a.h);
        EXPECT_NEAR(s.contorno(k), a.contorno, 5e-7);
        EXPECT_NEAR(s.area(k), a.area, 5e-7);
        EXPECT_NEAR(s.raggioIdr(k), a.raggioIdr, 5e-7);
        EXPECT_NEAR(s.chezy(k), a.chezy, 5e-5);
        EXPECT_NEAR(s.velocita(k), a.velocita, 5e-7);
        EXPECT_NEAR(s.portata(k), a.portata, 5e-7);
    }
}

TEST_F(CalcolaTabella, NumeroDiRigheRegolari) {
    struct Caso {
        double raggio, incremento;
        int numPassi;
    };
    for (const Caso c :
         {Caso{30, 900, 1}, Caso{20, 600, 1}, Caso{30, 0.9, 1000}, Caso{20, 0.6, 1000}}) {
        SCOPED_TRACE(c.incremento);
        imposta(c.raggio, c.incremento);
        Modulo2::CalcolaTabella(s);
        EXPECT_EQ(s.numPassi, c.numPassi);
        EXPECT_EQ(s.riga, c.numPassi + 2);
        EXPECT_EQ(s.altezza(c.numPassi + 1), s.raggioM * 2.562);
        EXPECT_EQ(s.altezza(c.numPassi + 2), s.raggioM * 2.859);
    }
    imposta(30, 900);
    Modulo2::CalcolaTabella(s);
    EXPECT_DOUBLE_EQ(s.altezza(2), 0.7686);
    EXPECT_DOUBLE_EQ(s.altezza(3), 0.8577);
}

// Steps that divide the height exactly but whose quotient rounds below the
// whole number keep their full-section row, at 3r exactly; every other row
// keeps its height k × step to the bit.
TEST_F(CalcolaTabella, LaRigaDellaSezionePienaResisteAGliArrotondamenti) {
    struct Caso {
        double raggio, incremento;
        int numPassi;
    };
    for (const Caso c :
         {Caso{30, 100, 9}, Caso{15, 50, 9}, Caso{35, 50, 21}, Caso{60, 100, 18}, Caso{70, 10, 210},
          Caso{120, 100, 36}, Caso{3.9, 3, 39}, Caso{20, 100, 6}}) {
        SCOPED_TRACE(::testing::Message() << c.raggio << " cm, " << c.incremento << " mm");
        imposta(c.raggio, c.incremento);
        Modulo2::CalcolaTabella(s);
        ASSERT_EQ(s.numPassi, c.numPassi);
        for (int k = 1; k < c.numPassi; ++k) {
            ASSERT_EQ(s.altezza(k), k * s.passo) << k;
        }
        EXPECT_EQ(s.altezza(c.numPassi), 3 * s.raggioM);
        EXPECT_NEAR(s.contorno(c.numPassi), (3.141592654 + 4.79) * s.raggioM, 1e-15);
    }
    // A quotient well away from a whole number keeps its floor.
    imposta(20, 70); // 8.57…
    Modulo2::CalcolaTabella(s);
    EXPECT_EQ(s.numPassi, 8);
    EXPECT_EQ(s.altezza(8), 8 * 0.07);
}

TEST_F(CalcolaTabella, UnaTabellaPiuCortaLasciaLeRigheOltre) {
    imposta(20, 100);
    Modulo2::CalcolaTabella(s);
    const double portataRiga6 = s.portata(6);
    const double altezzaRiga8 = s.altezza(8);

    imposta(20, 200);
    Modulo2::CalcolaTabella(s);
    EXPECT_EQ(s.numPassi, 3);
    EXPECT_EQ(s.altezza(4), 0.2 * 2.562);
    EXPECT_EQ(s.portata(6), portataRiga6);
    EXPECT_EQ(s.altezza(8), altezzaRiga8);
}

TEST_F(CalcolaTabella, ErroreDIndiceConLoStatoFinDoveScritto) {
    imposta(20, 0.5); // not bounded here: 1200 regular rows would not fit
    try {
        Modulo2::CalcolaTabella(s);
        FAIL() << "nessun errore";
    } catch (const ErroreRuntime& e) {
        EXPECT_EQ(e.numero(), 9);
    }
    EXPECT_EQ(s.numPassi, 1200);
    EXPECT_EQ(s.riga, 1006);
    EXPECT_EQ(s.altezza(1005), 1005 * 0.0005);
    EXPECT_GT(s.portata(1005), 0);
}

TEST_F(CalcolaTabella, OverflowDelConteggioPrimaDiOgniRiga) {
    imposta(20, 0.01); // q = 60000
    try {
        Modulo2::CalcolaTabella(s);
        FAIL() << "nessun errore";
    } catch (const ErroreRuntime& e) {
        EXPECT_EQ(e.tipo(), TipoErrore::Overflow);
    }
    EXPECT_EQ(s.raggioM, 0.2);
    EXPECT_EQ(s.passo, 0.00001);
    EXPECT_EQ(s.numPassi, 0);
    EXPECT_EQ(s.altezza(1), 0.0);
}

// The table as a value: the rows the state's sweep computes, to the bit,
// or the error that stopped it, with no rows.
TEST_F(CalcolaTabella, TabellaComeValore) {
    const struct {
        double raggio, incremento;
        std::optional<TipoErrore> errore;
    } casi[] = {{20, 100, std::nullopt},
                {30, 0.9, std::nullopt},
                {20, 0.5, TipoErrore::IndiceFuoriIntervallo},
                {20, 0.01, TipoErrore::Overflow},
                {1e307, 1e308, TipoErrore::Overflow}};
    for (const auto& c : casi) {
        SCOPED_TRACE(c.incremento);
        s = {};
        imposta(c.raggio, c.incremento);
        const calcolo::Tabella t = calcolo::calcolaTabella(calcolo::ingressiDi(s));
        ASSERT_EQ(t.errore.has_value(), c.errore.has_value());
        if (c.errore) {
            EXPECT_EQ(t.errore->tipo(), *c.errore);
            EXPECT_TRUE(t.righe.empty());
            continue;
        }
        Modulo2::CalcolaTabella(s);
        ASSERT_EQ(t.righe.size(), static_cast<std::size_t>(s.numPassi) + 2);
        for (int k = 1; k <= s.numPassi + 2; ++k) {
            EXPECT_EQ(t.riga(k).altezza, s.altezza(k));
            EXPECT_EQ(t.riga(k).portata, s.portata(k));
            EXPECT_EQ(t.riga(k).chezy, s.chezy(k));
        }
        EXPECT_EQ(t.massimaPortata().altezza, s.altezza(s.numPassi + 2));
    }
}

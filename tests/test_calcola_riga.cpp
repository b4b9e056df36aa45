#include "stato_pulito.h"

#include <cmath>

namespace {

struct Atteso {
    double rapporto, angolo, contorno, area, velocita, portata;
};

class CalcolaRiga : public StatoPulito {
  protected:
    // Radius 20 cm, coefficient 0.18, slope 0.01.
    void calcola(double h) {
        s.raggioM = 0.2;
        s.coeffBazin = 0.18;
        s.pendenza = 0.01;
        s.riga = Intero16(1);
        s.altezza(1) = h;
        Modulo2::CalcolaRiga(s);
    }
    void verifica(const Atteso& a) {
        EXPECT_NEAR(s.rapporto, a.rapporto, 5e-8);
        EXPECT_NEAR(s.angolo, a.angolo, 5e-8);
        EXPECT_NEAR(s.contorno(1), a.contorno, 5e-8);
        EXPECT_NEAR(s.area(1), a.area, 5e-8);
        EXPECT_NEAR(s.velocita(1), a.velocita, 5e-7);
        EXPECT_NEAR(s.portata(1), a.portata, 5e-8);
    }
};

} // namespace

TEST_F(CalcolaRiga, ConfineTraFondoEFianchi) {
    calcola(0.04);
    verifica({0.6, 0.9272989, 0.1854598, 0.0044730, 0.625797, 0.0027992});
    EXPECT_NEAR(s.raggioIdr(1), 0.0241184, 5e-8);
    EXPECT_NEAR(s.chezy(1), 40.2957, 5e-5);

    // Just above r/5 the side formulas take over; their rounded constants
    // leave a small step down.
    const double areaFondo = s.area(1);
    const double portataFondo = s.portata(1);
    calcola(std::nextafter(0.04, 1.0));
    verifica({0.6, 0.6435011, 0.1837321, 0.0043396, 0.615810, 0.0026724});
    EXPECT_LT(1 - s.area(1) / areaFondo, 0.04);
    EXPECT_LT(1 - s.portata(1) / portataFondo, 0.05);
}

// The wetted area of the invert is the circular segment of the r/2 arc:
// for the row's own angle, and within the rounding of 1.5708 for the true
// angle of the water line.
TEST_F(CalcolaRiga, AreaDelFondoComeSegmentoCircolare) {
    const double r = 0.2;
    const double raggioFondo = r / 2;
    for (double h : {1e-6, 0.001, 0.01, 0.02, 0.03, 0.0399, 0.04}) {
        calcola(h);
        const double a = s.angolo;
        EXPECT_NEAR(s.area(1), r * r / 8 * (2 * a - std::sin(2 * a)), 1e-15) << "h = " << h;
        const double vero = std::acos(1 - h / raggioFondo);
        const double segmento = raggioFondo * raggioFondo * vero -
                                (raggioFondo - h) * std::sqrt(h * (2 * raggioFondo - h));
        EXPECT_NEAR(s.area(1) / segmento, 1.0, 0.005) << "h = " << h;
    }
}

// From the invert to the crown the area grows with the height, but for the
// one small step at r/5.
TEST_F(CalcolaRiga, AreaMaiDecrescenteSopraUnQuintoDelRaggio) {
    const double r = 0.2;
    double precedente = 0;
    for (int k = 1; k <= 6000; ++k) {
        const double h = 3 * r * k / 6000;
        calcola(h);
        if (h > r / 5 + 1e-9 && precedente > 0) {
            EXPECT_GE(s.area(1), precedente) << "h = " << h;
        }
        if (h > r / 5) {
            precedente = s.area(1);
        }
    }
}

TEST_F(CalcolaRiga, ConfineTraFianchiECalotta) {
    calcola(0.4);
    verifica({0.0, 0.0, 0.958, 0.1208, 2.05015, 0.2476582});
    EXPECT_NEAR(s.raggioIdr(1), 0.1260960, 5e-8);
    EXPECT_NEAR(s.chezy(1), 57.73444, 5e-6);

    calcola(std::nextafter(0.4, 1.0));
    EXPECT_NEAR(s.contorno(1), 0.958, 1e-12);
    EXPECT_NEAR(s.area(1), 0.1208, 1e-12);
    EXPECT_NEAR(s.portata(1), 0.2476582, 5e-8);
}

TEST_F(CalcolaRiga, SezionePienaSoloATreRaggiEsatti) {
    calcola(3 * 0.2);
    EXPECT_EQ(s.angolo, 3.141592654 / 2);
    EXPECT_NEAR(s.contorno(1), 1.5863185, 5e-8);
    EXPECT_NEAR(s.area(1), 0.1836319, 5e-8);
    EXPECT_NEAR(s.velocita(1), 1.935875, 5e-7);
    EXPECT_NEAR(s.portata(1), 0.3554884, 5e-8);

    // The double 0.6 lies below 3 × 0.2: crown region, angle from the arc sine.
    calcola(0.6);
    EXPECT_NE(s.angolo, 3.141592654 / 2);
    EXPECT_NEAR(s.angolo, 1.5707963, 5e-8);
}

TEST_F(CalcolaRiga, RigheInterneDiCiascunaRegione) {
    calcola(0.1);
    EXPECT_NEAR(s.rapporto, 0.5, 1e-15);
    EXPECT_NEAR(s.angolo, 0.5235988, 5e-8);
    EXPECT_NEAR(s.contorno(1), 0.328, 5e-8);
    EXPECT_NEAR(s.area(1), 0.0164199, 5e-8);
    EXPECT_NEAR(s.portata(1), 0.0177125, 5e-8);

    calcola(0.5124);
    EXPECT_NEAR(s.angolo, 0.5968018, 5e-8);
    EXPECT_NEAR(s.contorno(1), 1.1967207, 5e-8);
    EXPECT_NEAR(s.area(1), 0.1632661, 5e-8);
    EXPECT_NEAR(s.velocita(1), 2.160550, 5e-7);
    EXPECT_NEAR(s.portata(1), 0.3527446, 5e-8);

    calcola(0.5718);
    EXPECT_NEAR(s.angolo, 1.0333132, 5e-8);
    EXPECT_NEAR(s.contorno(1), 1.3713253, 5e-8);
    EXPECT_NEAR(s.area(1), 0.1797240, 5e-8);
    EXPECT_NEAR(s.velocita(1), 2.103630, 5e-7);
    EXPECT_NEAR(s.portata(1), 0.3780729, 5e-8);
}

TEST_F(CalcolaRiga, AltezzaZeroDivideAncheLArcoseno) {
    s.angolo = 42;
    try {
        calcola(0.0);
        FAIL() << "nessun errore";
    } catch (const ErroreRuntime& e) {
        EXPECT_EQ(e.tipo(), TipoErrore::DivisionePerZero);
        EXPECT_EQ(e.numero(), 11);
    }
    // The ratio was stored; the angle, whose arc sine failed, was not.
    EXPECT_EQ(s.rapporto, 1.0);
    EXPECT_EQ(s.angolo, 42);
    EXPECT_EQ(s.contorno(1), 0.0);
}

TEST_F(CalcolaRiga, RigaFuoriDagliArrayNonTaccaNulla) {
    s.raggioM = 0.2;
    s.coeffBazin = 0.18;
    s.pendenza = 0.01;
    for (int riga : {-1, 1006}) {
        s.riga = Intero16::da(riga);
        s.rapporto = 5;
        EXPECT_THROW(Modulo2::CalcolaRiga(s), ErroreRuntime);
        EXPECT_EQ(s.rapporto, 5);
    }
}

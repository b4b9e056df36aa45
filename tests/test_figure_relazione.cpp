#include "analisi/profilo.h"
#include "figure/figura_scala.h"
#include "figure/figura_sezione.h"

#include <QColor>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

using formule::Geometria;

const QSize grande(1800, 1300);

QColor colore(const QImage& immagine, QPointF punto) {
    return immagine.pixelColor(punto.toPoint());
}

bool nero(const QImage& immagine, QPointF punto) {
    return qGray(colore(immagine, punto).rgb()) < 60;
}

// The water lines' dark blue, not the light blue of the water.
bool bluLinea(const QColor& c) {
    return c.blue() > 120 && c.blue() - c.red() > 80 && c.red() < 100;
}

// The share of the pixels along a row, between two x, that pass a test.
template <typename Prova>
double quota(const QImage& immagine, double y, double da, double a, Prova prova) {
    int passano = 0;
    int tutti = 0;
    for (double x = da; x <= a; x += 1, ++tutti) {
        passano += prova(colore(immagine, QPointF(x, y)));
    }
    return tutti == 0 ? 0 : static_cast<double>(passano) / tutti;
}

DatiScala scalaDiProva(double raggio) {
    DatiScala dati;
    dati.sezione = {raggio, 0.01, {formule::Legge::Bazin, 0.18}, Geometria::Tabellare};
    for (int k = 1; k <= 6; ++k) {
        dati.righeTabella.push_back(analisi::grandezze(dati.sezione, raggio / 2 * k));
    }
    dati.livelli = {{"Qmin", 0.3 * raggio, true}, {"Q1", 1.4 * raggio}};
    return dati;
}

} // namespace

TEST(FiguraSezione, ContornoDoveDiceLaGeometria) {
    const double r = 0.2;
    const QImage immagine = figuraSezione(r, Geometria::Tabellare, {}, grande);
    ASSERT_EQ(immagine.size(), grande);
    const QTransform metri = posizioneSezione(r, {}, grande);
    const double pixel = metri.m11() * r; // r in pixels
    ASSERT_GT(pixel, 200);
    // On each arc, on both sides, the outline; a little inside it, the
    // empty section.
    for (const double y : {0.03 * r, 0.15 * r, 0.5 * r, 1.2 * r, 2 * r, 2.6 * r, 2.97 * r}) {
        const double x = analisi::semilarghezza(r, y);
        for (const double lato : {-1.0, 1.0}) {
            const QPointF bordo = metri.map(QPointF(lato * x, y));
            EXPECT_TRUE(nero(immagine, bordo)) << y << " " << lato;
            EXPECT_FALSE(nero(immagine, bordo - QPointF(lato * pixel * 0.04, 0))) << y;
        }
    }
    // The crown's top and the invert's bottom, beside the axis.
    EXPECT_TRUE(nero(immagine, metri.map(QPointF(0.05 * r, 3 * r))));
    EXPECT_TRUE(nero(immagine, metri.map(QPointF(0.05 * r, 0))));
    EXPECT_FALSE(nero(immagine, metri.map(QPointF(0.05 * r, 3.08 * r))));
    EXPECT_EQ(colore(immagine, metri.map(QPointF(0.15 * r, 0.1 * r))), QColor(Qt::white));
    // The whole drawing is in the picture.
    EXPECT_TRUE(QRectF(immagine.rect()).contains(metri.mapRect(QRectF(-2 * r, 0, 4 * r, 3 * r))));
}

TEST(FiguraSezione, LineeDAcquaAlleAltezzeDate) {
    const double r = 0.3;
    const std::vector<LivelloAcqua> livelli{{"Q1", 1.6 * r}, {"Qmin", 0.12 * r}};
    const QImage immagine = figuraSezione(r, Geometria::Esatta, livelli, grande);
    const QTransform metri = posizioneSezione(r, livelli, grande);
    for (const LivelloAcqua& livello : livelli) {
        const double mezza = analisi::semilarghezza(r, livello.altezza) * 0.9;
        const double y = metri.map(QPointF(0, livello.altezza)).y();
        const double da = metri.map(QPointF(-mezza, 0)).x();
        const double a = metri.map(QPointF(mezza, 0)).x();
        EXPECT_GT(quota(immagine, y, da, a, bluLinea), 0.4) << livello.altezza;
        for (const double fuori : {-8.0, 8.0}) {
            EXPECT_EQ(quota(immagine, y + fuori, da, a, bluLinea), 0) << livello.altezza;
        }
    }
    // Water up to the highest level, none above it.
    const QColor sotto = colore(immagine, metri.map(QPointF(-0.5 * r, 1.4 * r)));
    EXPECT_GT(sotto.blue(), sotto.red() + 20);
    EXPECT_EQ(colore(immagine, metri.map(QPointF(-0.5 * r, 1.8 * r))), QColor(Qt::white));
}

// The section as a drawing: its dimensions and each level's label written
// once, with the separator asked for, none over another, whatever the
// picture's size and however close the levels.
TEST(FiguraSezione, TestiDelDisegnoLeggibili) {
    const std::vector<LivelloAcqua> vicini{
        {"Qmin", 0.05}, {"Q1", 0.52}, {"Q2", 0.55}, {"Q3", 0.56}};
    for (const QSizeF dimensione : {QSizeF(1800, 1500), QSizeF(900, 650), QSizeF(600, 420)}) {
        const disegno::Disegno d = disegnoSezione(0.3, vicini, dimensione, Separatore::Virgola);
        std::vector<std::string> testi;
        for (const disegno::Elemento& e : d.elementi) {
            if (const auto* t = std::get_if<disegno::Testo>(&e.forma)) {
                testi.push_back(t->testo);
            }
        }
        std::sort(testi.begin(), testi.end());
        EXPECT_EQ(testi,
                  (std::vector<std::string>{"2r = 60 cm", "3r = 90 cm", "3r = 90 cm",
                                            "Q1  h = 52,0 cm", "Q2  h = 55,0 cm", "Q3  h = 56,0 cm",
                                            "Qmin  h = 5,0 cm", "r = 30 cm", "r/2 = 15 cm"}))
            << dimensione.width();
        EXPECT_FALSE(disegno::testiSovrapposti(d)) << dimensione.width();
    }
}

// The rating curves as a drawing: the levels and limits written on their
// lines with the separator asked for, and no text over another at the
// report's size, the window's, or a small one.
TEST(FiguraScala, TestiDelDisegnoLeggibili) {
    DatiScala dati = scalaDiProva(0.3);
    dati.limiti.velocitaMinima = 0.5;
    dati.limiti.riempimentoMassimo = 0.7;
    dati.separatore = Separatore::Virgola;
    const ScalaDiDeflusso scala(dati);
    for (const QSizeF dimensione : {QSizeF(1800, 1300), QSizeF(900, 650), QSizeF(500, 420)}) {
        const disegno::Disegno d = scala.disegno(dimensione);
        std::vector<std::string> testi;
        for (const disegno::Elemento& e : d.elementi) {
            if (const auto* t = std::get_if<disegno::Testo>(&e.forma)) {
                testi.push_back(t->testo);
            }
        }
        for (const char* atteso : {"Qmin  h = 9,0 cm", "Q1  h = 42,0 cm", "h/H max = 70 %",
                                   "Vmin = 50 cm/s", "Portata Q (l/s)", "Altezza h (cm)"}) {
            EXPECT_NE(std::find(testi.begin(), testi.end(), atteso), testi.end())
                << atteso << " " << dimensione.width();
        }
        EXPECT_FALSE(disegno::testiSovrapposti(d)) << dimensione.width();
    }
}

// The same inputs draw the same picture, at the size asked for; a level
// outside the section changes nothing.
TEST(Figure, DimensioneRichiestaEStessoDisegno) {
    const std::vector<LivelloAcqua> livelli{{"Q1", 0.3}};
    const std::vector<LivelloAcqua> conFuori{{"Q1", 0.3}, {"Q2", 0.7}, {"Q3", -0.1}};
    const DatiScala dati = scalaDiProva(0.2);
    for (const QSize dimensione : {grande, QSize(900, 650), QSize(1000, 1400)}) {
        const QImage sezione = figuraSezione(0.2, Geometria::Tabellare, livelli, dimensione);
        EXPECT_EQ(sezione.size(), dimensione);
        EXPECT_EQ(sezione, figuraSezione(0.2, Geometria::Tabellare, conFuori, dimensione));
        const QImage scala = figuraScala(dati, dimensione);
        EXPECT_EQ(scala.size(), dimensione);
        EXPECT_EQ(scala, figuraScala(dati, dimensione));
    }
}

TEST(FiguraScala, AssiRotondi) {
    struct Caso {
        double raggio;
        double portata, velocita, altezza;
    };
    // The velocity axis takes in the greatest velocity allowed, 400 cm/s,
    // unless the curve stays below half of it.
    for (const Caso& caso :
         {Caso{0.2, 400, 500, 60}, Caso{0.6, 8000, 500, 180}, Caso{0.05, 10, 100, 15}}) {
        const AssiScala assi = assiScala(scalaDiProva(caso.raggio), grande);
        EXPECT_DOUBLE_EQ(assi.portataFine, caso.portata) << caso.raggio;
        EXPECT_DOUBLE_EQ(assi.velocitaFine, caso.velocita) << caso.raggio;
        EXPECT_NEAR(assi.altezzaFine, caso.altezza, 1e-9) << caso.raggio;
        EXPECT_GT(assi.area.width(), grande.width() * 0.8);
        EXPECT_GT(assi.area.height(), grande.height() * 0.6);
    }
}

TEST(FiguraScala, CurvePerLeRigheDellaTabellaELivelli) {
    const DatiScala dati = scalaDiProva(0.2);
    const QImage immagine = figuraScala(dati, grande);
    const AssiScala assi = assiScala(dati, grande);
    const auto grigio = [](const QColor& c) {
        return c.red() < 90 && std::abs(c.red() - c.blue()) < 15;
    };
    for (const analisi::Grandezze& g : dati.righeTabella) {
        EXPECT_TRUE(grigio(colore(immagine, assi.portata(g.portata * 1000, g.altezza * 100))))
            << g.altezza;
        EXPECT_TRUE(grigio(colore(immagine, assi.velocita(g.velocita * 100, g.altezza * 100))))
            << g.altezza;
    }
    // Between the rows, the flow's solid curve.
    for (const double h : {0.05, 0.15, 0.25, 0.35}) {
        const analisi::Grandezze g = analisi::grandezze(dati.sezione, h);
        const QColor c = colore(immagine, assi.portata(g.portata * 1000, h * 100));
        EXPECT_GT(c.blue(), c.red() + 60) << h;
    }
    // Each level on both curves, and across the plot: the design flow's in
    // green, the minimum flow's in violet.
    for (const LivelloAcqua& livello : dati.livelli) {
        const analisi::Grandezze g = analisi::grandezze(dati.sezione, livello.altezza);
        const double h = livello.altezza * 100;
        const auto suo = [minima = livello.minima](const QColor& c) {
            return minima ? c.red() > c.green() + 40 && c.blue() > c.green() + 60
                          : c.green() > c.red() + 60;
        };
        for (const QPointF p :
             {assi.portata(g.portata * 1000, h), assi.velocita(g.velocita * 100, h)}) {
            EXPECT_TRUE(suo(colore(immagine, p))) << h;
        }
        const double y = assi.portata(0, h).y();
        EXPECT_GT(quota(immagine, y, assi.area.left(), assi.area.right(), suo), 0.3) << h;
    }
    // The velocity limits: dotted lines from the bottom to the top.
    const auto arancio = [](const QColor& c) { return c.red() > 150 && c.blue() < 100; };
    for (const double limite : {50.0, 400.0}) {
        const double x = assi.velocita(limite, 0).x();
        int punti = 0;
        for (double y = assi.area.top(); y < assi.area.bottom(); y += 1) {
            punti += arancio(colore(immagine, QPointF(x, y)));
        }
        EXPECT_GT(punti, assi.area.height() * 0.2) << limite;
    }
}

#pragma once

#include "calc/reale.h"
#include "calc/resistenza.h"

#include <cmath>
#include <utility>

// The wetted section of the egg-shaped conduit and its uniform flow at one
// water height: the program's one set of formulas. The table's rows, the
// design answers, the maxima and the curves all come from here.
//
// The profile has four arcs: the invert of radius r/2 up to r/5, two side
// arcs of radius 3r up to 2r, the crown half circle of radius r up to 3r.
namespace formule {

enum class Geometria {
    Tabellare, // the classic table's formulas, with their rounded constants
    Esatta,    // the true four-arc profile, no constant rounded
};

// The constants of a geometry, exactly as they enter the computation.
struct Costanti {
    double quartoDiGiro;         // the invert angle is this less the arc sine of x
    double contornoA2r;          // wetted perimeter at 2r, in units of r
    double perditaFianchi[3];    // side-arc length lost per radian: a × [0] × [1] / [2]
    double areaA2r;              // area below 2r, in units of r²
    double semigiroSezionePiena; // halved, the crown angle of the full section
};

inline const Costanti& costanti(Geometria geometria) {
    // Where the side arcs meet the invert: sin φ0 = 0.6, and the invert's
    // half angle there is π/2 − φ0.
    static const Costanti tabellare{1.5708, 4.79, {0.105, 360.0, 6.283185308}, 3.02, 3.141592654};
    static const Costanti esatta = [] {
        const double mezzoPi = std::acos(0.0);
        const double fi0 = std::asin(0.6);
        const double fondo0 = mezzoPi - fi0;
        const double areaFondo = (2 * fondo0 - std::sin(2 * fondo0)) / 8;
        const double areaFianchi = 3 * (1.5 * std::sin(2 * fi0) + 3 * fi0 - 4 * std::sin(fi0));
        return Costanti{
            mezzoPi, fondo0 + 6 * fi0, {6.0, 1.0, 1.0}, areaFondo + areaFianchi, 2 * mezzoPi};
    }();
    return geometria == Geometria::Esatta ? esatta : tabellare;
}

// What a number type offers the formulas: sine, arc tangent, square root,
// square, a real power, the base-10 logarithm, and its plain value for the
// region tests. Each number type the formulas run on specialises it.
template <typename Numero> struct Aritmetica;

// Chézy's coefficient C and the velocity V of uniform flow for the
// hydraulic radius R and the slope i, by the resistance law; hands C over
// before V is returned. Where a law gives V, not C, C = V / √(R i).
template <typename Numero, typename Uscita>
Numero velocitaUniforme(const Numero& raggioIdr, const Resistenza& resistenza, double pendenza,
                        Uscita& uscita) {
    using A = Aritmetica<Numero>;
    const double k = resistenza.coefficiente;
    const auto chezyDallaVelocita = [&](const Numero& velocita) {
        uscita.chezy(velocita / A::radice(raggioIdr * pendenza));
        return velocita;
    };
    switch (resistenza.legge) {
    case Legge::Kutter: {
        const Numero radiceR = A::radice(raggioIdr);
        const Numero chezy = Numero(100.0) * radiceR / (Numero(k) + radiceR);
        uscita.chezy(chezy);
        return chezy * radiceR * A::radice(Numero(pendenza));
    }
    case Legge::Strickler:
        return chezyDallaVelocita(Numero(k) * A::potenza(raggioIdr, 2.0 / 3.0) *
                                  A::radice(Numero(pendenza)));
    case Legge::Manning:
        return chezyDallaVelocita(A::potenza(raggioIdr, 2.0 / 3.0) * A::radice(Numero(pendenza)) /
                                  k);
    case Legge::Colebrook: {
        // With λ = 8 g R i / V², Re √λ = 4 R √(8 g R i) / ν no longer
        // depends on V: the equation in λ has this closed form for V.
        const double viscosita = viscositaCinematica(resistenza.temperatura);
        const Numero scala = A::radice(Numero(8 * accelerazioneGravita * pendenza) * raggioIdr);
        const Numero argomento = Numero(k / 1000 / 14.84) / raggioIdr +
                                 Numero(2.51 * viscosita / 4) / (raggioIdr * scala);
        return chezyDallaVelocita(Numero(-2.0) * scala * A::logaritmo10(argomento));
    }
    case Legge::Bazin:
        break;
    }
    const Numero radiceR = A::radice(raggioIdr);
    const Numero chezy = Numero(87.0) * radiceR / (radiceR + k);
    uscita.chezy(chezy);
    return chezy * radiceR * A::radice(Numero(pendenza));
}

// The height h and the radius r in metres, for the resistance law and the
// slope i. Hands each result to `uscita` as soon as it is produced, in this
// order: x (ratio), a (angle), P, A, R, C, V, Q; the full section has no
// ratio. A fault of the number type surfaces where the value is used, so
// the results handed over before it stay handed over.
template <typename Numero, typename Uscita>
void calcolaAltezza(const Numero& h, const Numero& r, const Resistenza& resistenza, double pendenza,
                    Geometria geometria, Uscita& uscita) {
    using A = Aritmetica<Numero>;
    const Costanti& k = costanti(geometria);
    // The arc sine as the arc tangent of x / √(1 − x²): at x = 1 a division
    // by zero, never π/2.
    const auto arcoseno = [](const Numero& x) {
        return A::arcotangente(x / A::radice(Numero(1.0) - x * x));
    };
    // The crown: the half circle of radius r above 2r.
    const auto calotta = [&](const Numero& a) {
        const Numero contorno = (Numero(2.0) * a + k.contornoA2r) * r;
        uscita.contorno(contorno);
        const Numero area = Numero(k.areaA2r) * A::quadrato(r) +
                            A::quadrato(r) * (Numero(0.5) * A::seno(Numero(2.0) * a) + a);
        uscita.area(area);
        return std::pair{contorno, area};
    };

    std::pair<Numero, Numero> bagnato{Numero(0.0), Numero(0.0)};
    if (A::valore(r / 5.0) >= A::valore(h)) {
        // The invert: a is half the wetted angle of the r/2 arc, the area
        // its circular segment.
        const Numero x = (r / 2.0 - h) / (r / 2.0);
        uscita.rapporto(x);
        const Numero a = Numero(k.quartoDiGiro) - arcoseno(x);
        uscita.angolo(a);
        const Numero contorno = a * r;
        uscita.contorno(contorno);
        const Numero area = A::quadrato(r) / 8.0 * (Numero(2.0) * a - A::seno(Numero(2.0) * a));
        uscita.area(area);
        bagnato = {contorno, area};
    } else if (A::valore(Numero(2.0) * r) >= A::valore(h)) {
        // The side arcs of radius 3r: a falls from arcsin 0.6 at r/5 to 0
        // at 2r.
        const Numero x = (Numero(2.0) * r - h) / (Numero(3.0) * r);
        uscita.rapporto(x);
        const Numero a = arcoseno(x);
        uscita.angolo(a);
        const Numero contorno =
            (Numero(k.contornoA2r) -
             a * k.perditaFianchi[0] * k.perditaFianchi[1] / k.perditaFianchi[2]) *
            r;
        uscita.contorno(contorno);
        const Numero area =
            Numero(k.areaA2r) * A::quadrato(r) - Numero(3.0) * A::quadrato(r) *
                                                     (Numero(1.5) * A::seno(Numero(2.0) * a) +
                                                      Numero(3.0) * a - Numero(4.0) * A::seno(a));
        uscita.area(area);
        bagnato = {contorno, area};
    } else if (A::valore(Numero(3.0) * r) > A::valore(h)) {
        const Numero x = (h - Numero(2.0) * r) / r;
        uscita.rapporto(x);
        const Numero a = arcoseno(x);
        uscita.angolo(a);
        bagnato = calotta(a);
    } else {
        // h = 3r, or a height one unit in the last place above it: the full
        // section.
        const Numero a = Numero(k.semigiroSezionePiena) / 2.0;
        uscita.angolo(a);
        bagnato = calotta(a);
    }

    // Hydraulic radius, Chézy's coefficient and velocity by the law, flow.
    const auto& [contorno, area] = bagnato;
    const Numero raggioIdr = area / contorno;
    uscita.raggioIdr(raggioIdr);
    const Numero velocita = velocitaUniforme(raggioIdr, resistenza, pendenza, uscita);
    uscita.velocita(velocita);
    uscita.portata(area * velocita);
}

// The program's checked arithmetic: every fault raises its run-time error.
template <> struct Aritmetica<Reale> {
    static Reale seno(const Reale& x) { return ::seno(x); }
    static Reale arcotangente(const Reale& x) { return ::arcotangente(x); }
    static Reale radice(const Reale& x) { return ::radice(x); }
    static Reale quadrato(const Reale& x) { return ::quadrato(x); }
    static Reale potenza(const Reale& x, double esponente) { return ::potenza(x, esponente); }
    static Reale logaritmo10(const Reale& x) { return ::logaritmo10(x); }
    static double valore(const Reale& x) { return x.valore(); }
};

// Plain doubles, unchecked: a fault is a NaN or an infinity in the results.
template <> struct Aritmetica<double> {
    static double seno(double x) { return std::sin(x); }
    static double arcotangente(double x) { return std::atan(x); }
    static double radice(double x) { return std::sqrt(x); }
    static double quadrato(double x) { return x * x; }
    static double potenza(double x, double esponente) { return std::pow(x, esponente); }
    static double logaritmo10(double x) { return std::log10(x); }
    static double valore(double x) { return x; }
};

} // namespace formule

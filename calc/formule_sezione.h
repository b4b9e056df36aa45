#pragma once

#include "calc/reale.h"

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
// square, and its plain value for the region tests. Each number type the
// formulas run on specialises it.
template <typename Numero> struct Aritmetica;

// The height h and the radius r in metres, for Bazin's coefficient γ and
// the slope i. Hands each result to `uscita` as soon as it is produced, in
// this order: x (ratio), a (angle), P, A, R, C, V, Q; the full section has
// no ratio. A fault of the number type surfaces where the value is used, so
// the results handed over before it stay handed over.
template <typename Numero, typename Uscita>
void calcolaAltezza(const Numero& h, const Numero& r, double coeffBazin, double pendenza,
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

    // Hydraulic radius, Chézy's coefficient after Bazin, velocity, flow.
    const auto& [contorno, area] = bagnato;
    const Numero raggioIdr = area / contorno;
    uscita.raggioIdr(raggioIdr);
    const Numero radiceR = A::radice(raggioIdr);
    const Numero chezy = Numero(87.0) * radiceR / (radiceR + coeffBazin);
    uscita.chezy(chezy);
    const Numero velocita = chezy * A::radice(raggioIdr) * A::radice(Numero(pendenza));
    uscita.velocita(velocita);
    uscita.portata(area * velocita);
}

// The program's checked arithmetic: every fault raises its run-time error.
template <> struct Aritmetica<Reale> {
    static Reale seno(const Reale& x) { return ::seno(x); }
    static Reale arcotangente(const Reale& x) { return ::arcotangente(x); }
    static Reale radice(const Reale& x) { return ::radice(x); }
    static Reale quadrato(const Reale& x) { return ::quadrato(x); }
    static double valore(const Reale& x) { return x.valore(); }
};

} // namespace formule

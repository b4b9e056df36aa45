#include "calc/calcolo.h"

#include "calc/reale.h"
#include "calc/variabili_pubbliche.h"

namespace {

using variabili_pubbliche::Stato;

// Arc sine as the arc tangent of x / √(1 − x²): at x = 1 it is a division by
// zero, never π/2.
Reale arcoseno(Reale x) {
    return arcotangente(x / radice(Reale(1.0) - x * x));
}

// Wetted part of the invert arc, radius r/2, up to h = r/5. The area is the
// circular segment of half-angle a on that arc.
void regioneFondo(Stato& s, Reale r, Reale h) {
    memorizza(s.rapporto, (r / 2.0 - h) / (r / 2.0));
    memorizza(s.angolo, Reale(1.5708) - arcoseno(s.rapporto));
    const Reale a = s.angolo;
    memorizza(s.contorno(s.riga), a * r);
    memorizza(s.area(s.riga), quadrato(r) / 8.0 * (Reale(2.0) * a - seno(Reale(2.0) * a)));
}

// The two side arcs of radius 3r, from r/5 up to 2r.
void regioneFianchi(Stato& s, Reale r, Reale h) {
    memorizza(s.rapporto, (Reale(2.0) * r - h) / (Reale(3.0) * r));
    memorizza(s.angolo, arcoseno(s.rapporto));
    const Reale a = s.angolo;
    memorizza(s.contorno(s.riga), (Reale(4.79) - a * 0.105 * 360.0 / 6.283185308) * r);
    memorizza(s.area(s.riga),
              Reale(3.02) * quadrato(r) -
                  Reale(3.0) * quadrato(r) *
                      (Reale(1.5) * seno(Reale(2.0) * a) + Reale(3.0) * a - Reale(4.0) * seno(a)));
}

// Perimeter and area of the crown arc of radius r for the angle now in
// `angolo`; shared by the partly and the wholly filled crown.
void contornoEAreaCalotta(Stato& s, Reale r) {
    const Reale a = s.angolo;
    memorizza(s.contorno(s.riga), (Reale(2.0) * a + 4.79) * r);
    memorizza(s.area(s.riga),
              Reale(3.02) * quadrato(r) + quadrato(r) * (Reale(0.5) * seno(Reale(2.0) * a) + a));
}

void regioneCalotta(Stato& s, Reale r, Reale h) {
    memorizza(s.rapporto, (h - Reale(2.0) * r) / r);
    memorizza(s.angolo, arcoseno(s.rapporto));
    contornoEAreaCalotta(s, r);
}

void sezionePiena(Stato& s, Reale r) {
    memorizza(s.angolo, Reale(3.141592654) / 2.0);
    contornoEAreaCalotta(s, r);
}

void idraulica(Stato& s) {
    const int k = s.riga;
    memorizza(s.raggioIdr(k), Reale(s.area(k)) / s.contorno(k));
    const Reale radiceR = radice(s.raggioIdr(k));
    memorizza(s.chezy(k), Reale(87.0) * radiceR / (radiceR + s.coeffBazin));
    memorizza(s.velocita(k), Reale(s.chezy(k)) * radice(s.raggioIdr(k)) * radice(s.pendenza));
    memorizza(s.portata(k), Reale(s.area(k)) * s.velocita(k));
}

} // namespace

void Modulo2::CalcolaRiga() {
    Stato& s = variabili_pubbliche::stato;
    const Reale h = s.altezza(s.riga);
    const Reale r = s.raggioM;

    if ((r / 5.0).valore() >= h.valore()) {
        regioneFondo(s, r, h);
    } else if ((Reale(2.0) * r).valore() >= h.valore()) {
        regioneFianchi(s, r, h);
    } else if ((Reale(3.0) * r).valore() > h.valore()) {
        regioneCalotta(s, r, h);
    } else {
        // h = 3r, or a last regular height that n × step puts one unit in the
        // last place above 3r: both are the full section, so every row the
        // readers see is complete.
        sezionePiena(s, r);
    }
    idraulica(s);
}

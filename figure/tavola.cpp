#include "figure/tavola.h"

#include "numeri/formato.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace disegno {

namespace {

constexpr double proporzione = 1.385;
// A unit's least length, in pixels: the numbers are then 10 pixels high.
constexpr double unitaMinima = 0.6;

} // namespace

Misure::Misure(double larghezza, double altezza, Separatore separatore)
    : unita_(
          std::max(std::min(larghezza, std::floor(altezza * proporzione)) / 1000.0, unitaMinima)),
      separatore_(separatore) {}

std::string Misure::numero(double valore, std::string_view modello) const {
    return Format(valore, modello, separatore_);
}

std::string Misure::livello(const std::string& etichetta, double altezzaM) const {
    const std::string altezza = "h = " + numero(altezzaM * 100, "#0.0") + " cm";
    return etichetta.empty() ? altezza : etichetta + "  " + altezza;
}

Testo testoA(const Misure& m, double corpo, std::string testo, Punto ancora,
             Orizzontale orizzontale, Lato lato, double distanza, double gradi) {
    const double angolo = gradi * std::numbers::pi / 180;
    // Up, in the text's frame, on the sheet.
    const Punto su{-std::sin(angolo), -std::cos(angolo)};
    Testo t;
    t.testo = std::move(testo);
    t.altezza = m.maiuscole(corpo);
    t.orizzontale = orizzontale;
    t.gradi = gradi;
    t.alone = true;
    switch (lato) {
    case Lato::Sopra:
        t.verticale = Verticale::Sotto;
        t.ancora = piu(ancora, per(su, distanza));
        break;
    case Lato::Sotto:
        t.verticale = Verticale::Sopra;
        t.ancora = piu(ancora, per(su, -distanza));
        break;
    case Lato::Centro:
        t.verticale = Verticale::Centro;
        t.ancora = ancora;
        break;
    }
    return t;
}

Rettangolo senzaSovrapporre(const Rettangolo& r, const std::vector<Rettangolo>& occupati,
                            double passo) {
    for (int i = 0; i < 60; ++i) {
        Rettangolo prova = r;
        prova.y += (i % 2 == 0 ? -1 : 1) * passo * ((i + 1) / 2);
        if (std::none_of(occupati.begin(), occupati.end(),
                         [&](const Rettangolo& o) { return o.interseca(prova); })) {
            return prova;
        }
    }
    return r;
}

void freccia(Disegno& d, std::string_view strato, Punto da, Punto punta, double lunghezza,
             Colore colore) {
    const Punto asse = meno(da, punta);
    const double l = std::hypot(asse.x, asse.y);
    if (l <= 0) {
        return;
    }
    const Punto indietro = per(asse, lunghezza / l);
    const Punto traverso{-indietro.y * 0.17, indietro.x * 0.17};
    d.area(strato,
           {punta, piu(piu(punta, indietro), traverso), meno(piu(punta, indietro), traverso)},
           colore);
}

} // namespace disegno

#pragma once

#include "figure/disegno.h"
#include "numeri/separatore.h"

#include <string>
#include <string_view>
#include <vector>

// What the section and the rating curves share: lengths in a thousandth of
// their sheet, the numbers they write, and texts placed off a line.
namespace disegno {

// A figure's measures. Every length is given in units of a thousandth of
// the sheet's width (of a sheet 1.385 times as wide as high: a narrower one
// takes its height as the measure), so that a figure looks the same at
// 1200 and at 2400 pixels. On a small sheet the units stop shrinking where
// the texts would no longer be read.
class Misure {
  public:
    Misure(double larghezza, double altezza, Separatore separatore);

    double operator()(double unita) const { return unita * unita_; }
    // A font `corpo` units large: its capitals, its line, a text's length.
    double maiuscole(double corpo) const { return (*this)(corpo)*altezzaMaiuscole; }
    double riga(double corpo) const { return (*this)(corpo) * (ascesa + discesa); }
    double lunghezza(std::string_view testo, double corpo) const {
        return larghezza(testo, maiuscole(corpo));
    }
    // A number with its pattern (as Format takes it) and the separator.
    std::string numero(double valore, std::string_view modello) const;
    // A water level's label: "Q1  h = 30.4 cm", or "h = 30.4 cm" unnamed.
    std::string livello(const std::string& etichetta, double altezzaM) const;

  private:
    double unita_;
    Separatore separatore_;
};

// A water level to show, labelled ("Q1", "Qmin"; empty, unnamed).
struct Livello {
    std::string etichetta;
    double altezza = 0;  // m
    bool minima = false; // the dry-weather flow's, marked apart on the curves
};

enum class Lato { Sopra, Sotto, Centro }; // where a text stands from its anchor

// A text `corpo` units large at its anchor, turned by some degrees
// (counter-clockwise) about it, `distanza` above or below it, with a white
// halo where it crosses a line.
Testo testoA(const Misure& m, double corpo, std::string testo, Punto ancora,
             Orizzontale orizzontale, Lato lato, double distanza, double gradi = 0);

// A box moved up or down in small steps, nearest first, until it overlaps
// none of the boxes already taken; where none is free, as it was.
Rettangolo senzaSovrapporre(const Rettangolo& r, const std::vector<Rettangolo>& occupati,
                            double passo);

inline Punto piu(Punto a, Punto b) {
    return {a.x + b.x, a.y + b.y};
}
inline Punto meno(Punto a, Punto b) {
    return {a.x - b.x, a.y - b.y};
}
inline Punto per(Punto a, double k) {
    return {a.x * k, a.y * k};
}

// A filled arrowhead `lunghezza` long, its point at `punta`, coming from `da`.
void freccia(Disegno& d, std::string_view strato, Punto da, Punto punta, double lunghezza,
             Colore colore);

} // namespace disegno

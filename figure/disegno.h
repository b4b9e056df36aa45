#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// A drawing described once, as a list of vector items in millimetres of the
// sheet (x to the right, y downwards from the top left corner), each on a
// layer: what the window, the PDF, the picture, the SVG and the DXF all
// draw. Texts are measured here, with the widths of the sans-serif face
// every renderer asks for, so that what fits, fits everywhere.
namespace disegno {

struct Colore {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Colore&) const = default;
};
inline constexpr Colore nero{0, 0, 0};
inline constexpr Colore bianco{255, 255, 255};

enum class Stile { Continua, Tratteggiata, Punteggiata, Asse }; // Asse: dash and dot

struct Punto {
    double x = 0, y = 0;
    bool operator==(const Punto&) const = default;
};

struct Rettangolo {
    double x = 0, y = 0, larghezza = 0, altezza = 0;

    double destra() const { return x + larghezza; }
    double basso() const { return y + altezza; }
    // Overlapping by more than a hair: boxes that only touch do not.
    bool interseca(const Rettangolo& altro) const;
};

struct Penna {
    Colore colore = nero;
    double spessore = 0.25; // mm
    Stile stile = Stile::Continua;
};

// A line through its points; closed, back to the first.
struct Polilinea {
    std::vector<Punto> punti;
    Penna penna;
    bool chiusa = false;
};

// A filled polygon, without outline.
struct Area {
    std::vector<Punto> punti;
    Colore colore;
};

enum class Orizzontale { Sinistra, Centro, Destra };
enum class Verticale {
    Sopra,
    Centro,
    Sotto,
    Base
}; // the anchor above, across, below the text, or on its baseline

// A text on one line. `altezza` is the height of its capitals, mm; the
// anchor is where the alignment puts it, and the text is turned about it by
// `gradi`, counter-clockwise (90: reading upwards).
struct Testo {
    std::string testo; // UTF-8
    Punto ancora;
    double altezza = 2.5;
    Orizzontale orizzontale = Orizzontale::Sinistra;
    Verticale verticale = Verticale::Base;
    double gradi = 0;
    Colore colore = nero;
    bool alone = false; // a white halo, to be read where it crosses a line
    bool grassetto = false;
};

using Forma = std::variant<Polilinea, Area, Testo>;

struct Elemento {
    Forma forma;
    std::string_view strato; // one of the drawing's layers, a literal
};

struct Disegno {
    double larghezza = 0, altezza = 0;    // the sheet, mm
    std::vector<std::string_view> strati; // in the order they are drawn
    std::vector<Elemento> elementi;       // in the order they are drawn

    void linea(std::string_view strato, Punto a, Punto b, Penna penna);
    void polilinea(std::string_view strato, std::vector<Punto> punti, Penna penna,
                   bool chiusa = false);
    void rettangolo(std::string_view strato, const Rettangolo& r, Penna penna);
    void area(std::string_view strato, std::vector<Punto> punti, Colore colore);
    void testo(std::string_view strato, Testo testo);
};

// The face's metrics, as fractions of the font's size (its em): the
// capitals' height, and the extent above and below the baseline.
inline constexpr double altezzaMaiuscole = 0.716;
inline constexpr double ascesa = 0.905;
inline constexpr double discesa = 0.212;

// The font size, mm, whose capitals are `altezza` high.
inline double corpo(double altezza) {
    return altezza / altezzaMaiuscole;
}

// How long a text runs, mm, in capitals `altezza` high.
double larghezza(std::string_view utf8, double altezza);

// Where the baseline starts, from the anchor, in the text's own frame
// (before it is turned; y downwards).
Punto origine(const Testo& testo);

// The box the text takes on the sheet, turned as it is drawn (by quarter
// turns exactly; any other angle gives the box around the turned one).
Rettangolo riquadro(const Testo& testo);

// The boxes of two texts of a drawing that overlap, none when none do: a
// drawing's texts must each be read on their own.
std::optional<std::pair<std::size_t, std::size_t>> testiSovrapposti(const Disegno& disegno);

} // namespace disegno

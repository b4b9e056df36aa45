#include "figure/disegno.h"

#include "file/utf8.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace disegno {

namespace {

// The advance widths of the printable ASCII characters, thousandths of the
// em, of the face every renderer is given (Liberation Sans, Arial and
// Helvetica share them).
constexpr std::array<short, 95> larghezzeAscii = {
    278,  278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278, // space../
    556,  556, 556, 556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556, // 0..?
    1015, 667, 667, 722, 722, 667, 611, 778, 722, 278, 500, 667, 556, 833, 722, 778, // @..O
    667,  778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 278, 278, 278, 469, 556, // P.._
    333,  556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833, 556, 556, // `..o
    556,  556, 333, 500, 278, 556, 500, 722, 500, 500, 500, 334, 260, 334, 584};     // p..~

double larghezzaDi(char32_t c) {
    if (c >= 0x20 && c < 0x7F) {
        return larghezzeAscii[c - 0x20];
    }
    switch (c) {
    case U'‰':
    case U'—':
    case U'…':
        return 1000;
    case U'×':
    case U'±':
        return 584;
    case U'·':
        return 278;
    case U'°':
        return 400;
    case U'’':
    case U'‘':
        return 222;
    case U'ì':
    case U'í':
    case U'î':
    case U'ï':
    case U'Ì':
    case U'Í':
        return 278;
    default:
        break;
    }
    // Accented capitals are as wide as the widest plain ones; anything
    // else as a digit.
    if (c >= 0xC0 && c <= 0xDE) {
        return 722;
    }
    return 556;
}

} // namespace

bool Rettangolo::interseca(const Rettangolo& altro) const {
    constexpr double capello = 1e-6;
    return x < altro.destra() - capello && altro.x < destra() - capello &&
           y < altro.basso() - capello && altro.y < basso() - capello;
}

void Disegno::linea(std::string_view strato, Punto a, Punto b, Penna penna) {
    polilinea(strato, {a, b}, penna);
}

void Disegno::polilinea(std::string_view strato, std::vector<Punto> punti, Penna penna,
                        bool chiusa) {
    if (punti.size() > 1) {
        elementi.push_back({Polilinea{std::move(punti), penna, chiusa}, strato});
    }
}

void Disegno::rettangolo(std::string_view strato, const Rettangolo& r, Penna penna) {
    polilinea(strato, {{r.x, r.y}, {r.destra(), r.y}, {r.destra(), r.basso()}, {r.x, r.basso()}},
              penna, true);
}

void Disegno::area(std::string_view strato, std::vector<Punto> punti, Colore colore) {
    if (punti.size() > 2) {
        elementi.push_back({Area{std::move(punti), colore}, strato});
    }
}

void Disegno::testo(std::string_view strato, Testo testo) {
    if (!testo.testo.empty()) {
        elementi.push_back({std::move(testo), strato});
    }
}

double larghezza(std::string_view utf8, double altezza) {
    double millesimi = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        // Most texts are digits and plain letters.
        if (const auto byte = static_cast<unsigned char>(utf8[i]); byte >= 0x20 && byte < 0x7F) {
            millesimi += larghezzeAscii[byte - 0x20];
            ++i;
            continue;
        }
        char32_t c = 0;
        const std::size_t passo = sequenzaUtf8(utf8.substr(i), c);
        millesimi += passo == 0 ? 556 : larghezzaDi(c);
        i += std::max<std::size_t>(passo, 1);
    }
    return millesimi / 1000 * corpo(altezza);
}

namespace {

Punto origineLunga(const Testo& t, double lungo) {
    const double em = corpo(t.altezza);
    const double x = t.orizzontale == Orizzontale::Sinistra ? 0
                     : t.orizzontale == Orizzontale::Centro ? -lungo / 2
                                                            : -lungo;
    double y = 0;
    switch (t.verticale) {
    case Verticale::Sopra: // the anchor above: the text hangs below it
        y = ascesa * em;
        break;
    case Verticale::Centro:
        y = t.altezza / 2;
        break;
    case Verticale::Sotto:
        y = -discesa * em;
        break;
    case Verticale::Base:
        break;
    }
    return {x, y};
}

} // namespace

Punto origine(const Testo& t) {
    return origineLunga(t, larghezza(t.testo, t.altezza));
}

Rettangolo riquadro(const Testo& t) {
    const double em = corpo(t.altezza);
    const double lungo = larghezza(t.testo, t.altezza);
    const Punto o = origineLunga(t, lungo);
    // In the text's frame, y downwards.
    const std::array<Punto, 4> angoli = {
        Punto{o.x, o.y - ascesa * em}, Punto{o.x + lungo, o.y - ascesa * em},
        Punto{o.x, o.y + discesa * em}, Punto{o.x + lungo, o.y + discesa * em}};
    const double r = t.gradi * std::numbers::pi / 180;
    // Quarter turns exactly, lest a box grow by rounding.
    const double giri = t.gradi / 90;
    const bool retto = std::fabs(giri - std::round(giri)) < 1e-12;
    const double c = t.gradi == 0 ? 1 : retto ? std::round(std::cos(r)) : std::cos(r);
    const double s = t.gradi == 0 ? 0 : retto ? std::round(std::sin(r)) : std::sin(r);
    double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
    for (const Punto& p : angoli) {
        // Counter-clockwise on the sheet, whose y runs downwards.
        const double x = t.ancora.x + p.x * c + p.y * s;
        const double y = t.ancora.y - p.x * s + p.y * c;
        x0 = std::min(x0, x);
        x1 = std::max(x1, x);
        y0 = std::min(y0, y);
        y1 = std::max(y1, y);
    }
    return {x0, y0, x1 - x0, y1 - y0};
}

std::optional<std::pair<std::size_t, std::size_t>> testiSovrapposti(const Disegno& disegno) {
    struct Voce {
        Rettangolo r;
        std::size_t indice;
    };
    std::vector<Voce> voci;
    for (std::size_t i = 0; i < disegno.elementi.size(); ++i) {
        if (const auto* t = std::get_if<Testo>(&disegno.elementi[i].forma)) {
            voci.push_back({riquadro(*t), i});
        }
    }
    // Swept from left to right: only boxes that reach past a box's left
    // edge are compared with it.
    std::sort(voci.begin(), voci.end(), [](const Voce& a, const Voce& b) { return a.r.x < b.r.x; });
    std::vector<const Voce*> aperte;
    for (const Voce& v : voci) {
        std::erase_if(aperte, [&](const Voce* a) { return a->r.destra() <= v.r.x; });
        for (const Voce* a : aperte) {
            if (a->r.interseca(v.r)) {
                return std::pair{std::min(a->indice, v.indice), std::max(a->indice, v.indice)};
            }
        }
        aperte.push_back(&v);
    }
    return std::nullopt;
}

} // namespace disegno

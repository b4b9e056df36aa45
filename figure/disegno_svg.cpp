#include "figure/disegno_svg.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace disegno {

namespace {

// A length with a point and at most three decimals, whatever the locale.
void numero(std::string& esito, double valore) {
    if (!std::isfinite(valore)) {
        valore = 0;
    }
    char cifre[64];
    const auto fine = std::to_chars(cifre, cifre + sizeof cifre, std::round(valore * 1000) / 1000,
                                    std::chars_format::fixed, 3);
    std::string_view testo(cifre, static_cast<std::size_t>(fine.ptr - cifre));
    while (testo.ends_with('0')) {
        testo.remove_suffix(1);
    }
    if (testo.ends_with('.')) {
        testo.remove_suffix(1);
    }
    esito += testo == "-0" ? "0" : testo;
}

void colore(std::string& esito, Colore c) {
    char cifre[8];
    std::snprintf(cifre, sizeof cifre, "#%02x%02x%02x", c.r, c.g, c.b);
    esito += cifre;
}

void testoXml(std::string& esito, std::string_view testo) {
    for (const char c : testo) {
        switch (c) {
        case '&':
            esito += "&amp;";
            break;
        case '<':
            esito += "&lt;";
            break;
        case '>':
            esito += "&gt;";
            break;
        case '"':
            esito += "&quot;";
            break;
        default:
            // A control character has no place in XML: a blank instead.
            esito += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
        }
    }
}

void punti(std::string& esito, const std::vector<Punto>& punti) {
    esito += " points=\"";
    for (std::size_t i = 0; i < punti.size(); ++i) {
        if (i > 0) {
            esito += ' ';
        }
        numero(esito, punti[i].x);
        esito += ',';
        numero(esito, punti[i].y);
    }
    esito += '"';
}

void forma(std::string& esito, const Polilinea& p) {
    esito += p.chiusa ? "<polygon fill=\"none\"" : "<polyline fill=\"none\"";
    punti(esito, p.punti);
    esito += " stroke=\"";
    colore(esito, p.penna.colore);
    esito += "\" stroke-width=\"";
    numero(esito, p.penna.spessore);
    esito += '"';
    if (p.penna.stile != Stile::Continua) {
        const double w = std::max(p.penna.spessore, 0.1);
        esito += " stroke-dasharray=\"";
        if (p.penna.stile == Stile::Asse) {
            for (const double tratto : {16, 4, 2, 4}) {
                numero(esito, tratto * w);
                esito += ' ';
            }
            esito.pop_back();
        } else {
            numero(esito, p.penna.stile == Stile::Tratteggiata ? 4 * w : w);
            esito += ' ';
            numero(esito, 2 * w);
        }
        esito += '"';
    }
    esito += "/>\n";
}

void forma(std::string& esito, const Area& a) {
    esito += "<polygon";
    punti(esito, a.punti);
    esito += " fill=\"";
    colore(esito, a.colore);
    esito += "\" stroke=\"none\"/>\n";
}

void forma(std::string& esito, const Testo& t) {
    const Punto o = origine(t);
    std::string comune = "<text transform=\"translate(";
    numero(comune, t.ancora.x);
    comune += ',';
    numero(comune, t.ancora.y);
    comune += ')';
    if (t.gradi != 0) {
        comune += " rotate(";
        numero(comune, -t.gradi);
        comune += ')';
    }
    // Anchored by its own alignment, so that a face a little wider or
    // narrower than the one measured still sits where it belongs.
    const double lungo = larghezza(t.testo, t.altezza);
    const char* ancora = t.orizzontale == Orizzontale::Sinistra ? "start"
                         : t.orizzontale == Orizzontale::Centro ? "middle"
                                                                : "end";
    const double x = t.orizzontale == Orizzontale::Sinistra ? o.x
                     : t.orizzontale == Orizzontale::Centro ? o.x + lungo / 2
                                                            : o.x + lungo;
    comune += "\" x=\"";
    numero(comune, x);
    comune += "\" y=\"";
    numero(comune, o.y);
    comune += "\" font-size=\"";
    numero(comune, corpo(t.altezza));
    if (t.grassetto) {
        comune += "\" font-weight=\"bold";
    }
    comune += "\" text-anchor=\"";
    comune += ancora;
    std::string testo;
    testoXml(testo, t.testo);
    if (t.alone) {
        // The halo as a white copy under the text, stroked: readers that
        // know no paint-order would stroke the text itself white.
        esito += comune;
        esito += "\" fill=\"#ffffff\" stroke=\"#ffffff\" stroke-width=\"";
        numero(esito, corpo(t.altezza) * 0.22);
        esito += "\" stroke-linejoin=\"round\">";
        esito += testo;
        esito += "</text>\n";
    }
    esito += comune;
    esito += "\" fill=\"";
    colore(esito, t.colore);
    esito += "\">";
    esito += testo;
    esito += "</text>\n";
}

} // namespace

namespace {

std::string scritto(const std::vector<const Disegno*>& fogli, const std::string& titolo,
                    bool inPiedi) {
    double larghezza = 0, altezza = 0;
    for (const Disegno* d : fogli) {
        larghezza = std::max(larghezza, d->larghezza);
        altezza += d->altezza;
    }
    const double larghezzaFoglio = larghezza;
    if (inPiedi) {
        std::swap(larghezza, altezza);
    }
    std::string esito = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                        "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"";
    numero(esito, larghezza);
    esito += "mm\" height=\"";
    numero(esito, altezza);
    esito += "mm\" viewBox=\"0 0 ";
    numero(esito, larghezza);
    esito += ' ';
    numero(esito, altezza);
    esito += "\" font-family=\"Liberation Sans, Arial, Helvetica, sans-serif\" "
             "stroke-linecap=\"butt\" stroke-linejoin=\"miter\">\n";
    if (!titolo.empty()) {
        esito += "<title>";
        testoXml(esito, titolo);
        esito += "</title>\n";
    }
    if (inPiedi) {
        // (x, y) of the sheet goes to (y, width − x).
        esito += "<g transform=\"translate(0,";
        numero(esito, larghezzaFoglio);
        esito += ") rotate(-90)\">\n";
    }
    double y = 0;
    for (const Disegno* foglio : fogli) {
        const Disegno& d = *foglio;
        esito += "<g transform=\"translate(0,";
        numero(esito, y);
        esito += ")\">\n<rect width=\"";
        numero(esito, d.larghezza);
        esito += "\" height=\"";
        numero(esito, d.altezza);
        esito += "\" fill=\"#ffffff\"/>\n";
        std::string_view strato;
        bool aperto = false;
        for (const Elemento& e : d.elementi) {
            if (!aperto || e.strato != strato) {
                esito += aperto ? "</g>\n<g class=\"" : "<g class=\"";
                testoXml(esito, e.strato);
                esito += "\">\n";
                strato = e.strato;
                aperto = true;
            }
            std::visit([&](const auto& f) { forma(esito, f); }, e.forma);
        }
        esito += aperto ? "</g>\n</g>\n" : "</g>\n";
        y += d.altezza;
    }
    if (inPiedi) {
        esito += "</g>\n";
    }
    esito += "</svg>\n";
    return esito;
}

} // namespace

std::string svg(const std::vector<Disegno>& fogli, const std::string& titolo) {
    std::vector<const Disegno*> tutti;
    for (const Disegno& d : fogli) {
        tutti.push_back(&d);
    }
    return scritto(tutti, titolo, false);
}

std::string svg(const Disegno& foglio, const std::string& titolo, bool inPiedi) {
    return scritto({&foglio}, titolo, inPiedi);
}

} // namespace disegno

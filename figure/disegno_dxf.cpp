#include "figure/disegno_dxf.h"

#include "file/utf8.h"

#include <dxflib/dl_dxf.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace disegno {

namespace {

void unitaUtf16(std::string& esito, unsigned unita) {
    char cifre[16];
    std::snprintf(cifre, sizeof cifre, "\\U+%04X", unita);
    esito += cifre;
}

// A text as AutoCAD 2000 reads it back, in a file of the ANSI code page.
// Printable ASCII stays as it is, but for what a reader takes for a code:
// a backslash goes as \U+005C (a typed "\U+0041" stays those characters),
// a caret as "^ ", and each '%' of a run of two or more as "%%%" ("%%"
// begins %%d, %%u, %%nnn and the like). A control character goes in caret
// notation, ^J for a line feed, which keeps the text on its line of the
// file. Any other character goes as \U+ and four hex digits of UTF-16, the
// form the format has; one beyond the basic plane as its surrogate pair,
// which a program holding text in UTF-16, as AutoCAD does, joins back into
// the character, where five digits would be read as four and a digit.
// Bytes that are not UTF-8 go as U+FFFD, the replacement character.
std::string testoDxfDi(std::string_view utf8) {
    std::string esito;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const bool percentoInSerie = c == '%' && ((i > 0 && utf8[i - 1] == '%') ||
                                                  (i + 1 < utf8.size() && utf8[i + 1] == '%'));
        if (c < 0x20) {
            esito += '^';
            esito += static_cast<char>(c + 0x40);
        } else if (c == '^') {
            esito += "^ ";
        } else if (percentoInSerie) {
            esito += "%%%";
        } else if (c < 0x7F && c != '\\') {
            esito += static_cast<char>(c);
        } else {
            char32_t punto = 0;
            const std::size_t lunghezza = sequenzaUtf8(utf8.substr(i), punto);
            if (lunghezza == 0) {
                punto = 0xFFFD;
            } else {
                i += lunghezza - 1;
            }
            if (punto > 0xFFFF) {
                unitaUtf16(esito, 0xD800 + ((punto - 0x10000) >> 10));
                unitaUtf16(esito, 0xDC00 + ((punto - 0x10000) & 0x3FF));
            } else {
                unitaUtf16(esito, punto);
            }
        }
        ++i;
    }
    return esito;
}

// The library's writer, into memory: its own writes to a file a line at a
// time, a system call each, which a long path pays a hundred thousand times.
class ScritturaInMemoria : public DL_WriterA {
  public:
    ScritturaInMemoria() : DL_WriterA("/dev/null", DL_Codes::AC1015) {}

    void dxfReal(int gc, double value) const override {
        // Room for every digit of the largest double; to_chars writes the
        // digits printf would, at less cost, which a long path pays a
        // million times.
        char cifre[400];
        std::string testo(
            cifre,
            std::to_chars(cifre, cifre + sizeof cifre, value, std::chars_format::fixed, 12).ptr);
        testo.erase(testo.find_last_not_of('0') + 1);
        if (testo.back() == '.') {
            testo += '0';
        }
        dxfString(gc, testo);
    }
    void dxfInt(int gc, int value) const override { dxfString(gc, std::to_string(value)); }
    void dxfHex(int gc, int value) const override {
        char cifre[16];
        std::snprintf(cifre, sizeof cifre, "%0X", static_cast<unsigned>(value));
        dxfString(gc, cifre);
    }
    void dxfString(int gc, const char* value) const override { dxfString(gc, std::string(value)); }
    void dxfString(int gc, const std::string& value) const override {
        const std::string codice = std::to_string(gc);
        testo_.append(codice.size() < 3 ? 3 - codice.size() : 0, ' ');
        testo_ += codice;
        testo_ += '\n';
        testo_ += value;
        testo_ += '\n';
    }

    std::string prendi() { return std::move(testo_); }

  private:
    mutable std::string testo_;
};

// The nearest of AutoCAD's plain colours, for programs that read no true
// colour.
int coloreAci(Colore c) {
    struct Voce {
        Colore colore;
        int aci;
    };
    constexpr Voce voci[] = {{{0, 0, 0}, 7},        {{255, 0, 0}, 1},      {{255, 255, 0}, 2},
                             {{0, 255, 0}, 3},      {{0, 255, 255}, 4},    {{0, 0, 255}, 5},
                             {{255, 0, 255}, 6},    {{128, 128, 128}, 8},  {{192, 192, 192}, 9},
                             {{153, 102, 51}, 32},  {{90, 160, 220}, 141}, {{205, 225, 245}, 151},
                             {{235, 235, 235}, 254}};
    int migliore = 7;
    double distanza = std::numeric_limits<double>::infinity();
    for (const Voce& v : voci) {
        const double d = std::pow(c.r - v.colore.r, 2) + std::pow(c.g - v.colore.g, 2) +
                         std::pow(c.b - v.colore.b, 2);
        if (d < distanza) {
            distanza = d;
            migliore = v.aci;
        }
    }
    return migliore;
}

DL_Attributes attributi(std::string_view strato, Colore c, double spessore = 0) {
    DL_Attributes a(std::string(strato), coloreAci(c), (c.r << 16) | (c.g << 8) | c.b,
                    static_cast<int>(std::lround(spessore * 100)), "BYLAYER", 1.0);
    return a;
}

class Fogli {
  public:
    Fogli(DL_Dxf& dxf, DL_WriterA& dw, double altezza) : dxf_(dxf), dw_(dw), altezza_(altezza) {}

    void foglio(const Disegno& d, double dx) {
        dx_ = dx;
        for (const Elemento& e : d.elementi) {
            std::visit([&](const auto& f) { scrivi(f, e.strato); }, e.forma);
        }
    }

  private:
    double x(double v) const { return dx_ + v; }
    double y(double v) const { return altezza_ - v; }
    static bool finito(Punto p) { return std::isfinite(p.x) && std::isfinite(p.y); }

    void scrivi(const Polilinea& p, std::string_view strato) {
        if (!std::all_of(p.punti.begin(), p.punti.end(), finito)) {
            return;
        }
        dxf_.writePolyline(
            dw_, DL_PolylineData(static_cast<int>(p.punti.size()), 0, 0, p.chiusa ? 1 : 0),
            attributi(strato, p.penna.colore, p.penna.spessore));
        for (const Punto& q : p.punti) {
            dxf_.writeVertex(dw_, DL_VertexData(x(q.x), y(q.y), 0, 0));
        }
        dxf_.writePolylineEnd(dw_);
    }

    // A convex area as a fan of triangles.
    void scrivi(const Area& a, std::string_view strato) {
        if (!std::all_of(a.punti.begin(), a.punti.end(), finito)) {
            return;
        }
        const Punto p0 = a.punti.front();
        for (std::size_t i = 1; i + 1 < a.punti.size(); ++i) {
            const Punto p1 = a.punti[i];
            const Punto p2 = a.punti[i + 1];
            dxf_.writeSolid(dw_,
                            DL_SolidData(x(p0.x), y(p0.y), 0, x(p1.x), y(p1.y), 0, x(p2.x), y(p2.y),
                                         0, x(p2.x), y(p2.y), 0),
                            attributi(strato, a.colore));
        }
    }

    void scrivi(const Testo& t, std::string_view strato) {
        if (!finito(t.ancora)) {
            return;
        }
        const int orizzontale = t.orizzontale == Orizzontale::Sinistra ? 0
                                : t.orizzontale == Orizzontale::Centro ? 1
                                                                       : 2;
        // The anchor above the text is its top; below it, its bottom.
        const int verticale = t.verticale == Verticale::Base     ? 0
                              : t.verticale == Verticale::Sotto  ? 1
                              : t.verticale == Verticale::Centro ? 2
                                                                 : 3;
        const double ax = x(t.ancora.x);
        const double ay = y(t.ancora.y);
        dxf_.writeText(dw_,
                       DL_TextData(ax, ay, 0, ax, ay, 0, t.altezza, 1, 0, orizzontale, verticale,
                                   testoDxfDi(t.testo), "Standard", t.gradi * M_PI / 180),
                       attributi(strato, t.colore));
    }

    DL_Dxf& dxf_;
    DL_WriterA& dw_;
    double altezza_;
    double dx_ = 0;
};

} // namespace

std::string testoDxf(std::string_view utf8) {
    return testoDxfDi(utf8);
}

std::string dxf(std::size_t quanti, const std::function<Disegno(std::size_t)>& foglio) {
    DL_Dxf dxf;
    ScritturaInMemoria scrittura;
    DL_WriterA* const dw = &scrittura;
    Disegno primo = quanti > 0 ? foglio(0) : Disegno{};
    const double larghezza = primo.larghezza;
    const double altezza = primo.altezza;
    dxf.writeHeader(*dw);
    // Drawing units: millimetres.
    dw->dxfString(9, "$INSUNITS");
    dw->dxfInt(70, 4);
    const double fine = quanti * (larghezza + spazioTraFogli) - spazioTraFogli;
    for (const auto& [nome, px, py] : {std::tuple{"$EXTMIN", 0.0, 0.0},
                                       {"$EXTMAX", fine, altezza},
                                       {"$LIMMIN", 0.0, 0.0},
                                       {"$LIMMAX", fine, altezza}}) {
        dw->dxfString(9, nome);
        dw->dxfReal(10, px);
        dw->dxfReal(20, py);
    }
    dw->sectionEnd();

    dw->sectionTables();
    dxf.writeVPort(*dw);
    dw->tableLinetypes(3);
    dxf.writeLinetype(*dw, DL_LinetypeData("BYBLOCK", "", 0, 0, 0.0));
    dxf.writeLinetype(*dw, DL_LinetypeData("BYLAYER", "", 0, 0, 0.0));
    dxf.writeLinetype(*dw, DL_LinetypeData("CONTINUOUS", "Continuous", 0, 0, 0.0));
    dw->tableEnd();
    dw->tableLayers(static_cast<int>(primo.strati.size()) + 1);
    dxf.writeLayer(*dw, DL_LayerData("0", 0), DL_Attributes("", 7, 100, "CONTINUOUS", 1.0));
    for (const std::string_view s : primo.strati) {
        dxf.writeLayer(*dw, DL_LayerData(std::string(s), 0),
                       DL_Attributes("", 7, 100, "CONTINUOUS", 1.0));
    }
    dw->tableEnd();
    dw->tableStyle(1);
    dxf.writeStyle(*dw, DL_StyleData("Standard", 0, 0.0, 1.0, 0.0, 0, 2.5, "arial.ttf", ""));
    dw->tableEnd();
    dxf.writeView(*dw);
    dxf.writeUcs(*dw);
    dw->tableAppid(1);
    dxf.writeAppid(*dw, "ACAD");
    dw->tableEnd();
    dxf.writeDimStyle(*dw, 1, 1, 1, 1, 1);
    dxf.writeBlockRecord(*dw);
    dw->tableEnd();
    dw->sectionEnd();

    dw->sectionBlocks();
    dxf.writeBlock(*dw, DL_BlockData("*Model_Space", 0, 0.0, 0.0, 0.0));
    dxf.writeEndBlock(*dw, "*Model_Space");
    dxf.writeBlock(*dw, DL_BlockData("*Paper_Space", 0, 0.0, 0.0, 0.0));
    dxf.writeEndBlock(*dw, "*Paper_Space");
    dxf.writeBlock(*dw, DL_BlockData("*Paper_Space0", 0, 0.0, 0.0, 0.0));
    dxf.writeEndBlock(*dw, "*Paper_Space0");
    dw->sectionEnd();

    dw->sectionEntities();
    Fogli fogli(dxf, *dw, altezza);
    for (std::size_t f = 0; f < quanti; ++f) {
        if (f == 0) {
            fogli.foglio(primo, 0);
            primo = {};
        } else {
            fogli.foglio(foglio(f), f * (larghezza + spazioTraFogli));
        }
    }
    dw->sectionEnd();
    dxf.writeObjects(*dw);
    dxf.writeObjectsEnd(*dw);
    dw->dxfEOF();
    return scrittura.prendi();
}

} // namespace disegno

#include "figure/disegno_dxf.h"

#include "file/utf8.h"

#include <dxflib/dl_dxf.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <future>
#include <limits>
#include <numbers>
#include <utility>

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

    // A tenth of a micrometre of paper is as near as any plotter goes; the
    // digits from to_chars, at less cost than printf's, which a long path
    // pays millions of times.
    void dxfReal(int gc, double value) const override {
        char cifre[400]; // every digit of the largest double
        char* fine = cifre;
        if (std::fabs(value) < 1e12) {
            // In ten-thousandths, as an integer: the common case, at a
            // fraction of a floating-point conversion's cost.
            long long n = std::llround(value * 1e4);
            if (n < 0) {
                *fine++ = '-';
                n = -n;
            }
            fine = std::to_chars(fine, cifre + sizeof cifre, n / 10000).ptr;
            *fine++ = '.';
            char decimali[4];
            long long resto = n % 10000;
            for (int k = 3; k >= 0; --k, resto /= 10) {
                decimali[k] = static_cast<char>('0' + resto % 10);
            }
            int quanti = 4;
            while (quanti > 1 && decimali[quanti - 1] == '0') {
                --quanti;
            }
            fine = std::copy(decimali, decimali + quanti, fine);
        } else {
            fine =
                std::to_chars(cifre, cifre + sizeof cifre, value, std::chars_format::fixed, 4).ptr;
            while (fine[-1] == '0') {
                --fine;
            }
            if (fine[-1] == '.') {
                *fine++ = '0';
            }
        }
        scrivi(gc, std::string_view(cifre, static_cast<std::size_t>(fine - cifre)));
    }
    void dxfInt(int gc, int value) const override {
        char cifre[16];
        scrivi(gc,
               std::string_view(cifre, static_cast<std::size_t>(
                                           std::to_chars(cifre, cifre + 16, value).ptr - cifre)));
    }
    void dxfHex(int gc, int value) const override {
        char cifre[16];
        char* fine =
            std::to_chars(cifre, cifre + sizeof cifre, static_cast<unsigned>(value), 16).ptr;
        std::transform(cifre, fine, cifre, [](char c) { return c >= 'a' ? c - 'a' + 'A' : c; });
        scrivi(gc, std::string_view(cifre, static_cast<std::size_t>(fine - cifre)));
    }
    void dxfString(int gc, const char* value) const override { scrivi(gc, value); }
    void dxfString(int gc, const std::string& value) const override { scrivi(gc, value); }

    // What was written since it was last taken.
    std::string prendi() {
        std::string preso = std::exchange(testo_, {});
        testo_.reserve(pezzo + (pezzo >> 2));
        return preso;
    }
    bool pieno() const { return testo_.size() > pezzo; }
    static constexpr std::size_t pezzo = 4u << 20;

  private:
    // The group code right-aligned in three places, then the value: one
    // append for a short value.
    void scrivi(int gc, std::string_view valore) const {
        char riga[160];
        const std::size_t cifre = gc < 10 ? 1 : gc < 100 ? 2 : 3;
        char* p = riga;
        for (std::size_t k = cifre; k < 3; ++k) {
            *p++ = ' ';
        }
        p = std::to_chars(p, riga + 8, gc).ptr;
        *p++ = '\n';
        if (valore.size() + 1 <= static_cast<std::size_t>(riga + sizeof riga - p)) {
            p = std::copy(valore.begin(), valore.end(), p);
            *p++ = '\n';
            testo_.append(riga, static_cast<std::size_t>(p - riga));
            return;
        }
        testo_.append(riga, static_cast<std::size_t>(p - riga));
        testo_ += valore;
        testo_ += '\n';
    }

    mutable std::string testo_;
};

// The per mille sign as CAD programs without it in their faces still read
// it (LibreCAD's own draw it as a comma): "o/oo".
std::string senzaPerMille(std::string testo) {
    for (std::size_t i = testo.find("‰"); i != std::string::npos; i = testo.find("‰", i)) {
        testo.replace(i, std::string_view("‰").size(), "o/oo");
    }
    return testo;
}

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

// An entity's layer and colour; a line's weight, hundredths of a mm. What
// the layer gives already (its line type, a text's weight) is not written.
DL_Attributes attributi(std::string_view strato, Colore c, double spessore = -1) {
    return DL_Attributes(std::string(strato), coloreAci(c), (c.r << 16) | (c.g << 8) | c.b,
                         spessore < 0 ? -1 : static_cast<int>(std::lround(spessore * 100)), "",
                         1.0);
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

    // A convex area as a fan of quadrilaterals, a triangle at the end of an
    // odd count; a solid takes its third and fourth corners crosswise.
    void scrivi(const Area& a, std::string_view strato) {
        if (!std::all_of(a.punti.begin(), a.punti.end(), finito)) {
            return;
        }
        const Punto p0 = a.punti.front();
        for (std::size_t i = 1; i + 1 < a.punti.size(); i += 2) {
            const Punto p1 = a.punti[i];
            const Punto p2 = a.punti[i + 1];
            const Punto p3 = i + 2 < a.punti.size() ? a.punti[i + 2] : p2;
            dxf_.writeSolid(dw_,
                            DL_SolidData(x(p0.x), y(p0.y), 0, x(p1.x), y(p1.y), 0, x(p3.x), y(p3.y),
                                         0, x(p2.x), y(p2.y), 0),
                            attributi(strato, a.colore));
        }
    }

    // Fitted along its baseline, from where it begins to where it ends as
    // measured: in a CAD program's own face, wider or narrower, it keeps
    // the box it was given, and touches no other text.
    void scrivi(const Testo& t, std::string_view strato) {
        if (!finito(t.ancora)) {
            return;
        }
        const Punto o = origine(t);
        const double lungo = std::max(larghezza(t.testo, t.altezza), 1e-3);
        const double r = t.gradi * std::numbers::pi / 180;
        const double c = t.gradi == 0 ? 1 : t.gradi == 90 ? 0 : std::cos(r);
        const double s = t.gradi == 0 ? 0 : t.gradi == 90 ? 1 : std::sin(r);
        // In the text's frame y runs down the sheet; turned counter-clockwise.
        const auto sulFoglio = [&](double fx, double fy) {
            return Punto{t.ancora.x + fx * c + fy * s, t.ancora.y - fx * s + fy * c};
        };
        const Punto inizio = sulFoglio(o.x, o.y);
        const Punto fine = sulFoglio(o.x + lungo, o.y);
        dxf_.writeText(dw_,
                       DL_TextData(x(inizio.x), y(inizio.y), 0, x(fine.x), y(fine.y), 0, t.altezza,
                                   1, 0, 5, 0, testoDxfDi(senzaPerMille(t.testo)), "Standard", r),
                       attributi(strato, t.colore));
    }

    DL_Dxf& dxf_;
    DL_WriterA& dw_;
    double altezza_;
    double dx_ = 0;
};

// The texts' face: one CAD programs share, named where readers look for
// it (the library's own record hides it in extended data).
unsigned long stileDeiTesti(DL_WriterA& dw) {
    dw.dxfString(0, "STYLE");
    const unsigned long maniglia = dw.handle();
    dw.dxfString(100, "AcDbSymbolTableRecord");
    dw.dxfString(100, "AcDbTextStyleTableRecord");
    dw.dxfString(2, "Standard");
    dw.dxfInt(70, 0);
    dw.dxfReal(40, 0);
    dw.dxfReal(41, 1);
    dw.dxfReal(50, 0);
    dw.dxfInt(71, 0);
    dw.dxfReal(42, 2.5);
    dw.dxfString(3, "romand.shx");
    dw.dxfString(4, "");
    return maniglia;
}

// The one dimension style a DXF of this version must have. It names the
// texts' style by the handle just written: the library's own table would
// name one it never set.
void stileDiQuota(DL_WriterA& dw, unsigned long stile) {
    dw.dxfString(0, "TABLE");
    dw.dxfString(2, "DIMSTYLE");
    dw.dxfHex(5, 0xA); // the handles the library keeps for this table
    dw.dxfString(100, "AcDbSymbolTable");
    dw.dxfInt(70, 1);
    dw.dxfString(100, "AcDbDimStyleTable");
    dw.dxfInt(71, 0);
    dw.dxfString(0, "DIMSTYLE");
    dw.dxfHex(105, 0x27);
    dw.dxfString(100, "AcDbSymbolTableRecord");
    dw.dxfString(100, "AcDbDimStyleTableRecord");
    dw.dxfString(2, "Standard");
    for (const auto& [codice, valore] : {std::pair{41, 1.0}, {42, 1.0}, {43, 3.75}, {44, 1.0}}) {
        dw.dxfReal(codice, valore);
    }
    for (const int codice : {70, 73, 74}) {
        dw.dxfInt(codice, 0);
    }
    dw.dxfInt(77, 1);
    dw.dxfInt(78, 8);
    for (const auto& [codice, valore] :
         {std::pair{140, 1.0}, {141, 2.5}, {143, 0.0394}, {147, 1.0}}) {
        dw.dxfReal(codice, valore);
    }
    for (const auto& [codice, valore] : {std::pair{171, 3},
                                         {172, 1},
                                         {271, 2},
                                         {272, 2},
                                         {274, 3},
                                         {278, 44},
                                         {283, 0},
                                         {284, 8}}) {
        dw.dxfInt(codice, valore);
    }
    dw.dxfHex(340, static_cast<int>(stile));
    dw.tableEnd();
}

} // namespace

std::string dxf(std::size_t quanti, const std::function<Disegno(std::size_t)>& foglio) {
    std::string esito;
    dxf(quanti, foglio, [&](std::string_view pezzo) { esito += pezzo; });
    return esito;
}

void dxf(std::size_t quanti, const std::function<Disegno(std::size_t)>& foglio,
         const std::function<void(std::string_view)>& uscita) {
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
    const unsigned long stile = stileDeiTesti(*dw);
    dw->tableEnd();
    dxf.writeView(*dw);
    dxf.writeUcs(*dw);
    dw->tableAppid(1);
    dxf.writeAppid(*dw, "ACAD");
    dw->tableEnd();
    stileDiQuota(*dw, stile);
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
    // Each sheet made on another core while the one before is written.
    Fogli fogli(dxf, *dw, altezza);
    std::future<Disegno> prossimo;
    for (std::size_t f = 0; f < quanti; ++f) {
        const Disegno questo = f == 0 ? std::move(primo) : prossimo.get();
        if (f + 1 < quanti) {
            prossimo = std::async(std::launch::async, foglio, f + 1);
        }
        fogli.foglio(questo, f * (larghezza + spazioTraFogli));
        if (scrittura.pieno()) {
            uscita(scrittura.prendi());
        }
    }
    dw->sectionEnd();
    dxf.writeObjects(*dw);
    dxf.writeObjectsEnd(*dw);
    dw->dxfEOF();
    uscita(scrittura.prendi());
}

} // namespace disegno

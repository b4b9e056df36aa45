#include "figure/esporta_profilo.h"
#include "figure/figura_profilo.h"

#include "file/utf8.h"
#include "numeri/formato.h"

#include <dxflib/dl_dxf.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string_view>

const char* const stratiDxf[7] = {"TERRENO",  "SCORRIMENTO", "CIELO",    "PELO_LIBERO",
                                  "POZZETTI", "TESTI",       "CARTIGLIO"};

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
std::string testoDxf(std::string_view utf8) {
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

    std::string testo() const { return testo_; }

  private:
    mutable std::string testo_;
};

class Disegno {
  public:
    Disegno(DL_Dxf& dxf, DL_WriterA& dw, const tratti::Profilo& profilo,
            const ImpaginazioneProfilo& imp, Separatore separatore)
        : dxf_(dxf), dw_(dw), profilo_(profilo), imp_(imp), separatore_(separatore),
          esagerazione_(imp.esagerazione()), mm_(imp.scalaOrizzontale / 1000) {}

    void entita() {
        // The ground, the invert, the crown and both waters: one polyline each.
        using L = tratti::LivelliProfilo;
        polilinea("TERRENO", &L::terreno);
        polilinea("SCORRIMENTO", &L::fondo);
        polilinea("CIELO", &L::cielo);
        polilinea("PELO_LIBERO", &L::acquaProgetto);
        polilinea("PELO_LIBERO", &L::acquaMinima);
        pozzetti();
        testi();
        cartiglio();
    }

    // The drawing's corners, for the readers that frame it by the header.
    std::pair<std::pair<double, double>, std::pair<double, double>> estensione() const {
        const double titolo = 200 * mm_; // the statement of the scales runs on to the right
        return {{-45 * mm_, tabella() - 10 * 8 * mm_},
                {std::max(profilo_.lunghezza() + 10 * mm_, titolo), cima() + 22 * mm_}};
    }

  private:
    double y(double quota) const { return quota * esagerazione_; }
    double tabella() const { return fondoDisegno() - 10 * mm_; }
    std::string numero(double valore, const char* modello) const {
        return std::isfinite(valore) ? Format(valore, modello, separatore_) : "-";
    }

    void polilinea(const char* strato, tratti::Linea quale) {
        std::vector<std::pair<double, double>> vertici;
        const auto chiudi = [&] {
            if (vertici.size() > 1) {
                dxf_.writePolyline(dw_, DL_PolylineData(static_cast<int>(vertici.size()), 0, 0, 0),
                                   DL_Attributes(strato, 256, -1, "BYLAYER", 1.0));
                for (const auto& [vx, vy] : vertici) {
                    dxf_.writeVertex(dw_, DL_VertexData(vx, vy, 0, 0));
                }
                dxf_.writePolylineEnd(dw_);
            }
            vertici.clear();
        };
        for (const tratti::TrattoProfilo& t : profilo_.tratti) {
            const std::optional<double> z0 = tratti::livelloSulTratto(profilo_, t, t.da, quale);
            const std::optional<double> z1 = tratti::livelloSulTratto(profilo_, t, t.a, quale);
            if (!z0 || !z1 || !std::isfinite(y(*z0)) || !std::isfinite(y(*z1))) {
                chiudi();
                continue;
            }
            vertici.emplace_back(t.da, y(*z0));
            vertici.emplace_back(t.a, y(*z1));
        }
        chiudi();
    }

    // Neither a line nor a text has a place at an infinite level.
    void linea(const char* strato, double x0, double y0, double x1, double y1) {
        if (!std::isfinite(x0 + y0 + x1 + y1)) {
            return;
        }
        dxf_.writeLine(dw_, DL_LineData(x0, y0, 0, x1, y1, 0),
                       DL_Attributes(strato, 256, -1, "BYLAYER", 1.0));
    }

    // A text of `altezza` mm as printed; `gradi` turns it about its anchor.
    void testo(const char* strato, const std::string& contenuto, double x, double yy,
               double altezza, int orizzontale = 0, int verticale = 0, double gradi = 0) {
        if (!std::isfinite(x + yy)) {
            return;
        }
        const double h = altezza * mm_;
        dxf_.writeText(dw_,
                       DL_TextData(x, yy, 0, x, yy, 0, h, 1, 0, orizzontale, verticale,
                                   testoDxf(contenuto), "Standard", gradi * M_PI / 180),
                       DL_Attributes(strato, 256, -1, "BYLAYER", 1.0));
    }

    // The highest and the lowest level drawn, 0 where there is none.
    double cima() const {
        double alto = -std::numeric_limits<double>::infinity();
        const auto tieni = [&](std::optional<double> z) {
            if (z && std::isfinite(y(*z))) {
                alto = std::max(alto, *z);
            }
        };
        for (const tratti::PozzettoProfilo& p : profilo_.pozzetti) {
            tieni(p.terreno);
            tieni(p.fondo());
        }
        for (const tratti::TrattoProfilo& t : profilo_.tratti) {
            if (t.fondoMonte) {
                tieni(*t.fondoMonte + t.altezzaPiena);
            }
        }
        return std::isfinite(alto) ? y(alto) : 0;
    }
    double fondoDisegno() const {
        double basso = std::numeric_limits<double>::infinity();
        for (const tratti::PozzettoProfilo& p : profilo_.pozzetti) {
            for (const auto z : {p.terreno, p.fondo()}) {
                if (z && std::isfinite(y(*z))) {
                    basso = std::min(basso, *z);
                }
            }
        }
        return std::isfinite(basso) ? y(basso) : 0;
    }

    void pozzetti() {
        for (std::size_t i = 0; i < profilo_.pozzetti.size(); ++i) {
            const tratti::PozzettoProfilo& p = profilo_.pozzetti[i];
            const auto fondo = p.fondo();
            if (p.terreno && fondo) {
                linea("POZZETTI", p.progressiva, y(*p.terreno), p.progressiva, y(*fondo));
            }
        }
    }

    void testi() {
        const double alto = cima() + 4 * mm_;
        for (const tratti::PozzettoProfilo& p : profilo_.pozzetti) {
            testo("TESTI", p.nome, p.progressiva, alto, 2.5, 0, 0, 90);
            if (p.fondoArrivo && p.fondoPartenza && *p.fondoArrivo - *p.fondoPartenza > 0.005) {
                testo("TESTI", "salto " + numero(*p.fondoArrivo - *p.fondoPartenza, "0.00") + " m",
                      p.progressiva + mm_, y(*p.fondoPartenza) - 3 * mm_, 1.8);
            }
        }
        for (const tratti::TrattoProfilo& t : profilo_.tratti) {
            if (const auto f = t.fondoA((t.da + t.a) / 2)) {
                testo("TESTI",
                      t.sezione() + "  i = " + numero(t.pendenza * 1000, "0.00") +
                          "‰  L = " + numero(t.lunghezza(), "0.00") + " m" +
                          (t.verificato ? "" : "  (non verificato)"),
                      (t.da + t.a) / 2, y(*f + t.altezzaPiena) + mm_, 2, 1, 0);
            }
        }
        testo("TESTI",
              "Profilo longitudinale da " + profilo_.pozzetti.front().nome + " a " +
                  profilo_.pozzetti.back().nome +
                  ". Ascisse: progressive in metri; ordinate: "
                  "quote in metri moltiplicate per " +
                  numero(esagerazione_, modelloEsagerazione(esagerazione_)) +
                  " (esagerazione verticale; scale di stampa 1:" +
                  numero(imp_.scalaOrizzontale, "0") + " e 1:" + numero(imp_.scalaVerticale, "0") +
                  ")",
              0, alto + 14 * mm_, 3.5);
    }

    void cartiglio() {
        static const char* const titoli[] = {"Pozzetto",
                                             "Progressiva (m)",
                                             "Quota terreno (m)",
                                             "Quota scorrimento (m)",
                                             "Profondità (m)",
                                             "Lunghezza (m)",
                                             "Pendenza (‰)",
                                             "Sezione (cm)",
                                             "Portata di progetto (l/s)",
                                             "h/H"};
        constexpr int righe = 10;
        const double riga = 8 * mm_;
        const double alto = tabella();
        const double sinistra = -45 * mm_;
        const double destra = profilo_.lunghezza();
        for (int r = 0; r <= righe; ++r) {
            linea("CARTIGLIO", sinistra, alto - r * riga, destra, alto - r * riga);
        }
        linea("CARTIGLIO", sinistra, alto, sinistra, alto - righe * riga);
        linea("CARTIGLIO", 0, alto, 0, alto - righe * riga);
        linea("CARTIGLIO", destra, alto, destra, alto - righe * riga);
        for (int r = 0; r < righe; ++r) {
            testo("CARTIGLIO", titoli[r], sinistra + mm_, alto - (r + 0.5) * riga, 2.2, 0, 2);
        }
        for (const tratti::PozzettoProfilo& p : profilo_.pozzetti) {
            linea("CARTIGLIO", p.progressiva, alto, p.progressiva, alto - 5 * riga);
            const auto fondo = p.fondo();
            const std::string valori[] = {
                p.nome, numero(p.progressiva, "0.00"), p.terreno ? numero(*p.terreno, "0.00") : "-",
                fondo ? numero(*fondo, "0.00") : "-",
                p.terreno && fondo ? numero(*p.terreno - *fondo, "0.00") : "-"};
            for (int r = 0; r < 5; ++r) {
                testo("CARTIGLIO", valori[r], p.progressiva + 0.6 * mm_, alto - (r + 0.5) * riga,
                      1.8, 0, 2);
            }
        }
        for (const tratti::TrattoProfilo& t : profilo_.tratti) {
            const std::string valori[] = {
                numero(t.lunghezza(), "0.00"), numero(t.pendenza * 1000, "0.00"), t.sezione(),
                numero(t.portata, "0.0"), t.riempimento ? numero(*t.riempimento, "0.00") : "-"};
            for (int r = 0; r < 5; ++r) {
                testo("CARTIGLIO", valori[r], (t.da + t.a) / 2, alto - (r + 5.5) * riga, 1.8, 1, 2);
            }
        }
    }

    DL_Dxf& dxf_;
    DL_WriterA& dw_;
    const tratti::Profilo& profilo_;
    const ImpaginazioneProfilo& imp_;
    Separatore separatore_;
    double esagerazione_;
    double mm_; // a printed millimetre in drawing metres
};

} // namespace

std::string profiloDxf(const tratti::Profilo& profilo, const ImpaginazioneProfilo& impaginazione,
                       Separatore separatore) {
    DL_Dxf dxf;
    ScritturaInMemoria scrittura;
    DL_WriterA* const dw = &scrittura;
    Disegno disegno(dxf, *dw, profilo, impaginazione, separatore);
    dxf.writeHeader(*dw);
    // Drawing units: metres.
    dw->dxfString(9, "$INSUNITS");
    dw->dxfInt(70, 6);
    const auto [minimo, massimo] = disegno.estensione();
    for (const auto& [nome, punto] : {std::pair{"$EXTMIN", minimo},
                                      {"$EXTMAX", massimo},
                                      {"$LIMMIN", minimo},
                                      {"$LIMMAX", massimo}}) {
        dw->dxfString(9, nome);
        dw->dxfReal(10, punto.first);
        dw->dxfReal(20, punto.second);
    }
    dw->sectionEnd();

    dw->sectionTables();
    dxf.writeVPort(*dw);
    dw->tableLinetypes(3);
    dxf.writeLinetype(*dw, DL_LinetypeData("BYBLOCK", "", 0, 0, 0.0));
    dxf.writeLinetype(*dw, DL_LinetypeData("BYLAYER", "", 0, 0, 0.0));
    dxf.writeLinetype(*dw, DL_LinetypeData("CONTINUOUS", "Continuous", 0, 0, 0.0));
    dw->tableEnd();
    // Layer 0 and ours, each with its colour: ground brown, water blue,
    // the rest in the drawing's colour.
    const int colori[7] = {32, 7, 8, 5, 7, 7, 7};
    dw->tableLayers(8);
    dxf.writeLayer(*dw, DL_LayerData("0", 0), DL_Attributes("", 7, 100, "CONTINUOUS", 1.0));
    for (int s = 0; s < 7; ++s) {
        dxf.writeLayer(*dw, DL_LayerData(stratiDxf[s], 0),
                       DL_Attributes("", colori[s], 100, "CONTINUOUS", 1.0));
    }
    dw->tableEnd();
    dw->tableStyle(1);
    dxf.writeStyle(*dw, DL_StyleData("Standard", 0, 0.0, 1.0, 0.0, 0, 2.5, "txt", ""));
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
    disegno.entita();
    dw->sectionEnd();
    dxf.writeObjects(*dw);
    dxf.writeObjectsEnd(*dw);
    dw->dxfEOF();
    return scrittura.testo();
}

#include "figure/disegno_svg.h"
#include "figure/esporta_profilo.h"
#include "figure/figura_profilo.h"
#include "finisce_entro.h"
#include "numeri/formato.h"
#include "tratti/profilo.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QRegularExpression>
#include <QString>
#include <dxflib/dl_creationadapter.h>
#include <dxflib/dl_dxf.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

using tratti::Percorsi;
using tratti::Profilo;
using tratti::Tratto;

namespace {

// A collector P0 → Pn of 40 m reaches, the first invert typed; a branch
// B0 → P1 joins it, and the reach `conSalto` leaves its manhole 40 cm down.
struct Linea {
    std::vector<Tratto> tratti;
    std::vector<tratti::Pozzetto> pozzetti;
    tratti::EsitiRete rete;
};

std::string pozzetto(char lettera, int n) {
    std::string nome(1, lettera);
    nome += std::to_string(n);
    return nome;
}

Linea collettore(int n, int conSalto = -1, bool ramo = false) {
    Linea l;
    for (int k = 0; k < n; ++k) {
        Tratto t;
        t.pozzettoMonte = pozzetto('P', k);
        t.pozzettoValle = pozzetto('P', k + 1);
        t.nome = t.pozzettoMonte + "-" + t.pozzettoValle;
        t.lunghezza = 40;
        t.pendenza = 0.005;
        t.portata = 30 + 10 * k;
        t.portataMinima = 3 + k;
        if (k == 0) {
            t.quotaMonte = 100;
        }
        l.tratti.push_back(t);
        l.pozzetti.push_back({t.pozzettoMonte, 103 - 0.15 * k, ""});
    }
    l.pozzetti.push_back({pozzetto('P', n), 103 - 0.15 * n, ""});
    if (conSalto >= 0) {
        // Its upstream invert typed below the crowns' rule.
        Tratto& t = l.tratti[static_cast<std::size_t>(conSalto)];
        t.quotaMonte = 100 - 0.005 * 40 * conSalto - 0.4;
    }
    if (ramo) {
        Tratto b;
        b.nome = "B0-P1";
        b.pozzettoMonte = "B0";
        b.pozzettoValle = "P1";
        b.lunghezza = 10;
        b.pendenza = 0.01;
        b.portata = 5;
        b.quotaMonte = 100.5;
        l.tratti.push_back(b);
    }
    l.rete = *tratti::calcolaRete(l.tratti, l.pozzetti, tratti::Impostazioni());
    return l;
}

// What the DXF holds, read back with the library that wrote it.
struct LettoreDxf : DL_CreationAdapter {
    std::vector<std::string> strati;
    std::map<std::string, std::vector<std::vector<std::pair<double, double>>>> polilinee;
    std::vector<std::string> testi;

    void addLayer(const DL_LayerData& d) override { strati.push_back(d.name); }
    void addPolyline(const DL_PolylineData&) override {
        polilinee[attributes.getLayer()].emplace_back();
    }
    void addVertex(const DL_VertexData& d) override {
        polilinee[attributes.getLayer()].back().emplace_back(d.x, d.y);
    }
    void addText(const DL_TextData& d) override { testi.push_back(d.text); }
};

LettoreDxf letto(const std::string& dxf) {
    const std::string nome = ::testing::TempDir() + "profilo_letto.dxf";
    std::ofstream(nome, std::ios::binary) << dxf;
    LettoreDxf lettore;
    DL_Dxf lettura;
    EXPECT_TRUE(lettura.in(nome, &lettore));
    std::remove(nome.c_str());
    return lettore;
}

// A DXF text as a CAD program shows it: \U+XXXX a UTF-16 unit (a surrogate
// pair one character), "^ " a caret and ^ with a letter a control
// character, "%%%" a percent sign, %%d, %%p and %%c their signs, and the
// other %% codes switches that show nothing.
std::string comeLoMostraIlCad(const std::string& dxf) {
    const std::map<char, QString> segni = {{'%', "%"}, {'d', "°"}, {'p', "±"}, {'c', "⌀"}};
    QString testo;
    for (std::size_t i = 0; i < dxf.size(); ++i) {
        bool unita = false;
        const ushort codice =
            dxf.compare(i, 3, "\\U+") == 0
                ? QString::fromStdString(dxf.substr(i + 3, 4)).toUShort(&unita, 16)
                : 0;
        if (unita) {
            testo += QChar(codice);
            i += 6;
        } else if (dxf[i] == '^' && i + 1 < dxf.size()) {
            testo += dxf[++i] == ' ' ? QChar('^') : QChar(dxf[i] - 0x40);
        } else if (dxf.compare(i, 2, "%%") == 0 && i + 2 < dxf.size()) {
            i += 2;
            testo += segni.count(dxf[i]) > 0 ? segni.at(dxf[i]) : QString();
        } else {
            testo += QChar(static_cast<unsigned char>(dxf[i]));
        }
    }
    return testo.toStdString();
}

// A path of `n` reaches `lunghezza` m long with every level known, made by
// hand: a profile may hold any values, not only a network's.
Profilo percorsoDi(std::size_t n, double lunghezza) {
    Profilo p;
    p.conQuote = true;
    const auto fondo = [&](std::size_t k) { return 100 - 0.005 * lunghezza * k; };
    for (std::size_t k = 0; k <= n; ++k) {
        p.pozzetti.push_back({pozzetto('P', static_cast<int>(k)), lunghezza * k, fondo(k) + 3,
                              k > 0 ? std::optional(fondo(k)) : std::nullopt,
                              k < n ? std::optional(fondo(k)) : std::nullopt});
    }
    for (std::size_t k = 0; k < n; ++k) {
        p.tratti.push_back({k,
                            pozzetto('T', static_cast<int>(k)),
                            lunghezza * k,
                            lunghezza * (k + 1),
                            0.005,
                            30,
                            fondo(k),
                            fondo(k + 1),
                            0.9,
                            0.3,
                            0.1,
                            100,
                            0.33,
                            k % 2 == 0,
                            {}});
        if (k % 2 != 0) {
            tratti::Rilievo bassa(tratti::Rilievo::Tipo::VelocitaBassa);
            bassa.valore = 0.4;
            bassa.soglia = 0.5;
            p.tratti.back().rilievi.push_back(bassa);
        }
    }
    return p;
}

// Everything the program does with a profile: laid out fitted, at the
// extreme scales and as the window's continuous sheet, every sheet drawn
// and checked, and written in each format.
// A refusal, with its reason, is an answer.
void disegnatoInOgniModo(const Profilo& p) {
    const auto oRifiutato = [](const auto& lavoro) {
        try {
            lavoro();
        } catch (const std::invalid_argument& e) {
            EXPECT_NE(std::string(e.what()), "");
        }
    };
    for (const std::optional<double> scala :
         {std::optional<double>(), std::optional(10.0), std::optional(1e6)}) {
        for (const bool continuo : {false, true}) {
            oRifiutato([&] {
                const ImpaginazioneProfilo imp =
                    impaginaProfilo(p, dimensioniFoglio(FormatoFoglio::A3), scala, scala, continuo);
                foglioCheNonSta(p, imp);
                QImage immagine(QSize(420, 297), QImage::Format_RGB32);
                QPainter pittore(&immagine);
                for (std::size_t f = 0; f < imp.fogli.size(); ++f) {
                    disegnaFoglioProfilo(pittore, p, imp, f);
                }
                for (const char* formato : {"pdf", "svg", "png", "dxf"}) {
                    oRifiutato([&] {
                        scriviProfilo(::testing::TempDir() + "profilo_ostile." + formato, p, imp);
                    });
                }
            });
        }
    }
}

} // namespace

// The path's manholes and reaches, their distances and the drop, for a
// single reach, three with a drop, and a collector joined by a branch.
TEST(Profilo, PercorsiDallaTestaAlloSbocco) {
    const struct {
        int tratti;
        int conSalto;
        bool ramo;
        std::string testa;
        double lunghezza;
        double salto; // at P1
    } casi[] = {
        {1, -1, false, "P0", 40, 0}, {3, 1, false, "P0", 120, 0.4}, {3, -1, true, "P0", 120, 0}};
    for (const auto& c : casi) {
        const Linea l = collettore(c.tratti, c.conSalto, c.ramo);
        const Percorsi percorsi(l.tratti, l.rete);
        ASSERT_EQ(percorsi.testaPiuLunga(), c.testa) << c.tratti;
        const Profilo p = percorsi.da(c.testa);
        ASSERT_EQ(p.tratti.size(), static_cast<std::size_t>(c.tratti));
        ASSERT_EQ(p.pozzetti.size(), p.tratti.size() + 1);
        EXPECT_DOUBLE_EQ(p.lunghezza(), c.lunghezza);
        EXPECT_EQ(p.pozzetti.back().nome, pozzetto('P', c.tratti));
        for (std::size_t k = 0; k < p.tratti.size(); ++k) {
            const tratti::Esito& e = l.rete.esiti[p.tratti[k].indice];
            EXPECT_EQ(p.pozzetti[k].fondoPartenza, e.quotaMonte);
            EXPECT_EQ(p.pozzetti[k + 1].fondoArrivo, e.quotaValle);
        }
        if (c.tratti > 1) {
            EXPECT_NEAR(*p.pozzetti[1].fondoArrivo - *p.pozzetti[1].fondoPartenza, c.salto, 1e-9);
        }
        if (c.ramo) {
            EXPECT_EQ(percorsi.teste("P3"), (std::vector<std::string>{"P0", "B0"}));
            EXPECT_DOUBLE_EQ(percorsi.da("B0").lunghezza(), 90);
        }
    }
}

// Every path a tree is drawn by, "testa>fine" and for a branch "@" the head
// of the path it joins: a line, a Y whose longer arm is listed second, a
// tree whose branch has a sub-branch shorter than a later branch of the
// main line, and a star whose branches all end at the outlet. Each profile
// stops at its junction, and together they hold each reach once.
TEST(Profilo, OgniPercorsoFinoAlSuoInnesto) {
    const struct {
        const char* nome;
        std::vector<std::pair<std::string, double>> tratti; // "monte-valle", m
        std::string sbocco;
        std::vector<std::string> percorsi;
    } casi[] = {
        {"linea", {{"P0-P1", 10}, {"P1-P2", 10}}, "P2", {"P0>P2"}},
        {"Y", {{"B-J", 20}, {"J-O", 10}, {"A-J", 30}}, "O", {"A>O", "B>J@A"}},
        {"albero",
         {{"M0-M1", 20},
          {"M1-M2", 20},
          {"M2-M3", 20},
          {"M3-O", 20},
          {"B0-B1", 15},
          {"B1-B2", 15},
          {"B2-M2", 0.5},
          {"C0-B1", 10},
          {"D0-M1", 12}},
         "O",
         {"M0>O", "B0>M2@M0", "C0>B1@B0", "D0>M1@M0"}},
        {"stella",
         {{"S1-O", 2}, {"S3-O", 4}, {"S0-O", 1}, {"S2-O", 3}},
         "O",
         {"S3>O", "S2>O@S3", "S1>O@S3", "S0>O@S3"}},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        std::vector<Tratto> tratti;
        for (const auto& [nome, lunghezza] : c.tratti) {
            Tratto t;
            t.nome = nome;
            t.pozzettoMonte = nome.substr(0, nome.find('-'));
            t.pozzettoValle = nome.substr(nome.find('-') + 1);
            t.lunghezza = lunghezza;
            tratti.push_back(t);
        }
        const tratti::EsitiRete rete{
            std::vector<tratti::Esito>(tratti.size()), {}, {}, {{c.sbocco, tratti.size(), false}}};
        const Percorsi percorsi(tratti, rete);
        std::vector<std::string> trovati;
        std::size_t disegnati = 0;
        for (const tratti::Percorso& p : percorsi.daDisegnare(c.sbocco)) {
            trovati.push_back(p.testa + ">" + p.fine + (p.principale() ? "" : "@" + p.innesto));
            const Profilo profilo = percorsi.da(p.testa, p.fine);
            EXPECT_EQ(profilo.pozzetti.back().nome, p.fine);
            EXPECT_DOUBLE_EQ(profilo.lunghezza(), p.lunghezza);
            disegnati += profilo.tratti.size();
        }
        EXPECT_EQ(trovati, c.percorsi);
        EXPECT_EQ(disegnati, tratti.size());
    }
}

TEST(Profilo, PercorsiRifiutatiConIlMotivo) {
    Linea l = collettore(2);
    const struct {
        std::string testa;
        std::string motivo;
        std::string fine;
    } casi[] = {{"X9", "il pozzetto «X9» non è nominato da alcun tratto", ""},
                {"P2", "il pozzetto «P2» è uno sbocco", ""},
                {"P1", "il pozzetto «P0» non è sul percorso da «P1» allo sbocco", "P0"}};
    const Percorsi percorsi(l.tratti, l.rete);
    for (const auto& c : casi) {
        try {
            percorsi.da(c.testa, c.fine);
            ADD_FAILURE() << c.testa;
        } catch (const std::invalid_argument& e) {
            EXPECT_NE(std::string(e.what()).find(c.motivo), std::string::npos) << e.what();
        }
    }
    l.tratti[1].lunghezza.reset();
    l.tratti[1].quotaMonte = 99;
    l.rete = *tratti::calcolaRete(l.tratti, l.pozzetti, tratti::Impostazioni());
    EXPECT_THROW(Percorsi(l.tratti, l.rete).da("P0"), std::invalid_argument);
}

// Between two manholes the levels run straight: the ground from one ground
// level to the next, the invert by the slope, the crown 3r above.
TEST(Profilo, LivelliSottoIlPuntatore) {
    const Linea l = collettore(2);
    const Profilo p = Percorsi(l.tratti, l.rete).da("P0");
    const tratti::LivelliProfilo a = tratti::livelliA(p, 60);
    EXPECT_NEAR(*a.terreno, 103 - 0.15 * 1.5, 1e-12);
    EXPECT_NEAR(*a.fondo, *l.rete.esiti[1].quotaMonte - 0.005 * 20, 1e-12);
    EXPECT_NEAR(*a.cielo - *a.fondo, 3 * l.rete.esiti[1].raggio / 100, 1e-12);
    EXPECT_NEAR(*a.acquaProgetto - *a.fondo, l.rete.esiti[1].progetto->altezza, 1e-12);
}

// The DXF read back: its layers, one polyline for each line along the
// path, the invert at the manholes' distances and levels on paper at the
// scales, and the scales stated.
TEST(Profilo, DxfConIStratiELeQuoteDellaRete) {
    const Linea l = collettore(3, 1);
    const Profilo p = Percorsi(l.tratti, l.rete).da("P0");
    const ImpaginazioneProfilo imp = impaginaProfilo(p, dimensioniFoglio(FormatoFoglio::A3));
    const std::string testo = profiloDxf(p, imp);
    const LettoreDxf dxf = letto(testo);
    // The dimension style names the texts' style by the handle it was given.
    std::smatch stile, quota;
    ASSERT_TRUE(std::regex_search(testo, stile, std::regex("  0\nSTYLE\n  5\n([0-9A-F]+)\n")));
    ASSERT_TRUE(std::regex_search(testo, quota, std::regex("\n340\n([0-9A-F]+)\n")));
    EXPECT_EQ(quota[1], stile[1]);
    for (const std::string_view strato : stratiDelProfilo) {
        EXPECT_NE(std::find(dxf.strati.begin(), dxf.strati.end(), strato), dxf.strati.end())
            << strato;
    }
    const std::map<std::string, std::size_t> attese = {
        {"TERRENO", 1}, {"SCORRIMENTO", 1}, {"CIELO", 1}, {"PELO_LIBERO", 2}};
    for (const auto& [strato, quante] : attese) {
        EXPECT_EQ(dxf.polilinee.count(strato) ? dxf.polilinee.at(strato).size() : 0, quante)
            << strato;
    }
    const auto& fondo = dxf.polilinee.at("SCORRIMENTO").front();
    ASSERT_EQ(fondo.size(), 2 * p.tratti.size());
    const double inizio = fondo[0].first;
    const double primaQuota = *l.rete.esiti[p.tratti[0].indice].quotaMonte;
    for (std::size_t k = 0; k < p.tratti.size(); ++k) {
        const tratti::Esito& esito = l.rete.esiti[p.tratti[k].indice];
        EXPECT_NEAR(fondo[2 * k].first - inizio, 40.0 * k * 1000 / imp.scalaOrizzontale, 1e-9);
        EXPECT_NEAR((fondo[2 * k].second - fondo[0].second) * imp.scalaVerticale / 1000,
                    *esito.quotaMonte - primaQuota, 1e-6);
        EXPECT_NEAR((fondo[2 * k + 1].second - fondo[0].second) * imp.scalaVerticale / 1000,
                    *esito.quotaValle - primaQuota, 1e-6);
    }
    const bool scaleScritte =
        std::any_of(dxf.testi.begin(), dxf.testi.end(), [](const std::string& t) {
            return t.find("verticale 1:") != std::string::npos;
        });
    EXPECT_TRUE(scaleScritte);
}

// The levels of the SVG where the scales put them: one of its polylines is
// the invert, its points at the manholes' distances and inverts.
TEST(Profilo, SvgAlleQuoteDellaRete) {
    const Linea l = collettore(3, 1);
    const Profilo p = Percorsi(l.tratti, l.rete).da("P0");
    const ImpaginazioneProfilo imp = impaginaProfilo(p, dimensioniFoglio(FormatoFoglio::A4));
    const std::string percorso = ::testing::TempDir() + "profilo.svg";
    scriviProfilo(percorso, p, imp);
    std::ifstream file(percorso);
    const std::string svg((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::remove(percorso.c_str());
    std::vector<std::pair<double, double>> attesi; // mm across, m of level
    for (const tratti::TrattoProfilo& t : p.tratti) {
        attesi.emplace_back(t.da, *t.fondoMonte);
        attesi.emplace_back(t.a, *t.fondoValle);
    }
    const auto eLoScorrimento = [&](const std::vector<std::pair<double, double>>& punti) {
        if (punti.size() != attesi.size()) {
            return false;
        }
        for (std::size_t i = 1; i < punti.size(); ++i) {
            const double dx = (attesi[i].first - attesi[0].first) * 1000 / imp.scalaOrizzontale;
            const double dy = -(attesi[i].second - attesi[0].second) * 1000 / imp.scalaVerticale;
            if (std::fabs(punti[i].first - punti[0].first - dx) > 0.01 ||
                std::fabs(punti[i].second - punti[0].second - dy) > 0.01) {
                return false;
            }
        }
        return true;
    };
    bool trovato = false;
    for (std::size_t i = svg.find("points=\""); i != std::string::npos && !trovato;
         i = svg.find("points=\"", i + 1)) {
        std::istringstream punti(svg.substr(i + 8, svg.find('"', i + 8) - i - 8));
        std::vector<std::pair<double, double>> letti;
        double x = 0, y = 0;
        char virgola = 0;
        while (punti >> x >> virgola >> y) {
            letti.emplace_back(x, y);
        }
        trovato = eLoScorrimento(letti);
    }
    EXPECT_TRUE(trovato);
}

// A long path runs on over several sheets, each beginning where the last
// ended and none wider than its sheet; the PDF has a page for each.
TEST(Profilo, PercorsoLungoSuPiuFogli) {
    const Linea l = collettore(200);
    const Profilo p = Percorsi(l.tratti, l.rete).da("P0");
    for (const auto& [formato, scala] :
         {std::pair{FormatoFoglio::A3, std::optional<double>()}, {FormatoFoglio::A4, 500.0}}) {
        const ImpaginazioneProfilo imp = impaginaProfilo(p, dimensioniFoglio(formato), scala);
        ASSERT_GT(imp.fogli.size(), 1u);
        EXPECT_DOUBLE_EQ(imp.fogli.front().da, 0);
        EXPECT_DOUBLE_EQ(imp.fogli.back().a, p.lunghezza());
        for (std::size_t f = 0; f < imp.fogli.size(); ++f) {
            if (f > 0) {
                EXPECT_DOUBLE_EQ(imp.fogli[f].da, imp.fogli[f - 1].a);
            }
            const double larghezza =
                (imp.fogli[f].a - imp.fogli[f].da) * 1000 / imp.scalaOrizzontale;
            EXPECT_LE(larghezza, areaDelDisegno(imp).larghezza + 1e-9);
        }
        const std::string percorso = ::testing::TempDir() + "profilo.pdf";
        scriviProfilo(percorso, p, imp);
        std::ifstream file(percorso, std::ios::binary);
        const std::string pdf((std::istreambuf_iterator<char>(file)),
                              std::istreambuf_iterator<char>());
        std::remove(percorso.c_str());
        std::size_t pagine = 0;
        for (std::size_t i = pdf.find("/Type /Page\n"); i != std::string::npos;
             i = pdf.find("/Type /Page\n", i + 1)) {
            ++pagine;
        }
        EXPECT_EQ(pagine, imp.fogli.size());
    }
}

// Fitted scales: the usual ones, the whole path on one sheet where a reach
// stays 14 mm wide, else more sheets at the largest scale that keeps it so;
// the levels within the drawing's height; typed scales as typed.
TEST(Profilo, ScaleAdatteAlFoglio) {
    const struct {
        int tratti;
        FormatoFoglio formato;
        double misura;
        std::optional<double> orizzontale, verticale;
        double attesaOrizzontale; // 0: any usual one
        bool unFoglio;
    } casi[] = {{3, FormatoFoglio::A3, 1, {}, {}, 500, true},
                {12, FormatoFoglio::A3, 1, {}, {}, 2000, true},
                {60, FormatoFoglio::A4, 1, {}, {}, 2500, false},
                {12, FormatoFoglio::A4, 0.75, {}, {}, 0, true},
                {12, FormatoFoglio::A3, 1, 200.0, 20.0, 200, false}};
    for (const auto& c : casi) {
        const Linea l = collettore(c.tratti);
        const Profilo p = Percorsi(l.tratti, l.rete).da("P0");
        const ImpaginazioneProfilo imp = impaginaProfilo(
            p, dimensioniFoglio(c.formato), c.orizzontale, c.verticale, false, c.misura);
        if (c.attesaOrizzontale > 0) {
            EXPECT_EQ(imp.scalaOrizzontale, c.attesaOrizzontale) << c.tratti;
        }
        EXPECT_EQ(imp.fogli.size() == 1, c.unFoglio) << c.tratti;
        const disegno::Rettangolo area = areaDelDisegno(imp);
        EXPECT_GE(40 * 1000 / imp.scalaOrizzontale, c.orizzontale ? 0 : 14 * c.misura - 1e-9);
        if (!c.verticale) {
            // Each sheet's levels, from its lowest invert to its highest
            // ground.
            for (const FoglioProfilo& f : imp.fogli) {
                double basso = 1e9, alto = -1e9;
                for (const tratti::PozzettoProfilo& pz : p.pozzetti) {
                    if (pz.progressiva >= f.da && pz.progressiva <= f.a) {
                        basso = std::min(basso, *pz.fondo());
                        alto = std::max(alto, *pz.terreno);
                    }
                }
                EXPECT_LE((alto - basso) * 1000 / imp.scalaVerticale, area.altezza) << c.tratti;
            }
        } else {
            EXPECT_EQ(imp.scalaVerticale, *c.verticale);
        }
        // The pointer's distance at each manhole's place on its sheet.
        for (const tratti::PozzettoProfilo& pz : p.pozzetti) {
            if (pz.progressiva > imp.fogli.front().a) {
                break;
            }
            const double x = area.x + 6 * c.misura + pz.progressiva * 1000 / imp.scalaOrizzontale;
            EXPECT_NEAR(*progressivaA(imp, 0, x), pz.progressiva, 1e-9);
        }
        EXPECT_FALSE(progressivaA(imp, 0, area.x - 20));
        EXPECT_EQ(foglioCheNonSta(p, imp).has_value(), c.verticale.has_value()) << c.tratti;
    }
}

// A network that is not a tree draws nothing: no head, and a head asked
// for by name is refused. A reach on its own is no path either.
TEST(Profilo, SenzaAlberoNessunPercorso) {
    Linea l = collettore(2);
    Tratto diramazione = l.tratti[1];
    diramazione.nome = "D";
    diramazione.pozzettoValle = "X1";
    l.tratti.push_back(diramazione);
    Tratto sciolto;
    sciolto.nome = "S";
    sciolto.lunghezza = 10;
    sciolto.pendenza = 0.01;
    sciolto.portata = 5;
    l.tratti.push_back(sciolto);
    l.rete = *tratti::calcolaRete(l.tratti, l.pozzetti, tratti::Impostazioni());
    const Percorsi percorsi(l.tratti, l.rete);
    EXPECT_FALSE(percorsi.testaPiuLunga());
    EXPECT_THROW(percorsi.da("P0"), std::invalid_argument);
}

// Names and words that are not ASCII reach CAD as \U+ escapes.
TEST(Profilo, DxfTestiInUnicode) {
    Linea l = collettore(1);
    l.tratti[0].pozzettoMonte = "Pozzo Libertà";
    l.pozzetti[0].nome = "Pozzo Libertà";
    l.rete = *tratti::calcolaRete(l.tratti, l.pozzetti, tratti::Impostazioni());
    const Profilo p = Percorsi(l.tratti, l.rete).da("Pozzo Libertà");
    const LettoreDxf dxf =
        letto(profiloDxf(p, impaginaProfilo(p, dimensioniFoglio(FormatoFoglio::A3))));
    for (const std::string atteso : {"Pozzo Libert\\U+00E0", "Profondit\\U+00E0 (m)"}) {
        EXPECT_NE(std::find(dxf.testi.begin(), dxf.testi.end(), atteso), dxf.testi.end()) << atteso;
    }
}

// Each line at the ends of the reaches around a drop: the invert, the
// crown and the waters step down at the manhole, the ground does not.
TEST(Profilo, LineeAlSalto) {
    const Linea l = collettore(3, 1);
    const Profilo p = Percorsi(l.tratti, l.rete).da("P0");
    const tratti::TrattoProfilo& arriva = p.tratti[0];
    const tratti::TrattoProfilo& parte = p.tratti[1];
    using L = tratti::LivelliProfilo;
    const struct {
        tratti::Linea linea;
        double salto; // arriving less leaving at P1
    } casi[] = {{&L::terreno, 0},
                {&L::fondo, 0.4},
                {&L::cielo, 0.4 + arriva.altezzaPiena - parte.altezzaPiena},
                {&L::acquaProgetto, 0.4 + *arriva.acquaProgetto - *parte.acquaProgetto}};
    for (const auto& c : casi) {
        const double prima = *tratti::livelloSulTratto(p, arriva, arriva.a, c.linea);
        const double dopo = *tratti::livelloSulTratto(p, parte, parte.da, c.linea);
        EXPECT_NEAR(prima - dopo, c.salto, 1e-9);
    }
    EXPECT_LT(*tratti::livelloSulTratto(p, arriva, 0, &L::acquaMinima),
              *tratti::livelloSulTratto(p, arriva, 0, &L::acquaProgetto));
}

// The ground runs along every reach whose two manholes have it, up to its
// end: a manhole further on without a ground level takes nothing from it.
TEST(Profilo, TerrenoFinoAlPozzettoSenzaQuota) {
    Profilo p = percorsoDi(3, 50);
    p.pozzetti[3].terreno.reset();
    using L = tratti::LivelliProfilo;
    const tratti::TrattoProfilo& secondo = p.tratti[1];
    EXPECT_NEAR(*tratti::livelloSulTratto(p, secondo, secondo.a, &L::terreno),
                *p.pozzetti[2].terreno, 1e-9);
    EXPECT_FALSE(tratti::livelloSulTratto(p, p.tratti[2], p.tratti[2].da, &L::terreno));
}

// Whatever the levels, radii and lengths a profile holds, every layout,
// drawing and file ends, or is refused, within a watchdog's time: levels
// that a step of the axis no longer moves, infinite or not numbers, a
// section too large to write, reaches that would need billions of sheets
// or that a sheet's width no longer moves along.
TEST(Profilo, OgniDisegnoFinisceQualunqueSianoIValori) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        const char* nome;
        std::size_t tratti;
        double lunghezza;
        std::function<void(Profilo&)> cambia;
    } casi[] = {
        {"scorrimento a 1e16 m", 3, 40,
         [](Profilo& p) { p.tratti[1].fondoMonte = p.pozzetti[1].fondoPartenza = 1e16; }},
        {"terreno a 3e20 m", 3, 40, [](Profilo& p) { p.pozzetti[2].terreno = 3e20; }},
        {"scorrimento a −∞", 3, 40,
         [&](Profilo& p) { p.tratti[1].fondoValle = p.pozzetti[2].fondoArrivo = -inf; }},
        {"quote che non sono numeri", 3, 40,
         [](Profilo& p) { p.pozzetti[1].terreno = p.tratti[2].fondoMonte = std::nan(""); }},
        {"quote agli estremi dei numeri", 3, 40,
         [](Profilo& p) { p.tratti[0].fondoMonte = 1.7e308, p.tratti[2].fondoValle = -1.7e308; }},
        {"raggio di 1e300 cm", 3, 40,
         [](Profilo& p) { p.tratti[1].raggio = 1e300, p.tratti[1].altezzaPiena = 3e298; }},
        {"raggio oltre i numeri", 3, 40,
         [&](Profilo& p) { p.tratti[1].raggio = 1e308, p.tratti[1].altezzaPiena = inf; }},
        {"tratto di 1e15 m", 1, 1e15, [](Profilo&) {}},
        {"tratti di 1e20 m", 2, 1e20, [](Profilo&) {}},
        {"percorso infinito", 2, 1e308,
         [&](Profilo& p) { p.pozzetti[2].progressiva = p.tratti[1].a = inf; }},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        Profilo p = percorsoDi(c.tratti, c.lunghezza);
        c.cambia(p);
        EXPECT_FINISCE_ENTRO(20, disegnatoInOgniModo(p));
    }
    for (const char* formato : {"pdf", "svg", "png", "dxf"}) {
        std::remove((::testing::TempDir() + "profilo_ostile." + formato).c_str());
    }
}

// The largest lines, a chain of 99,999 reaches and a star of as many into
// one manhole: their paths, heads and layouts take steps as many as their
// reaches, whatever the scale. A layout beyond the sheets allowed is
// counted and refused, not made.
TEST(Profilo, GrandiRetiInPassiQuantiITratti) {
    constexpr std::size_t quanti = 99999;
    const Profilo catena = percorsoDi(quanti, 50);
    std::vector<Tratto> stella(quanti);
    tratti::EsitiRete rete{std::vector<tratti::Esito>(quanti), {}, {}, {{"O", quanti, false}}};
    for (std::size_t k = 0; k < quanti; ++k) {
        stella[k].pozzettoMonte = pozzetto('S', static_cast<int>(k));
        stella[k].pozzettoValle = std::string(1, 'O');
        stella[k].lunghezza = 1 + static_cast<double>(k % 7);
    }
    // A comb: a collector with a one-reach branch into each of its manholes.
    std::vector<Tratto> pettine;
    for (std::size_t k = 0; k < quanti / 2; ++k) {
        const std::string qui = pozzetto('C', static_cast<int>(k));
        pettine.push_back({});
        pettine.back().pozzettoMonte = qui;
        pettine.back().pozzettoValle = pozzetto('C', static_cast<int>(k + 1));
        pettine.back().lunghezza = 10;
        pettine.push_back({});
        pettine.back().pozzettoMonte = pozzetto('R', static_cast<int>(k));
        pettine.back().pozzettoValle = qui;
        pettine.back().lunghezza = 5;
    }
    const tratti::EsitiRete retePettine{std::vector<tratti::Esito>(pettine.size()),
                                        {},
                                        {},
                                        {{pozzetto('C', quanti / 2), pettine.size(), false}}};
    const QSizeF a3 = dimensioniFoglio(FormatoFoglio::A3);
    const struct {
        const char* nome;
        std::function<void()> lavoro;
        const char* rifiuto; // none: done
    } casi[] = {
        {"la catena in DXF a 1:10", [&] { profiloDxf(catena, impaginaProfilo(catena, a3, 10.0)); },
         "richiederebbe 1499985 fogli, al più 5000"},
        {"la catena adattata, in SVG",
         [&] { impaginaProfilo(catena, a3, {}, {}, false, 1, fogliMassimi("p.svg", a3)); },
         "al più 200"},
        {"la catena nel foglio continuo", [&] { impaginaProfilo(catena, a3, 10.0, {}, true); },
         "il disegno sarebbe largo quanto"},
        {"le teste della stella",
         [&] {
             const Percorsi percorsi(stella, rete);
             EXPECT_EQ(percorsi.teste("O").size(), quanti);
             EXPECT_DOUBLE_EQ(percorsi.da(*percorsi.testaPiuLunga()).lunghezza(), 7);
             EXPECT_EQ(percorsi.daDisegnare("O").size(), quanti);
         },
         nullptr},
        {"ogni ramo del pettine",
         [&] {
             const Percorsi percorsi(pettine, retePettine);
             std::size_t disegnati = 0;
             for (const tratti::Percorso& p : percorsi.daDisegnare(pozzetto('C', quanti / 2))) {
                 disegnati += percorsi.da(p.testa, p.fine).tratti.size();
             }
             EXPECT_EQ(disegnati, pettine.size());
         },
         nullptr},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        EXPECT_FINISCE_ENTRO(20, {
            std::string motivo;
            try {
                c.lavoro();
            } catch (const std::invalid_argument& e) {
                motivo = e.what();
            }
            if (c.rifiuto != nullptr) {
                EXPECT_NE(motivo.find(c.rifiuto), std::string::npos) << motivo;
            } else {
                EXPECT_EQ(motivo, "");
            }
        });
    }
}

// A scale refused says at which one the sheets would do; where none would,
// the path is too long to be drawn at all.
TEST(Profilo, TroppiFogliConLaScalaCheBasta) {
    const Profilo p = percorsoDi(100, 40);
    const QSizeF a3 = dimensioniFoglio(FormatoFoglio::A3);
    const struct {
        Profilo profilo;
        std::optional<double> scala;
        std::size_t massimo;
        std::optional<double> cheBasta;
    } casi[] = {
        {p, 10.0, 20, 1000.0}, {p, std::nullopt, 1, 20000.0}, {percorsoDi(1, 1e12), 1e6, 5000, {}}};
    for (const auto& c : casi) {
        try {
            impaginaProfilo(c.profilo, a3, c.scala, std::nullopt, false, 1, c.massimo);
            ADD_FAILURE() << c.massimo;
        } catch (const TroppiFogli& e) {
            EXPECT_EQ(e.scalaCheBasta, c.cheBasta) << e.what();
            if (c.cheBasta) {
                EXPECT_LE(
                    impaginaProfilo(c.profilo, a3, c.cheBasta, std::nullopt, false, 1, c.massimo)
                        .fogli.size(),
                    c.massimo);
            }
        }
    }
}

// Names as typed in a CAD program: beyond the basic plane, the codes that
// begin with %% and \U+, carets, percent signs and control characters all
// read back as they were written.
TEST(Profilo, DxfTestiRilettiComeScritti) {
    const std::string nomi[] = {"Pozzo Libertà", "P😀1",  "%%d", "50%%u",    "\\U+0041", "a^b",
                                "tab\tsotto",    "100%", "%%%", "¼ € ∅ 中", "ultimo\\"};
    for (const std::string& nome : nomi) {
        Profilo p = percorsoDi(1, 40);
        p.pozzetti[0].nome = nome;
        const LettoreDxf dxf =
            letto(profiloDxf(p, impaginaProfilo(p, dimensioniFoglio(FormatoFoglio::A3))));
        std::vector<std::string> mostrati;
        for (const std::string& testo : dxf.testi) {
            mostrati.push_back(comeLoMostraIlCad(testo));
        }
        EXPECT_NE(std::find(mostrati.begin(), mostrati.end(), nome), mostrati.end()) << nome;
    }
}

// The sheet's title names the ends as typed, dots and commas included,
// under either separator; the numbers drawn take the separator.
TEST(Profilo, NomiComeScrittiENumeriColSeparatore) {
    const struct {
        Separatore separatore;
        const char* riferimento;
    } casi[] = {
        {Separatore::Punto, R"(Quota di riferimento \d+\.\d\d m)"},
        {Separatore::Virgola, R"(Quota di riferimento \d+,\d\d m)"},
    };
    for (const auto& c : casi) {
        Profilo p = percorsoDi(2, 40);
        p.pozzetti.front().nome = "P1.1";
        p.pozzetti.back().nome = "A,9";
        const std::string percorso = ::testing::TempDir() + "profilo_nomi.svg";
        scriviProfilo(percorso, p, impaginaProfilo(p, dimensioniFoglio(FormatoFoglio::A3)),
                      c.separatore);
        std::ifstream file(percorso);
        const std::string svg((std::istreambuf_iterator<char>(file)),
                              std::istreambuf_iterator<char>());
        std::remove(percorso.c_str());
        const QString testo = QString::fromStdString(svg);
        EXPECT_TRUE(testo.contains("Profilo longitudinale da P1.1 a A,9"))
            << nomeSeparatore(c.separatore);
        EXPECT_TRUE(QRegularExpression(c.riferimento).match(testo).hasMatch())
            << nomeSeparatore(c.separatore);
    }
}

namespace {

// What a painter is asked to draw, as a PDF's or a picture's engine is.
class Registratore : public QPaintDevice {
  public:
    std::vector<std::string> testi;
    std::size_t poligoni = 0;

    QPaintEngine* paintEngine() const override { return &motore_; }

  protected:
    int metric(PaintDeviceMetric metrica) const override {
        switch (metrica) {
        case PdmWidth:
        case PdmHeight:
            return 4000;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 300;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(devicePixelRatioFScale());
        default:
            return 1000;
        }
    }

  private:
    class Motore : public QPaintEngine {
      public:
        explicit Motore(Registratore& r) : r_(r) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override { ++r_.poligoni; }
        void drawTextItem(const QPointF&, const QTextItem& testo) override {
            r_.testi.push_back(testo.text().toStdString());
        }
        Type type() const override { return QPaintEngine::User; }

      private:
        Registratore& r_;
    };
    mutable Motore motore_{*this};
};

std::vector<std::string> testiDel(const disegno::Disegno& d) {
    std::vector<std::string> testi;
    for (const disegno::Elemento& e : d.elementi) {
        if (const auto* t = std::get_if<disegno::Testo>(&e.forma)) {
            testi.push_back(t->testo);
        }
    }
    std::sort(testi.begin(), testi.end());
    return testi;
}

std::vector<std::string> testiSvg(const std::string& svg) {
    std::vector<std::string> testi;
    static const QRegularExpression testo("<text[^>]*>([^<]*)</text>");
    for (auto i = testo.globalMatch(QString::fromStdString(svg)); i.hasNext();) {
        QString t = i.next().captured(1);
        t.replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"").replace("&amp;", "&");
        testi.push_back(t.toStdString());
    }
    std::sort(testi.begin(), testi.end());
    return testi;
}

} // namespace

// The same sheet as DXF, as SVG and on a PDF's painter: the same texts,
// word for word, and the same lines and areas. The drop manhole gives both
// inverts in each.
TEST(Profilo, DxfSvgEPdfPortanoGliStessiElementi) {
    const Linea l = collettore(4, 2, true);
    const Profilo p = Percorsi(l.tratti, l.rete).da("P0");
    ImpaginazioneProfilo imp = impaginaProfilo(p, dimensioniFoglio(FormatoFoglio::A3));
    imp.cartiglio = {"Fognatura di via Roma & <vicoli>", "Comune", "Ing. Rossi", "", "2026"};
    const disegno::Disegno d = disegnoDelFoglio(p, imp, 0, Separatore::Virgola);
    const std::vector<std::string> attesi = testiDel(d);

    const std::string svg = disegno::svg(d);
    EXPECT_EQ(testiSvg(svg), attesi);

    const LettoreDxf dxf = letto(profiloDxf(p, imp, Separatore::Virgola));
    std::vector<std::string> delDxf;
    for (const std::string& t : dxf.testi) {
        delDxf.push_back(
            QString::fromStdString(comeLoMostraIlCad(t)).replace("o/oo", "‰").toStdString());
    }
    std::sort(delDxf.begin(), delDxf.end());
    EXPECT_EQ(delDxf, attesi);

    Registratore pdf;
    {
        QPainter pittore(&pdf);
        disegnaFoglioProfilo(pittore, p, imp, 0, Separatore::Virgola);
    }
    std::sort(pdf.testi.begin(), pdf.testi.end());
    EXPECT_EQ(pdf.testi, attesi);

    std::size_t polilinee = 0, aree = 0;
    for (const disegno::Elemento& e : d.elementi) {
        polilinee += std::holds_alternative<disegno::Polilinea>(e.forma);
        aree += std::holds_alternative<disegno::Area>(e.forma);
    }
    std::size_t inDxf = 0;
    for (const auto& [strato, linee] : dxf.polilinee) {
        inDxf += linee.size();
    }
    EXPECT_EQ(inDxf, polilinee);
    EXPECT_EQ(pdf.poligoni, polilinee + aree);
    const QString testoSvg = QString::fromStdString(svg);
    EXPECT_EQ(testoSvg.count("<polyline") + testoSvg.count("<polygon fill=\"none\""),
              static_cast<qsizetype>(polilinee));

    const tratti::PozzettoProfilo& salto = p.pozzetti[2];
    for (const double fondo : {*salto.fondoArrivo, *salto.fondoPartenza}) {
        const std::string quota = Format(fondo, "0.00", Separatore::Virgola);
        EXPECT_TRUE(std::binary_search(attesi.begin(), attesi.end(), quota)) << quota;
    }
    EXPECT_TRUE(std::binary_search(attesi.begin(), attesi.end(), "Tavola 1 di 1"));
}

// Every sheet of paths dense, long-named, failing or small: no text over
// another, none printed under 2 mm, none cut with "…" but a title block's.
TEST(Profilo, NessunTestoSopraUnAltro) {
    Profilo fitto = percorsoDi(60, 4);
    Profilo nomiLunghi = percorsoDi(12, 30);
    for (std::size_t k = 0; k < nomiLunghi.pozzetti.size(); ++k) {
        nomiLunghi.pozzetti[k].nome =
            "Pozzetto d'ispezione di via Garibaldi n. " + std::to_string(k);
    }
    const Linea l = collettore(19, 8, true);
    const Profilo rete = Percorsi(l.tratti, l.rete).da("P0");
    const struct {
        const char* caso;
        const Profilo& profilo;
        QSizeF foglio;
        std::optional<double> scala;
        double misura;
    } casi[] = {
        {"la linea, adattata", rete, dimensioniFoglio(FormatoFoglio::A3), std::nullopt, 1},
        {"la linea a 1:5000 su A4", rete, dimensioniFoglio(FormatoFoglio::A4), 5000.0, 1},
        {"la linea nella relazione", rete, QSizeF(230, 160), std::nullopt, 0.75},
        {"tratti di 4 m a 1:2000", fitto, dimensioniFoglio(FormatoFoglio::A3), 2000.0, 1},
        {"tratti di 4 m a 1:200", fitto, dimensioniFoglio(FormatoFoglio::A4), 200.0, 1},
        {"nomi lunghi", nomiLunghi, dimensioniFoglio(FormatoFoglio::A4), std::nullopt, 1},
    };
    for (const auto& c : casi) {
        ImpaginazioneProfilo imp =
            impaginaProfilo(c.profilo, c.foglio, c.scala, std::nullopt, false, c.misura);
        imp.cartiglio.opera = std::string(300, 'x') + " un'opera dal nome lunghissimo";
        for (std::size_t f = 0; f < imp.fogli.size(); ++f) {
            const disegno::Disegno d = disegnoDelFoglio(c.profilo, imp, f);
            const auto sopra = disegno::testiSovrapposti(d);
            EXPECT_FALSE(sopra) << c.caso << ", foglio " << f + 1 << ": «"
                                << std::get<disegno::Testo>(d.elementi[sopra->first].forma).testo
                                << "» e «"
                                << std::get<disegno::Testo>(d.elementi[sopra->second].forma).testo
                                << "»";
            for (const disegno::Elemento& e : d.elementi) {
                if (const auto* t = std::get_if<disegno::Testo>(&e.forma)) {
                    EXPECT_GE(t->altezza, 2 - 1e-9) << c.caso << ": " << t->testo;
                    EXPECT_TRUE(e.strato == "CARTIGLIO" || t->testo.find("…") == std::string::npos)
                        << c.caso << ": " << t->testo;
                }
            }
        }
    }
}

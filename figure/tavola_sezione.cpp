#include "figure/tavola_sezione.h"

#include "analisi/profilo.h"
#include "numeri/formato.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace disegno {

namespace {

// Lengths in units of a thousandth of the sheet: constant on paper,
// whatever the section's size, as a drawing's dimension lines are.
constexpr double margine = 20;
constexpr double corpoTesti = 19;    // the texts' font size
constexpr double distanzaQuota = 48; // from the outline to a dimension line
constexpr double sporgenza = 10;     // of an extension line past its dimension line
constexpr double stacco = 6;         // between the outline and an extension line
constexpr double distanzaTesto = 5;  // between a line and its text
constexpr double freccia = 17;       // an arrowhead's length
constexpr double braccioCentro = 14; // of a centre mark
constexpr double sottoIlFondo = 46;  // the invert radius's label, below the invert
constexpr double lineaSpessa = 3.6;  // the outline
constexpr double lineaSottile = 1.2; // dimensions, centre lines
constexpr double lineaAcqua = 2.4;   // the water lines
// A water line's label: the line runs on past the outline, a ▽ stands on it,
// the text follows.
constexpr double attaccoSimbolo = 30;
constexpr double attaccoTesto = 44;
constexpr double coda = 6; // of the line past the text
// The least radius that leaves room for the dimensions: a smaller section,
// in a small window, is drawn without them, as large as it fits.
constexpr double raggioMinimo = 70;

// The sheet's units: a thousandth of the width of a sheet 1.385 times as
// wide as high (a narrower one takes its height as the measure), no less
// than a text can be read at.
constexpr double proporzione = 1.385;
constexpr double unitaMinima = 0.6;

constexpr int passiContorno = 180; // a side

// The radius lines, in degrees from the horizontal: the crown's up to the
// right, the side arc's from its centre on the right down across to the
// left arc, the invert's down to the right and on below the invert.
constexpr double angoloCalotta = 45;
constexpr double angoloFianco = 20;
constexpr double angoloFondo = -60;

constexpr Colore bluAcqua{216, 233, 248};
constexpr Colore bluLinea{0, 70, 160};

double radianti(double gradi) {
    return gradi * std::numbers::pi / 180;
}

Punto piu(Punto a, Punto b) {
    return {a.x + b.x, a.y + b.y};
}
Punto meno(Punto a, Punto b) {
    return {a.x - b.x, a.y - b.y};
}
Punto per(Punto a, double k) {
    return {a.x * k, a.y * k};
}
double lunghezza(Punto a) {
    return std::hypot(a.x, a.y);
}

// The sheet's measures: its unit, and the numbers it writes.
class Misure {
  public:
    Misure(double larghezza, double altezza, Separatore separatore)
        : unita_(std::max(std::min(larghezza, std::floor(altezza * proporzione)) / 1000.0,
                          unitaMinima)),
          separatore_(separatore) {}

    double operator()(double unita) const { return unita * unita_; }
    // Capitals of the texts' font size.
    double maiuscole() const { return (*this)(corpoTesti)*altezzaMaiuscole; }
    double em() const { return (*this)(corpoTesti); }
    std::string centimetri(double metri) const {
        return Format(metri * 100, "#0.##", separatore_) + " cm";
    }
    std::string livello(const LivelloSezione& l) const {
        const std::string altezza = "h = " + Format(l.altezza * 100, "#0.0", separatore_) + " cm";
        return l.etichetta.empty() ? altezza : l.etichetta + "  " + altezza;
    }
    double larghezzaTesto(const std::string& testo) const { return larghezza(testo, maiuscole()); }

  private:
    double unita_;
    Separatore separatore_;
};

std::vector<LivelloSezione> nellaSezione(double raggio, const std::vector<LivelloSezione>& tutti) {
    std::vector<LivelloSezione> dentro;
    for (const LivelloSezione& l : tutti) {
        if (l.altezza > 0 && l.altezza <= 3 * raggio) {
            dentro.push_back(l);
        }
    }
    std::sort(dentro.begin(), dentro.end(),
              [](const auto& a, const auto& b) { return a.altezza < b.altezza; });
    return dentro;
}

// Where the invert radius's line, run on past the arc, meets the depth of its
// label below the invert: across from the axis, for a radius of `raggio`
// units and the label `profondita` units below the invert.
double gomitoFondo(double raggio, double profondita) {
    const double c = std::cos(radianti(angoloFondo));
    const double s = std::sin(radianti(angoloFondo));
    const double puntaY = raggio / 2 * (1 + s); // above the invert
    return raggio / 2 * c + (puntaY + profondita) * c / -s;
}

enum class Lato { Sopra, Sotto, Centro }; // where the text stands from its anchor

// A text at its anchor, turned by some degrees (counter-clockwise) about
// it, `distanza` above or below it, with a white halo where it crosses a
// line.
Testo testoA(const Misure& m, std::string testo, Punto ancora, Orizzontale orizzontale, Lato lato,
             double distanza, double gradi = 0) {
    const double s = std::sin(radianti(gradi));
    const double c = std::cos(radianti(gradi));
    // Up, in the text's frame, on the sheet.
    const Punto su{-s, -c};
    Testo t;
    t.testo = std::move(testo);
    t.altezza = m.maiuscole();
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

// A box moved up or down in small steps, nearest first, until it overlaps
// none of the boxes already taken.
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

class Tavola {
  public:
    Tavola(Disegno& d, const Misure& m) : d_(d), m_(m) {}

    void linea(std::string_view strato, Punto a, Punto b, Penna penna) {
        d_.linea(strato, a, b, penna);
    }
    // A filled arrowhead with its point at `punta`, coming from `da`.
    void punta(std::string_view strato, Punto da, Punto punta, Colore colore) {
        const Punto asse = meno(da, punta);
        const double l = lunghezza(asse);
        if (l <= 0) {
            return;
        }
        const Punto indietro = per(asse, m_(freccia) / l);
        const Punto traverso{-indietro.y * 0.17, indietro.x * 0.17};
        d_.area(strato,
                {punta, piu(piu(punta, indietro), traverso), meno(piu(punta, indietro), traverso)},
                colore);
    }
    void quota(Punto da, Punto a, Penna penna) {
        linea("QUOTE", da, a, penna);
        punta("QUOTE", a, da, penna.colore);
        punta("QUOTE", da, a, penna.colore);
    }
    Rettangolo testo(std::string_view strato, Testo t) {
        const Rettangolo r = riquadro(t);
        d_.testo(strato, std::move(t));
        return r;
    }

  private:
    Disegno& d_;
    const Misure& m_;
};

} // namespace

PosizioneSezione posizioneDellaSezione(double raggioM, const std::vector<LivelloSezione>& livelli,
                                       double larghezza, double altezza, Separatore separatore) {
    const Misure m(larghezza, altezza, separatore);
    const double alto = (ascesa + discesa) * m.em();
    // Each extent from the axis or the invert, as a × R + b for a radius of
    // R units.
    struct Estensione {
        double a, b;
    };
    const Estensione sinistra{1, m(distanzaQuota + distanzaTesto + margine) + alto};
    const Estensione sopra{3, sinistra.b};
    const Estensione sotto{0, m(sottoIlFondo + margine)};
    std::vector<Estensione> destra{
        {2, m(braccioCentro + margine)},
        {gomitoFondo(1, 0), gomitoFondo(0, m(sottoIlFondo)) + m(2 * distanzaTesto + margine) +
                                m.larghezzaTesto("r/2 = " + m.centimetri(raggioM / 2))}};
    for (const LivelloSezione& l : nellaSezione(raggioM, livelli)) {
        destra.push_back({analisi::semilarghezza(raggioM, l.altezza) / raggioM,
                          m(attaccoTesto + coda + margine) + m.larghezzaTesto(m.livello(l))});
    }

    double r = (altezza - sopra.b - sotto.b) / sopra.a;
    for (const Estensione& e : destra) {
        r = std::min(r, (larghezza - sinistra.b - e.b) / (sinistra.a + e.a));
    }
    // The radius r in units, the invert's middle at (x, y).
    const auto posizione = [&](double r, double x, double y, bool conQuote) {
        return PosizioneSezione{{x, y}, raggioM > 0 ? r / raggioM : 1, conQuote};
    };
    if (r < m(raggioMinimo)) {
        const double bordo = m(margine + lineaSpessa);
        r = std::max(std::min((larghezza - 2 * bordo) / 2, (altezza - 2 * bordo) / 3), 1.0);
        return posizione(r, larghezza / 2, altezza / 2 + 1.5 * r, false);
    }
    double aDestra = 0;
    for (const Estensione& e : destra) {
        aDestra = std::max(aDestra, e.a * r + e.b);
    }
    const double aSinistra = sinistra.a * r + sinistra.b;
    const double inAlto = sopra.a * r + sopra.b;
    return posizione(r, (larghezza - aSinistra - aDestra) / 2 + aSinistra,
                     (altezza - inAlto - sotto.b) / 2 + inAlto, true);
}

Disegno sezioneInScala(double r, const std::vector<LivelloSezione>& livelli, double larghezza,
                       double altezza, Separatore separatore) {
    Disegno d;
    d.larghezza = larghezza;
    d.altezza = altezza;
    d.strati.assign(std::begin(stratiDellaSezione), std::end(stratiDellaSezione));
    if (!(r > 0) || !(larghezza > 0) || !(altezza > 0)) {
        return d;
    }
    const Misure m(larghezza, altezza, separatore);
    Tavola tavola(d, m);
    const PosizioneSezione posizione =
        posizioneDellaSezione(r, livelli, larghezza, altezza, separatore);
    const auto punto = [&](double x, double y) { return posizione.punto(x, y); };
    const auto poligono = [&](double finoA) {
        std::vector<Punto> esito;
        for (const analisi::PuntoProfilo& p : analisi::contorno(r, finoA, passiContorno)) {
            esito.push_back(punto(p.x, p.y));
        }
        return esito;
    };
    const std::vector<LivelloSezione> dentro = nellaSezione(r, livelli);
    const auto archi = analisi::archiProfilo(r);
    const auto& fondo = archi[0];
    const auto& fianco = archi[1];
    const auto& calotta = archi[2];

    if (!dentro.empty()) {
        d.area("ACQUA", poligono(dentro.back().altezza), bluAcqua);
    }
    const Penna spessa{nero, m(lineaSpessa)};
    const Penna acqua{bluLinea, m(lineaAcqua), Stile::Tratteggiata};
    const Penna sottile{nero, m(lineaSottile)};
    const auto lineaDAcqua = [&](double h) {
        const double mezza = analisi::semilarghezza(r, h);
        d.linea("LIVELLI", punto(-mezza, h), punto(mezza, h), acqua);
    };
    if (!posizione.conQuote) {
        d.polilinea("CONTORNO", poligono(3 * r), spessa, true);
        for (const LivelloSezione& l : dentro) {
            lineaDAcqua(l.altezza);
        }
        return d;
    }

    // The axis of symmetry and the centres of the arcs.
    d.linea("ASSI", piu(punto(0, 0), {0, m(2 * braccioCentro)}),
            piu(punto(0, 3 * r), {0, -m(2 * braccioCentro)}), {nero, m(lineaSottile), Stile::Asse});
    const Punto braccio{m(braccioCentro), 0};
    const Punto braccioSu{0, m(braccioCentro)};
    const Punto centroCalotta = punto(calotta.centroX, calotta.centroY);
    const Punto centroFondo = punto(fondo.centroX, fondo.centroY);
    // The left side arc's centre lies on the right.
    const Punto centroFianco = punto(-fianco.centroX, fianco.centroY);
    for (const Punto& centro : {centroCalotta, centroFondo, centroFianco}) {
        d.linea("ASSI", meno(centro, braccio), piu(centro, braccio), sottile);
    }
    d.linea("ASSI", meno(centroFianco, braccioSu), piu(centroFianco, braccioSu), sottile);

    d.polilinea("CONTORNO", poligono(3 * r), spessa, true);

    // Texts already placed, that the water lines' labels keep clear of.
    std::vector<Rettangolo> occupati{
        {centroFianco.x - braccio.x, centroFianco.y - braccioSu.y, 2 * braccio.x, 2 * braccioSu.y}};
    const double vicino = m(distanzaTesto);

    // The width, above.
    const double yQuota = punto(0, 3 * r).y - m(distanzaQuota);
    for (const double x : {-r, r}) {
        d.linea("QUOTE", meno(punto(x, 2 * r), {0, m(stacco)}),
                {punto(x, 0).x, yQuota - m(sporgenza)}, sottile);
    }
    tavola.quota({punto(-r, 0).x, yQuota}, {punto(r, 0).x, yQuota}, sottile);
    occupati.push_back(
        tavola.testo("QUOTE", testoA(m, "2r = " + m.centimetri(2 * r), {punto(0, 0).x, yQuota},
                                     Orizzontale::Centro, Lato::Sopra, vicino)));

    // The height, on the left, reading upwards.
    const double xQuota = punto(-r, 0).x - m(distanzaQuota);
    for (const double y : {0.0, 3 * r}) {
        d.linea("QUOTE", meno(punto(0, y), {m(stacco), 0}), {xQuota - m(sporgenza), punto(0, y).y},
                sottile);
    }
    const Punto piedeQuota{xQuota, punto(0, 0).y};
    const Punto testaQuota{xQuota, punto(0, 3 * r).y};
    tavola.quota(piedeQuota, testaQuota, sottile);
    occupati.push_back(tavola.testo("QUOTE", testoA(m, "3r = " + m.centimetri(3 * r),
                                                    per(piu(piedeQuota, testaQuota), 0.5),
                                                    Orizzontale::Centro, Lato::Sopra, vicino, 90)));

    // The crown's radius, inside it.
    const double aC = radianti(angoloCalotta);
    const Punto suCalotta = punto(calotta.centroX + calotta.raggio * std::cos(aC),
                                  calotta.centroY + calotta.raggio * std::sin(aC));
    d.linea("QUOTE", centroCalotta, suCalotta, sottile);
    tavola.punta("QUOTE", centroCalotta, suCalotta, nero);
    occupati.push_back(
        tavola.testo("QUOTE", testoA(m, "r = " + m.centimetri(calotta.raggio),
                                     piu(centroCalotta, per(meno(suCalotta, centroCalotta), 0.45)),
                                     Orizzontale::Centro, Lato::Sopra, vicino, angoloCalotta)));

    // The left side arc's radius, from its centre on the right; its text
    // near the centre, outside the section.
    const double aF = radianti(angoloFianco);
    const Punto suFianco = punto(-fianco.centroX - fianco.raggio * std::cos(aF),
                                 fianco.centroY - fianco.raggio * std::sin(aF));
    d.linea("QUOTE", centroFianco, suFianco, sottile);
    tavola.punta("QUOTE", centroFianco, suFianco, nero);
    const std::string testoFianco = "3r = " + m.centimetri(fianco.raggio);
    const Punto lungoFianco = meno(suFianco, centroFianco);
    const double frazione =
        (m.larghezzaTesto(testoFianco) / 2 + m(2 * braccioCentro)) / lunghezza(lungoFianco);
    occupati.push_back(
        tavola.testo("QUOTE", testoA(m, testoFianco, piu(centroFianco, per(lungoFianco, frazione)),
                                     Orizzontale::Centro, Lato::Sopra, vicino, angoloFianco)));

    // The invert's radius, run on below the invert to its label.
    const double aI = radianti(angoloFondo);
    const Punto suFondo = punto(fondo.centroX + fondo.raggio * std::cos(aI),
                                fondo.centroY + fondo.raggio * std::sin(aI));
    d.linea("QUOTE", centroFondo, suFondo, sottile);
    tavola.punta("QUOTE", centroFondo, suFondo, nero);
    const Punto gomito =
        piu(punto(0, 0), {gomitoFondo(r * posizione.scala, m(sottoIlFondo)), m(sottoIlFondo)});
    const std::string testoFondo = "r/2 = " + m.centimetri(fondo.raggio);
    d.linea("QUOTE", suFondo, gomito, sottile);
    d.linea("QUOTE", gomito, piu(gomito, {m.larghezzaTesto(testoFondo) + m(2 * distanzaTesto), 0}),
            sottile);
    occupati.push_back(tavola.testo("QUOTE", testoA(m, testoFondo, piu(gomito, {vicino, 0}),
                                                    Orizzontale::Sinistra, Lato::Sopra, vicino)));

    // The water lines, lowest first, each labelled on the right.
    const Penna richiamo{bluLinea, m(lineaSottile)};
    for (const LivelloSezione& l : dentro) {
        const double h = l.altezza;
        const double mezza = analisi::semilarghezza(r, h);
        lineaDAcqua(h);

        const Punto fine = punto(mezza, h);
        const Punto ancora = piu(fine, {m(attaccoTesto), 0});
        Testo etichetta =
            testoA(m, m.livello(l), ancora, Orizzontale::Sinistra, Lato::Sopra, vicino);
        const double lungo = m.larghezzaTesto(etichetta.testo);
        Rettangolo stanza = riquadro(etichetta);
        // The symbol belongs to the label's room.
        const double sinistra = fine.x + m(attaccoSimbolo - 8);
        stanza.larghezza += stanza.x - sinistra;
        stanza.x = sinistra;
        const Rettangolo posto =
            senzaSovrapporre(stanza, occupati, m.em() * (ascesa + discesa) / 3);
        occupati.push_back(posto);
        const double y = fine.y + posto.y - stanza.y;

        const double piega = fine.x + m(attaccoSimbolo - 14);
        d.polilinea("LIVELLI",
                    {fine,
                     {piega, fine.y},
                     {piega + std::abs(y - fine.y) * 0.2 + m(4), y},
                     {ancora.x + lungo + m(coda), y}},
                    richiamo);
        const Punto simbolo{fine.x + m(attaccoSimbolo), y};
        d.area("LIVELLI",
               {simbolo, piu(simbolo, {-m(6.5), -m(11)}), piu(simbolo, {m(6.5), -m(11)})},
               bluLinea);
        etichetta.ancora.y += y - fine.y;
        d.testo("LIVELLI", std::move(etichetta));
    }
    return d;
}

} // namespace disegno

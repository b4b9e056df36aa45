#include "figure/tavola_sezione.h"

#include "analisi/profilo.h"
#include "figure/tavola.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace disegno {

namespace {

// Lengths in units of a thousandth of the sheet: constant on paper,
// whatever the section's size, as a drawing's dimension lines are.
constexpr double margine = 20;
constexpr double corpoTesti = 19;       // the texts' font size
constexpr double distanzaQuota = 48;    // from the outline to a dimension line
constexpr double sporgenza = 10;        // of an extension line past its dimension line
constexpr double stacco = 6;            // between the outline and an extension line
constexpr double distanzaTesto = 5;     // between a line and its text
constexpr double lunghezzaFreccia = 17; // an arrowhead's length
constexpr double braccioCentro = 14;    // of a centre mark
constexpr double sottoIlFondo = 46;     // the invert radius's label, below the invert
constexpr double lineaSpessa = 3.6;     // the outline
constexpr double lineaSottile = 1.2;    // dimensions, centre lines
constexpr double lineaAcqua = 2.4;      // the water lines
// A water line's label: the line runs on past the outline, a ▽ stands on it,
// the text follows.
constexpr double attaccoSimbolo = 30;
constexpr double attaccoTesto = 44;
constexpr double coda = 6; // of the line past the text
// The least radius that leaves room for the dimensions: a smaller section,
// in a small window, is drawn without them, as large as it fits.
constexpr double raggioMinimo = 70;

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

std::string centimetri(const Misure& m, double metri) {
    return m.numero(metri * 100, "#0.##") + " cm";
}

Rettangolo testo(Disegno& d, std::string_view strato, Testo t) {
    const Rettangolo r = riquadro(t);
    d.testo(strato, std::move(t));
    return r;
}

void quota(Disegno& d, const Misure& m, Punto da, Punto a, Penna penna) {
    d.linea("QUOTE", da, a, penna);
    freccia(d, "QUOTE", a, da, m(lunghezzaFreccia), penna.colore);
    freccia(d, "QUOTE", da, a, m(lunghezzaFreccia), penna.colore);
}

std::vector<Livello> nellaSezione(double raggio, const std::vector<Livello>& tutti) {
    std::vector<Livello> dentro;
    for (const Livello& l : tutti) {
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

} // namespace

PosizioneSezione posizioneDellaSezione(double raggioM, const std::vector<Livello>& livelli,
                                       double larghezza, double altezza, Separatore separatore) {
    const Misure m(larghezza, altezza, separatore);
    const double alto = m.riga(corpoTesti);
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
                                m.lunghezza("r/2 = " + centimetri(m, raggioM / 2), corpoTesti)}};
    for (const Livello& l : nellaSezione(raggioM, livelli)) {
        destra.push_back({analisi::semilarghezza(raggioM, l.altezza) / raggioM,
                          m(attaccoTesto + coda + margine) +
                              m.lunghezza(m.livello(l.etichetta, l.altezza), corpoTesti)});
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

Disegno sezioneInScala(double r, const std::vector<Livello>& livelli, double larghezza,
                       double altezza, Separatore separatore) {
    Disegno d;
    d.larghezza = larghezza;
    d.altezza = altezza;
    d.strati.assign(std::begin(stratiDellaSezione), std::end(stratiDellaSezione));
    if (!(r > 0) || !(larghezza > 0) || !(altezza > 0)) {
        return d;
    }
    const Misure m(larghezza, altezza, separatore);
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
    const std::vector<Livello> dentro = nellaSezione(r, livelli);
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
        for (const Livello& l : dentro) {
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
    quota(d, m, {punto(-r, 0).x, yQuota}, {punto(r, 0).x, yQuota}, sottile);
    occupati.push_back(
        testo(d, "QUOTE",
              testoA(m, corpoTesti, "2r = " + centimetri(m, 2 * r), {punto(0, 0).x, yQuota},
                     Orizzontale::Centro, Lato::Sopra, vicino)));

    // The height, on the left, reading upwards.
    const double xQuota = punto(-r, 0).x - m(distanzaQuota);
    for (const double y : {0.0, 3 * r}) {
        d.linea("QUOTE", meno(punto(0, y), {m(stacco), 0}), {xQuota - m(sporgenza), punto(0, y).y},
                sottile);
    }
    const Punto piedeQuota{xQuota, punto(0, 0).y};
    const Punto testaQuota{xQuota, punto(0, 3 * r).y};
    quota(d, m, piedeQuota, testaQuota, sottile);
    occupati.push_back(testo(d, "QUOTE",
                             testoA(m, corpoTesti, "3r = " + centimetri(m, 3 * r),
                                    per(piu(piedeQuota, testaQuota), 0.5), Orizzontale::Centro,
                                    Lato::Sopra, vicino, 90)));

    // The crown's radius, inside it.
    const double aC = radianti(angoloCalotta);
    const Punto suCalotta = punto(calotta.centroX + calotta.raggio * std::cos(aC),
                                  calotta.centroY + calotta.raggio * std::sin(aC));
    d.linea("QUOTE", centroCalotta, suCalotta, sottile);
    freccia(d, "QUOTE", centroCalotta, suCalotta, m(lunghezzaFreccia), nero);
    occupati.push_back(testo(d, "QUOTE",
                             testoA(m, corpoTesti, "r = " + centimetri(m, calotta.raggio),
                                    piu(centroCalotta, per(meno(suCalotta, centroCalotta), 0.45)),
                                    Orizzontale::Centro, Lato::Sopra, vicino, angoloCalotta)));

    // The left side arc's radius, from its centre on the right; its text
    // near the centre, outside the section.
    const double aF = radianti(angoloFianco);
    const Punto suFianco = punto(-fianco.centroX - fianco.raggio * std::cos(aF),
                                 fianco.centroY - fianco.raggio * std::sin(aF));
    d.linea("QUOTE", centroFianco, suFianco, sottile);
    freccia(d, "QUOTE", centroFianco, suFianco, m(lunghezzaFreccia), nero);
    const std::string testoFianco = "3r = " + centimetri(m, fianco.raggio);
    const Punto lungoFianco = meno(suFianco, centroFianco);
    const double frazione = (m.lunghezza(testoFianco, corpoTesti) / 2 + m(2 * braccioCentro)) /
                            std::hypot(lungoFianco.x, lungoFianco.y);
    occupati.push_back(
        testo(d, "QUOTE",
              testoA(m, corpoTesti, testoFianco, piu(centroFianco, per(lungoFianco, frazione)),
                     Orizzontale::Centro, Lato::Sopra, vicino, angoloFianco)));

    // The invert's radius, run on below the invert to its label.
    const double aI = radianti(angoloFondo);
    const Punto suFondo = punto(fondo.centroX + fondo.raggio * std::cos(aI),
                                fondo.centroY + fondo.raggio * std::sin(aI));
    d.linea("QUOTE", centroFondo, suFondo, sottile);
    freccia(d, "QUOTE", centroFondo, suFondo, m(lunghezzaFreccia), nero);
    const Punto gomito =
        piu(punto(0, 0), {gomitoFondo(r * posizione.scala, m(sottoIlFondo)), m(sottoIlFondo)});
    const std::string testoFondo = "r/2 = " + centimetri(m, fondo.raggio);
    d.linea("QUOTE", suFondo, gomito, sottile);
    d.linea("QUOTE", gomito,
            piu(gomito, {m.lunghezza(testoFondo, corpoTesti) + m(2 * distanzaTesto), 0}), sottile);
    occupati.push_back(testo(d, "QUOTE",
                             testoA(m, corpoTesti, testoFondo, piu(gomito, {vicino, 0}),
                                    Orizzontale::Sinistra, Lato::Sopra, vicino)));

    // The water lines, lowest first, each labelled on the right.
    const Penna richiamo{bluLinea, m(lineaSottile)};
    for (const Livello& l : dentro) {
        const double h = l.altezza;
        const double mezza = analisi::semilarghezza(r, h);
        lineaDAcqua(h);

        const Punto fine = punto(mezza, h);
        const Punto ancora = piu(fine, {m(attaccoTesto), 0});
        Testo etichetta = testoA(m, corpoTesti, m.livello(l.etichetta, l.altezza), ancora,
                                 Orizzontale::Sinistra, Lato::Sopra, vicino);
        const double lungo = m.lunghezza(etichetta.testo, corpoTesti);
        Rettangolo stanza = riquadro(etichetta);
        // The symbol belongs to the label's room.
        const double sinistra = fine.x + m(attaccoSimbolo - 8);
        stanza.larghezza += stanza.x - sinistra;
        stanza.x = sinistra;
        const Rettangolo posto = senzaSovrapporre(stanza, occupati, m.riga(corpoTesti) / 3);
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

#include "figure/tavola_scala.h"

#include "figure/tavola.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace disegno {

namespace {

// Lengths in units of a thousandth of the sheet.
constexpr double margine = 20;
constexpr double corpoNumeri = 17;
constexpr double corpoTitoli = 19;
constexpr double corpoEtichette = 16;
constexpr double tacca = 8;
constexpr double stacco = 5;
constexpr double campione = 48; // a legend entry's sample of its line
constexpr double traVoci = 34;  // between two legend entries
constexpr double dopoCampione = 10;
constexpr double lineaCurva = 3.2;
constexpr double lineaCornice = 1.5;
constexpr double lineaGriglia = 0.8;
constexpr double lineaLimite = 2.2;
constexpr double lineaLivello = 1.5;
constexpr double puntoTabella = 8; // a table row's diameter, where the rows stand apart
constexpr double puntoTabellaMinimo = 4.5;
constexpr double puntoLivello = 16;

constexpr int puntiCurva = 400;
constexpr int intervalliPortata = 8;
constexpr int intervalliVelocita = 8;
constexpr int intervalliAltezza = 10;

constexpr Colore bluPortata{0, 60, 150};
constexpr Colore rossoVelocita{175, 25, 25};
constexpr Colore grigioTabella{55, 55, 55};
constexpr Colore verdeLivelli{0, 120, 60};
constexpr Colore violaMinima{140, 60, 180};
constexpr Colore aranciaLimiti{215, 110, 0};
constexpr Colore grigioGriglia{218, 218, 218};
constexpr Colore grigioCursore{120, 120, 120};

std::string numero(double valore, const Misure& m) {
    return m.numero(valore, "#0.##");
}

// A round step (1, 2, 2.5 or 5 times a power of ten) that takes at most
// `intervalli` steps to reach the value.
double passoRotondo(double massimo, int intervalli) {
    if (!(massimo > 0) || !std::isfinite(massimo)) {
        return 1;
    }
    const double grezzo = massimo / intervalli;
    const double potenza = std::pow(10.0, std::floor(std::log10(grezzo)));
    for (const double fattore : {1.0, 2.0, 2.5, 5.0}) {
        if (fattore * potenza >= grezzo * (1 - 1e-9)) {
            return fattore * potenza;
        }
    }
    return 10 * potenza;
}

// An axis: its end, a whole number of steps a little beyond the largest
// value, and its step.
struct Scala {
    double fine = 1;
    double passo = 1;
};

// The values of an axis's ticks, from 0.
std::vector<double> tacche(const Scala& s) {
    std::vector<double> valori;
    for (int k = 0; k * s.passo <= s.fine * (1 + 1e-9); ++k) {
        valori.push_back(k * s.passo);
    }
    return valori;
}

Scala scalaRotonda(double massimo, int intervalli) {
    const double oltre = massimo * 1.03;
    const double passo = passoRotondo(oltre, intervalli);
    if (!(oltre > 0) || !std::isfinite(oltre)) {
        return {};
    }
    return {std::ceil(oltre / passo - 1e-9) * passo, passo};
}

double altezzaPiena(const DatiGrafico& dati) {
    return dati.sezione.altezzaPiena() * 100;
}

std::vector<Livello> livelliNelGrafico(const DatiGrafico& dati) {
    std::vector<Livello> dentro;
    for (const Livello& livello : dati.livelli) {
        if (livello.altezza > 0 && livello.altezza <= dati.sezione.altezzaPiena()) {
            dentro.push_back(livello);
        }
    }
    return dentro;
}

enum class Segno { Nessuno, Cerchio, Rombo, Triangolo, Quadrato };

// A legend entry: a sample of its line, a marker, or both.
struct Voce {
    std::string testo;
    std::optional<Penna> linea;
    Segno segno = Segno::Nessuno;
    Colore colore;
};

Penna pennaPortata(const Misure& m) {
    return {bluPortata, m(lineaCurva)};
}
Penna pennaVelocita(const Misure& m) {
    return {rossoVelocita, m(lineaCurva), Stile::Tratteggiata};
}
Penna pennaLimiti(const Misure& m) {
    return {aranciaLimiti, m(lineaLimite), Stile::Punteggiata};
}
Colore coloreLivello(bool minima) {
    return minima ? violaMinima : verdeLivelli;
}
Penna pennaLivelli(const Misure& m, bool minima) {
    return {coloreLivello(minima), m(lineaLivello), Stile::Asse};
}
Segno segnoLivello(bool minima) {
    return minima ? Segno::Triangolo : Segno::Rombo;
}

std::vector<Voce> voci(const DatiGrafico& dati, const Misure& m, bool conRighe) {
    std::vector<Voce> esito{{"Portata Q (asse in basso)", pennaPortata(m), Segno::Nessuno, {}},
                            {"Velocità V (asse in alto)", pennaVelocita(m), Segno::Nessuno, {}}};
    if (conRighe) {
        esito.push_back({"Righe della tabella", std::nullopt, Segno::Cerchio, grigioTabella});
    }
    const std::vector<Livello> livelli = livelliNelGrafico(dati);
    for (const auto& [testo, minima] :
         {std::pair{"Altezze di progetto", false}, {"Portata minima", true}}) {
        if (std::any_of(livelli.begin(), livelli.end(),
                        [m = minima](const Livello& l) { return l.minima == m; })) {
            esito.push_back(
                {testo, pennaLivelli(m, minima), segnoLivello(minima), coloreLivello(minima)});
        }
    }
    if (dati.massimaPortata || dati.massimaVelocita) {
        esito.push_back({"Massimi veri", std::nullopt, Segno::Quadrato, nero});
    }
    esito.push_back({"Limiti di verifica", pennaLimiti(m), Segno::Nessuno, {}});
    return esito;
}

double larghezzaVoce(const Voce& voce, const Misure& m) {
    return m(campione + dopoCampione) + m.lunghezza(voce.testo, corpoNumeri);
}

// The legend's entries by rows no wider than given, each row filled in turn.
std::vector<std::vector<Voce>> aCapo(const std::vector<Voce>& tutte, const Misure& m,
                                     double larghezza) {
    std::vector<std::vector<Voce>> righe(1);
    double occupata = 0;
    for (const Voce& voce : tutte) {
        const double w = larghezzaVoce(voce, m);
        if (!righe.back().empty() && occupata + m(traVoci) + w > larghezza) {
            righe.emplace_back();
            occupata = 0;
        }
        occupata += (righe.back().empty() ? 0 : m(traVoci)) + w;
        righe.back().push_back(voce);
    }
    return righe;
}

// The legend's entries in as few rows as fit the width, the rows as even as
// they may be.
std::vector<std::vector<Voce>> righeLegenda(const std::vector<Voce>& tutte, const Misure& m,
                                            double larghezza) {
    const auto righe = aCapo(tutte, m, larghezza);
    double totale = 0;
    for (const Voce& voce : tutte) {
        totale += larghezzaVoce(voce, m) + m(traVoci);
    }
    for (double w = totale / righe.size(); w < larghezza; w += m(10)) {
        auto pari = aCapo(tutte, m, w);
        if (pari.size() <= righe.size()) {
            return pari;
        }
    }
    return righe;
}

// A marker: filled, with a white rim that parts it from the lines.
void segno(Disegno& d, Segno forma, Punto centro, double diametro, Colore colore) {
    if (forma == Segno::Nessuno) {
        return;
    }
    const double r = diametro / 2;
    std::vector<Punto> punti;
    if (forma == Segno::Cerchio) {
        for (int k = 0; k < 24; ++k) {
            const double a = k * std::numbers::pi / 12;
            punti.push_back({centro.x + r * std::cos(a), centro.y + r * std::sin(a)});
        }
    } else if (forma == Segno::Triangolo) {
        punti = {piu(centro, {0, -r}), piu(centro, {r, 0.8 * r}), piu(centro, {-r, 0.8 * r})};
    } else if (forma == Segno::Quadrato) {
        punti = {piu(centro, {-0.8 * r, -0.8 * r}), piu(centro, {0.8 * r, -0.8 * r}),
                 piu(centro, {0.8 * r, 0.8 * r}), piu(centro, {-0.8 * r, 0.8 * r})};
    } else {
        punti = {piu(centro, {0, -r}), piu(centro, {r, 0}), piu(centro, {0, r}),
                 piu(centro, {-r, 0})};
    }
    d.area("SEGNI", punti, colore);
    d.polilinea("SEGNI", std::move(punti), {bianco, diametro * 0.16}, true);
}

// Where a label may go on a line: its anchor, and the text's place and
// turn about it.
struct Posto {
    Punto ancora;
    Orizzontale orizzontale;
    Lato lato;
    double gradi = 0;
};

bool contiene(const Rettangolo& fuori, const Rettangolo& dentro) {
    return dentro.x >= fuori.x && dentro.y >= fuori.y && dentro.destra() <= fuori.destra() &&
           dentro.basso() <= fuori.basso();
}

// Writes a label inside the plot at the first of its places that keeps
// clear of the curves and of the boxes already taken; failing that, at the
// place nearest to one of them that keeps clear of the boxes. Returns its
// box.
Rettangolo scriviSullaLinea(Disegno& d, const Misure& m, const std::string& testo,
                            const std::vector<Posto>& posti, const Rettangolo& area,
                            const std::vector<Rettangolo>& occupati,
                            const std::vector<const std::vector<Punto>*>& curve,
                            double spessoreCurve) {
    const auto suUnaCurva = [&](const Rettangolo& r) {
        const Rettangolo largo{r.x - spessoreCurve, r.y - spessoreCurve,
                               r.larghezza + 2 * spessoreCurve, r.altezza + 2 * spessoreCurve};
        return std::any_of(curve.begin(), curve.end(), [&](const std::vector<Punto>* c) {
            return std::any_of(c->begin(), c->end(), [&](const Punto& p) {
                return p.x >= largo.x && p.x <= largo.destra() && p.y >= largo.y &&
                       p.y <= largo.basso();
            });
        });
    };
    const auto libero = [&](const Rettangolo& r) {
        return contiene(area, r) &&
               std::none_of(occupati.begin(), occupati.end(),
                            [&](const Rettangolo& o) { return o.interseca(r); });
    };
    const auto etichetta = [&](const Posto& p, double su) {
        Testo t = testoA(m, corpoEtichette, testo, piu(p.ancora, {0, su}), p.orizzontale, p.lato,
                         m(stacco), p.gradi);
        return t;
    };
    const double passo = m.riga(corpoEtichette) / 3;
    for (const bool evitaCurve : {true, false}) {
        for (int i = 0; i < (evitaCurve ? 1 : 60); ++i) {
            const double spostamento = (i % 2 == 0 ? -1 : 1) * passo * ((i + 1) / 2);
            for (const Posto& posto : posti) {
                Testo t = etichetta(posto, spostamento);
                const Rettangolo r = riquadro(t);
                if (libero(r) && !(evitaCurve && suUnaCurva(r))) {
                    d.testo("TESTI", std::move(t));
                    return r;
                }
            }
        }
    }
    Testo t = etichetta(posti.front(), 0);
    const Rettangolo r = riquadro(t);
    d.testo("TESTI", std::move(t));
    return r;
}

// The plot and its axes, with their steps.
struct Impaginazione {
    AssiGrafico assi;
    Scala portate;
    Scala velocita;
    Scala altezze;
    double numeriAltezza = 0; // the widest number of the height axis
    std::vector<std::vector<Voce>> legenda;
    double diametroRighe = 0; // of the table's rows; 0 where they are left out
};

// The table's rows, as points: smaller where they crowd, left out where
// they would stand too close to tell apart and hide the curves' strokes.
double diametroRighe(const DatiGrafico& dati, const Rettangolo& area, const Misure& m) {
    if (dati.righeTabella.empty()) {
        return 0;
    }
    const double distanza = area.altezza / static_cast<double>(dati.righeTabella.size());
    const double diametro = std::min(m(puntoTabella), distanza / 2.5);
    return diametro >= m(puntoTabellaMinimo) ? diametro : 0;
}

// The room the title takes above the figure; none without one.
double altezzaTitolo(const DatiGrafico& dati, const Misure& m) {
    return dati.titolo.empty() ? 0 : m.riga(corpoTitoli) + m(stacco);
}

Impaginazione impagina(const DatiGrafico& dati, double portataMassima, double velocitaMassima,
                       double larghezza, double altezza) {
    const Misure m(larghezza, altezza, dati.separatore);
    Impaginazione esito;
    AssiGrafico& assi = esito.assi;
    esito.portate = scalaRotonda(portataMassima, intervalliPortata);
    // The velocity axis takes in the limits that are near the curve.
    double velocita = velocitaMassima;
    for (const double limite :
         {dati.limiti.velocitaMinima * 100, dati.limiti.velocitaMassima * 100}) {
        if (limite <= 2 * velocitaMassima) {
            velocita = std::max(velocita, limite);
        }
    }
    esito.velocita = scalaRotonda(velocita, intervalliVelocita);
    esito.altezze = {altezzaPiena(dati), passoRotondo(altezzaPiena(dati), intervalliAltezza)};
    assi.portataFine = esito.portate.fine;
    assi.velocitaFine = esito.velocita.fine;
    assi.altezzaFine = esito.altezze.fine;
    for (const double h : tacche(esito.altezze)) {
        esito.numeriAltezza = std::max(esito.numeriAltezza, m.lunghezza(numero(h, m), corpoNumeri));
    }
    const double ultimoNumero = std::max(m.lunghezza(numero(assi.portataFine, m), corpoNumeri),
                                         m.lunghezza(numero(assi.velocitaFine, m), corpoNumeri));
    const double numeri = m.riga(corpoNumeri);
    const double titoli = m.riga(corpoTitoli);
    const auto disponi = [&](bool conRighe) {
        esito.legenda = righeLegenda(voci(dati, m, conRighe), m, larghezza - 2 * m(margine));
        const double altezzaLegenda = static_cast<double>(esito.legenda.size()) * numeri * 1.4;
        const double sinistra = m(margine + 3 * stacco + tacca) + titoli + esito.numeriAltezza;
        const double destra = larghezza - m(margine) - ultimoNumero / 2;
        const double sopra =
            m(margine + 2 * stacco + tacca) + titoli + numeri + altezzaTitolo(dati, m);
        const double sotto =
            altezza - m(margine + 2 * stacco + tacca + 12) - altezzaLegenda - titoli - numeri;
        assi.area = {sinistra, sopra, destra - sinistra, sotto - sopra};
    };
    // The legend names the rows only where they are drawn.
    disponi(!dati.righeTabella.empty());
    esito.diametroRighe = diametroRighe(dati, assi.area, m);
    if (esito.diametroRighe == 0 && !dati.righeTabella.empty()) {
        disponi(false);
    }
    return esito;
}

// The title cut short with "…" to the width it may take.
std::string titoloCheSta(const std::string& titolo, double corpo, double larghezza,
                         const Misure& m) {
    if (m.lunghezza(titolo, corpo) <= larghezza) {
        return titolo;
    }
    std::string corto = titolo;
    while (!corto.empty() && m.lunghezza(corto + "…", corpo) > larghezza) {
        corto.pop_back();
        // Whole characters only: drop a UTF-8 sequence's continuation bytes.
        while (!corto.empty() && (static_cast<unsigned char>(corto.back()) & 0xC0) == 0x80) {
            corto.pop_back();
        }
        if (!corto.empty() && static_cast<unsigned char>(corto.back()) >= 0xC0) {
            corto.pop_back();
        }
    }
    return corto + "…";
}

} // namespace

Punto AssiGrafico::portata(double litriAlSecondo, double centimetri) const {
    return {area.x + litriAlSecondo / portataFine * area.larghezza,
            area.basso() - centimetri / altezzaFine * area.altezza};
}

Punto AssiGrafico::velocita(double centimetriAlSecondo, double centimetri) const {
    return {area.x + centimetriAlSecondo / velocitaFine * area.larghezza,
            area.basso() - centimetri / altezzaFine * area.altezza};
}

GraficoDiDeflusso::GraficoDiDeflusso(DatiGrafico dati) : dati_(std::move(dati)) {
    if (!(dati_.sezione.raggio > 0)) {
        return;
    }
    punti_.push_back({});
    for (const analisi::Grandezze& g : analisi::curva(dati_.sezione, puntiCurva)) {
        punti_.push_back(g);
    }
    for (const auto& righe : {std::cref(punti_), std::cref(dati_.righeTabella)}) {
        for (const analisi::Grandezze& g : righe.get()) {
            portataMassima_ = std::max(portataMassima_, g.portata * 1000);
            velocitaMassima_ = std::max(velocitaMassima_, g.velocita * 100);
        }
    }
    for (const Livello& livello : livelliNelGrafico(dati_)) {
        suiLivelli_.push_back(analisi::grandezze(dati_.sezione, livello.altezza));
    }
}

AssiGrafico GraficoDiDeflusso::assi(double larghezza, double altezza) const {
    return impagina(dati_, portataMassima_, velocitaMassima_, larghezza, altezza).assi;
}

Disegno GraficoDiDeflusso::disegno(double larghezza, double altezza,
                                   std::optional<double> cursore) const {
    Disegno d;
    d.larghezza = larghezza;
    d.altezza = altezza;
    d.strati = {"GRIGLIA", "LIMITI", "LIVELLI", "CURVE", "SEGNI", "CORNICE", "TESTI", "LEGENDA"};
    if (!(larghezza > 0) || !(altezza > 0) || !(dati_.sezione.raggio > 0)) {
        return d;
    }
    const DatiGrafico& dati = dati_;
    const Impaginazione imp = impagina(dati, portataMassima_, velocitaMassima_, larghezza, altezza);
    const AssiGrafico& assi = imp.assi;
    const Rettangolo& area = assi.area;
    const Misure m(larghezza, altezza, dati.separatore);
    const double y0 = area.basso();
    const auto y = [&](double centimetri) { return assi.portata(0, centimetri).y; };
    const auto xPortata = [&](double litri) { return assi.portata(litri, 0).x; };
    const auto xVelocita = [&](double centimetri) { return assi.velocita(centimetri, 0).x; };

    const Penna griglia{grigioGriglia, m(lineaGriglia)};
    for (const double q : tacche(imp.portate)) {
        d.linea("GRIGLIA", {xPortata(q), area.y}, {xPortata(q), y0}, griglia);
    }
    for (const double h : tacche(imp.altezze)) {
        d.linea("GRIGLIA", {area.x, y(h)}, {area.destra(), y(h)}, griglia);
    }

    // The limits: the least and greatest velocity, the greatest filling.
    const double riempimento = dati.limiti.riempimentoMassimo;
    const bool conRiempimento = riempimento > 0 && riempimento <= 1;
    if (conRiempimento) {
        const double yr = y(riempimento * assi.altezzaFine);
        d.linea("LIMITI", {area.x, yr}, {area.destra(), yr}, pennaLimiti(m));
    }
    struct LimiteVelocita {
        const char* nome;
        double valore; // cm/s
    };
    const LimiteVelocita limiti[] = {{"Vmin", dati.limiti.velocitaMinima * 100},
                                     {"Vmax", dati.limiti.velocitaMassima * 100}};
    for (const LimiteVelocita& limite : limiti) {
        if (limite.valore > 0 && limite.valore <= assi.velocitaFine) {
            d.linea("LIMITI", {xVelocita(limite.valore), area.y}, {xVelocita(limite.valore), y0},
                    pennaLimiti(m));
        }
    }

    const std::vector<Livello> livelli = livelliNelGrafico(dati);
    for (const Livello& livello : livelli) {
        const double h = livello.altezza * 100;
        d.linea("LIVELLI", {area.x, y(h)}, {area.destra(), y(h)}, pennaLivelli(m, livello.minima));
    }

    std::vector<Punto> curvaPortata;
    std::vector<Punto> curvaVelocita;
    for (const analisi::Grandezze& g : punti_) {
        curvaPortata.push_back(assi.portata(g.portata * 1000, g.altezza * 100));
        curvaVelocita.push_back(assi.velocita(g.velocita * 100, g.altezza * 100));
    }
    d.polilinea("CURVE", curvaPortata, pennaPortata(m));
    d.polilinea("CURVE", curvaVelocita, pennaVelocita(m));

    if (const double diametro = imp.diametroRighe; diametro > 0) {
        for (const analisi::Grandezze& g : dati.righeTabella) {
            segno(d, Segno::Cerchio, assi.portata(g.portata * 1000, g.altezza * 100), diametro,
                  grigioTabella);
            segno(d, Segno::Cerchio, assi.velocita(g.velocita * 100, g.altezza * 100), diametro,
                  grigioTabella);
        }
    }
    for (std::size_t i = 0; i < livelli.size(); ++i) {
        const analisi::Grandezze& g = suiLivelli_[i];
        const Segno forma = segnoLivello(livelli[i].minima);
        const Colore colore = coloreLivello(livelli[i].minima);
        segno(d, forma, assi.portata(g.portata * 1000, g.altezza * 100), m(puntoLivello), colore);
        segno(d, forma, assi.velocita(g.velocita * 100, g.altezza * 100), m(puntoLivello), colore);
    }
    std::vector<Punto> massimi;
    if (dati.massimaPortata) {
        massimi.push_back(
            assi.portata(dati.massimaPortata->portata * 1000, dati.massimaPortata->altezza * 100));
    }
    if (dati.massimaVelocita) {
        massimi.push_back(assi.velocita(dati.massimaVelocita->velocita * 100,
                                        dati.massimaVelocita->altezza * 100));
    }
    for (const Punto& punto : massimi) {
        segno(d, Segno::Quadrato, punto, m(puntoLivello), nero);
    }
    if (cursore && *cursore * 100 >= 0 && *cursore * 100 <= assi.altezzaFine) {
        d.linea("LIVELLI", {area.x, y(*cursore * 100)}, {area.destra(), y(*cursore * 100)},
                {grigioCursore, m(lineaLivello), Stile::Punteggiata});
    }

    // The frame, its ticks and numbers: flow below, velocity above, height
    // on the left.
    const Penna cornice{nero, m(lineaCornice)};
    d.rettangolo("CORNICE", area, cornice);
    for (const double q : tacche(imp.portate)) {
        const Punto piede{xPortata(q), y0};
        d.linea("CORNICE", piede, piu(piede, {0, m(tacca)}), cornice);
        d.testo("TESTI", testoA(m, corpoNumeri, numero(q, m), piu(piede, {0, m(tacca)}),
                                Orizzontale::Centro, Lato::Sotto, m(stacco)));
    }
    for (const double v : tacche(imp.velocita)) {
        const Punto testa{xVelocita(v), area.y};
        d.linea("CORNICE", testa, meno(testa, {0, m(tacca)}), cornice);
        d.testo("TESTI", testoA(m, corpoNumeri, numero(v, m), meno(testa, {0, m(tacca)}),
                                Orizzontale::Centro, Lato::Sopra, m(stacco)));
    }
    for (const double h : tacche(imp.altezze)) {
        const Punto lato{area.x, y(h)};
        d.linea("CORNICE", lato, meno(lato, {m(tacca), 0}), cornice);
        d.testo("TESTI", testoA(m, corpoNumeri, numero(h, m), meno(lato, {m(tacca), 0}),
                                Orizzontale::Destra, Lato::Centro, 0));
    }
    const double numeri = m.riga(corpoNumeri);
    const double centroX = area.x + area.larghezza / 2;
    const double sottoNumeri = y0 + m(tacca + stacco) + numeri;
    d.testo("TESTI", testoA(m, corpoTitoli, "Portata Q (l/s)", {centroX, sottoNumeri},
                            Orizzontale::Centro, Lato::Sotto, m(stacco)));
    d.testo("TESTI", testoA(m, corpoTitoli, "Velocità V (cm/s)",
                            {centroX, area.y - m(tacca + stacco) - numeri}, Orizzontale::Centro,
                            Lato::Sopra, m(stacco)));
    d.testo("TESTI",
            testoA(m, corpoTitoli, "Altezza h (cm)",
                   {area.x - m(tacca + 2 * stacco) - imp.numeriAltezza, area.y + area.altezza / 2},
                   Orizzontale::Centro, Lato::Sopra, m(stacco), 90));

    // What the lines inside the plot are, written on them where they keep
    // clear of the curves and of the maxima: the levels first, then the
    // limits.
    std::vector<Rettangolo> occupati;
    for (const Punto& punto : massimi) {
        const double mezzo = m(puntoLivello) / 2;
        occupati.push_back({punto.x - mezzo, punto.y - mezzo, 2 * mezzo, 2 * mezzo});
    }
    const auto scrivi = [&](const std::string& testo, const std::vector<Posto>& posti) {
        occupati.push_back(scriviSullaLinea(d, m, testo, posti, area, occupati,
                                            {&curvaPortata, &curvaVelocita}, m(lineaCurva)));
    };
    const auto orizzontale = [&](double yLinea, bool primaADestra) {
        const Posto destra{{area.destra() - m(8), yLinea}, Orizzontale::Destra, Lato::Sopra};
        const Posto sinistra{{area.x + m(8), yLinea}, Orizzontale::Sinistra, Lato::Sopra};
        const auto sotto = [](Posto p) {
            p.lato = Lato::Sotto;
            return p;
        };
        return primaADestra ? std::vector{destra, sinistra, sotto(destra), sotto(sinistra)}
                            : std::vector{sinistra, destra, sotto(sinistra), sotto(destra)};
    };
    for (const Livello& livello : livelli) {
        // Low levels first on the right, high ones on the left: away from
        // where the curves run.
        const double h = livello.altezza * 100;
        scrivi(m.livello(livello.etichetta, livello.altezza),
               orizzontale(y(h), h <= assi.altezzaFine / 2));
    }
    if (conRiempimento) {
        scrivi("h/H max = " + numero(riempimento * 100, m) + " %",
               orizzontale(y(riempimento * assi.altezzaFine), false));
    }
    for (const LimiteVelocita& limite : limiti) {
        if (limite.valore > 0 && limite.valore <= assi.velocitaFine) {
            const double x = xVelocita(limite.valore);
            const Punto inAlto{x, area.y + m(8)};
            const Punto inBasso{x, area.basso() - m(8)};
            // Reading upwards along the line: its top at the anchor, or its foot.
            scrivi(std::string(limite.nome) + " = " + numero(limite.valore, m) + " cm/s",
                   {{inAlto, Orizzontale::Destra, Lato::Sotto, 90},
                    {inAlto, Orizzontale::Destra, Lato::Sopra, 90},
                    {inBasso, Orizzontale::Sinistra, Lato::Sotto, 90},
                    {inBasso, Orizzontale::Sinistra, Lato::Sopra, 90}});
        }
    }

    if (!dati.titolo.empty()) {
        Testo titolo = testoA(m, corpoTitoli,
                              titoloCheSta(dati.titolo, corpoTitoli, larghezza - 2 * m(margine), m),
                              {larghezza / 2, m(margine)}, Orizzontale::Centro, Lato::Sotto, 0);
        titolo.grassetto = true;
        d.testo("TESTI", std::move(titolo));
    }

    // The legend, centred below.
    double yRiga = sottoNumeri + m(stacco + 12) + m.riga(corpoTitoli) + numeri * 0.7;
    for (const auto& riga : imp.legenda) {
        double lunga = m(traVoci) * static_cast<double>(riga.size() - 1);
        for (const Voce& voce : riga) {
            lunga += larghezzaVoce(voce, m);
        }
        double x = (larghezza - lunga) / 2;
        for (const Voce& voce : riga) {
            if (voce.linea) {
                d.linea("LEGENDA", {x, yRiga}, {x + m(campione), yRiga}, *voce.linea);
            }
            segno(d, voce.segno, {x + m(campione) / 2, yRiga},
                  m(voce.segno == Segno::Cerchio ? puntoTabella : puntoLivello), voce.colore);
            d.testo("LEGENDA",
                    testoA(m, corpoNumeri, voce.testo, {x + m(campione + dopoCampione), yRiga},
                           Orizzontale::Sinistra, Lato::Centro, 0));
            x += larghezzaVoce(voce, m) + m(traVoci);
        }
        yRiga += numeri * 1.4;
    }
    return d;
}

} // namespace disegno

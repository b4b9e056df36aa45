#include "figure/figura_scala.h"

#include "figure/figura_tratto.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

namespace {

// Lengths in the units of Tratto.
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

const QColor bluPortata(0, 60, 150);
const QColor rossoVelocita(175, 25, 25);
const QColor grigioTabella(55, 55, 55);
const QColor verdeLivelli(0, 120, 60);
const QColor violaMinima(140, 60, 180);
const QColor aranciaLimiti(215, 110, 0);
const QColor grigioGriglia(218, 218, 218);
const QColor grigioCursore(120, 120, 120);

QString numero(double valore, const Tratto& t) {
    return t.numero(valore, "#0.##");
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

double altezzaPiena(const DatiScala& dati) {
    return dati.sezione.altezzaPiena() * 100;
}

std::vector<LivelloAcqua> livelliNelGrafico(const DatiScala& dati) {
    std::vector<LivelloAcqua> dentro;
    for (const LivelloAcqua& livello : dati.livelli) {
        if (livello.altezza > 0 && livello.altezza <= dati.sezione.altezzaPiena()) {
            dentro.push_back(livello);
        }
    }
    return dentro;
}

// A legend entry: a sample of its line, a marker, or both.
struct Voce {
    QString testo;
    std::optional<QPen> linea;
    enum class Segno { Nessuno, Cerchio, Rombo, Triangolo, Quadrato } segno = Segno::Nessuno;
    QColor colore;
};

QPen pennaPortata(const Tratto& t) {
    return QPen(bluPortata, t(lineaCurva), Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin);
}

QPen pennaVelocita(const Tratto& t) {
    QPen penna(rossoVelocita, t(lineaCurva), Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin);
    penna.setDashPattern({3.5, 1.8});
    return penna;
}

QPen pennaLimiti(const Tratto& t) {
    // Square dots: round ones take the painter ten times as long.
    QPen penna(aranciaLimiti, t(lineaLimite), Qt::SolidLine, Qt::FlatCap);
    penna.setDashPattern({1, 1.6});
    return penna;
}

QColor coloreLivello(bool minima) {
    return minima ? violaMinima : verdeLivelli;
}

QPen pennaLivelli(const Tratto& t, bool minima) {
    QPen penna(coloreLivello(minima), t(lineaLivello), Qt::SolidLine, Qt::FlatCap);
    penna.setDashPattern({10, 3, 2, 3});
    return penna;
}

Voce::Segno segnoLivello(bool minima) {
    return minima ? Voce::Segno::Triangolo : Voce::Segno::Rombo;
}

std::vector<Voce> voci(const DatiScala& dati, const Tratto& t, bool conRighe) {
    std::vector<Voce> esito{
        {"Portata Q (asse in basso)", pennaPortata(t), Voce::Segno::Nessuno, {}},
        {"Velocità V (asse in alto)", pennaVelocita(t), Voce::Segno::Nessuno, {}}};
    if (conRighe) {
        esito.push_back({"Righe della tabella", std::nullopt, Voce::Segno::Cerchio, grigioTabella});
    }
    const std::vector<LivelloAcqua> livelli = livelliNelGrafico(dati);
    for (const auto& [testo, minima] :
         {std::pair{"Altezze di progetto", false}, {"Portata minima", true}}) {
        if (std::any_of(livelli.begin(), livelli.end(),
                        [m = minima](const LivelloAcqua& l) { return l.minima == m; })) {
            esito.push_back(
                {testo, pennaLivelli(t, minima), segnoLivello(minima), coloreLivello(minima)});
        }
    }
    if (dati.massimi) {
        esito.push_back({"Massimi veri", std::nullopt, Voce::Segno::Quadrato, Qt::black});
    }
    esito.push_back({"Limiti di verifica", pennaLimiti(t), Voce::Segno::Nessuno, {}});
    return esito;
}

double larghezzaVoce(const Voce& voce, const Tratto& t, const QFontMetricsF& metriche) {
    return t(campione + dopoCampione) + metriche.horizontalAdvance(voce.testo);
}

// The legend's entries by rows no wider than given, each row filled in turn.
std::vector<std::vector<Voce>> aCapo(const std::vector<Voce>& tutte, const Tratto& t,
                                     double larghezza) {
    const QFontMetricsF metriche(t.carattere(corpoNumeri));
    std::vector<std::vector<Voce>> righe(1);
    double occupata = 0;
    for (const Voce& voce : tutte) {
        const double w = larghezzaVoce(voce, t, metriche);
        if (!righe.back().empty() && occupata + t(traVoci) + w > larghezza) {
            righe.emplace_back();
            occupata = 0;
        }
        occupata += (righe.back().empty() ? 0 : t(traVoci)) + w;
        righe.back().push_back(voce);
    }
    return righe;
}

// The legend's entries in as few rows as fit the width, the rows as even as
// they may be.
std::vector<std::vector<Voce>> righeLegenda(const std::vector<Voce>& tutte, const Tratto& t,
                                            double larghezza) {
    const auto righe = aCapo(tutte, t, larghezza);
    const QFontMetricsF metriche(t.carattere(corpoNumeri));
    double totale = 0;
    for (const Voce& voce : tutte) {
        totale += larghezzaVoce(voce, t, metriche) + t(traVoci);
    }
    for (double w = totale / righe.size(); w < larghezza; w += t(10)) {
        auto pari = aCapo(tutte, t, w);
        if (pari.size() <= righe.size()) {
            return pari;
        }
    }
    return righe;
}

void segno(QPainter& pittore, Voce::Segno forma, QPointF centro, double diametro,
           const QColor& colore) {
    if (forma == Voce::Segno::Nessuno) {
        return;
    }
    pittore.setPen(QPen(Qt::white, diametro * 0.16));
    pittore.setBrush(colore);
    const double m = diametro / 2;
    if (forma == Voce::Segno::Cerchio) {
        pittore.drawEllipse(centro, m, m);
    } else if (forma == Voce::Segno::Triangolo) {
        pittore.drawPolygon(QPolygonF{centro + QPointF(0, -m), centro + QPointF(m, 0.8 * m),
                                      centro + QPointF(-m, 0.8 * m)});
    } else if (forma == Voce::Segno::Quadrato) {
        pittore.drawRect(QRectF(centro - QPointF(0.8 * m, 0.8 * m), QSizeF(1.6 * m, 1.6 * m)));
    } else {
        pittore.drawPolygon(QPolygonF{centro + QPointF(0, -m), centro + QPointF(m, 0),
                                      centro + QPointF(0, m), centro + QPointF(-m, 0)});
    }
}

// Where a label may go on a line: its anchor, and the text's place and
// turn about it.
struct Posto {
    QPointF ancora;
    Qt::Alignment allineamento;
    double gradi = 0;
};

// Writes a label inside the plot at the first of its places that keeps
// clear of the curves and of the boxes already taken; failing that, at the
// place nearest to one of them that keeps clear of the boxes. Returns its
// box.
QRectF scriviSullaLinea(QPainter& pittore, const QString& testo, const QFont& carattere,
                        const std::vector<Posto>& posti, double distanza, const QRectF& area,
                        const std::vector<QRectF>& occupati,
                        const std::vector<const QPolygonF*>& curve, double spessoreCurve) {
    const auto suUnaCurva = [&](const QRectF& riquadro) {
        const QRectF largo =
            riquadro.adjusted(-spessoreCurve, -spessoreCurve, spessoreCurve, spessoreCurve);
        return std::any_of(curve.begin(), curve.end(), [&](const QPolygonF* c) {
            return std::any_of(c->begin(), c->end(),
                               [&](const QPointF& p) { return largo.contains(p); });
        });
    };
    const auto libero = [&](const QRectF& riquadro) {
        return area.contains(riquadro) &&
               std::none_of(occupati.begin(), occupati.end(),
                            [&](const QRectF& r) { return r.intersects(riquadro); });
    };
    const double passo = QFontMetricsF(carattere).height() / 3;
    for (const bool evitaCurve : {true, false}) {
        for (int i = 0; i < (evitaCurve ? 1 : 60); ++i) {
            const QPointF spostamento(0, (i % 2 == 0 ? -1 : 1) * passo * ((i + 1) / 2));
            for (const Posto& posto : posti) {
                const QRectF riquadro = riquadroTesto(testo, carattere, posto.ancora,
                                                      posto.allineamento, distanza, posto.gradi)
                                            .translated(spostamento);
                if (libero(riquadro) && !(evitaCurve && suUnaCurva(riquadro))) {
                    return scriviTesto(pittore, testo, carattere, posto.ancora + spostamento,
                                       posto.allineamento, distanza, posto.gradi);
                }
            }
        }
    }
    const Posto& primo = posti.front();
    return scriviTesto(pittore, testo, carattere, primo.ancora, primo.allineamento, distanza,
                       primo.gradi);
}

// The plot and its axes, with their steps.
struct Impaginazione {
    AssiScala assi;
    Scala portate;
    Scala velocita;
    Scala altezze;
    double numeriAltezza = 0; // the widest number of the height axis, in pixels
    std::vector<std::vector<Voce>> legenda;
    double diametroRighe = 0; // of the table's rows; 0 where they are left out
};

// The table's rows, as points: smaller where they crowd, left out where
// they would stand too close to tell apart and hide the curves' strokes.
double diametroRighe(const DatiScala& dati, const QRectF& area, const Tratto& t) {
    if (dati.righeTabella.empty()) {
        return 0;
    }
    const double distanza = area.height() / static_cast<double>(dati.righeTabella.size());
    const double diametro = std::min(t(puntoTabella), distanza / 2.5);
    return diametro >= t(puntoTabellaMinimo) ? diametro : 0;
}

// The title's font: the axes' titles', in bold.
QFont carattereTitolo(const Tratto& t) {
    QFont carattere = t.carattere(corpoTitoli);
    carattere.setBold(true);
    return carattere;
}

// The room the title takes above the figure; none without one.
double altezzaTitolo(const DatiScala& dati, const Tratto& t) {
    return dati.titolo.isEmpty() ? 0 : QFontMetricsF(carattereTitolo(t)).height() + t(stacco);
}

Impaginazione impagina(const DatiScala& dati, double portataMassima, double velocitaMassima,
                       QSizeF pixel) {
    const Tratto t(pixel, dati.separatore);
    const QFontMetricsF numeri(t.carattere(corpoNumeri));
    const QFontMetricsF titoli(t.carattere(corpoTitoli));

    Impaginazione esito;
    AssiScala& assi = esito.assi;
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
        esito.numeriAltezza = std::max(esito.numeriAltezza, numeri.horizontalAdvance(numero(h, t)));
    }
    const double ultimoNumero = std::max(numeri.horizontalAdvance(numero(assi.portataFine, t)),
                                         numeri.horizontalAdvance(numero(assi.velocitaFine, t)));
    const auto impagina = [&](bool conRighe) {
        esito.legenda = righeLegenda(voci(dati, t, conRighe), t, pixel.width() - 2 * t(margine));
        const double altezzaLegenda = esito.legenda.size() * numeri.height() * 1.4;
        const double sinistra =
            t(margine + 3 * stacco + tacca) + titoli.height() + esito.numeriAltezza;
        const double destra = pixel.width() - t(margine) - ultimoNumero / 2;
        const double sopra = t(margine + 2 * stacco + tacca) + titoli.height() + numeri.height() +
                             altezzaTitolo(dati, t);
        const double sotto = pixel.height() - t(margine + 2 * stacco + tacca + 12) -
                             altezzaLegenda - titoli.height() - numeri.height();
        assi.area = QRectF(QPointF(sinistra, sopra), QPointF(destra, sotto));
    };
    // The legend names the rows only where they are drawn.
    impagina(!dati.righeTabella.empty());
    esito.diametroRighe = diametroRighe(dati, assi.area, t);
    if (esito.diametroRighe == 0 && !dati.righeTabella.empty()) {
        impagina(false);
    }
    return esito;
}

} // namespace

QPointF AssiScala::portata(double litriAlSecondo, double centimetri) const {
    return {area.left() + litriAlSecondo / portataFine * area.width(),
            area.bottom() - centimetri / altezzaFine * area.height()};
}

QPointF AssiScala::velocita(double centimetriAlSecondo, double centimetri) const {
    return {area.left() + centimetriAlSecondo / velocitaFine * area.width(),
            area.bottom() - centimetri / altezzaFine * area.height()};
}

double AssiScala::altezza(double y) const {
    return (area.bottom() - y) / area.height() * altezzaFine;
}

ScalaDiDeflusso::ScalaDiDeflusso(DatiScala dati) : dati_(std::move(dati)) {
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
    for (const LivelloAcqua& livello : livelliNelGrafico(dati_)) {
        suiLivelli_.push_back(analisi::grandezze(dati_.sezione, livello.altezza));
    }
}

AssiScala ScalaDiDeflusso::assi(QSizeF dimensione) const {
    return impagina(dati_, portataMassima_, velocitaMassima_, dimensione).assi;
}

AssiScala assiScala(const DatiScala& dati, QSize pixel) {
    return ScalaDiDeflusso(dati).assi(pixel);
}

QImage figuraScala(const DatiScala& dati, QSize pixel) {
    QImage immagine = immagineBianca(pixel);
    if (pixel.isEmpty() || !(dati.sezione.raggio > 0)) {
        return immagine;
    }
    const ScalaDiDeflusso figura(dati);
    QPainter pittore(&immagine);
    figura.disegna(pittore, immagine.rect());
    return immagine;
}

void ScalaDiDeflusso::disegna(QPainter& pittore, const QRectF& dove,
                              std::optional<double> cursore) const {
    if (dove.isEmpty() || !(dati_.sezione.raggio > 0)) {
        return;
    }
    const DatiScala& dati = dati_;
    const QSizeF pixel = dove.size();
    const Impaginazione impaginazione = impagina(dati, portataMassima_, velocitaMassima_, pixel);
    const AssiScala& assi = impaginazione.assi;
    const QRectF& area = assi.area;
    const Tratto t(pixel, dati.separatore);
    const QFont numeri = t.carattere(corpoNumeri);
    const QFont titoli = t.carattere(corpoTitoli);
    const QFont etichette = t.carattere(corpoEtichette);
    const QFontMetricsF metricheNumeri(numeri);
    const QFontMetricsF metricheTitoli(titoli);
    const double y0 = area.bottom();
    const auto y = [&](double centimetri) { return assi.portata(0, centimetri).y(); };
    const auto xPortata = [&](double litri) { return assi.portata(litri, 0).x(); };
    const auto xVelocita = [&](double centimetri) { return assi.velocita(centimetri, 0).x(); };
    const Scala& portate = impaginazione.portate;
    const Scala& velocita = impaginazione.velocita;
    const Scala& altezze = impaginazione.altezze;

    pittore.save();
    pittore.translate(dove.topLeft());
    pittore.setRenderHint(QPainter::Antialiasing);

    pittore.setPen(QPen(grigioGriglia, t(lineaGriglia)));
    for (const double q : tacche(portate)) {
        pittore.drawLine(QPointF(xPortata(q), area.top()), QPointF(xPortata(q), y0));
    }
    for (const double h : tacche(altezze)) {
        pittore.drawLine(QPointF(area.left(), y(h)), QPointF(area.right(), y(h)));
    }

    // The limits: the least and greatest velocity, the greatest filling.
    pittore.setPen(pennaLimiti(t));
    const double riempimento = dati.limiti.riempimentoMassimo;
    const bool conRiempimento = riempimento > 0 && riempimento <= 1;
    if (conRiempimento) {
        pittore.drawLine(QPointF(area.left(), y(riempimento * assi.altezzaFine)),
                         QPointF(area.right(), y(riempimento * assi.altezzaFine)));
    }
    struct LimiteVelocita {
        const char* nome;
        double valore; // cm/s
    };
    const LimiteVelocita limiti[] = {{"Vmin", dati.limiti.velocitaMinima * 100},
                                     {"Vmax", dati.limiti.velocitaMassima * 100}};
    for (const LimiteVelocita& limite : limiti) {
        if (limite.valore > 0 && limite.valore <= assi.velocitaFine) {
            pittore.drawLine(QPointF(xVelocita(limite.valore), area.top()),
                             QPointF(xVelocita(limite.valore), y0));
        }
    }

    pittore.save();
    pittore.setClipRect(
        area.adjusted(-t(puntoLivello), -t(puntoLivello), t(puntoLivello), t(puntoLivello)));
    const std::vector<LivelloAcqua> livelli = livelliNelGrafico(dati);
    for (const LivelloAcqua& livello : livelli) {
        pittore.setPen(pennaLivelli(t, livello.minima));
        const double h = livello.altezza * 100;
        pittore.drawLine(QPointF(area.left(), y(h)), QPointF(area.right(), y(h)));
    }

    QPolygonF curvaPortata;
    QPolygonF curvaVelocita;
    for (const analisi::Grandezze& g : punti_) {
        curvaPortata << assi.portata(g.portata * 1000, g.altezza * 100);
        curvaVelocita << assi.velocita(g.velocita * 100, g.altezza * 100);
    }
    pittore.setBrush(Qt::NoBrush);
    pittore.setPen(pennaPortata(t));
    pittore.drawPolyline(curvaPortata);
    pittore.setPen(pennaVelocita(t));
    pittore.drawPolyline(curvaVelocita);

    if (const double diametro = impaginazione.diametroRighe; diametro > 0) {
        for (const analisi::Grandezze& g : dati.righeTabella) {
            segno(pittore, Voce::Segno::Cerchio, assi.portata(g.portata * 1000, g.altezza * 100),
                  diametro, grigioTabella);
            segno(pittore, Voce::Segno::Cerchio, assi.velocita(g.velocita * 100, g.altezza * 100),
                  diametro, grigioTabella);
        }
    }
    for (std::size_t i = 0; i < livelli.size(); ++i) {
        const LivelloAcqua& livello = livelli[i];
        const analisi::Grandezze& g = suiLivelli_[i];
        const Voce::Segno forma = segnoLivello(livello.minima);
        const QColor colore = coloreLivello(livello.minima);
        segno(pittore, forma, assi.portata(g.portata * 1000, g.altezza * 100), t(puntoLivello),
              colore);
        segno(pittore, forma, assi.velocita(g.velocita * 100, g.altezza * 100), t(puntoLivello),
              colore);
    }
    std::vector<QPointF> massimi;
    if (dati.massimi) {
        const analisi::Grandezze& q = dati.massimi->portata;
        const analisi::Grandezze& v = dati.massimi->velocita;
        massimi = {assi.portata(q.portata * 1000, q.altezza * 100),
                   assi.velocita(v.velocita * 100, v.altezza * 100)};
    }
    for (const QPointF& punto : massimi) {
        segno(pittore, Voce::Segno::Quadrato, punto, t(puntoLivello), Qt::black);
    }
    if (cursore) {
        pittore.setPen(QPen(grigioCursore, t(lineaLivello), Qt::DotLine, Qt::FlatCap));
        pittore.drawLine(QPointF(area.left(), y(*cursore * 100)),
                         QPointF(area.right(), y(*cursore * 100)));
    }
    pittore.restore();

    // The frame, its ticks and numbers: flow below, velocity above, height
    // on the left.
    pittore.setBrush(Qt::NoBrush);
    pittore.setPen(QPen(Qt::black, t(lineaCornice), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    pittore.drawRect(area);
    for (const double q : tacche(portate)) {
        const QPointF piede(xPortata(q), y0);
        pittore.drawLine(piede, piede + QPointF(0, t(tacca)));
        scriviTesto(pittore, numero(q, t), numeri, piede + QPointF(0, t(tacca)),
                    Qt::AlignHCenter | Qt::AlignTop, t(stacco));
    }
    for (const double v : tacche(velocita)) {
        const QPointF testa(xVelocita(v), area.top());
        pittore.drawLine(testa, testa - QPointF(0, t(tacca)));
        scriviTesto(pittore, numero(v, t), numeri, testa - QPointF(0, t(tacca)),
                    Qt::AlignHCenter | Qt::AlignBottom, t(stacco));
    }
    for (const double h : tacche(altezze)) {
        const QPointF lato(area.left(), y(h));
        pittore.drawLine(lato, lato - QPointF(t(tacca), 0));
        scriviTesto(pittore, numero(h, t), numeri, lato - QPointF(t(tacca), 0),
                    Qt::AlignRight | Qt::AlignVCenter, t(stacco));
    }
    const double sottoNumeri = y0 + t(tacca + stacco) + metricheNumeri.height();
    scriviTesto(pittore, "Portata Q (l/s)", titoli, QPointF(area.center().x(), sottoNumeri),
                Qt::AlignHCenter | Qt::AlignTop, t(stacco));
    scriviTesto(
        pittore, "Velocità V (cm/s)", titoli,
        QPointF(area.center().x(), area.top() - t(tacca + stacco) - metricheNumeri.height()),
        Qt::AlignHCenter | Qt::AlignBottom, t(stacco));
    scriviTesto(pittore, "Altezza h (cm)", titoli,
                QPointF(area.left() - t(tacca + 2 * stacco) - impaginazione.numeriAltezza,
                        area.center().y()),
                Qt::AlignHCenter | Qt::AlignBottom, t(stacco), -90);

    // What the lines inside the plot are, written on them where they keep
    // clear of the curves and of the maxima: the levels first, then the
    // limits.
    std::vector<QRectF> occupati;
    for (const QPointF& punto : massimi) {
        const QPointF mezzo(t(puntoLivello) / 2, t(puntoLivello) / 2);
        occupati.emplace_back(punto - mezzo, punto + mezzo);
    }
    const auto scrivi = [&](const QString& testo, const std::vector<Posto>& posti) {
        occupati.push_back(scriviSullaLinea(pittore, testo, etichette, posti, t(stacco), area,
                                            occupati, {&curvaPortata, &curvaVelocita},
                                            t(lineaCurva)));
    };
    const auto orizzontale = [&](double yLinea, bool primaADestra) {
        const Posto destra{QPointF(area.right() - t(8), yLinea), Qt::AlignRight | Qt::AlignBottom};
        const Posto sinistra{QPointF(area.left() + t(8), yLinea), Qt::AlignLeft | Qt::AlignBottom};
        const auto sotto = [](Posto p) {
            p.allineamento = (p.allineamento & Qt::AlignHorizontal_Mask) | Qt::AlignTop;
            return p;
        };
        return primaADestra ? std::vector{destra, sinistra, sotto(destra), sotto(sinistra)}
                            : std::vector{sinistra, destra, sotto(sinistra), sotto(destra)};
    };
    for (const LivelloAcqua& livello : livelli) {
        // Low levels first on the right, high ones on the left: away from
        // where the curves run.
        const double h = livello.altezza * 100;
        scrivi(testoLivello(livello, t), orizzontale(y(h), h <= assi.altezzaFine / 2));
    }
    if (conRiempimento) {
        scrivi("h/H max = " + numero(riempimento * 100, t) + " %",
               orizzontale(y(riempimento * assi.altezzaFine), false));
    }
    for (const LimiteVelocita& limite : limiti) {
        if (limite.valore > 0 && limite.valore <= assi.velocitaFine) {
            const double x = xVelocita(limite.valore);
            const QPointF inAlto(x, area.top() + t(8));
            const QPointF inBasso(x, area.bottom() - t(8));
            scrivi(QString(limite.nome) + " = " + numero(limite.valore, t) + " cm/s",
                   {{inAlto, Qt::AlignRight | Qt::AlignTop, -90},
                    {inAlto, Qt::AlignRight | Qt::AlignBottom, -90},
                    {inBasso, Qt::AlignLeft | Qt::AlignTop, -90},
                    {inBasso, Qt::AlignLeft | Qt::AlignBottom, -90}});
        }
    }

    if (!dati.titolo.isEmpty()) {
        const QFont carattere = carattereTitolo(t);
        scriviTesto(pittore,
                    QFontMetricsF(carattere).elidedText(dati.titolo, Qt::ElideRight,
                                                        pixel.width() - 2 * t(margine)),
                    carattere, QPointF(pixel.width() / 2, t(margine)),
                    Qt::AlignHCenter | Qt::AlignTop);
    }

    // The legend, centred below.
    const auto& righe = impaginazione.legenda;
    double yRiga =
        sottoNumeri + t(stacco + 12) + metricheTitoli.height() + metricheNumeri.height() * 0.7;
    for (const auto& riga : righe) {
        double larghezza = t(traVoci) * (riga.size() - 1);
        for (const Voce& voce : riga) {
            larghezza += larghezzaVoce(voce, t, metricheNumeri);
        }
        double x = (pixel.width() - larghezza) / 2;
        for (const Voce& voce : riga) {
            if (voce.linea) {
                pittore.setPen(*voce.linea);
                pittore.drawLine(QPointF(x, yRiga), QPointF(x + t(campione), yRiga));
            }
            segno(pittore, voce.segno, QPointF(x + t(campione) / 2, yRiga),
                  t(voce.segno == Voce::Segno::Cerchio ? puntoTabella : puntoLivello), voce.colore);
            scriviTesto(pittore, voce.testo, numeri, QPointF(x + t(campione + dopoCampione), yRiga),
                        Qt::AlignLeft | Qt::AlignVCenter);
            x += larghezzaVoce(voce, t, metricheNumeri) + t(traVoci);
        }
        yRiga += metricheNumeri.height() * 1.4;
    }
    pittore.restore();
}

#include "figure/figura_profilo.h"

#include "figure/figura_tratto.h"
#include "numeri/conversioni.h"
#include "numeri/formato.h"
#include "tratti/parole.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <span>
#include <string>

namespace {

// The sheet's layout, mm.
constexpr double margine = 10;
constexpr double testata = 9;        // the title band
constexpr double colonnaTitoli = 40; // the table rows' titles, the levels' axis
constexpr double fasciaLegenda = 7;  // the breaks, under the drawing
constexpr double rigaTratto = 6;
constexpr double sopraIlTerreno = 14;  // room for the manholes' names
constexpr double trattoLeggibile = 14; // the least width a reach is given when fitted
constexpr double bordoInterno = 6;     // between the frame and the first or last manhole
constexpr double oltreIlDisegno = 10;  // the band lines are cut to, beyond the drawing's edges

// The manholes' rows, each as high as its values stand upright.
struct RigaPozzetti {
    const char* titolo;
    double altezza; // mm
};
constexpr std::array<RigaPozzetti, 5> righePozzetti = {{{"Pozzetto", 14},
                                                        {"Progressiva (m)", 11},
                                                        {"Quota terreno (m)", 11},
                                                        {"Quota scorrimento (m)", 21},
                                                        {"Profondità (m)", 10}}};
constexpr double altezzaPozzetti = [] {
    double somma = 0;
    for (const RigaPozzetti& r : righePozzetti) {
        somma += r.altezza;
    }
    return somma;
}();
constexpr std::array<const char*, 5> righeTratti = {"Lunghezza (m)", "Pendenza (‰)", "Sezione (cm)",
                                                    "Portata di progetto (l/s)", "h/H"};

constexpr double altezzaCartiglio = altezzaPozzetti + righeTratti.size() * rigaTratto;

// A text's font, `altezza` mm high in capitals, in tenths of a millimetre.
QFont carattere(double altezza) {
    QFont c("Arial");
    c.setPixelSize(std::max(1, static_cast<int>(std::lround(altezza * 10 / 0.72))));
    c.setHintingPreference(QFont::PreferNoHinting);
    return c;
}

const QColor coloreTerreno(140, 90, 40);
const QColor coloreAcqua(30, 95, 190);
const QColor coloreAcquaMinima(90, 160, 220);
const QColor coloreRottura(210, 30, 30);

bool eguale(double a, double b) {
    return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::fabs(b));
}

// The usual scales of a profile, 1:N.
std::optional<double> scalaUsuale(double minima, const std::vector<double>& usuali) {
    for (const double n : usuali) {
        if (n >= minima * (1 - 1e-12)) {
            return n;
        }
    }
    return std::nullopt;
}

const std::vector<double> scaleOrizzontali = {100,  200,   250,   500,   1000,  2000,  2500,
                                              5000, 10000, 20000, 25000, 50000, 100000};
const std::vector<double> scaleVerticali = {10,    20,    25,     50,     100,    200,    250,
                                            500,   1000,  2000,   2500,   5000,   10000,  20000,
                                            25000, 50000, 100000, 200000, 250000, 500000, 1000000};

double larghezzaDisegno(QSizeF foglio) {
    return foglio.width() - 2 * margine - colonnaTitoli;
}

// The width the path may take on a sheet.
double campoDelPercorso(QSizeF foglio) {
    return larghezzaDisegno(foglio) - 2 * bordoInterno;
}

double altezzaDisegno(QSizeF foglio) {
    return foglio.height() - 2 * margine - testata - fasciaLegenda - altezzaCartiglio;
}

// A level that can be drawn: an infinite one, or none, is unknown.
std::optional<double> finita(std::optional<double> quota) {
    return quota && std::isfinite(*quota) ? quota : std::nullopt;
}

// The levels a stretch of the path reaches, lowest and highest: only its
// own manholes and reaches are looked at.
std::optional<std::pair<double, double>> escursione(const tratti::Profilo& profilo, double da,
                                                    double a) {
    double basso = std::numeric_limits<double>::infinity();
    double alto = -basso;
    const auto tieni = [&](std::optional<double> z) {
        if (finita(z)) {
            basso = std::min(basso, *z);
            alto = std::max(alto, *z);
        }
    };
    const auto [primoPozzetto, finePozzetti] = profilo.pozzettiTra(da - 1e-9, a + 1e-9);
    for (std::size_t i = primoPozzetto; i < finePozzetti; ++i) {
        tieni(profilo.pozzetti[i].terreno);
        tieni(profilo.pozzetti[i].fondo());
    }
    const auto [primoTratto, fineTratti] = profilo.trattiTra(da - 1e-9, a + 1e-9);
    for (std::size_t k = primoTratto; k < fineTratti; ++k) {
        const tratti::TrattoProfilo& t = profilo.tratti[k];
        for (const double x : {std::max(t.da, da), std::min(t.a, a)}) {
            const tratti::LivelliProfilo l = tratti::livelliA(profilo, x);
            tieni(l.terreno);
            tieni(l.fondo);
            tieni(l.cielo);
        }
    }
    if (!(basso <= alto)) {
        return std::nullopt;
    }
    return std::pair{basso, alto};
}

// The path on sheets `campo` metres of it wide: a sheet ends at the
// farthest manhole it holds, and a reach longer than a sheet is cut where
// sheets end. Walked a manhole at a time, the cuts along a long reach
// counted at once: as many steps as manholes, whatever the scale, and the
// sheets counted before any is made.
class DivisoInFogli {
  public:
    DivisoInFogli(const tratti::Profilo& profilo, double campo)
        : campo_(campo), fine_(profilo.lunghezza()) {
        const std::vector<tratti::PozzettoProfilo>& pozzetti = profilo.pozzetti;
        double inizio = 0;
        std::size_t ultimo = 0; // the last manhole on a sheet so far
        while (ultimo + 1 < pozzetti.size()) {
            const double prossimo = pozzetti[ultimo + 1].progressiva;
            // A manhole where the last one stands is on its sheet already.
            if (!(prossimo > inizio + 1e-9)) {
                ++ultimo;
                continue;
            }
            const double tagli =
                std::max(0.0, std::ceil((prossimo - inizio - campo - 1e-9) / campo));
            const double partenza = inizio + tagli * campo;
            std::size_t fine = ultimo + 1;
            while (fine + 1 < pozzetti.size() &&
                   pozzetti[fine + 1].progressiva <= partenza + campo + 1e-9) {
                ++fine;
            }
            corse_.push_back({inizio, tagli, pozzetti[fine].progressiva});
            quanti_ += tagli + 1;
            inizio = pozzetti[fine].progressiva;
            ultimo = fine;
        }
    }

    // Infinite, or not a number, for a path that no sheets would hold.
    double quanti() const { return std::max(quanti_, 1.0); }

    // Only for as many sheets as may be made.
    std::vector<FoglioProfilo> fogli() const {
        std::vector<FoglioProfilo> fogli;
        fogli.reserve(static_cast<std::size_t>(quanti()));
        for (const Corsa& c : corse_) {
            const auto tagli = static_cast<std::size_t>(c.tagli);
            for (std::size_t m = 0; m < tagli; ++m) {
                fogli.push_back({c.inizio + m * campo_, c.inizio + (m + 1) * campo_});
            }
            fogli.push_back({c.inizio + c.tagli * campo_, c.fine});
        }
        if (fogli.empty()) {
            fogli.push_back({0, fine_});
        }
        return fogli;
    }

  private:
    // `tagli` sheets a whole `campo_` wide from `inizio`, then one to the
    // manhole at `fine`.
    struct Corsa {
        double inizio, tagli, fine;
    };
    std::vector<Corsa> corse_;
    double campo_;
    double fine_;
    double quanti_ = 0;
};

// The sheet as it is laid out, its furniture at full size.
QSizeF foglioVirtuale(const ImpaginazioneProfilo& imp) {
    return imp.foglio / imp.misura;
}

QRectF areaVirtuale(const ImpaginazioneProfilo& imp) {
    const QSizeF foglio = foglioVirtuale(imp);
    return {margine + colonnaTitoli, margine + testata + sopraIlTerreno, larghezzaDisegno(foglio),
            altezzaDisegno(foglio) - sopraIlTerreno};
}

// The sheet's drawing, its scales and its reference level.
class Foglio {
  public:
    Foglio(QPainter& pittore, const tratti::Profilo& profilo, const ImpaginazioneProfilo& imp,
           std::size_t numero, Separatore separatore)
        : p_(pittore), profilo_(profilo), imp_(imp), numero_(numero), stretto_(imp.fogli[numero]),
          separatore_(separatore), k_(imp.misura), area_(areaVirtuale(imp)),
          fasciaAlta_(area_.top() - sopraIlTerreno - oltreIlDisegno),
          fasciaBassa_(area_.bottom() + oltreIlDisegno),
          tratti_(profilo.trattiTra(stretto_.da + 1e-9, stretto_.a - 1e-9)),
          pozzetti_(profilo.pozzettiTra(stretto_.da - 1e-9, stretto_.a + 1e-9)) {
        const std::optional<std::pair<double, double>> livelli =
            escursione(profilo, stretto_.da, stretto_.a);
        const double passo = passoQuote();
        base_ = livelli ? std::floor(livelli->first / passo) * passo - passo : 0;
        // The drawing stands on the reference level when it fits; a range
        // too high for the sheet at a typed scale is centred.
        if (livelli) {
            const double altezza = (livelli->second - base_) * 1000 / (imp.scalaVerticale * k_);
            if (!(altezza <= area_.height())) {
                const double centro = livelli->first / 2 + livelli->second / 2;
                base_ = centro - area_.height() / 2 * imp.scalaVerticale * k_ / 1000;
            }
            // Levels so large that a step of the axis no longer counts.
            if (!std::isfinite(base_)) {
                base_ = livelli->first;
            }
        }
    }

    void disegna() {
        testataDelFoglio();
        p_.save();
        p_.setClipRect(area_.adjusted(0, -sopraIlTerreno, 0, 0));
        condotte();
        linee();
        pozzetti();
        etichetteTratti();
        p_.restore();
        asseQuote();
        legenda();
        cartiglio();
    }

  private:
    double x(double progressiva) const {
        return area_.left() + bordoInterno +
               (progressiva - stretto_.da) * 1000 / (imp_.scalaOrizzontale * k_);
    }
    // Where a level falls, however far off the sheet: a large number, not
    // an infinite one.
    double yVero(double quota) const {
        const double y = area_.bottom() - (quota - base_) * 1000 / (imp_.scalaVerticale * k_);
        return std::isnan(y) ? 1e300 : std::clamp(y, -1e300, 1e300);
    }
    QPointF puntoVero(double progressiva, double quota) const {
        return {x(progressiva), yVero(quota)};
    }
    // A level as a point, a mark or a text is put there: kept within a
    // band just beyond the drawing, out of sight, where painters and files
    // are given no enormous coordinates.
    double y(double quota) const { return std::clamp(yVero(quota), fasciaAlta_, fasciaBassa_); }
    QPointF punto(double progressiva, double quota) const { return {x(progressiva), y(quota)}; }

    // Where a segment crosses a level of the band.
    static QPointF incrocio(QPointF a, QPointF b, double livello) {
        return {a.x() + (b.x() - a.x()) * (livello - a.y()) / (b.y() - a.y()), livello};
    }
    // The part of a polygon within the band: a line is cut where it leaves
    // it, so that what shows keeps its true slope.
    QPolygonF nellaFascia(const QPolygonF& poligono, bool chiuso) const {
        QPolygonF esito = poligono;
        for (const auto& [livello, sotto] : {std::pair{fasciaAlta_, false}, {fasciaBassa_, true}}) {
            const auto dentro = [&](QPointF p) {
                return sotto ? p.y() <= livello : p.y() >= livello;
            };
            QPolygonF tagliato;
            const qsizetype lati = chiuso ? esito.size() : esito.size() - 1;
            for (qsizetype i = 0; i < lati; ++i) {
                const QPointF a = esito[i];
                const QPointF b = esito[(i + 1) % esito.size()];
                if (dentro(a)) {
                    tagliato << a;
                }
                if (dentro(a) != dentro(b)) {
                    tagliato << incrocio(a, b, livello);
                }
            }
            if (!chiuso && !esito.isEmpty() && dentro(esito.back())) {
                tagliato << esito.back();
            }
            esito = tagliato;
        }
        return esito;
    }

    // A round step of the levels' axis (1, 2 or 5 times a power of ten,
    // from 0.1 m), some 8 mm apart on the sheet at any scale.
    double passoQuote() const {
        const double minimo = 8 * imp_.scalaVerticale * k_ / 1000;
        for (double decade = 0.1;; decade *= 10) {
            for (const double cifra : {1.0, 2.0, 5.0}) {
                if (cifra * decade >= minimo) {
                    return cifra * decade;
                }
            }
        }
    }

    QString numero(double valore, const char* modello) const {
        if (!std::isfinite(valore)) {
            return "–";
        }
        return QString::fromStdString(Format(valore, modello, separatore_));
    }

    // A text `altezza` mm high; upright texts read from the bottom up.
    QRectF testo(const QString& testo, QPointF ancora, double altezza, Qt::Alignment allineamento,
                 bool verticale = false, const QColor& colore = Qt::black) {
        const Carattere& scelto = carattereDi(altezza);
        const QFont& c = scelto.font;
        const QFontMetricsF& metriche = scelto.metriche;
        const double larghezza = metriche.horizontalAdvance(testo);
        const QPointF origine = origineTesto(metriche, larghezza, allineamento);
        const double sx = origine.x();
        const double sy = origine.y();
        // Only the transform is put back: every drawing sets its own pen,
        // and saving the whole state for thousands of texts doubles a PDF's
        // time.
        const QTransform prima = p_.transform();
        QTransform proprio = prima;
        proprio.translate(ancora.x(), ancora.y());
        proprio.scale(0.1, 0.1);
        if (verticale) {
            proprio.rotate(-90);
        }
        p_.setTransform(proprio);
        p_.setFont(c);
        p_.setPen(colore);
        p_.drawText(QPointF(sx, sy), testo);
        p_.setTransform(prima);
        const QRectF riquadro(sx / 10, (sy - metriche.ascent()) / 10, larghezza / 10,
                              metriche.height() / 10);
        return verticale ? QRectF(ancora.x() + riquadro.top(), ancora.y() - riquadro.right(),
                                  riquadro.height(), riquadro.width())
                         : riquadro.translated(ancora);
    }

    // A text cut with "…" to a length, mm.
    QString accorciato(const QString& testo, double altezza, double lunghezza) {
        return carattereDi(altezza).metriche.elidedText(testo, Qt::ElideRight, lunghezza * 10);
    }

    double larghezzaTesto(const QString& testo, double altezza) {
        return carattereDi(altezza).metriche.horizontalAdvance(testo) / 10;
    }

    void penna(const QColor& colore, double spessore, Qt::PenStyle stile = Qt::SolidLine) {
        QPen pen(colore, spessore, stile);
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
        p_.setPen(pen);
        p_.setBrush(Qt::NoBrush);
    }

    // The reaches on the sheet, and its manholes.
    std::span<const tratti::TrattoProfilo> trattiDelFoglio() const {
        return std::span(profilo_.tratti).subspan(tratti_.first, tratti_.second - tratti_.first);
    }
    std::span<const tratti::PozzettoProfilo> pozzettiDelFoglio() const {
        return std::span(profilo_.pozzetti)
            .subspan(pozzetti_.first, pozzetti_.second - pozzetti_.first);
    }
    std::pair<double, double> estremi(const tratti::TrattoProfilo& t) const {
        return {std::max(t.da, stretto_.da), std::min(t.a, stretto_.a)};
    }

    void testataDelFoglio() {
        const tratti::Profilo& pr = profilo_;
        // The ends' names, a long one cut, leave room for the scales.
        QString titolo = "Profilo longitudinale da " +
                         accorciato(QString::fromStdString(pr.pozzetti.front().nome), 3.2, 60) +
                         " a " +
                         accorciato(QString::fromStdString(pr.pozzetti.back().nome), 3.2, 60);
        titolo += "   ·   Scala orizzontale 1:" + numero(imp_.scalaOrizzontale, "0") +
                  ", verticale 1:" + numero(imp_.scalaVerticale, "0") +
                  " (esagerazione verticale " +
                  numero(imp_.esagerazione(), modelloEsagerazione(imp_.esagerazione())) + "×)";
        if (imp_.fogli.size() > 1) {
            titolo += "   ·   Foglio " + QString::number(numero_ + 1) + " di " +
                      QString::number(imp_.fogli.size());
        }
        testo(titolo, QPointF(margine, margine + 3), 3.2, Qt::AlignLeft | Qt::AlignVCenter);
    }

    // The pipe, light, and the water in it at the design flow.
    void condotte() {
        p_.setPen(Qt::NoPen);
        for (const tratti::TrattoProfilo& t : trattiDelFoglio()) {
            const auto [da, a] = estremi(t);
            const std::optional<double> f0 = finita(t.fondoA(da));
            const std::optional<double> f1 = finita(t.fondoA(a));
            if (!f0 || !f1 || !std::isfinite(t.altezzaPiena)) {
                continue;
            }
            p_.setBrush(QColor(235, 235, 235));
            p_.drawPolygon(nellaFascia({puntoVero(da, *f0), puntoVero(a, *f1),
                                        puntoVero(a, *f1 + t.altezzaPiena),
                                        puntoVero(da, *f0 + t.altezzaPiena)},
                                       true));
            if (finita(t.acquaProgetto)) {
                p_.setBrush(QColor(205, 225, 245));
                p_.drawPolygon(nellaFascia({puntoVero(da, *f0), puntoVero(a, *f1),
                                            puntoVero(a, *f1 + *t.acquaProgetto),
                                            puntoVero(da, *f0 + *t.acquaProgetto)},
                                           true));
            }
        }
    }

    // One line along the path, broken where its level is unknown; at a
    // manhole it steps from the reach arriving to the one leaving.
    void linea(tratti::Linea quale, const QColor& colore, double spessore,
               Qt::PenStyle stile = Qt::SolidLine, bool soloRotture = false) {
        penna(colore, spessore, stile);
        QPolygonF tratto;
        const auto chiudi = [&] {
            if (const QPolygonF visibile = nellaFascia(tratto, false); visibile.size() > 1) {
                p_.drawPolyline(visibile);
            }
            tratto.clear();
        };
        for (const tratti::TrattoProfilo& t : trattiDelFoglio()) {
            if (soloRotture && t.verificato) {
                chiudi();
                continue;
            }
            const auto [da, a] = estremi(t);
            const std::optional<double> z0 =
                finita(tratti::livelloSulTratto(profilo_, t, da, quale));
            const std::optional<double> z1 =
                finita(tratti::livelloSulTratto(profilo_, t, a, quale));
            if (!z0 || !z1) {
                chiudi();
                continue;
            }
            tratto << puntoVero(da, *z0) << puntoVero(a, *z1);
        }
        chiudi();
    }

    void linee() {
        using L = tratti::LivelliProfilo;
        linea(&L::terreno, coloreTerreno, 0.35);
        linea(&L::acquaMinima, coloreAcquaMinima, 0.25, Qt::DashLine);
        linea(&L::acquaProgetto, coloreAcqua, 0.3);
        linea(&L::cielo, Qt::black, 0.3);
        linea(&L::fondo, Qt::black, 0.5);
        linea(&L::cielo, coloreRottura, 0.45, Qt::SolidLine, true);
        linea(&L::fondo, coloreRottura, 0.6, Qt::SolidLine, true);
    }

    void pozzetti() {
        double fineNome = -std::numeric_limits<double>::infinity();
        for (std::size_t i = pozzetti_.first; i < pozzetti_.second; ++i) {
            const tratti::PozzettoProfilo& pz = profilo_.pozzetti[i];
            const double px = x(pz.progressiva);
            const std::optional<double> fondo = finita(pz.fondo());
            std::optional<double> cima = finita(pz.terreno);
            if (!cima && fondo) {
                // The crown of the deepest pipe, where the ground is unknown.
                double altezza = 0;
                for (std::size_t k : {i - 1, i}) {
                    if (k < profilo_.tratti.size()) {
                        altezza = std::max(altezza, profilo_.tratti[k].altezzaPiena);
                    }
                }
                cima = finita(*fondo + altezza);
            }
            double alto = area_.bottom();
            if (fondo && cima) {
                p_.setPen(QPen(Qt::black, 0.25));
                p_.setBrush(Qt::white);
                p_.drawRect(QRectF(px - 0.8, y(*cima), 1.6, y(*fondo) - y(*cima)));
                alto = y(*cima);
            }
            if (finita(pz.fondoArrivo) && finita(pz.fondoPartenza) &&
                *pz.fondoArrivo - *pz.fondoPartenza > 0.005) {
                penna(Qt::black, 0.3);
                p_.drawLine(punto(pz.progressiva, *pz.fondoArrivo),
                            punto(pz.progressiva, *pz.fondoPartenza));
                testo("salto " + numero(*pz.fondoArrivo - *pz.fondoPartenza, "0.00"),
                      QPointF(px + 1.2, y(*pz.fondoPartenza) + 0.5), 1.8,
                      Qt::AlignLeft | Qt::AlignTop);
            }
            // The name across, or upright where the last one is too near;
            // a long one cut to the room above the ground.
            const QString nome =
                accorciato(QString::fromStdString(pz.nome), 2.4, sopraIlTerreno - 2);
            const double larghezza = larghezzaTesto(nome, 2.4);
            if (px - larghezza / 2 > fineNome + 1) {
                testo(nome, QPointF(px, alto - 1), 2.4, Qt::AlignHCenter | Qt::AlignBottom);
                fineNome = px + larghezza / 2;
            } else {
                testo(nome, QPointF(px, alto - 1), 2.4, Qt::AlignLeft | Qt::AlignVCenter, true);
                fineNome = px + 1.5;
            }
        }
    }

    // Each reach's section, slope and length above its crown, where they fit.
    void etichetteTratti() {
        for (const tratti::TrattoProfilo& t : trattiDelFoglio()) {
            if (!finita(t.fondoMonte) || !finita(t.fondoValle) || !std::isfinite(t.altezzaPiena)) {
                continue;
            }
            const auto [da, a] = estremi(t);
            const double spazio = x(a) - x(da) - 3;
            const QString sezione = QString::fromStdString(t.sezione());
            const QString pieno = sezione + "  i = " + numero(t.pendenza * 1000, "0.00") +
                                  "‰  L = " + numero(t.lunghezza(), "0.00") + " m";
            const QString etichetta = larghezzaTesto(pieno, 2) <= spazio     ? pieno
                                      : larghezzaTesto(sezione, 2) <= spazio ? sezione
                                                                             : QString();
            if (etichetta.isEmpty()) {
                continue;
            }
            // Above the crown along the whole label, which a steep reach
            // would otherwise cross.
            const double mezzo = (da + a) / 2;
            const double mezzaLarghezza =
                larghezzaTesto(etichetta, 2) / 2 * imp_.scalaOrizzontale * k_ / 1000;
            const double cielo = std::max(*t.fondoA(std::max(da, mezzo - mezzaLarghezza)),
                                          *t.fondoA(std::min(a, mezzo + mezzaLarghezza))) +
                                 t.altezzaPiena;
            testo(etichetta, QPointF(x(mezzo), y(cielo) - 0.8), 2,
                  Qt::AlignHCenter | Qt::AlignBottom, false,
                  t.verificato ? Qt::black : coloreRottura);
        }
    }

    void asseQuote() {
        const double passo = passoQuote();
        penna(Qt::black, 0.2);
        p_.drawLine(QPointF(area_.left(), area_.top()), QPointF(area_.left(), area_.bottom()));
        const double cima = base_ + area_.height() * imp_.scalaVerticale * k_ / 1000;
        // Counted in steps: at levels so large that adding a step leaves
        // them as they were, the ticks still end.
        const double primo = std::ceil(base_ / passo);
        const double tacche =
            std::min(std::floor((cima + 1e-9) / passo) - primo, std::ceil(area_.height() / 8));
        for (int i = 0; i <= tacche; ++i) {
            const double z = (primo + i) * passo;
            p_.drawLine(QPointF(area_.left() - 1.5, y(z)), QPointF(area_.left(), y(z)));
            testo(numero(z, passo < 1 ? "0.0" : "0"), QPointF(area_.left() - 2, y(z)), 2,
                  Qt::AlignRight | Qt::AlignVCenter);
        }
        testo("Quota di riferimento " + numero(base_, "0.00") + " m",
              QPointF(area_.left() + 1.5, area_.bottom() - 1.2), 2,
              Qt::AlignLeft | Qt::AlignBottom);
    }

    // The lines' keys, and the reaches that fail on this sheet, in red.
    void legenda() {
        const double alto = area_.bottom() + fasciaLegenda / 2;
        double px = area_.left();
        const auto voce = [&](const QColor& colore, Qt::PenStyle stile, const QString& nome) {
            penna(colore, 0.5, stile);
            p_.drawLine(QPointF(px, alto), QPointF(px + 6, alto));
            px += 7;
            px = testo(nome, QPointF(px, alto), 2, Qt::AlignLeft | Qt::AlignVCenter).right() + 4;
        };
        voce(coloreTerreno, Qt::SolidLine, "terreno");
        voce(Qt::black, Qt::SolidLine, "scorrimento e cielo");
        voce(coloreAcqua, Qt::SolidLine, "pelo libero di progetto");
        voce(coloreAcquaMinima, Qt::DashLine, "pelo libero alla portata minima");
        QStringList rotture;
        for (const tratti::TrattoProfilo& t : trattiDelFoglio()) {
            if (!t.verificato) {
                rotture << QString::fromStdString(t.nome + ": " +
                                                  tratti::motivoDi(t.rilievi, separatore_));
            }
        }
        if (!rotture.isEmpty()) {
            const double spazio = (area_.right() - px) * 10;
            const QString elenco = carattereDi(2).metriche.elidedText(
                "In rosso, non verificati: " + rotture.join("; "), Qt::ElideRight, spazio);
            testo(elenco, QPointF(px, alto), 2, Qt::AlignLeft | Qt::AlignVCenter, false,
                  coloreRottura);
        }
    }

    void cartiglio() {
        const double sinistra = margine;
        const double destra = std::min(area_.right(), x(stretto_.a) + bordoInterno);
        const double alto = area_.bottom() + fasciaLegenda;
        penna(Qt::black, 0.25);
        const double fine = alto + altezzaCartiglio;
        p_.drawRect(QRectF(sinistra, alto, destra - sinistra, altezzaCartiglio));
        p_.drawLine(QPointF(area_.left(), alto), QPointF(area_.left(), fine));
        std::array<double, righePozzetti.size() + 1> bordi{alto};
        for (std::size_t r = 0; r < righePozzetti.size(); ++r) {
            const double y0 = bordi[r];
            bordi[r + 1] = y0 + righePozzetti[r].altezza;
            if (r > 0) {
                penna(Qt::black, 0.15);
                p_.drawLine(QPointF(sinistra, y0), QPointF(destra, y0));
            }
            testo(righePozzetti[r].titolo, QPointF(sinistra + 1.5, (y0 + bordi[r + 1]) / 2), 2.2,
                  Qt::AlignLeft | Qt::AlignVCenter);
        }
        const double sottoPozzetti = bordi.back();
        for (std::size_t r = 0; r < righeTratti.size(); ++r) {
            const double y0 = sottoPozzetti + r * rigaTratto;
            penna(Qt::black, r == 0 ? 0.25 : 0.15);
            p_.drawLine(QPointF(sinistra, y0), QPointF(destra, y0));
            testo(righeTratti[r], QPointF(sinistra + 1.5, y0 + rigaTratto / 2), 2.2,
                  Qt::AlignLeft | Qt::AlignVCenter);
        }
        // The manholes' columns: their values upright on the manhole's line.
        for (const tratti::PozzettoProfilo& pz : pozzettiDelFoglio()) {
            const double px = x(pz.progressiva);
            penna(Qt::black, 0.1, Qt::DotLine);
            p_.drawLine(QPointF(px, alto), QPointF(px, fine));
            QString fondo;
            if (pz.fondoArrivo && pz.fondoPartenza && !eguale(*pz.fondoArrivo, *pz.fondoPartenza)) {
                fondo = numero(*pz.fondoArrivo, "0.00") + " / " + numero(*pz.fondoPartenza, "0.00");
            } else if (pz.fondo()) {
                fondo = numero(*pz.fondo(), "0.00");
            }
            const std::optional<double> f = pz.fondo();
            const QString valori[] = {
                accorciato(QString::fromStdString(pz.nome), 2, righePozzetti[0].altezza - 2),
                numero(pz.progressiva, "0.00"),
                pz.terreno ? numero(*pz.terreno, "0.00") : QString("–"),
                fondo.isEmpty() ? QString("–") : fondo,
                pz.terreno && f ? numero(*pz.terreno - *f, "0.00") : QString("–")};
            for (std::size_t r = 0; r < righePozzetti.size(); ++r) {
                testo(valori[r], QPointF(px - 1.3, bordi[r + 1] - 0.8), 2,
                      Qt::AlignLeft | Qt::AlignVCenter, true);
            }
        }
        // The reaches' values, centred between their manholes.
        for (const tratti::TrattoProfilo& t : trattiDelFoglio()) {
            const auto [da, a] = estremi(t);
            const double mezzo = (x(da) + x(a)) / 2;
            const QString valori[] = {numero(t.lunghezza(), "0.00"),
                                      numero(t.pendenza * 1000, "0.00"),
                                      QString::fromStdString(t.sezione()), numero(t.portata, "0.0"),
                                      t.riempimento ? numero(*t.riempimento, "0.00") : "–"};
            for (std::size_t r = 0; r < righeTratti.size(); ++r) {
                testo(valori[r], QPointF(mezzo, sottoPozzetti + (r + 0.5) * rigaTratto), 2,
                      Qt::AlignHCenter | Qt::AlignVCenter, false,
                      t.verificato ? Qt::black : coloreRottura);
            }
        }
    }

    // A sheet writes thousands of texts in a few sizes: each font once.
    struct Carattere {
        QFont font;
        QFontMetricsF metriche;
    };
    const Carattere& carattereDi(double altezza) {
        const auto chiave = static_cast<int>(std::lround(altezza * 100));
        auto dove = caratteri_.find(chiave);
        if (dove == caratteri_.end()) {
            const QFont c = carattere(altezza);
            dove = caratteri_.emplace(chiave, Carattere{c, QFontMetricsF(c)}).first;
        }
        return dove->second;
    }

    std::map<int, Carattere> caratteri_;
    QPainter& p_;
    const tratti::Profilo& profilo_;
    const ImpaginazioneProfilo& imp_;
    std::size_t numero_;
    FoglioProfilo stretto_;
    Separatore separatore_;
    double k_; // the furniture's fraction: the sheet is laid out 1 / k_ as large, then scaled
    QRectF area_;
    double fasciaAlta_, fasciaBassa_;                       // mm: what is drawn lies within
    std::pair<std::size_t, std::size_t> tratti_, pozzetti_; // on the sheet, in the profile's
    double base_ = 0;                                       // the level at the drawing's bottom, m
};

// How many sheets, in words: a count beyond belief is not written out.
std::string quantiFogli(double fogli) {
    return fogli < 1e15 ? std::to_string(static_cast<unsigned long long>(fogli)) + " fogli"
                        : "più di un milione di miliardi di fogli";
}

// A layout refused, with the largest usual scale at which its sheets would
// do, if any; `fogliA` counts them at a scale.
template <class Conta>
[[noreturn]] void rifiutaIFogli(double fogli, std::size_t massimo, double scala, bool continuo,
                                const Conta& fogliA) {
    std::optional<double> cheBasta;
    for (const double n : scaleVerticali) {
        if (n > scala && fogliA(n) <= massimo) {
            cheBasta = n;
            break;
        }
    }
    std::string motivo =
        "alla scala orizzontale 1:" + CStr(scala) +
        (continuo ? " il disegno sarebbe largo quanto " : " il profilo richiederebbe ") +
        quantiFogli(fogli) + ", al più " + std::to_string(massimo);
    if (!cheBasta) {
        motivo = "il percorso è troppo lungo per essere disegnato: " + motivo +
                 (scala < scaleVerticali.back() ? ", e troppi anche a 1:1000000" : "");
    }
    throw TroppiFogli(motivo, cheBasta);
}

} // namespace

const char* const scaleAmmesse = "da 1:10 a 1:1000000";

bool scalaAmmessa(double denominatore) {
    return denominatore >= 10 && denominatore <= 1e6;
}

const char* modelloEsagerazione(double esagerazione) {
    return esagerazione >= 1 ? "0.##" : "0.####";
}

std::optional<std::size_t> foglioCheNonSta(const tratti::Profilo& profilo,
                                           const ImpaginazioneProfilo& imp) {
    const double altezza = areaVirtuale(imp).height() * imp.misura;
    for (std::size_t f = 0; f < imp.fogli.size(); ++f) {
        if (const auto livelli = escursione(profilo, imp.fogli[f].da, imp.fogli[f].a);
            livelli && (livelli->second - livelli->first) * 1000 / imp.scalaVerticale > altezza) {
            return f;
        }
    }
    return std::nullopt;
}

QSizeF dimensioniFoglio(FormatoFoglio formato) {
    return formato == FormatoFoglio::A3 ? QSizeF(420, 297) : QSizeF(297, 210);
}

std::string consiglioDiScala(const TroppiFogli& rifiuto) {
    return rifiuto.scalaCheBasta
               ? "; si scelga una scala orizzontale di 1:" + CStr(*rifiuto.scalaCheBasta) +
                     " o più piccola"
               : "";
}

ImpaginazioneProfilo impaginaProfilo(const tratti::Profilo& profilo, QSizeF foglio,
                                     std::optional<double> scalaOrizzontale,
                                     std::optional<double> scalaVerticale, bool continuo,
                                     double misura, std::size_t fogliMassimi) {
    for (const std::optional<double> scala : {scalaOrizzontale, scalaVerticale}) {
        if (scala && !scalaAmmessa(*scala)) {
            throw std::invalid_argument(std::string("serve una scala ") + scaleAmmesse);
        }
    }
    if (!(misura > 0 && std::isfinite(misura) && foglio.width() > 0 && foglio.height() > 0 &&
          std::isfinite(foglio.width()) && std::isfinite(foglio.height()))) {
        throw std::invalid_argument("il foglio non ha le misure di un foglio");
    }
    ImpaginazioneProfilo imp;
    imp.foglio = foglio;
    imp.misura = misura;
    const double lunghezza = std::max(profilo.lunghezza(), 1e-3);
    // On the sheet, mm.
    const double campo = campoDelPercorso(foglioVirtuale(imp)) * misura;
    if (!continuo && !(campo > 0)) {
        throw std::invalid_argument("il foglio è troppo piccolo per disegnarvi il profilo");
    }
    if (scalaOrizzontale) {
        imp.scalaOrizzontale = *scalaOrizzontale;
    } else {
        // Whole on one sheet, unless a reach would be too narrow to read:
        // then the largest usual scale at which it is not.
        const double media = lunghezza / std::max<std::size_t>(profilo.tratti.size(), 1);
        const double leggibile = media * 1000 / (trattoLeggibile * misura);
        const double intera = lunghezza * 1000 / campo;
        if (intera <= leggibile) {
            imp.scalaOrizzontale =
                scalaUsuale(intera, scaleOrizzontali).value_or(scaleOrizzontali.back());
        } else {
            imp.scalaOrizzontale = scaleOrizzontali.front();
            for (const double n : scaleOrizzontali) {
                if (n <= leggibile) {
                    imp.scalaOrizzontale = n;
                }
            }
        }
    }
    // The sheets a scale needs, or the widths of the sheet for `continuo`.
    const auto fogliA = [&](double scala) {
        return continuo
                   ? std::ceil((foglio.width() - campo + lunghezza * 1000 / scala) / foglio.width())
                   : DivisoInFogli(profilo, campo * scala / 1000).quanti();
    };
    if (const double fogli = fogliA(imp.scalaOrizzontale); !(fogli <= fogliMassimi)) {
        rifiutaIFogli(fogli, fogliMassimi, imp.scalaOrizzontale, continuo, fogliA);
    }
    if (continuo) {
        imp.foglio.setWidth(std::max(foglio.width(), foglio.width() - campo +
                                                         lunghezza * 1000 / imp.scalaOrizzontale));
        imp.fogli = {{0, profilo.lunghezza()}};
    } else {
        imp.fogli = DivisoInFogli(profilo, campo * imp.scalaOrizzontale / 1000).fogli();
    }
    if (scalaVerticale) {
        imp.scalaVerticale = *scalaVerticale;
    } else {
        double salto = 0;
        for (const FoglioProfilo& f : imp.fogli) {
            if (const auto livelli = escursione(profilo, f.da, f.a)) {
                salto = std::max(salto, livelli->second - livelli->first);
            }
        }
        // A step of the axis below and a little above: room for both.
        const double spazio = areaVirtuale(imp).height() * misura;
        // The levels fit first: a steep short path may be drawn lower than
        // true, its exaggeration under 1.
        imp.scalaVerticale = scalaUsuale((salto + 2) * 1000 / std::max(spazio, 1.0), scaleVerticali)
                                 .value_or(scaleVerticali.back());
    }
    return imp;
}

QRectF areaDelDisegno(const ImpaginazioneProfilo& imp) {
    const QRectF area = areaVirtuale(imp);
    return {area.topLeft() * imp.misura, area.size() * imp.misura};
}

std::optional<double> progressivaA(const ImpaginazioneProfilo& imp, std::size_t foglio,
                                   double xMillimetri) {
    if (foglio >= imp.fogli.size()) {
        return std::nullopt;
    }
    const FoglioProfilo& f = imp.fogli[foglio];
    const double progressiva =
        f.da + (xMillimetri / imp.misura - areaVirtuale(imp).left() - bordoInterno) *
                   imp.scalaOrizzontale * imp.misura / 1000;
    if (progressiva < f.da - 1e-9 || progressiva > f.a + 1e-9) {
        return std::nullopt;
    }
    return progressiva;
}

void disegnaFoglioProfilo(QPainter& pittore, const tratti::Profilo& profilo,
                          const ImpaginazioneProfilo& impaginazione, std::size_t foglio,
                          Separatore separatore) {
    const double misura = impaginazione.misura;
    if (foglio >= impaginazione.fogli.size() || profilo.tratti.empty() ||
        !scalaAmmessa(impaginazione.scalaOrizzontale) ||
        !scalaAmmessa(impaginazione.scalaVerticale) || !(misura > 0 && std::isfinite(misura))) {
        return;
    }
    pittore.save();
    pittore.setRenderHint(QPainter::Antialiasing);
    pittore.scale(impaginazione.misura, impaginazione.misura);
    Foglio(pittore, profilo, impaginazione, foglio, separatore).disegna();
    pittore.restore();
}

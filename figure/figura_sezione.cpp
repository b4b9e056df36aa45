#include "figure/figura_sezione.h"

#include "analisi/profilo.h"
#include "figure/figura_tratto.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Lengths in the units of Tratto: constant on paper, whatever the section's
// size, as a drawing's dimension lines are.
constexpr double margine = 20;
constexpr double corpo = 19;         // the texts
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

constexpr int passiContorno = 180; // a side

// The radius lines, in degrees from the horizontal: the crown's up to the
// right, the side arc's from its centre on the right down across to the
// left arc, the invert's down to the right and on below the invert.
constexpr double angoloCalotta = 45;
constexpr double angoloFianco = 20;
constexpr double angoloFondo = -60;

const QColor bluAcqua(216, 233, 248);
const QColor bluLinea(0, 70, 160);

double radianti(double gradi) {
    return gradi * std::numbers::pi / 180;
}

QString centimetri(double metri, const Tratto& t) {
    return t.numero(metri * 100, "#0.##") + " cm";
}

std::vector<LivelloAcqua> nellaSezione(double raggio, const std::vector<LivelloAcqua>& livelli) {
    std::vector<LivelloAcqua> dentro;
    for (const LivelloAcqua& livello : livelli) {
        if (livello.altezza > 0 && livello.altezza <= 3 * raggio) {
            dentro.push_back(livello);
        }
    }
    std::sort(dentro.begin(), dentro.end(),
              [](const auto& a, const auto& b) { return a.altezza < b.altezza; });
    return dentro;
}

// Where the invert radius's line, run on past the arc, meets the depth of its
// label below the invert: across from the axis, in pixels, for a radius of
// `raggio` pixels and the label `profondita` pixels below the invert.
double gomitoFondo(double raggio, double profondita) {
    const double c = std::cos(radianti(angoloFondo));
    const double s = std::sin(radianti(angoloFondo));
    const double puntaY = raggio / 2 * (1 + s); // above the invert
    return raggio / 2 * c + (puntaY + profondita) * c / -s;
}

void quota(QPainter& pittore, QPointF da, QPointF a, double punta) {
    pittore.drawLine(da, a);
    disegnaFreccia(pittore, a, da, punta);
    disegnaFreccia(pittore, da, a, punta);
}

// Where the section goes, and whether its dimensions go with it.
struct Posizione {
    QTransform metri;
    bool conQuote = true;
};

Posizione posiziona(double raggioM, const std::vector<LivelloAcqua>& livelli, QSizeF pixel,
                    Separatore separatore) {
    const Tratto t(pixel, separatore);
    const QFont carattere = t.carattere(corpo);
    const QFontMetricsF metriche(carattere);
    // Each extent from the axis or the invert, in pixels, as a × R + b for a
    // radius of R pixels.
    struct Estensione {
        double a, b;
    };
    const Estensione sinistra{1, t(distanzaQuota + distanzaTesto + margine) + metriche.height()};
    const Estensione sopra{3, sinistra.b};
    const Estensione sotto{0, t(sottoIlFondo + margine)};
    std::vector<Estensione> destra{
        {2, t(braccioCentro + margine)},
        {gomitoFondo(1, 0), gomitoFondo(0, t(sottoIlFondo)) + t(2 * distanzaTesto + margine) +
                                metriche.horizontalAdvance("r/2 = " + centimetri(raggioM / 2, t))}};
    for (const LivelloAcqua& livello : nellaSezione(raggioM, livelli)) {
        destra.push_back({analisi::semilarghezza(raggioM, livello.altezza) / raggioM,
                          t(attaccoTesto + coda + margine) +
                              metriche.horizontalAdvance(testoLivello(livello, t))});
    }

    double r = (pixel.height() - sopra.b - sotto.b) / sopra.a;
    for (const Estensione& e : destra) {
        r = std::min(r, (pixel.width() - sinistra.b - e.b) / (sinistra.a + e.a));
    }
    // The radius r in pixels, the invert's middle at (x, y).
    const auto metri = [&](double r, double x, double y) {
        const double scala = raggioM > 0 ? r / raggioM : 1;
        return QTransform(scala, 0, 0, -scala, x, y);
    };
    if (r < t(raggioMinimo)) {
        const double bordo = t(margine + lineaSpessa);
        r = std::max(std::min((pixel.width() - 2 * bordo) / 2, (pixel.height() - 2 * bordo) / 3),
                     1.0);
        return {metri(r, pixel.width() / 2, pixel.height() / 2 + 1.5 * r), false};
    }
    double aDestra = 0;
    for (const Estensione& e : destra) {
        aDestra = std::max(aDestra, e.a * r + e.b);
    }
    const double aSinistra = sinistra.a * r + sinistra.b;
    const double inAlto = sopra.a * r + sopra.b;
    const double x = (pixel.width() - aSinistra - aDestra) / 2 + aSinistra;
    const double y = (pixel.height() - inAlto - sotto.b) / 2 + inAlto;
    return {metri(r, x, y)};
}

} // namespace

QTransform posizioneSezione(double raggioM, const std::vector<LivelloAcqua>& livelli, QSizeF pixel,
                            Separatore separatore) {
    return posiziona(raggioM, livelli, pixel, separatore).metri;
}

QImage figuraSezione(double raggioM, formule::Geometria, const std::vector<LivelloAcqua>& livelli,
                     QSize pixel, Separatore separatore) {
    QImage immagine = immagineBianca(pixel);
    if (!pixel.isEmpty()) {
        QPainter pittore(&immagine);
        disegnaSezione(pittore, immagine.rect(), raggioM, livelli, separatore);
    }
    return immagine;
}

void disegnaSezione(QPainter& pittore, const QRectF& dove, double raggioM,
                    const std::vector<LivelloAcqua>& livelli, Separatore separatore) {
    if (!(raggioM > 0) || dove.isEmpty()) {
        return;
    }
    const double r = raggioM;
    const Tratto t(dove.size(), separatore);
    const QFont carattere = t.carattere(corpo);
    const QFontMetricsF metriche(carattere);
    const Posizione posizione = posiziona(r, livelli, dove.size(), separatore);
    const QTransform& metri = posizione.metri;
    const auto punto = [&](double x, double y) { return metri.map(QPointF(x, y)); };
    const auto poligono = [&](double finoA) {
        QPolygonF esito;
        for (const analisi::PuntoProfilo& p : analisi::contorno(r, finoA, passiContorno)) {
            esito << punto(p.x, p.y);
        }
        return esito;
    };
    const std::vector<LivelloAcqua> dentro = nellaSezione(r, livelli);
    const auto archi = analisi::archiProfilo(r);
    const auto& fondo = archi[0];
    const auto& fianco = archi[1];
    const auto& calotta = archi[2];

    pittore.save();
    pittore.translate(dove.topLeft());
    pittore.setRenderHint(QPainter::Antialiasing);

    if (!dentro.empty()) {
        pittore.setPen(Qt::NoPen);
        pittore.setBrush(bluAcqua);
        pittore.drawPolygon(poligono(dentro.back().altezza));
    }

    const auto contorno = [&] {
        pittore.setPen(QPen(Qt::black, t(lineaSpessa), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        pittore.setBrush(Qt::NoBrush);
        pittore.drawPolygon(poligono(3 * r));
    };
    QPen tratteggio(bluLinea, t(lineaAcqua), Qt::SolidLine, Qt::FlatCap);
    tratteggio.setDashPattern({5, 2.5});
    const auto lineaDAcqua = [&](double h) {
        const double mezza = analisi::semilarghezza(r, h);
        pittore.setPen(tratteggio);
        pittore.drawLine(punto(-mezza, h), punto(mezza, h));
    };
    if (!posizione.conQuote) {
        contorno();
        for (const LivelloAcqua& livello : dentro) {
            lineaDAcqua(livello.altezza);
        }
        pittore.restore();
        return;
    }

    // The axis of symmetry and the centres of the arcs.
    QPen assi(Qt::black, t(lineaSottile));
    assi.setDashPattern({16, 4, 2, 4});
    pittore.setPen(assi);
    pittore.drawLine(punto(0, 0) + QPointF(0, t(2 * braccioCentro)),
                     punto(0, 3 * r) - QPointF(0, t(2 * braccioCentro)));
    const QPen sottile(Qt::black, t(lineaSottile), Qt::SolidLine, Qt::FlatCap);
    pittore.setPen(sottile);
    const QPointF braccio(t(braccioCentro), 0);
    const QPointF centroCalotta = punto(calotta.centroX, calotta.centroY);
    const QPointF centroFondo = punto(fondo.centroX, fondo.centroY);
    // The left side arc's centre lies on the right.
    const QPointF centroFianco = punto(-fianco.centroX, fianco.centroY);
    for (const QPointF& centro : {centroCalotta, centroFondo, centroFianco}) {
        pittore.drawLine(centro - braccio, centro + braccio);
    }
    pittore.drawLine(centroFianco - braccio.transposed(), centroFianco + braccio.transposed());

    contorno();

    // Texts already placed, that the water lines' labels keep clear of.
    std::vector<QRectF> occupati{QRectF(centroFianco - braccio - braccio.transposed(),
                                        centroFianco + braccio + braccio.transposed())};
    pittore.setPen(sottile);
    const double punta = t(freccia);

    // The width, above.
    const double yQuota = punto(0, 3 * r).y() - t(distanzaQuota);
    for (const double x : {-r, r}) {
        pittore.drawLine(punto(x, 2 * r) - QPointF(0, t(stacco)),
                         QPointF(punto(x, 0).x(), yQuota - t(sporgenza)));
    }
    quota(pittore, QPointF(punto(-r, 0).x(), yQuota), QPointF(punto(r, 0).x(), yQuota), punta);
    occupati.push_back(scriviTesto(pittore, "2r = " + centimetri(2 * r, t), carattere,
                                   QPointF(punto(0, 0).x(), yQuota),
                                   Qt::AlignHCenter | Qt::AlignBottom, t(distanzaTesto)));

    // The height, on the left.
    const double xQuota = punto(-r, 0).x() - t(distanzaQuota);
    for (const double y : {0.0, 3 * r}) {
        pittore.drawLine(punto(0, y) - QPointF(t(stacco), 0),
                         QPointF(xQuota - t(sporgenza), punto(0, y).y()));
    }
    const QPointF piedeQuota(xQuota, punto(0, 0).y());
    const QPointF testaQuota(xQuota, punto(0, 3 * r).y());
    quota(pittore, piedeQuota, testaQuota, punta);
    occupati.push_back(scriviTesto(pittore, "3r = " + centimetri(3 * r, t), carattere,
                                   (piedeQuota + testaQuota) / 2,
                                   Qt::AlignHCenter | Qt::AlignBottom, t(distanzaTesto), -90));

    // The crown's radius, inside it.
    const double aC = radianti(angoloCalotta);
    const QPointF suCalotta = punto(calotta.centroX + calotta.raggio * std::cos(aC),
                                    calotta.centroY + calotta.raggio * std::sin(aC));
    pittore.drawLine(centroCalotta, suCalotta);
    disegnaFreccia(pittore, centroCalotta, suCalotta, punta);
    occupati.push_back(scriviTesto(pittore, "r = " + centimetri(calotta.raggio, t), carattere,
                                   centroCalotta + (suCalotta - centroCalotta) * 0.45,
                                   Qt::AlignHCenter | Qt::AlignBottom, t(distanzaTesto),
                                   -angoloCalotta));

    // The left side arc's radius, from its centre on the right; its text
    // near the centre, outside the section.
    const double aF = radianti(angoloFianco);
    const QPointF suFianco = punto(-fianco.centroX - fianco.raggio * std::cos(aF),
                                   fianco.centroY - fianco.raggio * std::sin(aF));
    pittore.drawLine(centroFianco, suFianco);
    disegnaFreccia(pittore, centroFianco, suFianco, punta);
    const QString testoFianco = "3r = " + centimetri(fianco.raggio, t);
    const QLineF lungoFianco(centroFianco, suFianco);
    occupati.push_back(scriviTesto(
        pittore, testoFianco, carattere,
        lungoFianco.pointAt((metriche.horizontalAdvance(testoFianco) / 2 + t(2 * braccioCentro)) /
                            lungoFianco.length()),
        Qt::AlignHCenter | Qt::AlignBottom, t(distanzaTesto), -angoloFianco));

    // The invert's radius, run on below the invert to its label.
    const double aI = radianti(angoloFondo);
    const QPointF suFondo = punto(fondo.centroX + fondo.raggio * std::cos(aI),
                                  fondo.centroY + fondo.raggio * std::sin(aI));
    pittore.drawLine(centroFondo, suFondo);
    disegnaFreccia(pittore, centroFondo, suFondo, punta);
    const double rPixel = r * metri.m11();
    const QPointF gomito =
        punto(0, 0) + QPointF(gomitoFondo(rPixel, t(sottoIlFondo)), t(sottoIlFondo));
    const QString testoFondo = "r/2 = " + centimetri(fondo.raggio, t);
    pittore.drawLine(suFondo, gomito);
    pittore.drawLine(
        gomito, gomito + QPointF(metriche.horizontalAdvance(testoFondo) + t(2 * distanzaTesto), 0));
    occupati.push_back(scriviTesto(pittore, testoFondo, carattere,
                                   gomito + QPointF(t(distanzaTesto), 0),
                                   Qt::AlignLeft | Qt::AlignBottom, t(distanzaTesto)));

    // The water lines, lowest first, each labelled on the right.
    const QPen richiamo(bluLinea, t(lineaSottile), Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin);
    for (const LivelloAcqua& livello : dentro) {
        const double h = livello.altezza;
        const double mezza = analisi::semilarghezza(r, h);
        lineaDAcqua(h);

        const QString testo = testoLivello(livello, t);
        const QPointF fine = punto(mezza, h);
        const QPointF ancora = fine + QPointF(t(attaccoTesto), 0);
        const double larghezza = metriche.horizontalAdvance(testo);
        QRectF riquadro = riquadroTesto(testo, carattere, ancora, Qt::AlignLeft | Qt::AlignBottom,
                                        t(distanzaTesto));
        // The symbol belongs to the label's room.
        riquadro.setLeft(fine.x() + t(attaccoSimbolo - 8));
        const QRectF posto = senzaSovrapporre(riquadro, occupati, metriche.height() / 3);
        occupati.push_back(posto);
        const double y = fine.y() + posto.top() - riquadro.top();

        pittore.setPen(richiamo);
        const double piega = fine.x() + t(attaccoSimbolo - 14);
        pittore.drawPolyline(QPolygonF{fine, QPointF(piega, fine.y()),
                                       QPointF(piega + std::abs(y - fine.y()) * 0.2 + t(4), y),
                                       QPointF(ancora.x() + larghezza + t(coda), y)});
        const QPointF simbolo(fine.x() + t(attaccoSimbolo), y);
        pittore.setPen(Qt::NoPen);
        pittore.setBrush(bluLinea);
        pittore.drawPolygon(QPolygonF{simbolo, simbolo + QPointF(-t(6.5), -t(11)),
                                      simbolo + QPointF(t(6.5), -t(11))});
        scriviTesto(pittore, testo, carattere, QPointF(ancora.x(), y),
                    Qt::AlignLeft | Qt::AlignBottom, t(distanzaTesto));
    }
    pittore.restore();
}

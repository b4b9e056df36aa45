#include "figure/disegno_pittore.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>

#include <cmath>
#include <map>
#include <numbers>
#include <utility>

namespace {

// Fonts are given in hundredths of a millimetre: a painter's font takes
// whole pixels.
constexpr double centesimi = 100;

QColor colore(disegno::Colore c) {
    return {c.r, c.g, c.b};
}

QPolygonF poligono(const std::vector<disegno::Punto>& punti) {
    QPolygonF p;
    p.reserve(static_cast<qsizetype>(punti.size()));
    for (const disegno::Punto& q : punti) {
        p << QPointF(q.x, q.y);
    }
    return p;
}

class Pittore {
  public:
    explicit Pittore(QPainter& p) : p_(p) {}

    void operator()(const disegno::Polilinea& l) {
        QPen penna(colore(l.penna.colore), l.penna.spessore);
        penna.setStyle(l.penna.stile == disegno::Stile::Tratteggiata  ? Qt::DashLine
                       : l.penna.stile == disegno::Stile::Punteggiata ? Qt::DotLine
                                                                      : Qt::SolidLine);
        if (l.penna.stile == disegno::Stile::Asse) {
            penna.setDashPattern({16, 4, 2, 4});
        }
        penna.setCapStyle(Qt::FlatCap);
        penna.setJoinStyle(Qt::MiterJoin);
        p_.setPen(penna);
        p_.setBrush(Qt::NoBrush);
        if (l.chiusa) {
            p_.drawPolygon(poligono(l.punti));
        } else {
            p_.drawPolyline(poligono(l.punti));
        }
    }

    void operator()(const disegno::Area& a) {
        p_.setPen(Qt::NoPen);
        p_.setBrush(colore(a.colore));
        p_.drawPolygon(poligono(a.punti));
    }

    void operator()(const disegno::Testo& t) {
        const Carattere& c = carattere(t.altezza, t.grassetto);
        const QString testo = QString::fromStdString(t.testo);
        const disegno::Punto o = disegno::origine(t);
        // Aligned by the face drawn, which may be a little wider or
        // narrower than the one measured.
        const double misurata = disegno::larghezza(t.testo, t.altezza);
        const double vera = c.metriche.horizontalAdvance(testo) / centesimi;
        const double x = t.orizzontale == disegno::Orizzontale::Sinistra ? o.x
                         : t.orizzontale == disegno::Orizzontale::Centro
                             ? o.x + misurata / 2 - vera / 2
                             : o.x + misurata - vera;
        // Only the transform is put back: saving the whole state for
        // thousands of texts doubles a PDF's time.
        const QTransform prima = p_.transform();
        QTransform proprio = prima;
        proprio.translate(t.ancora.x, t.ancora.y);
        if (t.gradi != 0) {
            proprio.rotate(-t.gradi);
        }
        proprio.scale(1 / centesimi, 1 / centesimi);
        p_.setTransform(proprio);
        p_.setFont(c.font);
        if (t.alone) {
            // The text in white, shifted all round: a stroked outline of
            // the glyphs looks the same and takes a hundred times as long.
            p_.setPen(Qt::white);
            const double alone = c.font.pixelSize() * 0.11;
            for (int i = 0; i < 8; ++i) {
                const double angolo = i * std::numbers::pi / 4;
                p_.drawText(QPointF(x * centesimi + alone * std::cos(angolo),
                                    o.y * centesimi + alone * std::sin(angolo)),
                            testo);
            }
        }
        p_.setPen(colore(t.colore));
        p_.drawText(QPointF(x * centesimi, o.y * centesimi), testo);
        p_.setTransform(prima);
    }

  private:
    struct Carattere {
        QFont font;
        QFontMetricsF metriche;
    };
    const Carattere& carattere(double altezza, bool grassetto) {
        const long pixel = std::lround(disegno::corpo(altezza) * centesimi);
        const std::pair chiave{pixel, grassetto};
        auto dove = caratteri_.find(chiave);
        if (dove == caratteri_.end()) {
            QFont f("Liberation Sans");
            f.setStyleHint(QFont::SansSerif);
            f.setPixelSize(std::max(1, static_cast<int>(pixel)));
            f.setBold(grassetto);
            f.setHintingPreference(QFont::PreferNoHinting);
            dove = caratteri_.emplace(chiave, Carattere{f, QFontMetricsF(f)}).first;
        }
        return dove->second;
    }

    QPainter& p_;
    std::map<std::pair<long, bool>, Carattere> caratteri_;
};

} // namespace

void disegna(QPainter& pittore, const disegno::Disegno& disegno) {
    pittore.save();
    pittore.setRenderHint(QPainter::Antialiasing);
    Pittore p(pittore);
    for (const disegno::Elemento& e : disegno.elementi) {
        std::visit(p, e.forma);
    }
    pittore.restore();
}

QImage immagineBianca(QSize pixel) {
    QImage immagine(pixel, QImage::Format_RGB32);
    immagine.fill(Qt::white);
    return immagine;
}

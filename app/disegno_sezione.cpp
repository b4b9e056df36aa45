#include "app/disegno_sezione.h"

#include "analisi/profilo.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

constexpr int passiContorno = 120; // a side

} // namespace

DisegnoSezione::DisegnoSezione(QWidget* parent) : QWidget(parent) {
    setMinimumSize(120, 160);
}

void DisegnoSezione::imposta(double raggio, double altezza) {
    raggio_ = raggio;
    altezza_ = std::clamp(altezza, 0.0, 3 * raggio);
    update();
}

void DisegnoSezione::paintEvent(QPaintEvent*) {
    QPainter pittore(this);
    pittore.fillRect(rect(), palette().base());
    if (!(raggio_ > 0)) {
        return;
    }
    pittore.setRenderHint(QPainter::Antialiasing);
    const double margine = 12;
    const double scala =
        std::min((width() - 2 * margine) / (2 * raggio_), (height() - 2 * margine) / (3 * raggio_));
    const QPointF fondo(width() / 2.0, height() / 2.0 + 1.5 * raggio_ * scala);
    const auto punto = [&](double x, double y) {
        return QPointF(fondo.x() + x * scala, fondo.y() - y * scala);
    };
    const auto profilo = [&](double finoA) {
        QPolygonF poligono;
        for (const analisi::PuntoProfilo& p : analisi::contorno(raggio_, finoA, passiContorno)) {
            poligono << punto(p.x, p.y);
        }
        QPainterPath percorso;
        percorso.addPolygon(poligono);
        return percorso;
    };

    if (altezza_ > 0) {
        pittore.setPen(Qt::NoPen);
        pittore.setBrush(QColor(111, 168, 220));
        pittore.drawPath(profilo(altezza_));
        pittore.setPen(QPen(QColor(30, 80, 150), 1.5));
        const double mezza = analisi::semilarghezza(raggio_, altezza_);
        pittore.drawLine(punto(-mezza, altezza_), punto(mezza, altezza_));
    }
    pittore.setBrush(Qt::NoBrush);
    pittore.setPen(QPen(palette().text().color(), 2));
    pittore.drawPath(profilo(3 * raggio_));
}

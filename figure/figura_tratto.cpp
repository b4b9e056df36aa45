#include "figure/figura_tratto.h"

#include "figure/figura_sezione.h"
#include "numeri/formato.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// The reference picture: 1000 units across, 722 high.
constexpr double proporzione = 1.385;
// A unit's least length, in pixels: the numbers are then 10 pixels high.
constexpr double unitaMinima = 0.6;

// Where a text's baseline starts from its anchor, in the text's own frame,
// for scriviTesto's alignments and distance.
QPointF origineTesto(const QFontMetricsF& metriche, double larghezza, Qt::Alignment allineamento,
                     double distanza) {
    double x = 0;
    if (allineamento & Qt::AlignHCenter) {
        x = -larghezza / 2;
    } else if (allineamento & Qt::AlignRight) {
        x = -larghezza;
    }
    double y = (metriche.ascent() - metriche.descent()) / 2;
    if (allineamento & Qt::AlignBottom) {
        y = -distanza - metriche.descent();
    } else if (allineamento & Qt::AlignTop) {
        y = distanza + metriche.ascent();
    }
    return {x, y};
}

} // namespace

Tratto::Tratto(QSizeF pixel, Separatore separatore)
    : pixel_(std::max(std::min(pixel.width(), std::floor(pixel.height() * proporzione)) / 1000.0,
                      unitaMinima)),
      separatore_(separatore) {}

QString Tratto::numero(double valore, std::string_view modello) const {
    return QString::fromStdString(Format(valore, modello, separatore_));
}

QFont Tratto::carattere(double unita) const {
    QFont carattere("Arial");
    carattere.setPixelSize(std::max(1, static_cast<int>(std::lround((*this)(unita)))));
    // Unhinted glyphs keep their shapes at every size.
    carattere.setHintingPreference(QFont::PreferNoHinting);
    return carattere;
}

QImage immagineBianca(QSize pixel) {
    QImage immagine(pixel, QImage::Format_RGB32);
    immagine.fill(Qt::white);
    return immagine;
}

QRectF riquadroTesto(const QString& testo, const QFont& carattere, QPointF ancora,
                     Qt::Alignment allineamento, double distanza, double gradi) {
    const QFontMetricsF metriche(carattere);
    const double larghezza = metriche.horizontalAdvance(testo);
    const QPointF origine = origineTesto(metriche, larghezza, allineamento, distanza);
    return QTransform::fromTranslate(ancora.x(), ancora.y())
        .rotate(gradi)
        .mapRect(
            QRectF(origine.x(), origine.y() - metriche.ascent(), larghezza, metriche.height()));
}

QRectF scriviTesto(QPainter& pittore, const QString& testo, const QFont& carattere, QPointF ancora,
                   Qt::Alignment allineamento, double distanza, double gradi) {
    const QFontMetricsF metriche(carattere);
    const QPointF origine =
        origineTesto(metriche, metriche.horizontalAdvance(testo), allineamento, distanza);
    pittore.save();
    pittore.translate(ancora);
    pittore.rotate(gradi);
    pittore.setFont(carattere);
    // The halo: the text in white, shifted all round. (A stroked outline of
    // the glyphs looks the same and takes a hundred times as long.)
    pittore.setPen(Qt::white);
    const double alone = carattere.pixelSize() * 0.11;
    for (int i = 0; i < 8; ++i) {
        const double angolo = i * std::numbers::pi / 4;
        pittore.drawText(origine + alone * QPointF(std::cos(angolo), std::sin(angolo)), testo);
    }
    pittore.setPen(Qt::black);
    pittore.drawText(origine, testo);
    pittore.restore();
    return riquadroTesto(testo, carattere, ancora, allineamento, distanza, gradi);
}

QString testoLivello(const LivelloAcqua& livello, const Tratto& t) {
    const QString altezza = "h = " + t.numero(livello.altezza * 100, "#0.0") + " cm";
    return livello.etichetta.isEmpty() ? altezza : livello.etichetta + "  " + altezza;
}

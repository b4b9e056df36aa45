#pragma once

#include "numeri/separatore.h"

#include <QFont>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <string_view>

class QFontMetricsF;
class QPainter;
struct LivelloAcqua;

// How the figures are drawn. Every length is given in units of a thousandth
// of the picture's width (of a picture 1.385 times as wide as high: a
// narrower one takes its height as the measure), so that a figure looks the
// same at 1200 and at 2400 pixels. In a small window the units stop
// shrinking where the texts would no longer be read.
// The numbers a figure writes take its decimal separator.
class Tratto {
  public:
    explicit Tratto(QSizeF pixel, Separatore separatore = Separatore::Punto);

    double operator()(double unita) const { return unita * pixel_; } // in pixels
    QFont carattere(double unita) const;
    // A number as the figure writes it, with its pattern (as Format takes
    // it) and the figure's separator.
    QString numero(double valore, std::string_view modello) const;

  private:
    double pixel_; // of one unit
    Separatore separatore_;
};

// A white picture to draw on.
QImage immagineBianca(QSize pixel);

// A text at an anchor, turned by some degrees (clockwise) about it, its left,
// centre or right at the anchor, and above (AlignBottom), below (AlignTop) or
// across (AlignVCenter) it at a distance. A white halo keeps it legible where
// it crosses a line. Returns the box it takes, in the picture.
QRectF scriviTesto(QPainter& pittore, const QString& testo, const QFont& carattere, QPointF ancora,
                   Qt::Alignment allineamento, double distanza = 0, double gradi = 0);

// The box a text would take, drawn as scriviTesto draws it.
QRectF riquadroTesto(const QString& testo, const QFont& carattere, QPointF ancora,
                     Qt::Alignment allineamento, double distanza = 0, double gradi = 0);

// A water level's label: "Q1  h = 30.4 cm", or "h = 30.4 cm" unnamed.
QString testoLivello(const LivelloAcqua& livello, const Tratto& t);

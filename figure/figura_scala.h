#pragma once

#include "analisi/verifiche.h"
#include "figure/figura_sezione.h"

#include <QImage>
#include <QRectF>
#include <QSize>

#include <vector>

// What the rating-curve figure shows, in SI units.
struct DatiScala {
    analisi::Sezione sezione;
    std::vector<analisi::Grandezze> righeTabella; // the table's rows, drawn as points
    std::vector<LivelloAcqua> livelli;            // design and minimum flow heights
    analisi::Limiti limiti;
};

// The rating curves for the calculation report: flow Q (l/s, lower axis)
// and velocity V (cm/s, upper axis) against the height h (cm) upwards, as
// the analysis window draws them, with the table's rows as points, the
// levels marked, the limits, and a legend below. Drawn for print: the two
// curves differ by their stroke as well as their colour. A fault of the
// formulas raises ErroreRuntime.
QImage figuraScala(const DatiScala& dati, QSize pixel);

// Where figuraScala draws: its plot and the ends of its axes.
struct AssiScala {
    QRectF area;             // the plot, in pixels
    double portataFine = 1;  // l/s at the right
    double velocitaFine = 1; // cm/s at the right
    double altezzaFine = 1;  // cm at the top: the full section

    QPointF portata(double litriAlSecondo, double centimetri) const;
    QPointF velocita(double centimetriAlSecondo, double centimetri) const;
};

AssiScala assiScala(const DatiScala& dati, QSize pixel);

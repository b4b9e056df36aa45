#pragma once

#include "analisi/verifiche.h"
#include "figure/figura_sezione.h"
#include "figure/tavola_scala.h"

#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>

#include <optional>
#include <vector>

class QPainter;

// The true maxima of flow and velocity, marked on their curves.
struct MassimiScala {
    analisi::Grandezze portata;
    analisi::Grandezze velocita;
};

// What the rating-curve figure shows, in SI units.
struct DatiScala {
    analisi::Sezione sezione;
    std::vector<analisi::Grandezze> righeTabella; // the table's rows, drawn as points
    std::vector<LivelloAcqua> livelli;            // design and minimum flow heights
    analisi::Limiti limiti;
    // The analysis window's besides: the maxima, and a title above naming
    // the section.
    std::optional<MassimiScala> massimi = std::nullopt;
    QString titolo = {};
    // The separator of the numbers it writes.
    Separatore separatore = Separatore::Punto;
};

// Where the figure draws in a rectangle: its plot and the ends of its axes.
struct AssiScala {
    QRectF area;             // the plot, in pixels from the rectangle's corner
    double portataFine = 1;  // l/s at the right
    double velocitaFine = 1; // cm/s at the right
    double altezzaFine = 1;  // cm at the top: the full section

    QPointF portata(double litriAlSecondo, double centimetri) const;
    QPointF velocita(double centimetriAlSecondo, double centimetri) const;
    // The height at a row of pixels, in cm.
    double altezza(double y) const;
};

// The rating curves (see disegno::GraficoDiDeflusso) on a painter, in
// Qt's terms.
class ScalaDiDeflusso {
  public:
    // A fault of the formulas raises ErroreRuntime.
    explicit ScalaDiDeflusso(DatiScala dati);

    const DatiScala& dati() const { return dati_; }
    AssiScala assi(QSizeF dimensione) const;
    // Into a rectangle of any painter; with a `cursore` height (m), a line
    // across the plot where the pointer is.
    void disegna(QPainter& pittore, const QRectF& dove,
                 std::optional<double> cursore = std::nullopt) const;

    // The figure as a drawing `dimensione` large, for the documents that
    // take vectors.
    disegno::Disegno disegno(QSizeF dimensione) const;

  private:
    DatiScala dati_;
    disegno::GraficoDiDeflusso grafico_;
};

// The figure of the calculation report, on a white picture, and where it
// draws. A fault of the formulas raises ErroreRuntime.
QImage figuraScala(const DatiScala& dati, QSize pixel);
AssiScala assiScala(const DatiScala& dati, QSize pixel);

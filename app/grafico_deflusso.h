#pragma once

#include "figure/figura_scala.h"

#include <QWidget>

#include <optional>

// The rating curves in the analysis window, drawn as the calculation report
// draws them. The pointer over the plot names the height it points at, and a
// line marks it there.
class GraficoDeflusso : public QWidget {
    Q_OBJECT

  public:
    explicit GraficoDeflusso(QWidget* parent = nullptr);

    // A fault of the formulas raises ErroreRuntime; the chart then stays as
    // it was.
    void imposta(const DatiScala& dati);
    // No section: nothing drawn.
    void svuota();
    // What the chart shows; none when empty.
    const DatiScala* dati() const { return figura_ ? &figura_->dati() : nullptr; }

    // The chart alone, laid out for print, without the pointer's line: a
    // picture at twice the screen's pixels, an SVG drawing, a landscape A4
    // PDF page.
    QImage immagine() const;
    QByteArray svg() const;
    QByteArray pdf() const;

  signals:
    void altezzaIndicata(double altezza); // m

  protected:
    void paintEvent(QPaintEvent* evento) override;
    void mouseMoveEvent(QMouseEvent* evento) override;

  private:
    std::optional<ScalaDiDeflusso> figura_;
    std::optional<double> cursore_; // m
};

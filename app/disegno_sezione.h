#pragma once

#include "numeri/separatore.h"

#include <QWidget>

// The section drawn to scale as the calculation report draws it, with the
// water up to a height.
class DisegnoSezione : public QWidget {
  public:
    explicit DisegnoSezione(QWidget* parent = nullptr);

    // Radius and height in metres; a radius of 0 draws nothing.
    void imposta(double raggio, double altezza);
    void impostaSeparatore(Separatore separatore);

    QSize sizeHint() const override { return {200, 260}; }

  protected:
    void paintEvent(QPaintEvent* evento) override;

  private:
    double raggio_ = 0;
    double altezza_ = 0;
    Separatore separatore_ = Separatore::Punto;
};

#include "app/disegno_sezione.h"

#include "figure/figura_sezione.h"

#include <QPainter>

#include <algorithm>

DisegnoSezione::DisegnoSezione(QWidget* parent) : QWidget(parent) {
    setMinimumSize(120, 160);
}

void DisegnoSezione::impostaSeparatore(Separatore separatore) {
    separatore_ = separatore;
    update();
}

void DisegnoSezione::imposta(double raggio, double altezza) {
    raggio_ = raggio;
    altezza_ = std::clamp(altezza, 0.0, 3 * raggio);
    update();
}

void DisegnoSezione::paintEvent(QPaintEvent*) {
    QPainter pittore(this);
    pittore.fillRect(rect(), Qt::white);
    disegnaSezione(pittore, rect(), raggio_, {{QString(), altezza_}}, separatore_);
}

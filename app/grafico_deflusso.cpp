#include "app/grafico_deflusso.h"

#include "figure/disegno_pittore.h"

#include <QBuffer>
#include <QMouseEvent>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <algorithm>

namespace {

// The chart's layout in files and reports, in the screen's pixels.
const QSizeF dimensioneDiStampa(900, 560);

} // namespace

GraficoDeflusso::GraficoDeflusso(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setMinimumSize(480, 280);
}

void GraficoDeflusso::imposta(const DatiScala& dati) {
    figura_.emplace(dati);
    update();
}

void GraficoDeflusso::svuota() {
    figura_.reset();
    cursore_.reset();
    update();
}

void GraficoDeflusso::paintEvent(QPaintEvent*) {
    QPainter pittore(this);
    pittore.fillRect(rect(), Qt::white);
    if (figura_) {
        figura_->disegna(pittore, rect(), cursore_);
    }
}

void GraficoDeflusso::mouseMoveEvent(QMouseEvent* evento) {
    QWidget::mouseMoveEvent(evento);
    if (!figura_) {
        return;
    }
    const AssiScala assi = figura_->assi(size());
    if (assi.area.contains(evento->position())) {
        const double altezza = std::clamp(assi.altezza(evento->position().y()) / 100, 0.0,
                                          figura_->dati().sezione.altezzaPiena());
        cursore_ = altezza;
        update();
        emit altezzaIndicata(altezza);
    }
}

// An exported chart is laid out at one size, whatever the window's, so
// that it looks the same from any screen.
QImage GraficoDeflusso::immagine() const {
    QImage immagine = immagineBianca((dimensioneDiStampa * 2).toSize());
    if (figura_) {
        QPainter pittore(&immagine);
        figura_->disegna(pittore, immagine.rect());
    }
    return immagine;
}

QByteArray GraficoDeflusso::svg() const {
    QBuffer contenitore;
    contenitore.open(QIODevice::WriteOnly);
    QSvgGenerator generatore;
    generatore.setOutputDevice(&contenitore);
    generatore.setSize(dimensioneDiStampa.toSize());
    generatore.setViewBox(QRectF(QPointF(0, 0), dimensioneDiStampa));
    generatore.setTitle("Scala di deflusso");
    {
        QPainter pittore(&generatore);
        if (figura_) {
            figura_->disegna(pittore, QRectF(QPointF(0, 0), dimensioneDiStampa));
        }
    }
    return contenitore.data();
}

QByteArray GraficoDeflusso::pdf() const {
    QBuffer contenitore;
    contenitore.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&contenitore);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageOrientation(QPageLayout::Landscape);
        pdf.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        pdf.setResolution(300);
        pdf.setTitle("Scala di deflusso");
        QPainter pittore(&pdf);
        QSizeF dimensione = dimensioneDiStampa;
        dimensione.scale(QSizeF(pdf.width(), pdf.height()), Qt::KeepAspectRatio);
        if (figura_) {
            figura_->disegna(pittore, QRectF(QPointF(0, 0), dimensione));
        }
    }
    return contenitore.data();
}

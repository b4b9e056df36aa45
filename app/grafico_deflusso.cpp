#include "app/grafico_deflusso.h"

#include <QBuffer>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

const QColor bluPortata(31, 90, 170);
const QColor rossoVelocita(190, 40, 40);
const QColor grigioTabella(110, 110, 110);
const QColor verdeProgetto(20, 140, 60);
const QColor violaMinima(140, 60, 180);
const QColor aranciaLimiti(230, 130, 0);

// The chart's layout in files and reports, in the screen's pixels.
const QSizeF dimensioneDiStampa(900, 560);

// Whether a series goes on the velocity axis, kept until the axes exist.
const char* const asseProprieta = "sullAsseVelocita";

// A round axis end a little beyond the largest value.
double fineAsse(double massimo) {
    if (!(massimo > 0)) {
        return 1;
    }
    if (!std::isfinite(massimo * 10)) {
        return massimo;
    }
    const double potenza = std::pow(10.0, std::floor(std::log10(massimo)));
    for (const double passo : {1.0, 1.2, 1.5, 2.0, 2.5, 3.0, 4.0, 5.0, 6.0, 8.0, 10.0}) {
        if (passo * potenza >= massimo * 1.04) {
            return passo * potenza;
        }
    }
    return 10 * potenza;
}

} // namespace

GraficoDeflusso::GraficoDeflusso(QWidget* parent)
    : QChartView(new QChart, parent), asseAltezza_(new QValueAxis), assePortata_(new QValueAxis),
      asseVelocita_(new QValueAxis),
      curvaPortata_(linea("Portata Q", bluPortata, Qt::SolidLine, 2.2, assePortata_)),
      curvaVelocita_(linea("Velocità V", rossoVelocita, Qt::SolidLine, 2.2, asseVelocita_)),
      tabellaPortata_(punti("Righe della tabella", grigioTabella, 7, assePortata_)),
      tabellaVelocita_(punti("Righe della tabella (V)", grigioTabella, 7, asseVelocita_)),
      progettoPortata_(punti("Altezze di progetto", verdeProgetto, 12, assePortata_)),
      progettoVelocita_(punti("Altezze di progetto (V)", verdeProgetto, 12, asseVelocita_)),
      minimaPortata_(punti("Portata minima", violaMinima, 12, assePortata_)),
      minimaVelocita_(punti("Portata minima (V)", violaMinima, 12, asseVelocita_)),
      massimoPortata_(punti("Massimi veri", Qt::black, 11, assePortata_)),
      massimoVelocita_(punti("Massimi veri (V)", Qt::black, 11, asseVelocita_)),
      limiteVelocitaMinima_(linea("Limiti", aranciaLimiti, Qt::DashLine, 1.6, asseVelocita_)),
      limiteVelocitaMassima_(
          linea("Limite V massima", aranciaLimiti, Qt::DashLine, 1.6, asseVelocita_)),
      limiteRiempimento_(
          linea("Limite riempimento", aranciaLimiti, Qt::DashLine, 1.6, assePortata_)),
      cursore_(linea("Cursore", QColor(120, 120, 120), Qt::DotLine, 1.0, assePortata_)) {
    chart()->addAxis(asseAltezza_, Qt::AlignLeft);
    chart()->addAxis(assePortata_, Qt::AlignBottom);
    chart()->addAxis(asseVelocita_, Qt::AlignTop);
    asseAltezza_->setTitleText("Altezza h (cm)");
    assePortata_->setTitleText("Portata Q (l/s)");
    asseVelocita_->setTitleText("Velocità V (cm/s)");
    assePortata_->setLinePenColor(bluPortata);
    assePortata_->setLabelsColor(bluPortata);
    asseVelocita_->setLinePenColor(rossoVelocita);
    asseVelocita_->setLabelsColor(rossoVelocita);
    asseVelocita_->setGridLineVisible(false);
    for (QValueAxis* asse : {asseAltezza_, assePortata_, asseVelocita_}) {
        asse->setLabelFormat("%g");
    }
    // Each series sits on the height axis and on the flow or velocity axis.
    for (QAbstractSeries* serie : chart()->series()) {
        serie->attachAxis(asseAltezza_);
        serie->attachAxis(serie->property(asseProprieta).toBool() ? asseVelocita_ : assePortata_);
    }
    massimoPortata_->setMarkerShape(QScatterSeries::MarkerShapeRotatedRectangle);
    massimoVelocita_->setMarkerShape(QScatterSeries::MarkerShapeRotatedRectangle);
    // The dry-weather flow on both curves: its velocity is what is checked.
    minimaPortata_->setMarkerShape(QScatterSeries::MarkerShapeTriangle);
    minimaVelocita_->setMarkerShape(QScatterSeries::MarkerShapeTriangle);
    for (QAbstractSeries* serie : {static_cast<QAbstractSeries*>(tabellaVelocita_),
                                   static_cast<QAbstractSeries*>(progettoVelocita_),
                                   static_cast<QAbstractSeries*>(minimaVelocita_),
                                   static_cast<QAbstractSeries*>(massimoVelocita_),
                                   static_cast<QAbstractSeries*>(limiteVelocitaMassima_),
                                   static_cast<QAbstractSeries*>(limiteRiempimento_),
                                   static_cast<QAbstractSeries*>(cursore_)}) {
        nascondiInLegenda(serie);
    }
    connect(chart(), &QGraphicsWidget::geometryChanged, this, &GraficoDeflusso::collocaLegenda);
    // The fonts by their real family: an SVG names the family, and a
    // generic one reads as a serif elsewhere.
    const QString famiglia = QFontInfo(font()).family();
    const auto conFamiglia = [&](QFont f) {
        f.setFamily(famiglia);
        return f;
    };
    chart()->setTitleFont(conFamiglia(chart()->titleFont()));
    chart()->legend()->setFont(conFamiglia(chart()->legend()->font()));
    for (QValueAxis* asse : {asseAltezza_, assePortata_, asseVelocita_}) {
        asse->setLabelsFont(conFamiglia(asse->labelsFont()));
        asse->setTitleFont(conFamiglia(asse->titleFont()));
    }
    chart()->setMargins(QMargins(4, 4, 4, 4));
    setRenderHint(QPainter::Antialiasing);
    setMouseTracking(true);
    setMinimumSize(480, 280);
    collocaLegenda();
    svuota();
}

// Below the chart when the legend fits in one row, beside it otherwise:
// either way no label is cut short.
void GraficoDeflusso::collocaLegenda() {
    const QFontMetricsF metriche(chart()->legend()->font());
    qreal riga = 0;
    for (QLegendMarker* marcatore : chart()->legend()->markers()) {
        if (marcatore->isVisible()) {
            // The label, then its square and the gaps around both: about two
            // and a half lines' height, as the legend lays them out.
            riga += metriche.horizontalAdvance(marcatore->label()) + 2.5 * metriche.height();
        }
    }
    const Qt::Alignment lato = riga <= chart()->size().width() ? Qt::AlignBottom : Qt::AlignRight;
    if (chart()->legend()->alignment() != lato) {
        chart()->legend()->setAlignment(lato);
        // At once: an export draws the chart straight after resizing it.
        chart()->layout()->activate();
    }
}

QLineSeries* GraficoDeflusso::linea(const QString& nome, const QColor& colore, Qt::PenStyle tratto,
                                    qreal spessore, QValueAxis* asseX) {
    auto* serie = new QLineSeries;
    serie->setName(nome);
    QPen penna(colore, spessore, tratto);
    serie->setPen(penna);
    chart()->addSeries(serie);
    serie->setProperty(asseProprieta, asseX == asseVelocita_);
    return serie;
}

QScatterSeries* GraficoDeflusso::punti(const QString& nome, const QColor& colore, qreal dimensione,
                                       QValueAxis* asseX) {
    auto* serie = new QScatterSeries;
    serie->setName(nome);
    serie->setColor(colore);
    serie->setBorderColor(colore.darker(130));
    serie->setMarkerSize(dimensione);
    chart()->addSeries(serie);
    serie->setProperty(asseProprieta, asseX == asseVelocita_);
    return serie;
}

void GraficoDeflusso::nascondiInLegenda(QAbstractSeries* serie) {
    for (QLegendMarker* marcatore : chart()->legend()->markers(serie)) {
        marcatore->setVisible(false);
    }
}

void GraficoDeflusso::svuota() {
    for (QAbstractSeries* serie : chart()->series()) {
        if (auto* xy = qobject_cast<QXYSeries*>(serie)) {
            xy->clear();
        }
    }
    altezzaPiena_ = 0;
    chart()->setTitle({});
    asseAltezza_->setRange(0, 1);
    assePortata_->setRange(0, 1);
    asseVelocita_->setRange(0, 1);
}

void GraficoDeflusso::imposta(const DatiGrafico& dati) {
    altezzaPiena_ = dati.altezzaPiena;
    chart()->setTitle(dati.titolo);
    const double cmH = dati.altezzaPiena * 100;
    const auto punti = [](const auto& righe, double analisi::Grandezze::*quantita, double scala) {
        QList<QPointF> esito;
        for (const analisi::Grandezze& g : righe) {
            esito.append({g.*quantita * scala, g.altezza * 100});
        }
        return esito;
    };
    using G = analisi::Grandezze;
    curvaPortata_->replace(punti(dati.curva, &G::portata, 1000));
    curvaVelocita_->replace(punti(dati.curva, &G::velocita, 100));
    tabellaPortata_->replace(punti(dati.righeTabella, &G::portata, 1000));
    tabellaVelocita_->replace(punti(dati.righeTabella, &G::velocita, 100));
    progettoPortata_->replace(punti(dati.altezzePortata, &G::portata, 1000));
    progettoVelocita_->replace(punti(dati.altezzeVelocita, &G::velocita, 100));
    std::vector<analisi::Risposta> minima;
    if (dati.altezzaMinima) {
        minima.push_back(*dati.altezzaMinima);
    }
    minimaPortata_->replace(punti(minima, &G::portata, 1000));
    minimaVelocita_->replace(punti(minima, &G::velocita, 100));
    massimoPortata_->replace(
        {QPointF(dati.portataMassima.portata * 1000, dati.portataMassima.altezza * 100)});
    massimoVelocita_->replace(
        {QPointF(dati.velocitaMassima.velocita * 100, dati.velocitaMassima.altezza * 100)});

    // The velocity axis takes in the limits when they are near the curve.
    const double vCurva = dati.velocitaMassima.velocita * 100;
    double vAsse = std::max(vCurva, dati.velocitaProgetto * 100);
    for (const double limite :
         {dati.limiti.velocitaMinima * 100, dati.limiti.velocitaMassima * 100}) {
        if (limite <= 2 * vCurva) {
            vAsse = std::max(vAsse, limite);
        }
    }
    const double qAsse =
        fineAsse(std::max(dati.portataMassima.portata, dati.portataProgetto) * 1000);
    vAsse = fineAsse(vAsse);
    limiteVelocitaMinima_->replace({QPointF(dati.limiti.velocitaMinima * 100, 0),
                                    QPointF(dati.limiti.velocitaMinima * 100, cmH)});
    limiteVelocitaMassima_->replace({QPointF(dati.limiti.velocitaMassima * 100, 0),
                                     QPointF(dati.limiti.velocitaMassima * 100, cmH)});
    const double hLimite = dati.limiti.riempimentoMassimo * cmH;
    limiteRiempimento_->replace({QPointF(0, hLimite), QPointF(qAsse, hLimite)});

    asseAltezza_->setRange(0, cmH);
    assePortata_->setRange(0, qAsse);
    asseVelocita_->setRange(0, vAsse);
}

void GraficoDeflusso::mouseMoveEvent(QMouseEvent* evento) {
    QChartView::mouseMoveEvent(evento);
    if (!(altezzaPiena_ > 0)) {
        return;
    }
    const QPointF valore = chart()->mapToValue(evento->position(), curvaPortata_);
    const double altezza = valore.y() / 100;
    if (altezza >= 0 && altezza <= altezzaPiena_ &&
        chart()->plotArea().contains(evento->position())) {
        cursore_->replace({QPointF(0, valore.y()), QPointF(assePortata_->max(), valore.y())});
        emit altezzaIndicata(altezza);
    }
}

// An exported chart is laid out at one size, whatever the window's, so
// that it looks the same from any screen.
template <typename Disegno> void GraficoDeflusso::allaDimensioneDiStampa(Disegno disegna) {
    const QRectF primaGeometria = chart()->geometry();
    // The pointer's line belongs to the screen, not to a file.
    const bool cursoreVisibile = cursore_->isVisible();
    cursore_->setVisible(false);
    chart()->setGeometry(QRectF(QPointF(0, 0), dimensioneDiStampa));
    disegna(chart()->sceneBoundingRect());
    chart()->setGeometry(primaGeometria);
    cursore_->setVisible(cursoreVisibile);
    // Shown again, the series would bring its marker back into the legend.
    nascondiInLegenda(cursore_);
}

QImage GraficoDeflusso::immagine() {
    QImage immagine((dimensioneDiStampa * 2).toSize(), QImage::Format_ARGB32_Premultiplied);
    immagine.fill(Qt::white);
    allaDimensioneDiStampa([&](const QRectF& area) {
        QPainter pittore(&immagine);
        pittore.setRenderHint(QPainter::Antialiasing);
        chart()->scene()->render(&pittore, QRectF(immagine.rect()), area);
    });
    return immagine;
}

QByteArray GraficoDeflusso::svg() {
    QBuffer contenitore;
    contenitore.open(QIODevice::WriteOnly);
    allaDimensioneDiStampa([&](const QRectF& area) {
        QSvgGenerator generatore;
        generatore.setOutputDevice(&contenitore);
        generatore.setSize(area.size().toSize());
        generatore.setViewBox(QRectF(QPointF(0, 0), area.size()));
        generatore.setTitle("Scala di deflusso");
        QPainter pittore(&generatore);
        chart()->scene()->render(&pittore, QRectF(QPointF(0, 0), area.size()), area);
    });
    return contenitore.data();
}

QByteArray GraficoDeflusso::pdf() {
    QBuffer contenitore;
    contenitore.open(QIODevice::WriteOnly);
    allaDimensioneDiStampa([&](const QRectF& area) {
        QPdfWriter pdf(&contenitore);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageOrientation(QPageLayout::Landscape);
        pdf.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        pdf.setResolution(300);
        pdf.setTitle("Scala di deflusso");
        QPainter pittore(&pdf);
        QSizeF dimensione = area.size();
        dimensione.scale(QSizeF(pdf.width(), pdf.height()), Qt::KeepAspectRatio);
        chart()->scene()->render(&pittore, QRectF(QPointF(0, 0), dimensione), area);
    });
    return contenitore.data();
}

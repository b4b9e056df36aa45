#pragma once

#include "analisi/verifiche.h"

#include <QChartView>

#include <optional>
#include <vector>

class QLineSeries;
class QScatterSeries;
class QValueAxis;

// What the rating-curve chart shows, in SI units.
struct DatiGrafico {
    std::vector<analisi::Grandezze> curva;          // the rating curves
    std::vector<analisi::Grandezze> righeTabella;   // the table's rows, as points
    std::vector<analisi::Risposta> altezzePortata;  // heights of the design flow
    std::vector<analisi::Risposta> altezzeVelocita; // heights of the design velocity
    std::optional<analisi::Risposta> altezzaMinima; // height of the dry-weather flow
    double portataProgetto = 0;                     // m³/s, 0 when none
    double velocitaProgetto = 0;                    // m/s, 0 when none
    analisi::Risposta velocitaMassima;
    analisi::Risposta portataMassima;
    analisi::Limiti limiti;
    double altezzaPiena = 0;
    QString titolo; // the section and its flow conditions
};

// Flow and velocity against the water height, the height upwards as rating
// curves are drawn: flow on the lower axis, velocity on the upper one. The
// pointer over the chart names the height it points at.
class GraficoDeflusso : public QChartView {
    Q_OBJECT

  public:
    explicit GraficoDeflusso(QWidget* parent = nullptr);

    void imposta(const DatiGrafico& dati);
    // No section: empty curves.
    void svuota();

    // The chart alone, laid out for print: a picture at twice the screen's
    // pixels, an SVG drawing, a landscape A4 PDF page.
    QImage immagine();
    QByteArray svg();
    QByteArray pdf();

  signals:
    void altezzaIndicata(double altezza); // m

  protected:
    void mouseMoveEvent(QMouseEvent* evento) override;

  private:
    QLineSeries* linea(const QString& nome, const QColor& colore, Qt::PenStyle tratto,
                       qreal spessore, QValueAxis* asseX);
    QScatterSeries* punti(const QString& nome, const QColor& colore, qreal dimensione,
                          QValueAxis* asseX);
    void nascondiInLegenda(QAbstractSeries* serie);
    void collocaLegenda();
    template <typename Disegno> void allaDimensioneDiStampa(Disegno disegna);

    QValueAxis* const asseAltezza_;
    QValueAxis* const assePortata_;
    QValueAxis* const asseVelocita_;
    QLineSeries* const curvaPortata_;
    QLineSeries* const curvaVelocita_;
    QScatterSeries* const tabellaPortata_;
    QScatterSeries* const tabellaVelocita_;
    QScatterSeries* const progettoPortata_;
    QScatterSeries* const progettoVelocita_;
    QScatterSeries* const minimaPortata_;
    QScatterSeries* const minimaVelocita_;
    QScatterSeries* const massimoPortata_;
    QScatterSeries* const massimoVelocita_;
    QLineSeries* const limiteVelocitaMinima_;
    QLineSeries* const limiteVelocitaMassima_;
    QLineSeries* const limiteRiempimento_;
    QLineSeries* const cursore_;
    double altezzaPiena_ = 0; // m
};

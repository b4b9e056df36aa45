#include "figure/figura_scala.h"

#include "figure/disegno_pittore.h"

#include <QPainter>

namespace {

disegno::DatiGrafico datiGrafico(const DatiScala& dati) {
    disegno::DatiGrafico esito;
    esito.sezione = dati.sezione;
    esito.righeTabella = dati.righeTabella;
    esito.livelli = livelliDelDisegno(dati.livelli);
    esito.limiti = dati.limiti;
    if (dati.massimi) {
        esito.massimaPortata = dati.massimi->portata;
        esito.massimaVelocita = dati.massimi->velocita;
    }
    esito.titolo = dati.titolo.toStdString();
    esito.separatore = dati.separatore;
    return esito;
}

disegno::AssiGrafico assiGrafico(const AssiScala& a) {
    return {{a.area.x(), a.area.y(), a.area.width(), a.area.height()},
            a.portataFine,
            a.velocitaFine,
            a.altezzaFine};
}

} // namespace

QPointF AssiScala::portata(double litriAlSecondo, double centimetri) const {
    const disegno::Punto p = assiGrafico(*this).portata(litriAlSecondo, centimetri);
    return {p.x, p.y};
}

QPointF AssiScala::velocita(double centimetriAlSecondo, double centimetri) const {
    const disegno::Punto p = assiGrafico(*this).velocita(centimetriAlSecondo, centimetri);
    return {p.x, p.y};
}

double AssiScala::altezza(double y) const {
    return (area.bottom() - y) / area.height() * altezzaFine;
}

ScalaDiDeflusso::ScalaDiDeflusso(DatiScala dati)
    : dati_(std::move(dati)), grafico_(datiGrafico(dati_)) {}

AssiScala ScalaDiDeflusso::assi(QSizeF dimensione) const {
    const disegno::AssiGrafico a = grafico_.assi(dimensione.width(), dimensione.height());
    return {QRectF(a.area.x, a.area.y, a.area.larghezza, a.area.altezza), a.portataFine,
            a.velocitaFine, a.altezzaFine};
}

disegno::Disegno ScalaDiDeflusso::disegno(QSizeF dimensione) const {
    return grafico_.disegno(dimensione.width(), dimensione.height());
}

AssiScala assiScala(const DatiScala& dati, QSize pixel) {
    return ScalaDiDeflusso(dati).assi(pixel);
}

QImage figuraScala(const DatiScala& dati, QSize pixel) {
    QImage immagine = immagineBianca(pixel);
    if (pixel.isEmpty() || !(dati.sezione.raggio > 0)) {
        return immagine;
    }
    QPainter pittore(&immagine);
    ScalaDiDeflusso(dati).disegna(pittore, immagine.rect());
    return immagine;
}

void ScalaDiDeflusso::disegna(QPainter& pittore, const QRectF& dove,
                              std::optional<double> cursore) const {
    if (dove.isEmpty()) {
        return;
    }
    pittore.save();
    pittore.translate(dove.topLeft());
    ::disegna(pittore, grafico_.disegno(dove.width(), dove.height(), cursore));
    pittore.restore();
}

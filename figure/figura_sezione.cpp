#include "figure/figura_sezione.h"

#include "figure/disegno_pittore.h"
#include "figure/tavola_sezione.h"

#include <QPainter>

std::vector<disegno::Livello> livelliDelDisegno(const std::vector<LivelloAcqua>& livelli) {
    std::vector<disegno::Livello> esito;
    esito.reserve(livelli.size());
    for (const LivelloAcqua& l : livelli) {
        esito.push_back({l.etichetta.toStdString(), l.altezza, l.minima});
    }
    return esito;
}

QTransform posizioneSezione(double raggioM, const std::vector<LivelloAcqua>& livelli, QSizeF pixel,
                            Separatore separatore) {
    const disegno::PosizioneSezione p = disegno::posizioneDellaSezione(
        raggioM, livelliDelDisegno(livelli), pixel.width(), pixel.height(), separatore);
    return QTransform(p.scala, 0, 0, -p.scala, p.fondo.x, p.fondo.y);
}

QImage figuraSezione(double raggioM, formule::Geometria, const std::vector<LivelloAcqua>& livelli,
                     QSize pixel, Separatore separatore) {
    QImage immagine = immagineBianca(pixel);
    if (!pixel.isEmpty()) {
        QPainter pittore(&immagine);
        disegnaSezione(pittore, immagine.rect(), raggioM, livelli, separatore);
    }
    return immagine;
}

disegno::Disegno disegnoSezione(double raggioM, const std::vector<LivelloAcqua>& livelli,
                                QSizeF pixel, Separatore separatore) {
    return disegno::sezioneInScala(raggioM, livelliDelDisegno(livelli), pixel.width(),
                                   pixel.height(), separatore);
}

void disegnaSezione(QPainter& pittore, const QRectF& dove, double raggioM,
                    const std::vector<LivelloAcqua>& livelli, Separatore separatore) {
    if (dove.isEmpty()) {
        return;
    }
    pittore.save();
    pittore.translate(dove.topLeft());
    disegna(pittore, disegnoSezione(raggioM, livelli, dove.size(), separatore));
    pittore.restore();
}

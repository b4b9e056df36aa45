#pragma once

#include "figure/foglio_profilo.h"

#include <QSizeF>

class QPainter;

// The profile's sheets for Qt: the sizes as Qt gives them, and a sheet on a
// painter.

QSizeF dimensioniFoglio(FormatoFoglio formato);

inline ImpaginazioneProfilo impaginaProfilo(const tratti::Profilo& profilo, QSizeF foglio,
                                            std::optional<double> scalaOrizzontale = std::nullopt,
                                            std::optional<double> scalaVerticale = std::nullopt,
                                            bool continuo = false, double misura = 1,
                                            std::size_t fogliMassimi = fogliMassimiDisegno) {
    return impaginaProfilo(profilo, DimensioniFoglio{foglio.width(), foglio.height()},
                           scalaOrizzontale, scalaVerticale, continuo, misura, fogliMassimi);
}

inline QSizeF dimensioniDi(const ImpaginazioneProfilo& impaginazione) {
    return {impaginazione.foglio.larghezza, impaginazione.foglio.altezza};
}

// One sheet, with the painter in millimetres and the sheet's corner at the
// origin.
void disegnaFoglioProfilo(QPainter& pittore, const tratti::Profilo& profilo,
                          const ImpaginazioneProfilo& impaginazione, std::size_t foglio,
                          Separatore separatore = Separatore::Punto);

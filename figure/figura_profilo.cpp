#include "figure/figura_profilo.h"

#include "figure/disegno_pittore.h"

QSizeF dimensioniFoglio(FormatoFoglio formato) {
    const DimensioniFoglio d = misureFoglio(formato);
    return {d.larghezza, d.altezza};
}

void disegnaFoglioProfilo(QPainter& pittore, const tratti::Profilo& profilo,
                          const ImpaginazioneProfilo& impaginazione, std::size_t foglio,
                          Separatore separatore) {
    disegna(pittore, disegnoDelFoglio(profilo, impaginazione, foglio, separatore));
}

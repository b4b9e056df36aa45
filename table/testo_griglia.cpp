#include "table/testo_griglia.h"

RigheTesti righeGriglia(const GrigliaInMemoria& griglia) {
    RigheTesti righe(static_cast<std::size_t>(griglia.Rows()));
    for (int riga = 0; riga < griglia.Rows(); ++riga) {
        for (int colonna = 0; colonna < griglia.Cols(); ++colonna) {
            righe[static_cast<std::size_t>(riga)].push_back(griglia.testo(riga, colonna));
        }
    }
    return righe;
}

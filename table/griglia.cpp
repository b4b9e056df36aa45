#include "table/griglia.h"

#include <utility>

Intero16 Griglia::IndiceCella(std::int16_t riga, std::int16_t colonna,
                              const GrigliaAstratta& griglia) {
    const long long colonne = griglia.Cols();
    return Intero16::da(riga * colonne + colonna);
}

void Griglia::ScriviCella(std::string testo, std::int16_t riga, std::int16_t colonna,
                          GrigliaAstratta& griglia) {
    const Intero16 indice = IndiceCella(riga, colonna, griglia);
    griglia.setTextArray(indice, std::move(testo));
}

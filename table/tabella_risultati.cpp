#include "table/tabella_risultati.h"

#include "calc/intero16.h"
#include "numeri/testo_valore.h"

#include <array>
#include <vector>

namespace {

using Griglia::ScriviCella;

constexpr std::array<const char*, 6> titoli = {"ALTEZZA",     "AREA", "CONT.BAGNATO",
                                               "R.IDRAULICO", "V",    "Q"};
constexpr std::array<const char*, 6> unita = {"(cm)", "(mq)", "(m)", "(m)", "(cm/sec)", "(l/sec)"};

void scriviIntestazione(GrigliaAstratta& griglia) {
    for (std::int16_t colonna = 1; colonna <= 6; ++colonna) {
        ScriviCella(titoli[colonna - 1], 0, colonna, griglia);
    }
    for (std::int16_t colonna = 1; colonna <= 6; ++colonna) {
        ScriviCella(unita[colonna - 1], 1, colonna, griglia);
    }
}

void scriviValori(GrigliaAstratta& griglia, Intero16 rigaGriglia, const calcolo::Riga& riga) {
    for (std::int16_t colonna = 1; colonna <= 6; ++colonna) {
        ScriviCella(TestoColonna(colonna, riga), rigaGriglia.valore(), colonna, griglia);
    }
}

} // namespace

std::string TestoColonna(int colonna, const calcolo::Riga& riga) {
    constexpr double calcolo::Riga::*colonne[] = {
        &calcolo::Riga::altezza,   &calcolo::Riga::area,     &calcolo::Riga::contorno,
        &calcolo::Riga::raggioIdr, &calcolo::Riga::velocita, &calcolo::Riga::portata};
    if (colonna < 1 || colonna > 6) {
        throw ErroreRuntime(TipoErrore::IndiceFuoriIntervallo);
    }
    // Where a law gives no positive velocity (Colebrook–White in the first
    // millimetres of a very rough sewer) the flow is not turbulent and the
    // law does not hold: no velocity or flow is shown as if it were real.
    if (colonna >= 5 && riga.velocita < 0) {
        return "—";
    }
    return TestoValore(colonna, riga.*colonne[colonna - 1]);
}

std::vector<std::vector<std::string>> IntestazioneGriglia() {
    std::vector<std::vector<std::string>> righe(2, std::vector<std::string>{""});
    righe[0].insert(righe[0].end(), titoli.begin(), titoli.end());
    righe[1].insert(righe[1].end(), unita.begin(), unita.end());
    return righe;
}

void PreparaGriglia(GrigliaAstratta& griglia, int numPassiPrecedenti) {
    const Intero16 numPassi = Intero16::da(numPassiPrecedenti);
    scriviIntestazione(griglia);
    griglia.setRows(numPassi + Intero16(4));
    const Intero16 ultima = numPassi + Intero16(2);
    for (Intero16 i(1); i <= ultima; i = i + Intero16(1)) {
        const Intero16 riga = i + Intero16(1);
        for (std::int16_t colonna = 0; colonna <= 6; ++colonna) {
            ScriviCella("", riga.valore(), colonna, griglia);
        }
    }
}

void Modulo2::RiempiGriglia(GrigliaAstratta& griglia, const calcolo::Tabella& tabella) {
    const Intero16 numPassi = Intero16::da(tabella.numPassi);
    scriviIntestazione(griglia);
    griglia.setRows(numPassi + Intero16(4));
    for (Intero16 k(1); k <= numPassi; k = k + Intero16(1)) {
        scriviValori(griglia, k + Intero16(1), tabella.riga(k));
    }
    const Intero16 maxV = numPassi + Intero16(1);
    ScriviCella("Max V", (maxV + Intero16(1)).valore(), 0, griglia);
    scriviValori(griglia, maxV + Intero16(1), tabella.massimaVelocita());
    const Intero16 maxQ = numPassi + Intero16(2);
    ScriviCella("Max Q", (maxQ + Intero16(1)).valore(), 0, griglia);
    scriviValori(griglia, maxQ + Intero16(1), tabella.massimaPortata());
}

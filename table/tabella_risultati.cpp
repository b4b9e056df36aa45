#include "table/tabella_risultati.h"

#include "calc/reale.h"
#include "calc/variabili_pubbliche.h"
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

void scriviValori(GrigliaAstratta& griglia, Intero16 rigaGriglia, int k) {
    for (std::int16_t colonna = 1; colonna <= 6; ++colonna) {
        ScriviCella(TestoColonna(colonna, k), rigaGriglia.valore(), colonna, griglia);
    }
}

} // namespace

std::string TestoColonna(int colonna, int k) {
    const variabili_pubbliche::Stato& s = variabili_pubbliche::stato;
    const variabili_pubbliche::ArrayRighe* const colonne[] = {
        &s.altezza, &s.area, &s.contorno, &s.raggioIdr, &s.velocita, &s.portata};
    if (colonna < 1 || colonna > 6) {
        throw ErroreRuntime(TipoErrore::IndiceFuoriIntervallo);
    }
    return TestoValore(colonna, (*colonne[colonna - 1])(k));
}

std::vector<std::vector<std::string>> IntestazioneGriglia() {
    std::vector<std::vector<std::string>> righe(2, std::vector<std::string>{""});
    righe[0].insert(righe[0].end(), titoli.begin(), titoli.end());
    righe[1].insert(righe[1].end(), unita.begin(), unita.end());
    return righe;
}

void PreparaGriglia(GrigliaAstratta& griglia) {
    const Intero16 numPassi = variabili_pubbliche::stato.numPassi;
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

void Modulo2::RiempiGriglia(GrigliaAstratta& griglia) {
    const Intero16 numPassi = variabili_pubbliche::stato.numPassi;
    scriviIntestazione(griglia);
    griglia.setRows(numPassi + Intero16(4));
    for (Intero16 k(1); k <= numPassi; k = k + Intero16(1)) {
        scriviValori(griglia, k + Intero16(1), k);
    }
    const Intero16 maxV = numPassi + Intero16(1);
    ScriviCella("Max V", (maxV + Intero16(1)).valore(), 0, griglia);
    scriviValori(griglia, maxV + Intero16(1), maxV);
    const Intero16 maxQ = numPassi + Intero16(2);
    ScriviCella("Max Q", (maxQ + Intero16(1)).valore(), 0, griglia);
    scriviValori(griglia, maxQ + Intero16(1), maxQ);
}

#include "analisi/tabella_calcolata.h"

namespace analisi {

std::vector<Grandezze> righeTabellaCalcolata(const calcolo::Tabella& tabella) {
    std::vector<Grandezze> righe;
    righe.reserve(tabella.righe.size());
    for (const calcolo::Riga& r : tabella.righe) {
        righe.push_back(
            {r.altezza, r.area, r.contorno, r.raggioIdr, r.chezy, r.velocita, r.portata});
    }
    return righe;
}

std::vector<Grandezze> righeTabellaConLegge(const calcolo::Tabella& tabella,
                                            const formule::Resistenza& legge) {
    std::vector<Grandezze> righe = righeTabellaCalcolata(tabella);
    if (legge != tabella.ingressi.resistenza()) {
        const Sezione sezione{tabella.raggioM, tabella.ingressi.pendenza, legge,
                              tabella.ingressi.geometria};
        for (Grandezze& riga : righe) {
            riga = grandezze(sezione, riga.altezza);
        }
    }
    return righe;
}

} // namespace analisi

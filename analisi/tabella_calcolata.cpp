#include "analisi/tabella_calcolata.h"

#include "calc/variabili_pubbliche.h"

namespace analisi {

std::vector<Grandezze> righeTabellaCalcolata() {
    const variabili_pubbliche::Stato& s = variabili_pubbliche::stato;
    std::vector<Grandezze> righe;
    for (int k = 1; k <= s.numPassi + 2; ++k) {
        righe.push_back({s.altezza(k), s.area(k), s.contorno(k), s.raggioIdr(k), s.chezy(k),
                         s.velocita(k), s.portata(k)});
    }
    return righe;
}

std::vector<Grandezze> righeTabellaConLegge(const formule::Resistenza& legge) {
    const variabili_pubbliche::Stato& s = variabili_pubbliche::stato;
    std::vector<Grandezze> righe = righeTabellaCalcolata();
    if (legge != s.resistenza()) {
        const Sezione sezione{s.raggioM, s.pendenza, legge, s.geometria};
        for (Grandezze& riga : righe) {
            riga = grandezze(sezione, riga.altezza);
        }
    }
    return righe;
}

} // namespace analisi

#include "analisi/tabella_analisi.h"

#include <algorithm>

#include "numeri/formato.h"

std::vector<RigaAnalisi> righeAnalisi(const analisi::Sezione& sezione,
                                      const analisi::RisposteRichieste& richieste,
                                      const analisi::Limiti& limiti) {
    std::vector<RigaAnalisi> righe;
    for (const analisi::RispostaEtichettata& r : richieste.righe) {
        righe.push_back({r, analisi::scartoTabellarePercento(sezione, r.risposta.altezza),
                         analisi::verifica(r, limiti)});
    }
    return righe;
}

std::vector<std::string> titoliAnalisi() {
    return {"",
            "h\n(cm)",
            "h/H\n(%)",
            "A\n(m²)",
            "P\n(m)",
            "R\n(m)",
            "C\n(m½/s)",
            "V\n(cm/s)",
            "Q\n(l/s)",
            "Q/Qpiena\n(%)",
            "Scarto Q\ntab./esatta (%)",
            "Verifica"};
}

std::vector<std::string> testiAnalisi(const RigaAnalisi& riga, Separatore separatore) {
    const analisi::Risposta& r = riga.risposta.risposta;
    std::vector<std::string> testi = {riga.risposta.etichetta,
                                      Format(r.altezza * 100, "###0.#0"),
                                      Format(r.riempimento * 100, "##0.0"),
                                      Format(r.area, "##0.###0"),
                                      Format(r.contorno, "##0.###0"),
                                      Format(r.raggioIdr, "##0.###0"),
                                      Format(r.chezy, "##0.#0"),
                                      Format(r.velocita * 100, "###0.#0"),
                                      Format(r.portata * 1000, "#####0.#0"),
                                      Format(r.portataRelativa * 100, "##0.0"),
                                      Format(riga.scartoPercento, "#0.#0"),
                                      riga.esito ? riga.esito->testo() : "riferimento"};
    // No C, V or Q where the law does not hold: the verdict says why.
    if (!analisi::turbolento(r)) {
        std::fill(testi.begin() + 6, testi.end() - 1, std::string());
        testi.back() = analisi::notaMotoNonTurbolento;
    }
    for (std::string& testo : testi) {
        testo = perLettura(std::move(testo), separatore);
    }
    return testi;
}

std::vector<std::string> messaggiAnalisi(const analisi::Risposte& risposte,
                                         const analisi::RisposteRichieste& richieste,
                                         const analisi::Limiti& limiti, bool caselleValide,
                                         Separatore separatore) {
    const std::string portataMassima =
        Format(risposte.portataMassima().portata * 1000, "#####0.#0");
    std::vector<std::string> messaggi;
    if (!richieste.portataRaggiunta) {
        messaggi.push_back("Nessuna altezza con la portata di progetto: la portata massima della "
                           "sezione è " +
                           portataMassima + " l/s.");
    }
    if (!richieste.portataMinimaRaggiunta) {
        messaggi.push_back("Nessuna altezza con la portata minima: la portata massima della "
                           "sezione è " +
                           portataMassima + " l/s.");
    }
    if (!richieste.velocitaRaggiunta) {
        messaggi.push_back("Nessuna altezza con la velocità di progetto: la velocità massima "
                           "della sezione è " +
                           Format(risposte.velocitaMassima().velocita * 100, "###0.#0") + " cm/s.");
    }
    if (limiti.velocitaMinima > limiti.velocitaMassima) {
        messaggi.push_back("La velocità minima di autopulizia supera la massima ammessa: nessuna "
                           "altezza può rispettarle entrambe.");
    }
    if (!caselleValide) {
        messaggi.push_back("Le caselle in rosso non contengono un valore valido: il motivo "
                           "compare tenendo il puntatore sulla casella.");
    }
    for (std::string& m : messaggi) {
        m = perLettura(std::move(m), separatore);
    }
    return messaggi;
}

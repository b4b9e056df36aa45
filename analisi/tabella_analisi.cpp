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
    const auto numero = [separatore](double valore, const char* modello) {
        return Format(valore, modello, separatore);
    };
    std::vector<std::string> testi = {riga.risposta.etichetta,
                                      numero(r.altezza * 100, "###0.#0"),
                                      numero(r.riempimento * 100, "##0.0"),
                                      numero(r.area, "##0.###0"),
                                      numero(r.contorno, "##0.###0"),
                                      numero(r.raggioIdr, "##0.###0"),
                                      numero(r.chezy, "##0.#0"),
                                      numero(r.velocita * 100, "###0.#0"),
                                      numero(r.portata * 1000, "#####0.#0"),
                                      numero(r.portataRelativa * 100, "##0.0"),
                                      numero(riga.scartoPercento, "#0.#0"),
                                      riga.esito ? riga.esito->testo() : "riferimento"};
    // No C, V or Q where the law does not hold: the verdict says why.
    if (!analisi::turbolento(r)) {
        std::fill(testi.begin() + 6, testi.end() - 1, std::string());
        testi.back() = analisi::notaMotoNonTurbolento;
    }
    return testi;
}

std::vector<std::string> messaggiAnalisi(const analisi::Risposte& risposte,
                                         const analisi::RisposteRichieste& richieste,
                                         const analisi::Limiti& limiti, bool caselleValide,
                                         Separatore separatore) {
    const std::string portataMassima =
        Format(risposte.portataMassima().portata * 1000, "#####0.#0", separatore);
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
        messaggi.push_back(
            "Nessuna altezza con la velocità di progetto: la velocità massima "
            "della sezione è " +
            Format(risposte.velocitaMassima().velocita * 100, "###0.#0", separatore) + " cm/s.");
    }
    if (limiti.velocitaMinima > limiti.velocitaMassima) {
        messaggi.push_back("La velocità minima di autopulizia supera la massima ammessa: nessuna "
                           "altezza può rispettarle entrambe.");
    }
    if (!caselleValide) {
        messaggi.push_back("Le caselle in rosso non contengono un valore valido: il motivo "
                           "compare tenendo il puntatore sulla casella.");
    }
    return messaggi;
}

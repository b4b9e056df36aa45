#include "app/tabella_analisi.h"

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

#include "analisi/verifiche.h"

namespace analisi {

RisposteRichieste risposteRichieste(const Risposte& risposte, std::optional<double> portata,
                                    std::optional<double> velocita,
                                    std::optional<double> portataMinima) {
    RisposteRichieste esito;
    const auto aggiungi = [&](const std::vector<Risposta>& altezze, const char* prefisso) {
        for (std::size_t i = 0; i < altezze.size(); ++i) {
            esito.righe.push_back({prefisso + std::to_string(i + 1), altezze[i]});
        }
        return !altezze.empty();
    };
    if (portata) {
        esito.altezzePortata = risposte.perPortata(*portata);
        esito.portataRaggiunta = aggiungi(esito.altezzePortata, "Q");
    }
    if (velocita) {
        esito.altezzeVelocita = risposte.perVelocita(*velocita);
        esito.velocitaRaggiunta = aggiungi(esito.altezzeVelocita, "V");
    }
    if (portataMinima) {
        // In dry weather the sewer runs at the lowest of the heights.
        const std::vector<Risposta> altezze = risposte.perPortata(*portataMinima);
        esito.portataMinimaRaggiunta = !altezze.empty();
        if (esito.portataMinimaRaggiunta) {
            esito.altezzaMinima = altezze.front();
            esito.righe.push_back({"Qmin", altezze.front(), Ruolo::Minima});
        }
    }
    esito.righe.push_back({"Piena", risposte.piena(), Ruolo::Riferimento});
    esito.righe.push_back({"Vmax", risposte.velocitaMassima(), Ruolo::Riferimento});
    esito.righe.push_back({"Qmax", risposte.portataMassima(), Ruolo::Riferimento});
    return esito;
}

std::string Esito::testo() const {
    if (conforme()) {
        return "conforme";
    }
    std::string parole;
    const auto aggiungi = [&](const char* parola) {
        parole += parole.empty() ? parola : std::string(", ") + parola;
    };
    if (velocitaBassa) {
        aggiungi("velocità troppo bassa");
    }
    if (velocitaAlta) {
        aggiungi("velocità troppo alta");
    }
    if (troppoPiena) {
        aggiungi("riempimento oltre il limite");
    }
    return parole;
}

Esito verifica(const Risposta& risposta, const Limiti& limiti) {
    Esito esito;
    esito.velocitaBassa = risposta.velocita < limiti.velocitaMinima;
    esito.velocitaAlta = risposta.velocita > limiti.velocitaMassima;
    esito.troppoPiena = risposta.riempimento > limiti.riempimentoMassimo;
    return esito;
}

std::optional<Esito> verifica(const RispostaEtichettata& riga, const Limiti& limiti) {
    if (riga.ruolo == Ruolo::Riferimento) {
        return std::nullopt;
    }
    if (riga.ruolo == Ruolo::Minima) {
        Esito esito;
        esito.velocitaBassa = riga.risposta.velocita < limiti.velocitaMinima;
        return esito;
    }
    return verifica(riga.risposta, limiti);
}

} // namespace analisi

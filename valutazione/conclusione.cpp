#include "valutazione/conclusione.h"

#include "tratti/parole.h"

namespace valutazione {

namespace {

std::string unite(const std::vector<std::string>& parti, const std::string& tra) {
    std::string testo;
    for (const std::string& parte : parti) {
        testo += (testo.empty() ? "" : tra) + parte;
    }
    return testo;
}

// The section's checks that fail, in brackets; empty when none is named.
std::string quali(const Sezione& s) {
    return s.mancate.empty() ? std::string() : " (" + unite(s.mancate, ", ") + ")";
}

// What kept the section's checks from being made, when they were asked for.
std::optional<std::string> nonEseguite(const Valutazione& v) {
    const Sezione& s = v.sezione;
    if (!(s.portata || s.portataMinima || s.velocita) || s.risposte) {
        return std::nullopt;
    }
    if (s.impedimento) {
        return "le verifiche non sono state eseguite, perché non si legge " +
               testoCasella(*s.impedimento) + ".";
    }
    if (!s.errore.empty()) {
        return "le verifiche non sono state eseguite: " + s.errore + ".";
    }
    return std::string("le verifiche non sono state eseguite: la finestra principale non ha una "
                       "tabella.");
}

std::string plurale(std::size_t n, const char* uno, const char* molti) {
    return std::to_string(n) + " " + (n == 1 ? uno : molti);
}

} // namespace

std::string conclusioneSezione(const Valutazione& v, Separatore) {
    const Sezione& s = v.sezione;
    const int soddisfatte = s.soddisfatte;
    const int mancate = s.nonSoddisfatte;
    const bool conTratti = v.giudizio.tratti > 0;
    if (const std::optional<std::string> motivo = nonEseguite(v)) {
        return (conTratti ? "Esito della sezione tipo: " : "Conclusione: ") + *motivo +
               " La sezione non è idonea così com'è.";
    }
    if (conTratti) {
        return soddisfatte + mancate == 0
                   ? "Esito della sezione tipo: nessuna verifica."
                   : "Esito della sezione tipo: " + std::to_string(soddisfatte) +
                         " verifiche soddisfatte su " + std::to_string(soddisfatte + mancate) + ".";
    }
    if (soddisfatte + mancate == 0) {
        return "Conclusione: la relazione riporta la scala di deflusso della sezione, senza "
               "verifiche.";
    }
    if (mancate == 0) {
        return std::string(
                   "Conclusione: tutte le verifiche sono soddisfatte; la sezione è idonea ") +
               (s.velocita && (s.portata || s.portataMinima) ? "alle portate e alla velocità di "
                                                               "progetto"
                : s.velocita                                 ? "alla velocità di progetto"
                                                             : "alle portate di progetto") +
               ".";
    }
    return "Conclusione: " +
           (mancate == 1 ? std::string("1 verifica") : plurale(mancate, "", "verifiche")) + " su " +
           std::to_string(soddisfatte + mancate) + " " +
           (mancate == 1 ? "non è soddisfatta" : "non sono soddisfatte") + quali(s) +
           "; la sezione non è idonea così com'è.";
}

std::vector<std::string> conclusioniLinea(const Valutazione& v, Separatore separatore,
                                          const std::string& tabellaDeroghe) {
    const Giudizio& g = v.giudizio;
    const Rete& rete = v.rete;
    std::vector<std::string> difetti;
    std::vector<std::string> nonVerificati, pozzettiNonVerificati, errori;
    std::size_t k = 0;
    for (const progetto::RigaLetta& riga : rete.righe) {
        if (!riga.tratto) {
            nonVerificati.push_back(riga.nome() + " (non calcolato: " + riga.errore->motivo() +
                                    ")");
            continue;
        }
        if (!rete.esiti) {
            continue;
        }
        const tratti::Esito& e = rete.esiti->esiti[k++];
        if (!e.verificato) {
            nonVerificati.push_back(riga.nome() + " (" + tratti::motivoDi(e, separatore) + ")");
        }
    }
    if (rete.esiti) {
        for (const tratti::ErroreRete& errore : rete.esiti->errori) {
            errori.push_back(
                tratti::testoRilievo(errore.rilievo, separatore, tratti::Voce::Pozzetto));
        }
        for (const tratti::EsitoPozzetto& p : rete.esiti->pozzetti) {
            if (p.verificato()) {
                continue;
            }
            std::vector<std::string> testi;
            for (const tratti::Rilievo& r : p.rilievi) {
                if (r.gravita() == tratti::Gravita::Difetto) {
                    testi.push_back(tratti::testoRilievo(r, separatore, tratti::Voce::Pozzetto));
                }
            }
            pozzettiNonVerificati.push_back(p.nome + " (" + unite(testi, "; ") + ")");
        }
    }
    if (!errori.empty()) {
        difetti.push_back("la rete ha errori di forma (" + unite(errori, "; ") + ")");
    }
    if (!nonVerificati.empty()) {
        difetti.push_back(
            (nonVerificati.size() == 1 ? "non verificato il tratto " : "non verificati i tratti ") +
            unite(nonVerificati, "; "));
    }
    if (!pozzettiNonVerificati.empty()) {
        difetti.push_back((pozzettiNonVerificati.size() == 1 ? "non verificato il pozzetto "
                                                             : "non verificati i pozzetti ") +
                          unite(pozzettiNonVerificati, "; "));
    }
    const Sezione& s = v.sezione;
    if (g.sezioneTipo && nonEseguite(v)) {
        difetti.push_back("la sezione tipo non è stata verificata");
    } else if (g.sezioneTipo && s.nonSoddisfatte > 0) {
        difetti.push_back("la sezione tipo non soddisfa " + std::to_string(s.nonSoddisfatte) +
                          " verifiche su " + std::to_string(s.soddisfatte + s.nonSoddisfatte) +
                          quali(s));
    }
    const std::string rimando = tabellaDeroghe.empty() ? "" : " (" + tabellaDeroghe + ")";
    const std::string tratti =
        v.linea.impedimento
            ? (g.tratti == 1
                   ? std::string("Il tratto non è stato verificato")
                   : "I " + std::to_string(g.tratti) + " tratti non sono stati verificati") +
                  ", perché non si legge " + testoCasella(*v.linea.impedimento)
        : g.conDeroga > 0 ? "Verificati " + std::to_string(g.verificati) + " tratti su " +
                                std::to_string(g.tratti) + ", di cui " +
                                std::to_string(g.conDeroga) + " con deroga motivata" + rimando
        : g.verificati == g.tratti
            ? (g.tratti == 1   ? std::string("Verificato l'unico tratto")
               : g.tratti == 2 ? std::string("Verificati entrambi i tratti")
                               : "Verificati tutti i " + std::to_string(g.tratti) + " tratti")
            : (g.verificati == 1 ? "Verificato 1 tratto su " + std::to_string(g.tratti)
                                 : "Verificati " + std::to_string(g.verificati) + " tratti su " +
                                       std::to_string(g.tratti));
    std::vector<std::string> paragrafi;
    if (g.idonea.value_or(false)) {
        std::vector<std::string> verificati{tratti};
        if (g.pozzetti > 0) {
            verificati.push_back(
                g.pozzettiConDeroga == 0
                    ? std::string("tutti i pozzetti")
                    : "tutti i pozzetti, di cui " + std::to_string(g.pozzettiConDeroga) +
                          " con deroga motivata" + (g.conDeroga > 0 ? "" : rimando));
        }
        if (g.sezioneTipo && s.soddisfatte > 0) {
            verificati.push_back("la sezione tipo alle portate di progetto");
        }
        const std::string ultimo = verificati.back();
        verificati.pop_back();
        paragrafi.push_back(
            (verificati.empty() ? ultimo : unite(verificati, ", ") + " e " + ultimo) +
            (g.conDeroga + g.pozzettiConDeroga > 0
                 ? ": le verifiche sono soddisfatte, con le deroghe motivate, e l'opera è idonea."
                 : ": le verifiche sono soddisfatte e l'opera è idonea."));
    } else {
        paragrafi.push_back(tratti + (difetti.empty() ? "" : "; " + unite(difetti, "; ")) +
                            ". L'opera non è idonea così com'è.");
    }
    // A drop manhole is a provision of the design, not a fault.
    if (const std::size_t n = g.pozzettiDiSalto.size(); n > 0) {
        paragrafi.push_back((n == 1 ? std::string("Previsto 1 pozzetto di salto: ")
                                    : "Previsti " + std::to_string(n) + " pozzetti di salto: ") +
                            unite(g.pozzettiDiSalto, ", ") + ".");
    }
    return paragrafi;
}

} // namespace valutazione

#include "valutazione/conclusione.h"

#include "tratti/parole.h"

#include <algorithm>

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

namespace {

using tratti::Gravita;
using tratti::Rilievo;

// A fault the reach's slope would mend: its own hydraulics, not its levels.
bool rimediabile(const Rilievo& r) {
    switch (r.tipo) {
    case Rilievo::Tipo::VelocitaBassa:
    case Rilievo::Tipo::VelocitaAlta:
    case Rilievo::Tipo::RiempimentoAlto:
    case Rilievo::Tipo::PortataNonRaggiunta:
    case Rilievo::Tipo::NessunRaggioEntroRiempimento:
    case Rilievo::Tipo::NessunRaggio:
        return true;
    default:
        return false;
    }
}

void aggiungiUnaVolta(std::vector<std::string>& elenco, std::string voce) {
    if (std::find(elenco.begin(), elenco.end(), voce) == elenco.end()) {
        elenco.push_back(std::move(voce));
    }
}

// The checks of the findings of one weight, each named once.
std::vector<std::string> verificheDi(const std::vector<Rilievo>& rilievi, Gravita gravita) {
    std::vector<std::string> verifiche;
    for (const Rilievo& r : rilievi) {
        if (r.gravita() == gravita) {
            aggiungiUnaVolta(verifiche, tratti::verificaDi(r));
        }
    }
    return verifiche;
}

// How many reaches and manholes fail each check, in the order the checks
// are first met; an item failing a check twice counts once.
class Conteggi {
  public:
    void conta(const std::vector<std::string>& verifiche, bool pozzetto) {
        for (const std::string& verifica : verifiche) {
            auto voce = std::find_if(voci_.begin(), voci_.end(),
                                     [&](const Voce& v) { return v.verifica == verifica; });
            if (voce == voci_.end()) {
                voce = voci_.insert(voci_.end(), Voce{verifica});
            }
            ++(pozzetto ? voce->pozzetti : voce->tratti);
        }
    }
    std::vector<std::string> testi() const {
        std::vector<std::string> testi;
        for (const Voce& v : voci_) {
            std::vector<std::string> quanti;
            if (v.tratti > 0) {
                quanti.push_back(plurale(v.tratti, "tratto", "tratti"));
            }
            if (v.pozzetti > 0) {
                quanti.push_back(plurale(v.pozzetti, "pozzetto", "pozzetti"));
            }
            testi.push_back(v.verifica + ": " + unite(quanti, " e "));
        }
        return testi;
    }

  private:
    struct Voce {
        std::string verifica;
        std::size_t tratti = 0, pozzetti = 0;
    };
    std::vector<Voce> voci_;
};

// "Verificati 9 tratti su 10", or why none was checked.
std::string trattiVerificati(const Valutazione& v) {
    const Giudizio& g = v.giudizio;
    if (v.linea.impedimento) {
        return (g.tratti == 1
                    ? std::string("Il tratto non è stato verificato")
                    : "I " + std::to_string(g.tratti) + " tratti non sono stati verificati") +
               ", perché non si legge " + testoCasella(*v.linea.impedimento);
    }
    if (g.verificati == g.tratti) {
        return g.tratti == 1   ? std::string("Verificato l'unico tratto")
               : g.tratti == 2 ? std::string("Verificati entrambi i tratti")
                               : "Verificati tutti i " + std::to_string(g.tratti) + " tratti";
    }
    return (g.verificati == 1 ? std::string("Verificato 1 tratto su ")
                              : "Verificati " + std::to_string(g.verificati) + " tratti su ") +
           std::to_string(g.tratti);
}

// The verdict in one sentence; what fails is counted and listed after it.
std::string giudizioDi(const Valutazione& v) {
    const Giudizio& g = v.giudizio;
    const Sezione& s = v.sezione;
    std::vector<std::string> verificati{trattiVerificati(v)};
    if (g.pozzetti > 0 && !v.linea.impedimento) {
        verificati.push_back(g.pozzettiVerificati == g.pozzetti
                                 ? std::string("tutti i pozzetti")
                                 : plurale(g.pozzettiVerificati, "pozzetto", "pozzetti") + " su " +
                                       std::to_string(g.pozzetti));
    }
    if (g.idonea.value_or(false) && g.sezioneTipo && s.soddisfatte > 0) {
        verificati.push_back("la sezione tipo alle portate di progetto");
    }
    const std::string ultimo = verificati.back();
    verificati.pop_back();
    const std::string elenco =
        verificati.empty() ? ultimo : unite(verificati, ", ") + " e " + ultimo;
    if (g.idonea.value_or(false)) {
        return elenco + (g.conDeroga + g.pozzettiConDeroga > 0
                             ? ": le verifiche sono soddisfatte, con le deroghe motivate, e "
                               "l'opera è idonea."
                             : ": le verifiche sono soddisfatte e l'opera è idonea.");
    }
    std::vector<std::string> difetti{elenco};
    if (g.formaSbagliata) {
        difetti.push_back("la rete ha errori di forma");
    }
    if (g.sezioneTipo && nonEseguite(v)) {
        difetti.push_back("la sezione tipo non è stata verificata");
    } else if (g.sezioneTipo && s.nonSoddisfatte > 0) {
        difetti.push_back(
            "la sezione tipo non soddisfa " +
            plurale(static_cast<std::size_t>(s.nonSoddisfatte), "verifica", "verifiche") + " su " +
            std::to_string(s.soddisfatte + s.nonSoddisfatte));
    }
    return unite(difetti, "; ") + ". L'opera non è idonea così com'è.";
}

} // namespace

ConclusioneLinea conclusioneLinea(const Valutazione& v, Separatore separatore,
                                  const std::string& tabellaDeroghe) {
    const Giudizio& g = v.giudizio;
    const Rete& rete = v.rete;
    ConclusioneLinea c;
    c.idonea = g.idonea.value_or(false);
    c.giudizio = giudizioDi(v);
    Conteggi conteggi;
    // A manhole repeats what its reaches found there: each fault is tabled once.
    std::vector<Rilievo> tabellati;
    if (rete.esiti) {
        for (const tratti::ErroreRete& errore : rete.esiti->errori) {
            c.mancanze.push_back(
                {"rete", tratti::verificaDi(errore.rilievo),
                 tratti::testoRilievo(errore.rilievo, separatore, tratti::Voce::Pozzetto), ""});
            tabellati.push_back(errore.rilievo);
        }
    }
    std::size_t k = 0;
    for (const progetto::RigaLetta& riga : rete.righe) {
        const std::string elemento = "tratto " + riga.nome();
        if (!riga.tratto) {
            c.mancanze.push_back({elemento, "dati del tratto", riga.errore->motivo(), ""});
            conteggi.conta({"dati del tratto"}, false);
            continue;
        }
        if (!rete.esiti) {
            continue;
        }
        const tratti::Esito& e = rete.esiti->esiti[k++];
        if (e.verificato) {
            if (e.conDeroga) {
                c.deroghe.voci.push_back(elemento + ": " +
                                         unite(verificheDi(e.rilievi, Gravita::Deroga), ", "));
            }
            continue;
        }
        const std::size_t prima = c.mancanze.size();
        bool rimedioDetto = false;
        for (const Rilievo& r : e.rilievi) {
            if (r.gravita() != Gravita::Difetto) {
                continue;
            }
            Mancanza m{elemento, tratti::verificaDi(r), tratti::valoriDi(r, separatore), ""};
            if (!rimedioDetto && rimediabile(r)) {
                m.rimedio = tratti::rimedioDi(e, separatore);
                rimedioDetto = true;
            }
            c.mancanze.push_back(std::move(m));
            tabellati.push_back(r);
        }
        if (c.mancanze.size() == prima) {
            c.mancanze.push_back({elemento, e.verdetto(), tratti::motivoDi(e, separatore), ""});
        }
        conteggi.conta(verificheDi(e.rilievi, Gravita::Difetto), false);
    }
    if (rete.esiti) {
        for (const tratti::EsitoPozzetto& p : rete.esiti->pozzetti) {
            const std::string elemento = "pozzetto " + p.nome;
            if (p.verificato()) {
                if (p.conDeroga()) {
                    c.deroghe.voci.push_back(elemento + ": " +
                                             unite(verificheDi(p.rilievi, Gravita::Deroga), ", "));
                }
                continue;
            }
            for (const Rilievo& r : p.rilievi) {
                if (r.gravita() == Gravita::Difetto &&
                    std::find(tabellati.begin(), tabellati.end(), r) == tabellati.end()) {
                    c.mancanze.push_back({elemento, tratti::verificaDi(r),
                                          tratti::valoriDi(r, separatore, tratti::Voce::Pozzetto),
                                          ""});
                }
            }
            conteggi.conta(verificheDi(p.rilievi, Gravita::Difetto), true);
        }
    }
    const Sezione& s = v.sezione;
    if (g.sezioneTipo) {
        if (const std::optional<std::string> motivo = nonEseguite(v)) {
            c.mancanze.push_back({"sezione tipo", "verifiche della sezione",
                                  motivo->substr(0, motivo->size() - 1), ""});
        } else {
            for (const std::string& mancata : s.mancate) {
                c.mancanze.push_back({"sezione tipo", mancata, "", ""});
            }
        }
    }
    c.conteggi.voci = conteggi.testi();
    if (!c.conteggi.voci.empty()) {
        c.conteggi.titolo = "Elementi non verificati, per controllo:";
    }
    if (const std::size_t n = g.conDeroga + g.pozzettiConDeroga; n > 0) {
        std::vector<std::string> quanti;
        if (g.conDeroga > 0) {
            quanti.push_back(plurale(g.conDeroga, "tratto", "tratti"));
        }
        if (g.pozzettiConDeroga > 0) {
            quanti.push_back(plurale(g.pozzettiConDeroga, "pozzetto", "pozzetti"));
        }
        c.deroghe.titolo = std::string(n == 1 ? "Verificato" : "Verificati") +
                           " con deroga motivata " + unite(quanti, " e ") +
                           (tabellaDeroghe.empty() ? "" : " (" + tabellaDeroghe + ")") +
                           ", per il controllo accettato:";
    }
    // A drop manhole is a provision of the design, not a fault.
    if (const std::size_t n = g.pozzettiDiSalto.size(); n > 0 && rete.esiti) {
        c.provvedimenti.titolo = n == 1 ? std::string("Previsto 1 pozzetto di salto:")
                                        : "Previsti " + std::to_string(n) + " pozzetti di salto:";
        for (const tratti::EsitoPozzetto& p : rete.esiti->pozzetti) {
            std::vector<std::string> salti;
            for (const Rilievo& r : p.rilievi) {
                if (r.gravita() == Gravita::Provvedimento) {
                    salti.push_back(tratti::valoriDi(r, separatore, tratti::Voce::Pozzetto));
                }
            }
            if (!salti.empty()) {
                c.provvedimenti.voci.push_back(p.nome + ": salto di " + unite(salti, "; "));
            }
        }
    }
    return c;
}

} // namespace valutazione

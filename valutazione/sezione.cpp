#include "valutazione/sezione.h"

#include "errori/motivo_eccezione.h"
#include "numeri/numero_positivo.h"

#include <algorithm>
#include <exception>
#include <new>

namespace valutazione {

namespace {

// A design value or limit as the analysis window reads it.
std::optional<double> letto(const progetto::Casella& casella) {
    return leggiNumeroPositivo(casella.testo).valore;
}

// A value in the units of the boxes (l/s, cm/s) in SI units.
std::optional<double> inSi(std::optional<double> valore, double divisore) {
    return valore ? std::optional(*valore / divisore) : std::nullopt;
}

void conta(Sezione& s, bool soddisfatta, const std::string& mancata) {
    if (soddisfatta) {
        ++s.soddisfatte;
        return;
    }
    ++s.nonSoddisfatte;
    if (std::find(s.mancate.begin(), s.mancate.end(), mancata) == s.mancate.end()) {
        s.mancate.push_back(mancata);
    }
}

// Each height of a value held to its limits: the minimum flow to the
// self-cleansing velocity only.
ValoreVerificato verifica(Sezione& s, ValoreVerificato::Quale quale,
                          const std::vector<analisi::Risposta>& altezze) {
    using Limite = Controllo::Limite;
    ValoreVerificato valore{quale, {}};
    if (altezze.empty()) {
        conta(s, false, std::string(nomeValore(quale)) + " non raggiunta");
        return valore;
    }
    const analisi::Limiti& l = s.limiti;
    for (const analisi::Risposta& r : altezze) {
        AltezzaVerificata a{r, {}};
        a.controlli.push_back({Limite::VelocitaMinima, r.velocita * 100, l.velocitaMinima * 100,
                               r.velocita >= l.velocitaMinima});
        if (quale != ValoreVerificato::Quale::PortataMinima) {
            a.controlli.push_back({Limite::VelocitaMassima, r.velocita * 100,
                                   l.velocitaMassima * 100, r.velocita <= l.velocitaMassima});
            a.controlli.push_back({Limite::RiempimentoMassimo, r.riempimento * 100,
                                   l.riempimentoMassimo * 100,
                                   r.riempimento <= l.riempimentoMassimo});
        }
        for (const Controllo& c : a.controlli) {
            conta(s, c.rispettato, nomeLimite(c.limite));
        }
        valore.altezze.push_back(std::move(a));
    }
    return valore;
}

} // namespace

std::string testoCasella(const CasellaSbagliata& casella) {
    std::string motivo = casella.motivo;
    if (!motivo.empty() && motivo.back() == '.') {
        motivo.pop_back();
    }
    return casella.nome + " («" + casella.testo + "»): " + motivo;
}

std::optional<CasellaSbagliata> casellaDeiLimiti(const progetto::Verifiche& v) {
    const struct {
        const progetto::Casella& casella;
        const char* chiave;
        const char* nome;
        bool parteDellAltezza;
    } limiti[] = {
        {v.velocitaMinima, "verifiche.velocitaMinima", "la velocità minima di autopulizia", false},
        {v.velocitaMassima, "verifiche.velocitaMassima", "la velocità massima ammessa", false},
        {v.riempimentoMassimo, "verifiche.riempimentoMassimo", "il riempimento massimo", true},
    };
    for (const auto& l : limiti) {
        const NumeroLetto letto = leggiNumeroPositivo(l.casella.testo);
        std::optional<std::string> motivo = letto.motivo;
        if (!motivo && l.parteDellAltezza && letto.valore && *letto.valore > 100) {
            motivo = "Il riempimento è una parte dell'altezza: al più 100 %.";
        }
        if (motivo) {
            return CasellaSbagliata{l.chiave, l.nome, l.casella.testo, *motivo};
        }
    }
    return std::nullopt;
}

CasellaSbagliata casellaDellaLegge(const progetto::LeggeLetta& legge,
                                   const progetto::Verifiche& v) {
    const bool temperatura = std::string_view(legge.chiave) == "temperatura";
    return {std::string("verifiche.") + legge.chiave,
            temperatura ? "la temperatura dell'acqua" : "il coefficiente della legge di resistenza",
            temperatura ? v.temperatura.testo : v.scabrezza.testo, legge.motivo};
}

const char* nomeLimite(Controllo::Limite limite) {
    switch (limite) {
    case Controllo::Limite::VelocitaMinima:
        return "velocità minima di autopulizia";
    case Controllo::Limite::VelocitaMassima:
        return "velocità massima ammessa";
    case Controllo::Limite::RiempimentoMassimo:
        break;
    }
    return "riempimento massimo";
}

const char* simboloLimite(Controllo::Limite limite) {
    return limite == Controllo::Limite::RiempimentoMassimo ? "h/H" : "V";
}

const char* nomeValore(ValoreVerificato::Quale quale) {
    switch (quale) {
    case ValoreVerificato::Quale::Portata:
        return "portata di progetto";
    case ValoreVerificato::Quale::PortataMinima:
        return "portata minima";
    case ValoreVerificato::Quale::Velocita:
        break;
    }
    return "velocità di progetto";
}

Sezione sezioneDi(const progetto::Progetto& p, const std::optional<calcolo::Tabella>& tabella) {
    using Quale = ValoreVerificato::Quale;
    const progetto::Verifiche& caselle = p.verifiche;
    Sezione s;
    s.legge = progetto::leggiLegge(caselle, tabella ? tabella->ingressi.coeffBazin : 0);
    s.limiti = progetto::limitiDi(caselle);
    s.portata = letto(caselle.portataProgetto);
    s.portataMinima = letto(caselle.portataMinima);
    s.velocita = letto(caselle.velocitaProgetto);
    for (const auto& [quale, casella, valore] :
         {std::tuple{Quale::Portata, &caselle.portataProgetto, s.portata},
          {Quale::PortataMinima, &caselle.portataMinima, s.portataMinima},
          {Quale::Velocita, &caselle.velocitaProgetto, s.velocita}}) {
        if (!casella->vuota() && !valore) {
            s.illeggibili.push_back(quale);
            ++s.nonSoddisfatte;
            s.mancate.push_back(std::string(nomeValore(quale)) + " non leggibile");
        }
    }
    if (!s.legge.resistenza) {
        s.impedimento = casellaDellaLegge(s.legge, caselle);
        return s;
    }
    if (std::optional<CasellaSbagliata> limite = casellaDeiLimiti(caselle)) {
        s.impedimento = std::move(limite);
        return s;
    }
    if (!tabella) {
        return s;
    }
    s.sezione = analisi::Sezione{tabella->raggioM, tabella->ingressi.pendenza, *s.legge.resistenza,
                                 progetto::geometriaDi(caselle)};
    try {
        s.risposte.emplace(*s.sezione);
        s.richieste = analisi::risposteRichieste(
            *s.risposte, inSi(s.portata, 1000), inSi(s.velocita, 100), inSi(s.portataMinima, 1000));
        s.righe = righeAnalisi(*s.sezione, s.richieste, s.limiti);
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& e) {
        s.errore = motivoEccezione(e);
        s.risposte.reset();
        return s;
    }
    if (s.portata) {
        s.verifiche.push_back(verifica(s, Quale::Portata, s.richieste.altezzePortata));
    }
    if (s.portataMinima) {
        std::vector<analisi::Risposta> altezze;
        if (s.richieste.altezzaMinima) {
            altezze.push_back(*s.richieste.altezzaMinima);
        }
        s.verifiche.push_back(verifica(s, Quale::PortataMinima, altezze));
    }
    if (s.velocita) {
        s.verifiche.push_back(verifica(s, Quale::Velocita, s.richieste.altezzeVelocita));
    }
    return s;
}

} // namespace valutazione

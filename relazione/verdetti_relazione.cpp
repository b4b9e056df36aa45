#include "relazione/verdetti_relazione.h"

#include "numeri/numero_positivo.h"

#include <algorithm>

namespace relazione {

namespace {

// A design value or limit as the analysis window reads it.
std::optional<double> letto(const progetto::Casella& casella) {
    return leggiNumeroPositivo(casella.testo).valore;
}

// A value in the units of the boxes (l/s, cm/s) in SI units.
std::optional<double> inSi(std::optional<double> valore, double divisore) {
    return valore ? std::optional(*valore / divisore) : std::nullopt;
}

void conta(VerdettiSezione& v, bool soddisfatta, const std::string& mancata) {
    if (soddisfatta) {
        ++v.soddisfatte;
        return;
    }
    ++v.nonSoddisfatte;
    if (std::find(v.mancate.begin(), v.mancate.end(), mancata) == v.mancate.end()) {
        v.mancate.push_back(mancata);
    }
}

// Each height of a value held to its limits: the minimum flow to the
// self-cleansing velocity only.
ValoreVerificato verifica(VerdettiSezione& v, ValoreVerificato::Quale quale,
                          const std::vector<analisi::Risposta>& altezze) {
    using Limite = Controllo::Limite;
    ValoreVerificato valore{quale, {}};
    if (altezze.empty()) {
        conta(v, false, std::string(nomeValore(quale)) + " non raggiunta");
        return valore;
    }
    const analisi::Limiti& l = v.limiti;
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
            conta(v, c.rispettato, nomeLimite(c.limite));
        }
        valore.altezze.push_back(std::move(a));
    }
    return valore;
}

} // namespace

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

VerdettiSezione verdettiSezione(const progetto::Progetto& p, const calcolo::Tabella& t) {
    using Quale = ValoreVerificato::Quale;
    const progetto::Verifiche& caselle = p.verifiche;
    progetto::LeggeLetta legge = progetto::leggiLegge(caselle, t.ingressi.coeffBazin);
    const analisi::Sezione sezione{t.raggioM, t.ingressi.pendenza,
                                   legge.resistenza.value_or(t.ingressi.resistenza()),
                                   progetto::geometriaDi(caselle)};
    VerdettiSezione v{std::move(legge),
                      sezione,
                      analisi::Risposte(sezione),
                      progetto::limitiDi(caselle),
                      letto(caselle.portataProgetto),
                      letto(caselle.portataMinima),
                      letto(caselle.velocitaProgetto),
                      {},
                      {},
                      {},
                      0,
                      0,
                      {}};
    v.richieste = analisi::risposteRichieste(v.risposte, inSi(v.portata, 1000),
                                             inSi(v.velocita, 100), inSi(v.portataMinima, 1000));
    for (const auto& [quale, casella, valore] :
         {std::tuple{Quale::Portata, &caselle.portataProgetto, v.portata},
          {Quale::PortataMinima, &caselle.portataMinima, v.portataMinima},
          {Quale::Velocita, &caselle.velocitaProgetto, v.velocita}}) {
        if (!casella->vuota() && !valore) {
            v.illeggibili.push_back(quale);
            ++v.nonSoddisfatte;
            v.mancate.push_back(std::string(nomeValore(quale)) + " non leggibile");
        }
    }
    if (v.portata) {
        v.verifiche.push_back(verifica(v, Quale::Portata, v.richieste.altezzePortata));
    }
    if (v.portataMinima) {
        std::vector<analisi::Risposta> altezze;
        if (v.richieste.altezzaMinima) {
            altezze.push_back(*v.richieste.altezzaMinima);
        }
        v.verifiche.push_back(verifica(v, Quale::PortataMinima, altezze));
    }
    if (v.velocita) {
        v.verifiche.push_back(verifica(v, Quale::Velocita, v.richieste.altezzeVelocita));
    }
    return v;
}

} // namespace relazione

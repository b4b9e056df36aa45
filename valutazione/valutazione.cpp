#include "valutazione/valutazione.h"

#include "calc/limiti_incremento.h"
#include "caselle/ingressi.h"
#include "errori/errore_runtime.h"
#include "numeri/sezione.h"
#include "progetto/legge_progetto.h"
#include "tratti/grandezze.h"

#include <algorithm>

namespace valutazione {

namespace {

// A box of the network's rules that does not read: the line stops at it,
// as the window marks it and the command line refuses it.
std::optional<CasellaSbagliata> casellaDellaRete(const progetto::Rete& rete) {
    const struct {
        const progetto::Casella& casella;
        const char* chiave;
        const char* nome;
        const tratti::Campo& campo;
    } lunghezze[] = {
        {rete.ricoprimentoMinimo, "rete.ricoprimento_minimo", "il ricoprimento minimo",
         tratti::campoRicoprimento},
        {rete.profonditaMassima, "rete.profondita_massima", "la profondità massima",
         tratti::campoProfondita},
        {rete.saltoMassimo, "rete.salto_massimo", "il salto massimo", tratti::campoSalto},
    };
    for (const auto& l : lunghezze) {
        if (const std::optional<std::string> motivo = motivoLunghezza(l.casella.testo, l.campo)) {
            return CasellaSbagliata{l.chiave, l.nome, l.casella.testo, *motivo};
        }
    }
    if (!tratti::allineamentoDaNome(rete.allineamento)) {
        return CasellaSbagliata{"rete.allineamento", "la regola di allineamento", rete.allineamento,
                                "Le regole sono cieli, pelo e fondo."};
    }
    return std::nullopt;
}

} // namespace

Tabella tabellaDi(const progetto::Ingressi& i) {
    Tabella esito;
    calcolo::Ingressi ingressi;
    try {
        ingressi.coeffBazin = i.coefficiente.valore();
        ingressi.raggio = i.raggio.valore();
        ingressi.pendenza = i.pendenza.valore();
        ingressi.incremento = limitaIncremento(ingressi.raggio, i.incremento.valore()).valore;
        ingressi.tipoSezione = ingressi.raggio > 0 ? TestoSezione(ingressi.raggio) : "/";
    } catch (const ErroreRuntime& e) {
        esito.errore = "Errore " + std::to_string(e.numero()) + ": " + e.descrizione();
        return esito;
    }
    if (ingressi.coeffBazin > 0) {
        esito.coeffBazin = ingressi.coeffBazin;
    }
    if (!ingressi.positivi()) {
        return esito;
    }
    calcolo::Tabella tabella = calcolo::calcolaTabella(ingressi);
    if (tabella.errore) {
        esito.errore = "Errore " + std::to_string(tabella.errore->numero()) + ": " +
                       tabella.errore->descrizione();
        return esito;
    }
    esito.tabella = std::move(tabella);
    return esito;
}

Tabella tabellaCalcolata(calcolo::Tabella tabella) {
    Tabella esito;
    if (tabella.ingressi.coeffBazin > 0) {
        esito.coeffBazin = tabella.ingressi.coeffBazin;
    }
    esito.tabella = std::move(tabella);
    return esito;
}

Linea lineaDi(const progetto::Progetto& p, const Tabella& tabella) {
    Linea linea;
    const progetto::LeggeLetta legge =
        progetto::leggiLegge(p.verifiche, tabella.coeffBazin.value_or(0));
    linea.leggeDellaTabella = legge.dellaTabella;
    if (!legge.resistenza) {
        linea.impedimento = casellaDellaLegge(legge, p.verifiche);
        return linea;
    }
    if (std::optional<CasellaSbagliata> limite = casellaDeiLimiti(p.verifiche)) {
        linea.impedimento = std::move(limite);
        return linea;
    }
    if (legge.dellaTabella && !tabella.coeffBazin) {
        linea.impedimento = CasellaSbagliata{
            "ingressi.coefficiente", "il coefficiente di Bazin della finestra principale",
            p.ingressi.coefficiente.testo, "Non è un numero positivo."};
        return linea;
    }
    if (std::optional<CasellaSbagliata> casella = casellaDellaRete(p.rete)) {
        linea.impedimento = std::move(casella);
        return linea;
    }
    linea.impostazioni =
        progetto::impostazioniTratti(p.verifiche, p.rete, *legge.resistenza, p.catalogo);
    return linea;
}

Rete reteDi(const progetto::Progetto& p) {
    Rete rete;
    rete.righe = progetto::leggiRighe(p.tratti);
    for (const progetto::RigaLetta& riga : rete.righe) {
        if (riga.tratto) {
            rete.tratti.push_back(*riga.tratto);
            rete.righeDeiTratti.push_back(riga.riga);
        }
    }
    rete.pozzetti = progetto::pozzettiDi(p.pozzetti);
    rete.deroghe = derogheDi(p.deroghe);
    return rete;
}

std::vector<tratti::Deroga> derogheDi(const std::vector<progetto::RigaDeroga>& righe) {
    std::vector<tratti::Deroga> deroghe;
    for (const progetto::RigaDeroga& riga : righe) {
        if (const std::optional<tratti::Controllo> controllo =
                tratti::controlloDaChiave(riga.controllo)) {
            const bool diTratto = !riga.tratto.empty();
            deroghe.push_back({diTratto ? tratti::Voce::Tratto : tratti::Voce::Pozzetto,
                               diTratto ? riga.tratto : riga.pozzetto, *controllo, riga.motivo});
        }
    }
    return deroghe;
}

bool calcola(Rete& rete, const Linea& linea, tratti::Verifica verifica, tratti::Fermo fermo) {
    rete.esiti.reset();
    rete.derogheApplicate.clear();
    if (!linea.impostazioni) {
        return true;
    }
    rete.esiti = tratti::calcolaRete(rete.tratti, rete.pozzetti, *linea.impostazioni,
                                     std::move(verifica), std::move(fermo));
    if (rete.esiti) {
        rete.derogheApplicate = tratti::applicaDeroghe(*rete.esiti, rete.tratti, rete.deroghe);
    }
    return rete.esiti.has_value();
}

Giudizio giudica(const progetto::Progetto& p, const Valutazione& v) {
    Giudizio g;
    g.tratti = v.rete.righe.size();
    g.illeggibili = static_cast<std::size_t>(
        std::count_if(v.rete.righe.begin(), v.rete.righe.end(),
                      [](const progetto::RigaLetta& r) { return r.errore.has_value(); }));
    if (v.rete.esiti) {
        const tratti::EsitiRete& esiti = *v.rete.esiti;
        for (const tratti::Esito& e : esiti.esiti) {
            g.verificati += e.calcolato && e.verificato ? 1 : 0;
            g.conDeroga += e.calcolato && e.verificato && e.conDeroga ? 1 : 0;
            g.nonCalcolati += e.calcolato ? 0 : 1;
        }
        for (const tratti::EsitoPozzetto& pozzetto : esiti.pozzetti) {
            if (!pozzetto.usato && pozzetto.verificato()) {
                continue;
            }
            ++g.pozzetti;
            g.pozzettiVerificati += pozzetto.verificato() ? 1 : 0;
            g.pozzettiConDeroga += pozzetto.verificato() && pozzetto.conDeroga() ? 1 : 0;
            if (std::any_of(pozzetto.rilievi.begin(), pozzetto.rilievi.end(),
                            [](const tratti::Rilievo& r) {
                                return r.gravita() == tratti::Gravita::Provvedimento;
                            })) {
                g.pozzettiDiSalto.push_back(pozzetto.nome);
            }
        }
        g.formaSbagliata = !esiti.errori.empty();
    }
    g.sezioneTipo = g.tratti == 0 || p.dati.sezioneTipo == "si";
    const Sezione& s = v.sezione;
    const bool conValori = s.portata || s.portataMinima || s.velocita || !s.illeggibili.empty();
    const bool sezioneRegge =
        !conValori || (s.risposte && s.errore.empty() && s.nonSoddisfatte == 0);
    if (g.tratti > 0) {
        g.idonea = v.rete.esiti && g.verificati == g.tratti && g.pozzettiVerificati == g.pozzetti &&
                   !g.formaSbagliata && (!g.sezioneTipo || sezioneRegge);
    } else if (conValori) {
        g.idonea = sezioneRegge;
    }
    return g;
}

Valutazione valuta(const progetto::Progetto& progetto) {
    return valuta(progetto, tabellaDi(progetto.ingressi));
}

Valutazione valuta(const progetto::Progetto& progetto, Tabella tabella) {
    Valutazione v;
    v.sezione = sezioneDi(progetto, tabella.tabella);
    v.linea = lineaDi(progetto, tabella);
    v.tabella = std::move(tabella);
    v.rete = reteDi(progetto);
    calcola(v.rete, v.linea);
    v.giudizio = giudica(progetto, v);
    return v;
}

} // namespace valutazione

#include "analisi/risposte.h"
#include "analisi/tabella_analisi.h"
#include "analisi/verifiche.h"
#include "calc/resistenza.h"
#include "errori/motivo_eccezione.h"
#include "numeri/formato.h"
#include "numeri/sezione.h"
#include "valutazione/sezione.h"
#include "valutazione/valutazione.h"
#include "web/nucleo/caselle_web.h"
#include "web/nucleo/json_scritto.h"
#include "web/nucleo/nucleo.h"
#include "web/nucleo/separatore_web.h"
#include "web/nucleo/verifiche_web.h"

#include <algorithm>
#include <cmath>
#include <exception>

namespace web {

namespace {

std::string vuote(const std::string& errore, Segnali& caselle, bool valoriDati) {
    return Oggetto()
        .testo("errore", errore)
        .vero("valoriDati", valoriDati)
        .vero("caselleValide", caselle.validi)
        .grezzo("nonRaggiunte", "[]")
        .grezzo("segnali", caselle.oggetto.chiudi())
        .grezzo("righe", "[]")
        .grezzo("curva", "[]")
        .grezzo("livelli", "[]")
        .chiudi();
}

std::string punto(const analisi::Grandezze& g) {
    return Oggetto()
        .numero("h", g.altezza * 100)
        .numero("v", g.velocita * 100)
        .numero("q", g.portata * 1000)
        .chiudi();
}

// Round values for an axis from 0 to at least `massimo`: steps of 1, 2 or
// 5 times a power of ten, five to twelve of them, each with its text.
std::string tacche(double massimo, Separatore separatore) {
    if (!(massimo > 0) || !std::isfinite(massimo)) {
        return "[]";
    }
    const double grezzo = massimo / 5;
    int potenza = static_cast<int>(std::floor(std::log10(grezzo)));
    const double mantissa = grezzo / std::pow(10.0, potenza);
    const double multiplo = mantissa <= 1 ? 1 : mantissa <= 2 ? 2 : mantissa <= 5 ? 5 : 10;
    if (multiplo == 10) {
        ++potenza;
    }
    const double passo = (multiplo == 10 ? 1 : multiplo) * std::pow(10.0, potenza);
    const std::string modello =
        potenza >= 0 ? "0" : "0." + std::string(static_cast<std::size_t>(-potenza), '0');
    std::vector<std::string> esito;
    for (int k = 0;; ++k) {
        const double valore = k * passo;
        esito.push_back(Oggetto()
                            .numero("valore", valore)
                            .testo("testo", Format(valore, modello, separatore))
                            .chiudi());
        if (valore >= massimo * (1 - 1e-12)) {
            break;
        }
    }
    return elenco(esito);
}

} // namespace

std::string risposte(const std::string& richiesta) {
    const json::Valore r = json::leggi(richiesta);
    const Separatore separatore = separatoreDi(r);
    progetto::Progetto p;
    p.ingressi = ingressiDi(r);
    p.verifiche = verificheDi(r);
    const valutazione::Tabella tabella = valutazione::tabellaDi(p.ingressi);
    const valutazione::Sezione s = valutazione::sezioneDi(p, tabella.tabella);

    Segnali caselle;
    for (const char* chiave : {"portata", "portataMinima", "velocita"}) {
        caselle.positivo(r, chiave);
    }
    segnalaLimiti(r, p.verifiche, caselle);
    segnalaLegge(s.legge, caselle);
    const bool valoriDati = s.portata || s.portataMinima || s.velocita;
    if (!tabella.tabella) {
        return vuote("Nessuna sezione: la tabella non c'è (raggio, pendenza, incremento e "
                     "coefficiente devono essere positivi).",
                     caselle, valoriDati);
    }
    if (s.impedimento) {
        return vuote("Nessuna risposta: non si legge " + valutazione::testoCasella(*s.impedimento) +
                         ".",
                     caselle, valoriDati);
    }
    if (!s.risposte) {
        return vuote("Nessuna risposta: " + s.errore + ".", caselle, valoriDati);
    }
    const analisi::Sezione& sezione = *s.sezione;
    const analisi::Risposte& risposte = *s.risposte;
    const analisi::Limiti& limiti = s.limiti;
    try {
        std::vector<std::string> righe;
        std::vector<std::string> livelli;
        for (const RigaAnalisi& riga : s.righe) {
            Oggetto o;
            o.grezzo("testi", elencoDiTesti(testiAnalisi(riga, separatore)));
            if (riga.esito) {
                o.vero("conforme", riga.esito->conforme());
            } else {
                o.grezzo("conforme", "null");
            }
            righe.push_back(o.chiudi());
            if (riga.risposta.ruolo != analisi::Ruolo::Riferimento) {
                livelli.push_back(Oggetto()
                                      .testo("etichetta", riga.risposta.etichetta)
                                      .numero("h", riga.risposta.risposta.altezza * 100)
                                      .vero("minima", riga.risposta.ruolo == analisi::Ruolo::Minima)
                                      .chiudi());
            }
        }
        std::vector<std::string> curva;
        double qMassima = risposte.portataMassima().portata * 1000;
        double vMassima = std::max(risposte.velocitaMassima().velocita * 100,
                                   std::max(limiti.velocitaMinima, limiti.velocitaMassima) * 100);
        for (const analisi::Grandezze& g : analisi::curva(sezione, 120)) {
            curva.push_back(punto(g));
            qMassima = std::max(qMassima, g.portata * 1000);
            vMassima = std::max(vMassima, g.velocita * 100);
        }
        const std::string titolo =
            "Sezione inglese " + TestoSezione(sezione.raggio * 100, separatore) +
            " cm · i = " + Format(sezione.pendenza, "#0.###0", separatore) + " · " +
            std::string(formule::nomeLegge(sezione.resistenza.legge)) + " " +
            Format(sezione.resistenza.coefficiente, separatore) + " · geometria " +
            (sezione.geometria == formule::Geometria::Esatta ? "esatta" : "tabellare");
        // The design values the section never reaches: checks that fail.
        std::vector<std::string> nonRaggiunte;
        for (const valutazione::ValoreVerificato& valore : s.verifiche) {
            if (valore.altezze.empty()) {
                nonRaggiunte.push_back(valutazione::nomeValore(valore.quale));
            }
        }
        return Oggetto()
            .testo("errore", "")
            .vero("valoriDati", valoriDati)
            .vero("caselleValide", caselle.validi)
            .grezzo("nonRaggiunte", elencoDiTesti(nonRaggiunte))
            .testo("titolo", titolo)
            .grezzo("titoli", elencoDiTesti(titoliAnalisi()))
            .grezzo("righe", elenco(righe))
            .grezzo("messaggi", elencoDiTesti(messaggiAnalisi(risposte, s.richieste, limiti,
                                                              caselle.validi, separatore)))
            .grezzo("segnali", caselle.oggetto.chiudi())
            .grezzo("curva", elenco(curva))
            .numero("altezzaPiena", risposte.piena().altezza * 100)
            .numero("raggio", sezione.raggio * 100)
            .grezzo("livelli", elenco(livelli))
            .grezzo("tacche", Oggetto()
                                  .grezzo("h", tacche(risposte.piena().altezza * 100, separatore))
                                  .grezzo("q", tacche(qMassima, separatore))
                                  .grezzo("v", tacche(vMassima, separatore))
                                  .chiudi())
            .grezzo("massimi", Oggetto()
                                   .grezzo("portata", punto(risposte.portataMassima()))
                                   .grezzo("velocita", punto(risposte.velocitaMassima()))
                                   .chiudi())
            .grezzo("limiti", Oggetto()
                                  .numero("velocitaMinima", limiti.velocitaMinima * 100)
                                  .numero("velocitaMassima", limiti.velocitaMassima * 100)
                                  .numero("riempimentoMassimo", limiti.riempimentoMassimo * 100)
                                  .chiudi())
            .chiudi();
    } catch (const std::exception& e) {
        // The curves' own failures: no answer is better than a wrong one.
        return vuote("Nessuna risposta: " + motivoEccezione(e) + ".", caselle, valoriDati);
    }
}

} // namespace web

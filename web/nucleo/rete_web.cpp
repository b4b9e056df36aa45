#include "caselle/catalogo.h"
#include "caselle/ingressi.h"
#include "file/csv.h"
#include "numeri/conversioni.h"
#include "numeri/formato.h"
#include "numeri/misure.h"
#include "numeri/testo_decimale.h"
#include "progetto/legge_progetto.h"
#include "progetto/righe_tratti.h"
#include "tratti/csv_tratti.h"
#include "tratti/parole.h"
#include "tratti/rete.h"
#include "web/nucleo/json_scritto.h"
#include "web/nucleo/nucleo.h"
#include "web/nucleo/separatore_web.h"
#include "web/nucleo/verifiche_web.h"

namespace web {

namespace {

// The page's line: its rows of reaches and manholes, and what the line is
// verified with, as the reaches window reads its own.
struct Linea {
    std::vector<progetto::RigaTratto> righe;
    std::vector<progetto::RigaPozzetto> pozzetti;
    std::vector<progetto::RigaLetta> lette;
    std::optional<tratti::Impostazioni> impostazioni;
    std::string errore; // why there are no settings
    Segnali segnali;    // the boxes of the law, the limits and the network
};

std::vector<progetto::RigaTratto> righeDi(const json::Valore& elenco) {
    std::vector<progetto::RigaTratto> righe;
    for (const json::Valore& riga : elenco.elementi) {
        tratti::CelleTratto celle;
        for (std::size_t c = 0; c < celle.size() && c < riga.elementi.size(); ++c) {
            const json::Valore& cella = riga.elementi[c];
            celle[c] = cella.tipo == json::Tipo::Testo && cella.testo ? *cella.testo : "";
        }
        righe.push_back(progetto::rigaDaCelle(celle));
    }
    return righe;
}

std::vector<progetto::RigaPozzetto> pozzettiDi(const json::Valore& elenco) {
    std::vector<progetto::RigaPozzetto> pozzetti;
    for (const json::Valore& p : elenco.elementi) {
        pozzetti.push_back({testoDi(p, "nome"),
                            progetto::Casella::daTesto(testoDi(p, "terreno")),
                            testoDi(p, "nota"),
                            {}});
    }
    return pozzetti;
}

Linea lineaDi(const json::Valore& r) {
    Linea l;
    l.righe = righeDi(membroDi(r, "tratti"));
    l.pozzetti = pozzettiDi(membroDi(r, "pozzetti"));
    l.lette = progetto::leggiRighe(l.righe);
    const json::Valore& i = membroDi(r, "impostazioni");
    const progetto::Verifiche v = verificheDi(i);
    segnalaLimiti(i, v, l.segnali);
    progetto::Rete rete;
    const std::string allineamento = testoDi(i, "allineamento");
    rete.allineamento = allineamento.empty() ? "cieli" : allineamento;
    // A box of the network's rules that does not read is marked, and the
    // rule is then the proposal's, or not checked.
    const struct {
        const char* chiave;
        progetto::Casella progetto::Rete::*valore;
        const tratti::Campo& campo;
    } lunghezze[] = {
        {"ricoprimentoMinimo", &progetto::Rete::ricoprimentoMinimo, tratti::campoRicoprimento},
        {"profonditaMassima", &progetto::Rete::profonditaMassima, tratti::campoProfondita},
        {"saltoMassimo", &progetto::Rete::saltoMassimo, tratti::campoSalto}};
    for (const auto& c : lunghezze) {
        const std::string testo = testoDi(i, c.chiave);
        const std::optional<std::string> motivo = motivoLunghezza(testo, c.campo);
        l.segnali.segnala(c.chiave, motivo);
        rete.*c.valore = progetto::Casella::daTesto(motivo ? std::string() : testo);
    }

    std::string motivo;
    const std::optional<std::vector<double>> raggi =
        catalogo::daTesto(testoDi(i, "catalogo"), motivo);
    l.segnali.segnala("catalogo", raggi ? std::nullopt : std::optional<std::string>(motivo));
    const std::string coefficiente = testoDi(i, "coefficiente");
    const progetto::LeggeLetta letta =
        progetto::leggiLegge(v, coefficiente.empty() ? 0.18 : ValCasella(coefficiente));
    segnalaLegge(letta, l.segnali);
    if (!raggi) {
        l.errore = "Catalogo: " + motivo;
        return l;
    }
    if (!letta.resistenza) {
        l.errore = "La resistenza al moto della linea non è data: " + letta.motivo;
        return l;
    }
    const std::vector<double> nessuno;
    l.impostazioni = progetto::impostazioniTratti(v, rete, *letta.resistenza,
                                                  *raggi == catalogo::usuale() ? nessuno : *raggi);
    return l;
}

std::vector<tratti::Tratto> trattiLetti(const Linea& l) {
    std::vector<tratti::Tratto> letti;
    for (const progetto::RigaLetta& riga : l.lette) {
        if (riga.tratto) {
            letti.push_back(*riga.tratto);
        }
    }
    return letti;
}

tratti::Formato formatoDi(const json::Valore& r) {
    return testoDi(r, "formato") == "csv-it" ? tratti::Formato::CsvItaliano : tratti::Formato::Csv;
}

std::string livello(std::optional<double> m, Separatore separatore) {
    return m ? testoMisura(Misura::Quota, *m, separatore) : "";
}

std::string pozzetto(const tratti::EsitoPozzetto& p, Separatore separatore) {
    std::string difetti;
    for (const tratti::Rilievo& r : p.rilievi) {
        difetti.append(difetti.empty() ? "" : "; ")
            .append(tratti::testoRilievo(r, separatore, tratti::Voce::Pozzetto));
    }
    return Oggetto()
        .testo("nome", p.nome)
        .grezzo("celle",
                elencoDiTesti({p.nome, livello(p.quotaTerreno, separatore),
                               livello(p.quotaFondo, separatore), livello(p.salto, separatore),
                               livello(p.ricoprimento, separatore),
                               p.sbocco ? "sbocco" : (p.usato ? "" : "non usato"),
                               p.verificato() ? "verificato" : "non verificato"}))
        .vero("verificato", p.verificato())
        .testo("difetti", difetti)
        .chiudi();
}

std::string risposta(const std::string& errore, const std::string& testo = {}) {
    return Oggetto().testo("errore", errore).testo("testo", testo).chiudi();
}

// A row that cannot be read stops an export: nothing half written.
std::optional<std::string> rigaIllegibile(const Linea& l) {
    for (const progetto::RigaLetta& riga : l.lette) {
        if (riga.errore) {
            return "Nulla è stato esportato: alla riga " + std::to_string(riga.riga) +
                   " la colonna «" + riga.errore->colonna() +
                   "» non è valida: " + riga.errore->motivo() + ".";
        }
    }
    return std::nullopt;
}

} // namespace

std::string rete(const std::string& richiesta) {
    const json::Valore r = json::leggi(richiesta);
    const Separatore separatore = separatoreDi(r);
    const Linea l = lineaDi(r);
    const std::vector<tratti::Tratto> letti = trattiLetti(l);
    std::optional<tratti::EsitiRete> esiti;
    if (l.impostazioni) {
        esiti = tratti::calcolaRete(letti, progetto::pozzettiDi(l.pozzetti), *l.impostazioni);
    }
    const std::vector<std::vector<std::string>> celle =
        esiti ? tratti::celleEsiti(letti, esiti->esiti, separatore)
              : tratti::celleEsiti({}, {}, separatore);

    // One result a row of the page, blank rows included.
    std::vector<std::string> righe(l.righe.size(), Oggetto().grezzo("celle", "null").chiudi());
    std::size_t calcolato = 0;
    std::size_t verificati = 0;
    for (const progetto::RigaLetta& riga : l.lette) {
        Oggetto o;
        if (riga.errore) {
            o.grezzo("errore", Oggetto()
                                   .testo("colonna", riga.errore->colonna())
                                   .testo("motivo", riga.errore->motivo())
                                   .chiudi());
            o.grezzo("celle", "null");
        } else if (esiti) {
            const tratti::Esito& e = esiti->esiti[calcolato];
            o.grezzo("errore", "null")
                .grezzo("celle", elencoDiTesti(celle[calcolato + 2]))
                .vero("verificato", e.verificato)
                .testo("motivo", tratti::motivoDi(e, separatore))
                .testo("avvisi", tratti::avvisiDi(e, separatore))
                .testoOpzionale("raggioDaScrivere", !riga.tratto->raggio && e.verificato
                                                        ? std::optional<std::string>(CStr(e.raggio))
                                                        : std::nullopt);
            verificati += e.verificato ? 1 : 0;
        }
        if (riga.tratto) {
            ++calcolato;
        }
        righe[riga.riga - 1] = o.chiudi();
    }
    std::vector<std::string> pozzetti;
    std::vector<std::string> errori;
    std::size_t pozzettiVerificati = 0;
    if (esiti) {
        for (const tratti::EsitoPozzetto& p : esiti->pozzetti) {
            pozzetti.push_back(pozzetto(p, separatore));
            pozzettiVerificati += p.verificato() ? 1 : 0;
        }
        for (const tratti::ErroreRete& e : esiti->errori) {
            errori.push_back(tratti::testoRilievo(e.rilievo, separatore, tratti::Voce::Pozzetto));
        }
    }
    const std::size_t illeggibili = l.lette.size() - letti.size();
    std::string riepilogo;
    if (esiti) {
        riepilogo = "Tratti verificati: " + std::to_string(verificati) + " su " +
                    std::to_string(l.lette.size()) +
                    (illeggibili > 0 ? " (" + std::to_string(illeggibili) +
                                           " non calcolati: una casella non è valida)"
                                     : std::string()) +
                    "; pozzetti verificati: " + std::to_string(pozzettiVerificati) + " su " +
                    std::to_string(esiti->pozzetti.size()) + ".";
    }
    if (!l.segnali.validi) {
        riepilogo += (riepilogo.empty() ? "" : " ") + std::string(caselleNonValide);
    }
    return Oggetto()
        .testo("errore", l.errore)
        .grezzo("intestazione", elenco({elencoDiTesti(celle[0]), elencoDiTesti(celle[1])}))
        .grezzo("righe", elenco(righe))
        .grezzo("intestazionePozzetti", elencoDiTesti({"POZZETTO", "TERRENO (m)", "FONDO (m)",
                                                       "SALTO (m)", "RICOPR. (m)", "", "ESITO"}))
        .grezzo("pozzetti", elenco(pozzetti))
        .grezzo("errori", elencoDiTesti(errori))
        .testo("riepilogo", riepilogo)
        .grezzo("segnali", l.segnali.oggetto.chiudi())
        .vero("caselleValide", l.segnali.validi)
        .chiudi();
}

std::string importaCsv(const std::string& richiesta) {
    const json::Valore r = json::leggi(richiesta);
    tratti::CelleLette lette;
    try {
        lette = tratti::leggiCelleTratti(testoDi(r, "testo"));
    } catch (const csv::Errore& e) {
        return Oggetto()
            .testo("errore", std::string("Impossibile importare il file, ") + e.what() + ".")
            .chiudi();
    }
    std::vector<std::string> righe;
    for (const tratti::CelleTratto& celle : lette.celle) {
        righe.push_back(elencoDiTesti(std::vector<std::string>(celle.begin(), celle.end())));
    }
    std::vector<std::string> pozzetti;
    for (const tratti::Pozzetto& p : lette.pozzetti) {
        pozzetti.push_back(Oggetto()
                               .testo("nome", p.nome)
                               .testo("terreno", p.quotaTerreno ? TestoEsatto(*p.quotaTerreno) : "")
                               .testo("nota", p.nota)
                               .chiudi());
    }
    return Oggetto()
        .testo("errore", "")
        .grezzo("tratti", elenco(righe))
        .grezzo("pozzetti", elenco(pozzetti))
        .chiudi();
}

std::string esportaTratti(const std::string& richiesta) {
    const json::Valore r = json::leggi(richiesta);
    const Linea l = lineaDi(r);
    if (const std::optional<std::string> motivo = rigaIllegibile(l)) {
        return risposta(*motivo);
    }
    return risposta(
        "", tratti::testoTratti(trattiLetti(l), formatoDi(r), progetto::pozzettiDi(l.pozzetti)));
}

std::string esportaEsiti(const std::string& richiesta) {
    const json::Valore r = json::leggi(richiesta);
    const Linea l = lineaDi(r);
    if (const std::optional<std::string> motivo = rigaIllegibile(l)) {
        return risposta(*motivo);
    }
    if (!l.impostazioni) {
        return risposta("Nulla è stato esportato: " + l.errore);
    }
    const std::vector<tratti::Tratto> letti = trattiLetti(l);
    const tratti::EsitiRete esiti =
        *tratti::calcolaRete(letti, progetto::pozzettiDi(l.pozzetti), *l.impostazioni);
    return risposta("", tratti::testoEsiti(letti, esiti.esiti, formatoDi(r)));
}

} // namespace web

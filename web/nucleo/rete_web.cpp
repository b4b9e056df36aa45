#include "caselle/ingressi.h"
#include "file/csv.h"
#include "numeri/conversioni.h"
#include "numeri/misure.h"
#include "progetto/righe_tratti.h"
#include "tratti/csv_tratti.h"
#include "tratti/parole.h"
#include "tratti/rete.h"
#include "valutazione/valutazione.h"
#include "web/nucleo/json_scritto.h"
#include "web/nucleo/nucleo.h"
#include "web/nucleo/progetto_web.h"
#include "web/nucleo/separatore_web.h"
#include "web/nucleo/valutazione_web.h"
#include "web/nucleo/verifiche_web.h"

namespace web {

namespace {

using progetto::Casella;

// The boxes of the network's rules, by the keys the page names them.
const struct {
    const char* chiave;
    Casella progetto::Rete::*casella;
    const tratti::Campo& campo;
} caselleRete[] = {
    {"ricoprimentoMinimo", &progetto::Rete::ricoprimentoMinimo, tratti::campoRicoprimento},
    {"profonditaMassima", &progetto::Rete::profonditaMassima, tratti::campoProfondita},
    {"saltoMassimo", &progetto::Rete::saltoMassimo, tratti::campoSalto},
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
                            Casella::daTesto(testoDi(p, "terreno")),
                            testoDi(p, "nota"),
                            {},
                            testoDi(p, "allineamento")});
    }
    return pozzetti;
}

// The page's line as a project: its rows of reaches and manholes, and what
// it is verified with, the main window's γ among it, each box as typed.
ProgettoDellaPagina lineaDi(const json::Valore& r) {
    ProgettoDellaPagina pagina;
    progetto::Progetto& p = pagina.progetto;
    const json::Valore& i = membroDi(r, "impostazioni");
    p.ingressi.coefficiente = Casella::daTesto(testoDi(i, "coefficiente"));
    p.verifiche = verificheDi(i);
    const std::string allineamento = testoDi(i, "allineamento");
    p.rete.allineamento = allineamento.empty() ? "cieli" : allineamento;
    for (const auto& c : caselleRete) {
        p.rete.*c.casella = Casella::daTesto(testoDi(i, c.chiave));
    }
    p.tratti = righeDi(membroDi(r, "tratti"));
    p.pozzetti = pozzettiDi(membroDi(r, "pozzetti"));
    p.deroghe = derogheDi(membroDi(r, "deroghe"));
    leggiCatalogo(pagina, testoDi(i, "catalogo"));
    return pagina;
}

// Each box of the line marked with its reason, as the reaches window marks
// its own.
Segnali segnaliDi(const json::Valore& r, const ProgettoDellaPagina& pagina,
                  const valutazione::Valutazione& v) {
    const json::Valore& i = membroDi(r, "impostazioni");
    Segnali segnali;
    segnalaLimiti(i, pagina.progetto.verifiche, segnali);
    for (const auto& c : caselleRete) {
        segnali.segnala(c.chiave,
                        motivoLunghezza((pagina.progetto.rete.*c.casella).testo, c.campo));
    }
    segnali.segnala("catalogo",
                    pagina.catalogo ? std::optional(pagina.catalogo->motivo) : std::nullopt);
    segnalaLegge(v.sezione.legge, segnali);
    return segnali;
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
                               !p.verificato() ? "non verificato"
                               : p.conDeroga() ? "verificato con deroga"
                                               : "verificato"}))
        .vero("verificato", p.verificato())
        .testo("difetti", difetti)
        .chiudi();
}

std::string risposta(const std::string& errore, const std::string& testo = {}) {
    return Oggetto().testo("errore", errore).testo("testo", testo).chiudi();
}

// A row that cannot be read stops an export: nothing half written.
std::optional<std::string> rigaIllegibile(const valutazione::Rete& rete) {
    for (const progetto::RigaLetta& riga : rete.righe) {
        if (riga.errore) {
            return "Nulla è stato esportato: alla riga " + std::to_string(riga.riga) +
                   " la colonna «" + riga.errore->colonna() +
                   "» non è valida: " + riga.errore->motivo() + ".";
        }
    }
    return std::nullopt;
}

// The counts of the verdict, under the reaches' table.
std::string riepilogo(const valutazione::Giudizio& g) {
    return "Tratti verificati: " + std::to_string(g.verificati) + " su " +
           std::to_string(g.tratti) +
           (g.illeggibili > 0
                ? " (" + std::to_string(g.illeggibili) + " non calcolati: una casella non è valida)"
                : std::string()) +
           "; pozzetti verificati: " + std::to_string(g.pozzettiVerificati) + " su " +
           std::to_string(g.pozzetti) + ".";
}

} // namespace

std::string rete(const std::string& richiesta) {
    const json::Valore r = json::leggi(richiesta);
    const Separatore separatore = separatoreDi(r);
    const ProgettoDellaPagina pagina = lineaDi(r);
    const valutazione::Valutazione v = valuta(pagina);
    const Segnali segnali = segnaliDi(r, pagina, v);
    const std::optional<tratti::EsitiRete>& esiti = v.rete.esiti;
    const std::vector<std::vector<std::string>> celle =
        esiti ? tratti::celleEsiti(v.rete.tratti, esiti->esiti, separatore)
              : tratti::celleEsiti({}, {}, separatore);

    // One result a row of the page, blank rows included.
    std::vector<std::string> righe(pagina.progetto.tratti.size(),
                                   Oggetto().grezzo("celle", "null").chiudi());
    std::size_t calcolato = 0;
    for (const progetto::RigaLetta& riga : v.rete.righe) {
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
                // A reach no size fits takes the size its result shows, as
                // the command line prints it; one not computed, none.
                .testoOpzionale("raggioDaScrivere", !riga.tratto->raggio && e.calcolato
                                                        ? std::optional<std::string>(CStr(e.raggio))
                                                        : std::nullopt);
        }
        if (riga.tratto) {
            ++calcolato;
        }
        righe[riga.riga - 1] = o.chiudi();
    }
    std::vector<std::string> pozzetti;
    std::vector<std::string> errori;
    if (esiti) {
        for (const tratti::EsitoPozzetto& p : esiti->pozzetti) {
            pozzetti.push_back(pozzetto(p, separatore));
        }
        for (const tratti::ErroreRete& e : esiti->errori) {
            errori.push_back(tratti::testoRilievo(e.rilievo, separatore, tratti::Voce::Pozzetto));
        }
    }
    std::string sotto = esiti ? riepilogo(v.giudizio) : std::string();
    if (!segnali.validi) {
        sotto += (sotto.empty() ? "" : " ") + std::string(caselleNonValide);
    }
    return Oggetto()
        .testo("errore", v.linea.impedimento
                             ? "I tratti non sono stati verificati, perché non si legge " +
                                   valutazione::testoCasella(*v.linea.impedimento) + "."
                             : std::string())
        .grezzo("intestazione", elenco({elencoDiTesti(celle[0]), elencoDiTesti(celle[1])}))
        .grezzo("righe", elenco(righe))
        .grezzo("intestazionePozzetti", elencoDiTesti({"POZZETTO", "TERRENO (m)", "FONDO (m)",
                                                       "SALTO (m)", "RICOPR. (m)", "", "ESITO"}))
        .grezzo("pozzetti", elenco(pozzetti))
        .grezzo("errori", elencoDiTesti(errori))
        .testo("riepilogo", sotto)
        .grezzo("segnali", segnali.oggetto.chiudi())
        .vero("caselleValide", segnali.validi)
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
    const valutazione::Rete rete = valutazione::reteDi(lineaDi(r).progetto);
    if (const std::optional<std::string> motivo = rigaIllegibile(rete)) {
        return risposta(*motivo);
    }
    return risposta("", tratti::testoTratti(rete.tratti, formatoDi(r), rete.pozzetti));
}

std::string esportaEsiti(const std::string& richiesta) {
    const json::Valore r = json::leggi(richiesta);
    const valutazione::Valutazione v = valuta(lineaDi(r));
    if (const std::optional<std::string> motivo = rigaIllegibile(v.rete)) {
        return risposta(*motivo);
    }
    if (v.linea.impedimento) {
        return risposta("Nulla è stato esportato, perché non si legge " +
                        valutazione::testoCasella(*v.linea.impedimento) + ".");
    }
    return risposta("", tratti::testoEsiti(v.rete.tratti, v.rete.esiti->esiti, formatoDi(r)));
}

} // namespace web

#include "cli/tratti_cli.h"

#include "figure/esporta_profilo.h"
#include "file/errore_file.h"
#include "file/lettura_file.h"
#include "file/testo_visibile.h"
#include "numeri/conversioni.h"
#include "progetto/righe_tratti.h"
#include "relazione/profilo_progetto.h"
#include "tratti/csv_tratti.h"
#include "tratti/parole.h"
#include "tratti/profilo.h"
#include "tratti/rete.h"

#include <algorithm>
#include <map>
#include <set>

namespace {

tratti::Formato formatoTratti(OpzioniCli::Formato formato) {
    switch (formato) {
    case OpzioniCli::Formato::Csv:
        return tratti::Formato::Csv;
    case OpzioniCli::Formato::CsvItaliano:
        return tratti::Formato::CsvItaliano;
    default:
        return tratti::Formato::Tabella;
    }
}

// The network's faults, each with the lines of the reaches it names, as
// many as it names them.
std::string erroreDellaRete(const std::vector<tratti::ErroreRete>& errori,
                            const std::vector<std::size_t>& righe) {
    std::string testo;
    for (const tratti::ErroreRete& errore : errori) {
        std::string dove;
        const std::size_t nominate = std::min(errore.tratti.size(), tratti::trattiNominati);
        const std::size_t altre = errore.tratti.size() - nominate;
        for (std::size_t i = 0; i < nominate; ++i) {
            const bool ultima = i + 1 == nominate && altre == 0;
            dove += (i == 0   ? (ultima ? "riga " : "righe ")
                     : ultima ? " e "
                              : ", ") +
                    std::to_string(righe[errore.tratti[i]]);
        }
        if (altre > 0) {
            dove += " e altre " + std::to_string(altre);
        }
        testo += (testo.empty() ? "" : "; ") + (dove.empty() ? "" : dove + ": ") +
                 tratti::testoRilievo(errore.rilievo, Separatore::Punto, tratti::Voce::Pozzetto);
    }
    return "la rete non è un albero: " + testo;
}

// The reaches of a file as their cells, each with its line.
struct FileDeiTratti {
    tratti::CelleLette lette;
    std::vector<std::size_t> righe;
};

FileDeiTratti fileDeiTratti(const std::string& percorso) {
    try {
        const std::string testo = leggiFileIntero(percorso, tratti::fileMassimo);
        FileDeiTratti file{tratti::leggiCelleTratti(testo), {}};
        file.righe = tratti::leggiTrattiConRighe(testo).righe;
        return file;
    } catch (const ErroreFile& e) {
        throw ErroreUso(e.what());
    } catch (const csv::Errore& e) {
        throw ErroreUso("«" + testoVisibile(percorso) + "», " + e.what());
    }
}

// The project's manholes that the file's reaches name, with the file's
// ground levels: one the project lists without a level takes the file's,
// one it does not list is added, one it gives another level is an error.
// The project's other manholes are not of this line.
std::vector<progetto::RigaPozzetto>
pozzettiConIlFile(const OpzioniCli& opzioni, const std::vector<tratti::CelleTratto>& celle,
                  const std::vector<tratti::Pozzetto>& delFile) {
    std::set<std::string, std::less<>> nominati;
    for (const tratti::CelleTratto& c : celle) {
        nominati.insert(c[tratti::PozzettoMonte]);
        nominati.insert(c[tratti::PozzettoValle]);
    }
    std::vector<progetto::RigaPozzetto> pozzetti;
    std::map<std::string, std::size_t, std::less<>> indici;
    for (const progetto::RigaPozzetto& riga : opzioni.comeScritto.pozzetti) {
        const std::string_view nome = csv::senzaSpazi(riga.pozzetto);
        if (nominati.count(nome) > 0) {
            indici.try_emplace(std::string(nome), pozzetti.size());
            pozzetti.push_back(riga);
        }
    }
    for (const tratti::Pozzetto& pozzetto : delFile) {
        const progetto::Casella quota =
            progetto::Casella::daTesto(TestoEsatto(*pozzetto.quotaTerreno));
        const auto dove = indici.find(pozzetto.nome);
        if (dove == indici.end()) {
            pozzetti.push_back({pozzetto.nome, quota, pozzetto.nota, {}});
            continue;
        }
        progetto::RigaPozzetto& riga = pozzetti[dove->second];
        if (riga.quotaTerreno.vuota()) {
            riga.quotaTerreno = quota;
        } else if (progetto::quotaTerrenoDi(riga).valore != pozzetto.quotaTerreno) {
            throw ErroreUso(testoVisibile(
                "il pozzetto «" + pozzetto.nome + "» ha la quota del terreno " +
                CStr(*pozzetto.quotaTerreno) + " nel file «" + opzioni.tratti + "» e " +
                riga.quotaTerreno.testo + " nel progetto «" + opzioni.progetto + "»"));
        }
    }
    return pozzetti;
}

} // namespace

ProgettoCli progettoDaValutare(const OpzioniCli& opzioni) {
    if (opzioni.tratti.empty()) {
        return {opzioni.comeScritto, {}};
    }
    FileDeiTratti file = fileDeiTratti(opzioni.tratti);
    ProgettoCli esito{opzioni.comeScritto, std::move(file.righe)};
    progetto::Progetto& p = esito.progetto;
    p.tratti.clear();
    for (const tratti::CelleTratto& celle : file.lette.celle) {
        p.tratti.push_back(progetto::rigaDaCelle(celle));
    }
    p.pozzetti = pozzettiConIlFile(opzioni, file.lette.celle, file.lette.pozzetti);
    return esito;
}

void verificaForma(const OpzioniCli& opzioni, const valutazione::Rete& rete,
                   const std::vector<std::size_t>& righeDelFile) {
    if (!rete.esiti->errori.empty()) {
        throw ErroreUso("«" + testoVisibile(opzioni.tratti) + "», " +
                        testoVisibile(erroreDellaRete(rete.esiti->errori, righeDelFile)));
    }
}

std::string testoEsitiTratti(const OpzioniCli& opzioni, const valutazione::Rete& rete,
                             const std::vector<std::size_t>& righeDelFile) {
    return tratti::testoEsiti(rete.tratti, rete.esiti->esiti, formatoTratti(opzioni.formato),
                              opzioni.separatore, righeDelFile);
}

void scriviProfiloDellaLinea(const OpzioniCli& opzioni, const valutazione::Rete& rete) {
    const tratti::Percorsi percorsi(rete.tratti, *rete.esiti);
    std::string testa = opzioni.da;
    if (testa.empty()) {
        const std::optional<std::string> piuLunga = percorsi.testaPiuLunga();
        if (!piuLunga) {
            throw ErroreUso("--profilo: i tratti non formano una rete di pozzetti senza errori: "
                            "non c'è un percorso da disegnare");
        }
        testa = *piuLunga;
    }
    tratti::Profilo profilo;
    try {
        profilo = percorsi.da(testa);
    } catch (const std::invalid_argument& e) {
        throw ErroreUso("--profilo: " + testoVisibile(e.what()));
    }
    // A scale the line did not give is the project's: a message names it
    // by its key.
    const auto origine = [&](const char* opzione, const char* chiave) {
        return opzioni.date.count(opzione) > 0
                   ? std::string(opzione) + ": "
                   : "il progetto «" + opzioni.progetto + "», " + chiave + ": ";
    };
    const QSizeF foglio = dimensioniFoglio(formatoDelProgetto(opzioni.comeScritto.profilo));
    ImpaginazioneProfilo impaginazione;
    try {
        impaginazione =
            impaginaProfilo(profilo, foglio, opzioni.scalaOrizzontale, opzioni.scalaVerticale,
                            false, 1, fogliMassimi(opzioni.profilo, foglio));
    } catch (const TroppiFogli& e) {
        throw ErroreUso((opzioni.scalaOrizzontale
                             ? origine("--scala-orizzontale", "profilo.scala_orizzontale")
                             : std::string("--profilo: ")) +
                        std::string(e.what()) + consiglioDiScala(e));
    }
    impaginazione.cartiglio = cartiglioDelProfilo(opzioni.comeScritto.dati, profilo);
    if (const std::optional<std::size_t> nonSta = foglioCheNonSta(profilo, impaginazione)) {
        const std::string quote = "le quote del foglio " + std::to_string(*nonSta + 1);
        const std::string scala = CStr(impaginazione.scalaVerticale);
        // Advice only about a scale that was typed.
        throw ErroreUso(opzioni.scalaVerticale
                            ? origine("--scala-verticale", "profilo.scala_verticale") +
                                  "a 1:" + scala + " " + quote +
                                  " non stanno nel disegno; si scelga una scala verticale più "
                                  "piccola, o la si lasci adattare al foglio"
                            : "--profilo: " + quote +
                                  " non stanno nel disegno nemmeno alla scala verticale più "
                                  "piccola, 1:" +
                                  scala + ": i loro dislivelli sono troppo grandi per un profilo");
    }
    try {
        scriviProfilo(opzioni.profilo, profilo, impaginazione, opzioni.separatore);
    } catch (const std::invalid_argument& e) {
        throw ErroreUso(std::string("--profilo: ") + e.what());
    }
}

std::vector<std::string> trattiNonCalcolati(const valutazione::Rete& rete) {
    std::vector<std::string> note;
    for (const progetto::RigaLetta& riga : rete.righe) {
        if (riga.errore) {
            note.push_back(testoVisibile("tratto non calcolato nella relazione: " + riga.nome() +
                                         ", «" + riga.errore->colonna() +
                                         "»: " + riga.errore->motivo()));
        }
    }
    return note;
}

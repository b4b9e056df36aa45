#include "cli/tratti_cli.h"

#include "figure/esporta_profilo.h"
#include "file/errore_file.h"
#include "file/lettura_file.h"
#include "file/testo_visibile.h"
#include "numeri/conversioni.h"
#include "progetto/legge_progetto.h"
#include "progetto/righe_tratti.h"
#include "tratti/csv_tratti.h"
#include "tratti/parole.h"
#include "tratti/profilo.h"
#include "tratti/rete.h"

#include <algorithm>

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

tratti::Impostazioni impostazioniDelleOpzioni(const OpzioniCli& opzioni) {
    tratti::Impostazioni impostazioni;
    impostazioni.resistenza = progetto::leggeDeiTratti(
        opzioni.resistenzaRisposte.value_or(opzioni.resistenza()), opzioni.comeScritto.verifiche);
    impostazioni.geometria = opzioni.geometriaRisposte.value_or(opzioni.geometria);
    impostazioni.limiti = opzioni.limiti;
    impostazioni.catalogo = opzioni.catalogo;
    impostazioni.allineamento = opzioni.allineamento;
    impostazioni.ricoprimentoMinimo = opzioni.ricoprimentoMinimo;
    impostazioni.profonditaMassima = opzioni.profonditaMassima;
    impostazioni.saltoMassimo = opzioni.saltoMassimo;
    return impostazioni;
}

} // namespace

LineaCli lineaDelFile(const OpzioniCli& opzioni) {
    tratti::TrattiLetti letti;
    try {
        letti = tratti::leggiTrattiConRighe(leggiFileIntero(opzioni.tratti, tratti::fileMassimo));
    } catch (const ErroreFile& e) {
        throw ErroreUso(e.what());
    } catch (const csv::Errore& e) {
        throw ErroreUso("«" + testoVisibile(opzioni.tratti) + "», " + e.what());
    }
    LineaCli linea{std::move(letti.tratti), std::move(letti.pozzetti), std::move(letti.righe), {}};
    linea.rete =
        *tratti::calcolaRete(linea.tratti, linea.pozzetti, impostazioniDelleOpzioni(opzioni));
    if (!linea.rete.errori.empty()) {
        throw ErroreUso("«" + testoVisibile(opzioni.tratti) + "», " +
                        testoVisibile(erroreDellaRete(linea.rete.errori, linea.righe)));
    }
    return linea;
}

LineaCli lineaDelProgetto(const OpzioniCli& opzioni) {
    const progetto::Progetto& p = opzioni.comeScritto;
    LineaCli linea;
    for (const progetto::RigaLetta& riga : progetto::leggiRighe(p.tratti)) {
        if (riga.tratto) {
            linea.tratti.push_back(*riga.tratto);
            linea.righe.push_back(riga.riga);
        }
    }
    linea.pozzetti = progetto::pozzettiDi(p.pozzetti);
    linea.rete = *tratti::calcolaRete(
        linea.tratti, linea.pozzetti,
        progetto::impostazioniTratti(p.verifiche, p.rete, opzioni.resistenza(), p.catalogo));
    return linea;
}

std::string testoEsitiTratti(const OpzioniCli& opzioni, LineaCli linea) {
    return tratti::testoEsiti(linea.tratti, linea.rete.esiti, formatoTratti(opzioni.formato),
                              opzioni.separatore, linea.righe);
}

void scriviProfiloDellaLinea(const OpzioniCli& opzioni, const LineaCli& linea) {
    const tratti::Percorsi percorsi(linea.tratti, linea.rete);
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
    const QSizeF foglio = dimensioniFoglio(FormatoFoglio::A3);
    ImpaginazioneProfilo impaginazione;
    try {
        impaginazione =
            impaginaProfilo(profilo, foglio, opzioni.scalaOrizzontale, opzioni.scalaVerticale,
                            false, 1, fogliMassimi(opzioni.profilo, foglio));
    } catch (const TroppiFogli& e) {
        throw ErroreUso((opzioni.scalaOrizzontale ? "--scala-orizzontale: " : "--profilo: ") +
                        std::string(e.what()) + consiglioDiScala(e));
    }
    if (const std::optional<std::size_t> nonSta = foglioCheNonSta(profilo, impaginazione)) {
        const std::string quote = "le quote del foglio " + std::to_string(*nonSta + 1);
        const std::string scala = CStr(impaginazione.scalaVerticale);
        // Advice only about a scale that was typed.
        throw ErroreUso(opzioni.scalaVerticale
                            ? "--scala-verticale: a 1:" + scala + " " + quote +
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

progetto::Progetto progettoConIlFile(const OpzioniCli& opzioni) {
    const tratti::CelleLette lette =
        tratti::leggiCelleTratti(leggiFileIntero(opzioni.tratti, tratti::fileMassimo));
    progetto::Progetto p = opzioni.comeScritto;
    p.tratti.clear();
    for (const tratti::CelleTratto& celle : lette.celle) {
        p.tratti.push_back(progetto::rigaDaCelle(celle));
    }
    p.pozzetti.clear();
    for (const tratti::Pozzetto& pozzetto : lette.pozzetti) {
        p.pozzetti.push_back({pozzetto.nome,
                              pozzetto.quotaTerreno
                                  ? progetto::Casella::daTesto(TestoEsatto(*pozzetto.quotaTerreno))
                                  : progetto::Casella{},
                              pozzetto.nota,
                              {}});
    }
    const auto casella = [](std::optional<double> valore) {
        return valore ? progetto::Casella::daTesto(TestoEsatto(*valore)) : progetto::Casella{};
    };
    const analisi::Limiti& limiti = opzioni.limiti;
    p.verifiche.velocitaMinima = casella(limiti.velocitaMinima * 100);
    p.verifiche.velocitaMassima = casella(limiti.velocitaMassima * 100);
    p.verifiche.riempimentoMassimo = casella(limiti.riempimentoMassimo * 100);
    p.verifiche.geometria =
        opzioni.geometriaRisposte.value_or(opzioni.geometria) == formule::Geometria::Esatta
            ? "esatta"
            : "tabellare";
    p.rete.allineamento = std::string(tratti::nomeAllineamento(opzioni.allineamento));
    p.rete.ricoprimentoMinimo = casella(opzioni.ricoprimentoMinimo);
    p.rete.profonditaMassima = casella(opzioni.profonditaMassima);
    p.rete.saltoMassimo = casella(opzioni.saltoMassimo);
    p.catalogo = opzioni.catalogo;
    return p;
}

std::vector<std::string> trattiNonCalcolati(const progetto::Progetto& progetto) {
    std::vector<std::string> note;
    for (const progetto::RigaLetta& riga : progetto::leggiRighe(progetto.tratti)) {
        if (riga.errore) {
            note.push_back(testoVisibile("tratto non calcolato nella relazione: " + riga.nome() +
                                         ", «" + riga.errore->colonna() +
                                         "»: " + riga.errore->motivo()));
        }
    }
    return note;
}

#include "cli/tratti_cli.h"

#include "file/errore_file.h"
#include "file/lettura_file.h"
#include "file/testo_visibile.h"
#include "progetto/legge_progetto.h"
#include "progetto/righe_tratti.h"
#include "tratti/csv_tratti.h"

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

} // namespace

std::string testoEsitiTratti(const OpzioniCli& opzioni) {
    tratti::TrattiLetti linea;
    try {
        linea = tratti::leggiTrattiConRighe(leggiFileIntero(opzioni.tratti, tratti::fileMassimo));
    } catch (const ErroreFile& e) {
        throw ErroreUso(e.what());
    } catch (const csv::Errore& e) {
        throw ErroreUso("«" + testoVisibile(opzioni.tratti) + "», " + e.what());
    }
    tratti::Impostazioni impostazioni;
    impostazioni.resistenza = progetto::leggeDeiTratti(
        opzioni.resistenzaRisposte.value_or(opzioni.resistenza()), opzioni.comeScritto.verifiche);
    impostazioni.geometria = opzioni.geometriaRisposte.value_or(opzioni.geometria);
    impostazioni.limiti = opzioni.limiti;
    impostazioni.catalogo = opzioni.catalogo;
    std::vector<tratti::Esito> esiti = tratti::verificaTutti(linea.tratti, impostazioni);
    // In a file of thousands of reaches, one that cannot be computed is
    // found by its line.
    for (std::size_t i = 0; i < esiti.size(); ++i) {
        if (!esiti[i].calcolato) {
            esiti[i].motivo =
                "riga " + std::to_string(linea.righe[i]) + " del file: " + esiti[i].motivo;
        }
    }
    return tratti::testoEsiti(linea.tratti, esiti, formatoTratti(opzioni.formato),
                              opzioni.separatore);
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

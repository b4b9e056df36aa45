#include "cli/progetto_cli.h"

#include "errori/errore_runtime.h"
#include "file/testo_visibile.h"
#include "numeri/conversioni.h"
#include "numeri/numero_positivo.h"
#include "progetto/progetto.h"

#include <limits>
#include <optional>

namespace {

using progetto::Casella;

// A box of the main window, read as the window reads it (Val): the window
// computes only with a positive number.
double ingresso(const std::string& percorso, const Casella& casella, const char* chiave,
                const char* cosa) {
    const std::string motivo =
        "il progetto «" + percorso + "» non ha " + cosa + " (ingressi." + chiave + ": ";
    if (casella.vuota()) {
        throw ErroreUso(motivo + "vuoto)");
    }
    double valore = 0;
    try {
        valore = casella.valore();
    } catch (const ErroreRuntime&) {
        throw ErroreUso(motivo + "«" + casella.testo + "», fuori dall'intervallo dei numeri)");
    }
    if (!(valore > 0)) {
        throw ErroreUso(motivo + "«" + casella.testo + "»)");
    }
    return valore;
}

// A design value, read strictly as the analysis window reads its boxes; an
// empty one is absent.
std::optional<double> valoreDiProgetto(const std::string& percorso, const Casella& casella,
                                       const char* chiave, const char* cosa) {
    if (casella.numero && *casella.numero > 0) {
        return casella.numero;
    }
    const NumeroLetto letto = leggiNumeroPositivo(casella.testo);
    if (letto.motivo) {
        throw ErroreUso("il progetto «" + percorso + "» non ha " + cosa + " (verifiche." + chiave +
                        ": «" + casella.testo + "»). " + *letto.motivo);
    }
    return letto.valore;
}

} // namespace

OpzioniCli opzioniDalProgetto(const std::string& percorso, bool verifiche,
                              const std::set<std::string>& date) {
    const progetto::Progetto p = progetto::leggiProgetto(percorso);
    const progetto::Ingressi& i = p.ingressi;
    const progetto::Verifiche& v = p.verifiche;
    OpzioniCli opzioni;
    opzioni.comeScritto = p;
    // What the line gives is not read from the file: a bad value there is
    // no error when an option replaces it.
    const auto dalFile = [&](const char* opzione) { return date.count(opzione) == 0; };
    // The reaches of --tratti have their own radius and slope, and no table
    // is computed: only the coefficient, Bazin's γ, plays a part.
    const bool perTratti = !dalFile("--tratti");
    if (dalFile("--raggio") && !perTratti) {
        opzioni.raggio = ingresso(percorso, i.raggio, "raggio", "un raggio positivo");
    }
    if (dalFile("--pendenza") && !perTratti) {
        opzioni.pendenza = ingresso(percorso, i.pendenza, "pendenza", "una pendenza positiva");
    }
    if (dalFile("--coefficiente")) {
        opzioni.coefficiente =
            ingresso(percorso, i.coefficiente, "coefficiente", "un coefficiente positivo");
    }
    if (dalFile("--incremento") && !perTratti) {
        opzioni.incremento =
            ingresso(percorso, i.incremento, "incremento", "un incremento positivo");
    }
    // The limits hold the reaches, read strictly: a bad one is no error
    // without them, nor where an option replaces it. A filling is a share
    // of the height, as the analysis window holds it.
    const struct {
        const char* opzione;
        const Casella& casella;
        const char* chiave;
        const char* cosa;
        double massimo;
    } limiti[] = {
        {"--velocita-minima", v.velocitaMinima, "velocitaMinima", "una velocità minima valida",
         std::numeric_limits<double>::infinity()},
        {"--velocita-massima", v.velocitaMassima, "velocitaMassima", "una velocità massima valida",
         std::numeric_limits<double>::infinity()},
        {"--riempimento-massimo", v.riempimentoMassimo, "riempimentoMassimo",
         "un riempimento massimo valido", 100},
    };
    for (const auto& l : limiti) {
        if (!perTratti || !dalFile(l.opzione)) {
            continue;
        }
        const std::optional<double> valore =
            valoreDiProgetto(percorso, l.casella, l.chiave, l.cosa);
        if (valore && *valore > l.massimo) {
            throw ErroreUso("il progetto «" + percorso + "» non ha " + l.cosa + " (verifiche." +
                            l.chiave + ": «" + l.casella.testo + "»): al più " + CStr(l.massimo));
        }
    }
    // The profile's scales the project chose, unless the line gives its own.
    if (dalFile("--scala-orizzontale")) {
        opzioni.scalaOrizzontale = p.profilo.scalaOrizzontale;
    }
    if (dalFile("--scala-verticale")) {
        opzioni.scalaVerticale = p.profilo.scalaVerticale;
    }
    // Without --verifiche the design values play no part: a bad one is no error.
    if (verifiche) {
        if (dalFile("--portata")) {
            opzioni.portata = valoreDiProgetto(percorso, v.portataProgetto, "portataProgetto",
                                               "una portata di progetto valida");
        }
        if (dalFile("--velocita")) {
            opzioni.velocita = valoreDiProgetto(percorso, v.velocitaProgetto, "velocitaProgetto",
                                                "una velocità di progetto valida");
        }
        if (dalFile("--portata-minima")) {
            opzioni.portataMinima = valoreDiProgetto(percorso, v.portataMinima, "portataMinima",
                                                     "una portata minima valida");
        }
    }
    return opzioni;
}

ErroreUso casellaNonValida(const std::string& percorso,
                           const valutazione::CasellaSbagliata& casella) {
    return ErroreUso(testoVisibile("il progetto «" + percorso + "» non ha un valore valido per " +
                                   casella.nome + " (" + casella.chiave + ": «" + casella.testo +
                                   "»). " + casella.motivo));
}

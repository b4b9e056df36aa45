#include "cli/progetto_cli.h"

#include "calc/errore_runtime.h"
#include "numeri/numero_positivo.h"
#include "progetto/progetto.h"

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

OpzioniCli opzioniDalProgetto(const std::string& percorso, bool verifiche) {
    const progetto::Progetto p = progetto::leggiProgetto(percorso);
    const progetto::Ingressi& i = p.ingressi;
    OpzioniCli opzioni;
    opzioni.raggio = ingresso(percorso, i.raggio, "raggio", "un raggio positivo");
    opzioni.pendenza = ingresso(percorso, i.pendenza, "pendenza", "una pendenza positiva");
    opzioni.coefficiente =
        ingresso(percorso, i.coefficiente, "coefficiente", "un coefficiente positivo");
    opzioni.incremento = ingresso(percorso, i.incremento, "incremento", "un incremento positivo");
    opzioni.geometria = p.verifiche.geometria == "esatta" ? formule::Geometria::Esatta
                                                          : formule::Geometria::Tabellare;
    // Without --verifiche the design values play no part: a bad one is no error.
    if (verifiche) {
        opzioni.portata = valoreDiProgetto(percorso, p.verifiche.portataProgetto, "portataProgetto",
                                           "una portata di progetto valida");
        opzioni.velocita = valoreDiProgetto(percorso, p.verifiche.velocitaProgetto,
                                            "velocitaProgetto", "una velocità di progetto valida");
        opzioni.portataMinima = valoreDiProgetto(percorso, p.verifiche.portataMinima,
                                                 "portataMinima", "una portata minima valida");
    }
    return opzioni;
}

#include "cli/progetto_cli.h"

#include "caselle/ingressi.h"
#include "errori/errore_runtime.h"
#include "numeri/conversioni.h"
#include "numeri/numero_positivo.h"
#include "progetto/legge_progetto.h"
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

// The analysis window's law, read as it reads its boxes; none for Bazin
// with an empty coefficient, which is the table's γ.
std::optional<formule::Resistenza> leggeDelleRisposte(const std::string& percorso,
                                                      const progetto::Verifiche& v) {
    const progetto::LeggeLetta letta = progetto::leggiLegge(v, 0);
    if (letta.chiave != nullptr) {
        const progetto::Casella& casella =
            std::string_view(letta.chiave) == "scabrezza" ? v.scabrezza : v.temperatura;
        throw ErroreUso("il progetto «" + percorso + "» non ha un valore valido per la legge (" +
                        "verifiche." + letta.chiave + ": «" + casella.testo + "»). " +
                        letta.motivo);
    }
    return letta.dellaTabella ? std::nullopt : letta.resistenza;
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
    // The file's geometry is the analysis window's: the answers' only, as
    // in the window, whose table keeps the table's formulas.
    opzioni.geometriaRisposte = progetto::geometriaDi(v);
    // The law likewise, unless the line names one for everything. Bazin's
    // γ on the line is the table's, and Bazin's law takes it too; another
    // law of the file keeps its own coefficient.
    const bool bazinDellaLinea =
        !dalFile("--coefficiente") && formule::leggeDaChiave(v.legge) == formule::Legge::Bazin;
    if (dalFile("--legge") && dalFile("--scabrezza") && dalFile("--temperatura") &&
        !bazinDellaLinea) {
        opzioni.resistenzaRisposte = leggeDelleRisposte(percorso, v);
    }
    // The limits, in cm/s and %, for the reaches only: a bad one is no
    // error without them.
    const struct {
        const char* opzione;
        const Casella& casella;
        const char* chiave;
        const char* cosa;
        double& limite;
    } limiti[] = {
        {"--velocita-minima", v.velocitaMinima, "velocitaMinima", "una velocità minima valida",
         opzioni.limiti.velocitaMinima},
        {"--velocita-massima", v.velocitaMassima, "velocitaMassima", "una velocità massima valida",
         opzioni.limiti.velocitaMassima},
        {"--riempimento-massimo", v.riempimentoMassimo, "riempimentoMassimo",
         "un riempimento massimo valido", opzioni.limiti.riempimentoMassimo},
    };
    for (const auto& l : limiti) {
        if (perTratti && dalFile(l.opzione)) {
            if (const std::optional<double> valore =
                    valoreDiProgetto(percorso, l.casella, l.chiave, l.cosa)) {
                l.limite = *valore / 100;
            }
        }
    }
    // A filling is a share of the height, as the analysis window holds it.
    if (opzioni.limiti.riempimentoMassimo > 1) {
        throw ErroreUso("il progetto «" + percorso + "» non ha " + limiti[2].cosa +
                        " (verifiche.riempimentoMassimo: «" + v.riempimentoMassimo.testo +
                        "»): al più 100");
    }
    // The reaches are sized from the project's catalogue, as in its report.
    if (perTratti && dalFile("--catalogo") && !p.catalogo.empty()) {
        opzioni.catalogo = p.catalogo;
    }
    // The network's rules likewise, option by option: a box the window
    // would mark red stops the line here too.
    if (perTratti) {
        const struct {
            const char* opzione;
            const Casella& casella;
            const char* chiave;
            const tratti::Campo& campo;
        } lunghezze[] = {
            {"--ricoprimento-minimo", p.rete.ricoprimentoMinimo, "ricoprimento_minimo",
             tratti::campoRicoprimento},
            {"--profondita-massima", p.rete.profonditaMassima, "profondita_massima",
             tratti::campoProfondita},
            {"--salto-massimo", p.rete.saltoMassimo, "salto_massimo", tratti::campoSalto},
        };
        for (const auto& l : lunghezze) {
            if (const std::optional<std::string> motivo = motivoLunghezza(l.casella.testo, l.campo);
                motivo && dalFile(l.opzione)) {
                throw ErroreUso("il progetto «" + percorso +
                                "» non ha un valore valido per la rete (rete." + l.chiave + ": «" +
                                l.casella.testo + "»). " + *motivo);
            }
        }
        const tratti::Impostazioni rete = progetto::impostazioniTratti(v, p.rete, {}, {});
        if (dalFile("--allineamento")) {
            opzioni.allineamento = rete.allineamento;
        }
        if (dalFile("--ricoprimento-minimo")) {
            opzioni.ricoprimentoMinimo = rete.ricoprimentoMinimo;
        }
        if (dalFile("--profondita-massima")) {
            opzioni.profonditaMassima = rete.profonditaMassima;
        }
        if (dalFile("--salto-massimo")) {
            opzioni.saltoMassimo = rete.saltoMassimo;
        }
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

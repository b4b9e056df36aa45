#include "tratti/tratto.h"

#include "calc/reale.h"
#include "errori/errore_runtime.h"
#include "numeri/conversioni.h"
#include "numeri/formato.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace tratti {

namespace {

// Velocities and flows as the grid shows them, limits as they were typed.
// A value compared with its limit takes the decimals that keep it on its
// side of the limit.
std::string centimetriAlSecondo(double velocita, double limite) {
    return FormatConfronto(velocita * 100, limite * 100, "0.00") + " cm/s";
}

std::string litriAlSecondo(double portata) {
    return Format(portata * 1000, "0.00") + " l/s";
}

std::string limite(double valore, const char* unita) {
    return CStr(valore * 100) + unita;
}

// Each limit the answer breaks, in the analysis window's words, with the
// values compared; which limits hold it is the answer's role's to say.
void aggiungiViolazioni(std::vector<std::string>& motivi, const analisi::RispostaEtichettata& riga,
                        const analisi::Limiti& limiti, const std::string& allaPortata) {
    const analisi::Esito esito = *analisi::verifica(riga, limiti);
    const analisi::Risposta& r = riga.risposta;
    if (esito.velocitaBassa) {
        motivi.push_back("velocità troppo bassa " + allaPortata + ": " +
                         centimetriAlSecondo(r.velocita, limiti.velocitaMinima) + " < " +
                         limite(limiti.velocitaMinima, " cm/s"));
    }
    if (esito.velocitaAlta) {
        motivi.push_back("velocità troppo alta " + allaPortata + ": " +
                         centimetriAlSecondo(r.velocita, limiti.velocitaMassima) + " > " +
                         limite(limiti.velocitaMassima, " cm/s"));
    }
    if (esito.troppoPiena) {
        motivi.push_back(
            "riempimento oltre il limite " + allaPortata + ": " +
            FormatConfronto(r.riempimento * 100, limiti.riempimentoMassimo * 100, "0.0") + "% > " +
            limite(limiti.riempimentoMassimo, "%"));
    }
}

std::string nonRaggiunta(const char* quale, double litri, double portataMassima) {
    return std::string("nessuna altezza porta la portata ") + quale + " di " + CStr(litri) +
           " l/s: la massima della sezione è " + litriAlSecondo(portataMassima);
}

std::string unite(const std::vector<std::string>& motivi) {
    std::string testo;
    for (const std::string& motivo : motivi) {
        testo += testo.empty() ? motivo : "; " + motivo;
    }
    return testo;
}

// The reach with this radius (cm), at both its flows.
Esito allaMisura(const Tratto& tratto, double pendenza, const Impostazioni& impostazioni,
                 double raggio) {
    Esito esito;
    esito.raggio = raggio;
    esito.pendenza = pendenza;
    const formule::Resistenza resistenza = tratto.resistenzaDi(impostazioni.resistenza);
    // The radius in metres as the table's sweep makes it, so that the
    // answers are those of the single reach to the last bit.
    const analisi::Sezione sezione{(Reale(raggio) / 100.0).valore(), pendenza, resistenza,
                                   impostazioni.geometria};
    const auto litri = [](std::optional<double> l) { return l ? *l / 1000 : l; };
    const analisi::Risposte risposte(sezione);
    const analisi::RisposteRichieste richieste = analisi::risposteRichieste(
        risposte, tratto.portata / 1000, std::nullopt, litri(tratto.portataMinima));
    esito.portataPiena = risposte.piena().portata;
    std::vector<std::string> motivi;
    if (richieste.altezzePortata.empty()) {
        motivi.push_back(
            nonRaggiunta("di progetto", tratto.portata, risposte.portataMassima().portata));
    } else {
        esito.progetto = richieste.altezzePortata.front();
        aggiungiViolazioni(motivi, {"Q1", *esito.progetto, analisi::Ruolo::Progetto},
                           impostazioni.limiti, "alla portata di progetto");
    }
    if (esito.minima = richieste.altezzaMinima; esito.minima) {
        aggiungiViolazioni(motivi, {"Qmin", *esito.minima, analisi::Ruolo::Minima},
                           impostazioni.limiti, "alla portata minima");
    } else if (tratto.portataMinima) {
        motivi.push_back(
            nonRaggiunta("minima", *tratto.portataMinima, risposte.portataMassima().portata));
    }
    esito.verificato = motivi.empty();
    esito.motivo = unite(motivi);
    return esito;
}

// A fault of the computation is this reach's failure, not the line's.
Esito allaMisuraProtetta(const Tratto& tratto, double pendenza, const Impostazioni& impostazioni,
                         double raggio) {
    std::string motivo;
    try {
        return allaMisura(tratto, pendenza, impostazioni, raggio);
    } catch (const ErroreRuntime& e) {
        motivo = "errore di calcolo " + std::to_string(e.numero()) + ": " + e.descrizione();
    } catch (const std::exception&) {
        motivo = "errore di calcolo: la ricerca delle altezze non è riuscita";
    }
    Esito esito;
    esito.raggio = raggio;
    esito.pendenza = pendenza;
    esito.calcolato = false;
    esito.motivo = motivo;
    return esito;
}

// The smallest size that keeps every limit; when none does, the largest,
// with its failures.
Esito dimensiona(const Tratto& tratto, double pendenza, const Impostazioni& impostazioni) {
    std::vector<double> misure;
    std::copy_if(impostazioni.catalogo.begin(), impostazioni.catalogo.end(),
                 std::back_inserter(misure), [](double r) { return r > 0; });
    std::sort(misure.begin(), misure.end());
    misure.erase(std::unique(misure.begin(), misure.end()), misure.end());
    Esito esito;
    esito.pendenza = pendenza;
    esito.dimensionato = true;
    esito.motivo = "il catalogo non ha raggi";
    for (const double raggio : misure) {
        esito = allaMisuraProtetta(tratto, pendenza, impostazioni, raggio);
        esito.dimensionato = true;
        if (esito.verificato) {
            return esito;
        }
    }
    if (!misure.empty()) {
        esito.motivo = "nessun raggio del catalogo rispetta i limiti; con il più grande, r = " +
                       CStr(misure.back()) + " cm: " + esito.motivo;
    }
    return esito;
}

// What the reach lacks to be computed at all.
std::optional<std::string> datoMancante(const Tratto& tratto, std::optional<double> pendenza) {
    if (!pendenza) {
        return "manca la pendenza, o le quote con la lunghezza";
    }
    if (!(*pendenza > 0)) {
        return "la pendenza non è positiva";
    }
    if (!std::isfinite(*pendenza)) {
        return "la pendenza data dalle quote e dalla lunghezza supera l'intervallo dei numeri: "
               "la lunghezza è troppo piccola";
    }
    if (tratto.raggio && !(*tratto.raggio > 0)) {
        return "il raggio non è positivo";
    }
    if (!(tratto.portata > 0)) {
        return "la portata di progetto non è positiva";
    }
    return std::nullopt;
}

} // namespace

std::optional<double> Tratto::pendenzaDiCalcolo() const {
    if (pendenza) {
        return pendenza;
    }
    if (quotaMonte && quotaValle && lunghezza) {
        return (*quotaMonte - *quotaValle) / *lunghezza;
    }
    return std::nullopt;
}

formule::Resistenza Tratto::resistenzaDi(const formule::Resistenza& linea) const {
    formule::Resistenza esito = linea;
    if (resistenza) {
        esito.legge = resistenza->legge;
        esito.coefficiente = resistenza->coefficiente;
    }
    return esito;
}

Esito verifica(const Tratto& tratto, const Impostazioni& impostazioni) {
    const std::optional<double> pendenza = tratto.pendenzaDiCalcolo();
    if (const std::optional<std::string> motivo = datoMancante(tratto, pendenza)) {
        Esito esito;
        esito.raggio = tratto.raggio.value_or(0);
        esito.pendenza = pendenza && std::isfinite(*pendenza) ? *pendenza : 0;
        esito.calcolato = false;
        esito.motivo = *motivo;
        return esito;
    }
    return tratto.raggio ? allaMisuraProtetta(tratto, *pendenza, impostazioni, *tratto.raggio)
                         : dimensiona(tratto, *pendenza, impostazioni);
}

std::vector<Esito> verificaTutti(const std::vector<Tratto>& tratti,
                                 const Impostazioni& impostazioni) {
    std::vector<Esito> esiti;
    esiti.reserve(tratti.size());
    for (const Tratto& tratto : tratti) {
        esiti.push_back(verifica(tratto, impostazioni));
    }
    return esiti;
}

} // namespace tratti

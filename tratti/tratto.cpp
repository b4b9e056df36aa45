#include "tratti/tratto.h"

#include "analisi/pendenze.h"
#include "calc/reale.h"
#include "errori/errore_runtime.h"
#include "errori/motivo_eccezione.h"
#include "numeri/conversioni.h"
#include "numeri/formato.h"
#include "tratti/dimensionamento.h"
#include "tratti/grandezze.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <new>

namespace tratti {

std::string pendenzaArrotondata(double pendenza, bool perEccesso) {
    const double scala = std::pow(10.0, std::floor(std::log10(pendenza)) - 2);
    const double cifre = perEccesso ? std::ceil(pendenza / scala) : std::floor(pendenza / scala);
    return CStr(cifre * scala);
}

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

// Where the reach breaks a limit a slope can mend, the slope that would.
std::string rimedio(const Esito& esito, const analisi::PendenzeAmmesse& pendenze, double raggio) {
    if (pendenze.nessuna()) {
        return "nessuna pendenza rispetta i limiti con r = " + CStr(raggio) + " cm";
    }
    if (pendenze.minima && esito.pendenza < *pendenze.minima &&
        !campoPendenza.contiene(*pendenze.minima)) {
        return "nessuna pendenza fino a " + CStr(campoPendenza.massimo) +
               " m/m rispetta i limiti con r = " + CStr(raggio) + " cm";
    }
    if (pendenze.minima && esito.pendenza < *pendenze.minima) {
        return std::string("pendenza minima ") +
               (pendenze.vincoloMinima == analisi::VincoloPendenza::Riempimento
                    ? "per il riempimento: "
                    : "per l'autopulizia: ") +
               pendenzaArrotondata(*pendenze.minima, true);
    }
    if (pendenze.massima && esito.pendenza > *pendenze.massima) {
        return "pendenza massima per la velocità massima ammessa: " +
               pendenzaArrotondata(*pendenze.massima, false);
    }
    return {};
}

// The section of a reach at its radius, as the table's sweep makes the
// radius in metres, so that the answers are those of the single reach to
// the last bit.
analisi::Sezione sezioneDi(const Tratto& tratto, double pendenza, const Impostazioni& impostazioni,
                           double raggio) {
    return {(Reale(raggio) / 100.0).valore(), pendenza,
            tratto.resistenzaDi(impostazioni.resistenza), impostazioni.geometria};
}

// The reach with this radius (cm), at both its flows.
Esito allaMisura(const Tratto& tratto, double pendenza, const Impostazioni& impostazioni,
                 double raggio, const analisi::AltezzeMassime* massime) {
    Esito esito;
    esito.raggio = raggio;
    esito.pendenza = pendenza;
    const analisi::Sezione sezione = sezioneDi(tratto, pendenza, impostazioni, raggio);
    const analisi::AltezzeMassime leMassime =
        massime != nullptr ? *massime : analisi::altezzeMassime(sezione);
    const analisi::Risposte risposte(sezione, leMassime);
    esito.portataPiena = risposte.piena().portata;
    std::vector<std::string> motivi;
    if (esito.progetto = risposte.primaPerPortata(tratto.portata / 1000); !esito.progetto) {
        motivi.push_back(
            nonRaggiunta("di progetto", tratto.portata, risposte.portataMassima().portata));
    } else {
        aggiungiViolazioni(motivi, {"Q1", *esito.progetto, analisi::Ruolo::Progetto},
                           impostazioni.limiti, "alla portata di progetto");
    }
    if (tratto.portataMinima) {
        if (esito.minima = risposte.primaPerPortata(*tratto.portataMinima / 1000); esito.minima) {
            aggiungiViolazioni(motivi, {"Qmin", *esito.minima, analisi::Ruolo::Minima},
                               impostazioni.limiti, "alla portata minima");
        } else {
            motivi.push_back(
                nonRaggiunta("minima", *tratto.portataMinima, risposte.portataMassima().portata));
        }
    }
    esito.verificato = motivi.empty();
    esito.motivo = unite(motivi);
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
        return "la pendenza data dalle quote e dalla lunghezza supera l'intervallo dei numeri";
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

std::string_view nomeAllineamento(Allineamento allineamento) {
    switch (allineamento) {
    case Allineamento::Pelo:
        return "pelo";
    case Allineamento::Fondo:
        return "fondo";
    case Allineamento::Cieli:
        break;
    }
    return "cieli";
}

std::optional<Allineamento> allineamentoDaNome(std::string_view nome) {
    for (const Allineamento a : {Allineamento::Cieli, Allineamento::Pelo, Allineamento::Fondo}) {
        if (nome == nomeAllineamento(a)) {
            return a;
        }
    }
    return std::nullopt;
}

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

std::optional<Esito> nonCalcolabile(const Tratto& tratto) {
    const std::optional<double> pendenza = tratto.pendenzaDiCalcolo();
    const std::optional<std::string> motivo = datoMancante(tratto, pendenza);
    if (!motivo) {
        return std::nullopt;
    }
    Esito esito;
    esito.raggio = tratto.raggio.value_or(0);
    esito.pendenza = pendenza && std::isfinite(*pendenza) ? *pendenza : 0;
    esito.calcolato = false;
    esito.motivo = *motivo;
    return esito;
}

namespace {

// The reach at its radius, which it must have; with the slopes it would
// pass within, when asked.
Esito controlla(const Tratto& tratto, const Impostazioni& impostazioni,
                const analisi::AltezzeMassime* massime, bool conPendenze) {
    if (std::optional<Esito> esito = nonCalcolabile(tratto)) {
        return *esito;
    }
    const double pendenza = *tratto.pendenzaDiCalcolo();
    const double raggio = *tratto.raggio;
    std::string motivo;
    try {
        const analisi::Sezione sezione = sezioneDi(tratto, pendenza, impostazioni, raggio);
        const analisi::AltezzeMassime leMassime =
            massime != nullptr ? *massime : analisi::altezzeMassime(sezione);
        Esito esito = allaMisura(tratto, pendenza, impostazioni, raggio, &leMassime);
        if (conPendenze) {
            aggiungiPendenze(tratto, impostazioni, esito, &leMassime);
        }
        return esito;
    } catch (const std::bad_alloc&) {
        // Not this reach's fault: the whole line cannot be computed.
        throw;
    } catch (const std::exception& e) {
        motivo = motivoEccezione(e);
    }
    Esito esito;
    esito.raggio = raggio;
    esito.pendenza = pendenza;
    esito.calcolato = false;
    esito.motivo = motivo;
    return esito;
}

} // namespace

Esito verificaAllaMisura(const Tratto& tratto, const Impostazioni& impostazioni,
                         const analisi::AltezzeMassime* massime) {
    return controlla(tratto, impostazioni, massime, true);
}

Esito verificaSenzaPendenze(const Tratto& tratto, const Impostazioni& impostazioni,
                            const analisi::AltezzeMassime* massime) {
    return controlla(tratto, impostazioni, massime, false);
}

void aggiungiPendenze(const Tratto& tratto, const Impostazioni& impostazioni, Esito& esito,
                      const analisi::AltezzeMassime* massime) {
    if (!esito.calcolato || !(esito.raggio > 0) || !(esito.pendenza > 0)) {
        return;
    }
    const auto litri = [](std::optional<double> l) { return l ? *l / 1000 : l; };
    try {
        const analisi::Sezione sezione =
            sezioneDi(tratto, esito.pendenza, impostazioni, esito.raggio);
        const analisi::AltezzeMassime leMassime =
            massime != nullptr ? *massime : analisi::altezzeMassime(sezione);
        const analisi::PendenzeAmmesse pendenze =
            analisi::pendenzeAmmesse(sezione, leMassime, tratto.portata / 1000,
                                     litri(tratto.portataMinima), impostazioni.limiti);
        esito.pendenzaMinima = pendenze.minima;
        esito.pendenzaMassima = pendenze.massima;
        esito.senzaPendenza = pendenze.nessuna();
        if (!esito.verificato) {
            if (std::string mezzo = rimedio(esito, pendenze, esito.raggio); !mezzo.empty()) {
                esito.motivo += (esito.motivo.empty() ? "" : "; ") + mezzo;
            }
        }
    } catch (const std::exception&) {
        // No slopes to offer: the result stands without them.
    }
}

Esito verifica(const Tratto& tratto, const Impostazioni& impostazioni) {
    if (tratto.raggio) {
        return verificaAllaMisura(tratto, impostazioni);
    }
    if (std::optional<Esito> esito = nonCalcolabile(tratto)) {
        return *esito;
    }
    const auto massime = std::make_shared<MassimeCondivise>();
    Esito esito = dimensiona(tratto, impostazioni, 0, verificaCondivisa(massime));
    Tratto allaMisura = tratto;
    allaMisura.raggio = esito.raggio;
    const std::optional<analisi::AltezzeMassime> leMassime = massime->per(allaMisura, impostazioni);
    aggiungiPendenze(allaMisura, impostazioni, esito, leMassime ? &*leMassime : nullptr);
    return esito;
}

namespace {

// What the heights of the maxima depend on.
struct ChiaveMassime {
    double raggio;
    double pendenza; // 0 under a law of Chézy's form, whose maxima ignore it
    formule::Legge legge;
    double coefficiente, temperatura;
    formule::Geometria geometria;

    auto operator<=>(const ChiaveMassime&) const = default;
};

} // namespace

struct MassimeCondivise::Memoria {
    std::mutex mutex;
    std::map<ChiaveMassime, analisi::AltezzeMassime> altezze;
};

MassimeCondivise::MassimeCondivise() : memoria_(std::make_unique<Memoria>()) {}
MassimeCondivise::~MassimeCondivise() = default;

std::optional<analisi::AltezzeMassime> MassimeCondivise::per(const Tratto& tratto,
                                                             const Impostazioni& impostazioni) {
    if (nonCalcolabile(tratto)) {
        return std::nullopt;
    }
    const double pendenza = *tratto.pendenzaDiCalcolo();
    const formule::Resistenza resistenza = tratto.resistenzaDi(impostazioni.resistenza);
    const ChiaveMassime chiave{
        *tratto.raggio,         analisi::formaDiChezy(resistenza) ? 0 : pendenza,
        resistenza.legge,       resistenza.coefficiente,
        resistenza.temperatura, impostazioni.geometria};
    {
        const std::lock_guard blocco(memoria_->mutex);
        if (const auto trovate = memoria_->altezze.find(chiave);
            trovate != memoria_->altezze.end()) {
            return trovate->second;
        }
    }
    analisi::AltezzeMassime massime;
    try {
        massime =
            analisi::altezzeMassime(sezioneDi(tratto, pendenza, impostazioni, *tratto.raggio));
    } catch (const std::exception&) {
        return std::nullopt;
    }
    const std::lock_guard blocco(memoria_->mutex);
    memoria_->altezze.emplace(chiave, massime);
    return massime;
}

Verifica verificaCondivisa(std::shared_ptr<MassimeCondivise> massime) {
    return [massime = std::move(massime)](const Tratto& t, const Impostazioni& i) {
        const std::optional<analisi::AltezzeMassime> leMassime = massime->per(t, i);
        // Without them, the reach's own search says what went wrong.
        return verificaSenzaPendenze(t, i, leMassime ? &*leMassime : nullptr);
    };
}

} // namespace tratti

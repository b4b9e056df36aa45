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

namespace {

// Each limit the answer breaks, with the values compared; which limits hold
// it is the answer's role's to say.
void aggiungiViolazioni(std::vector<Rilievo>& rilievi, const analisi::RispostaEtichettata& riga,
                        const analisi::Limiti& limiti, Rilievo::Portata portata) {
    const analisi::Esito esito = *analisi::verifica(riga, limiti);
    const analisi::Risposta& r = riga.risposta;
    const auto rileva = [&](Rilievo::Tipo tipo, double valore, double soglia) {
        Rilievo rilievo{tipo};
        rilievo.portata = portata;
        rilievo.valore = valore;
        rilievo.soglia = soglia;
        rilievi.push_back(std::move(rilievo));
    };
    if (esito.velocitaBassa) {
        rileva(Rilievo::Tipo::VelocitaBassa, r.velocita, limiti.velocitaMinima);
    }
    if (esito.velocitaAlta) {
        rileva(Rilievo::Tipo::VelocitaAlta, r.velocita, limiti.velocitaMassima);
    }
    if (esito.troppoPiena) {
        rileva(Rilievo::Tipo::RiempimentoAlto, r.riempimento, limiti.riempimentoMassimo);
    }
}

Rilievo nonRaggiunta(Rilievo::Portata portata, double litri, double portataMassima) {
    Rilievo rilievo{Rilievo::Tipo::PortataNonRaggiunta};
    rilievo.portata = portata;
    rilievo.valore = litri;
    rilievo.soglia = portataMassima;
    return rilievo;
}

// Where the reach breaks a limit a slope can mend, the slope that would.
std::optional<Rilievo> rimedio(const Esito& esito, const analisi::PendenzeAmmesse& pendenze,
                               double raggio) {
    using Tipo = Rilievo::Tipo;
    if (pendenze.nessuna()) {
        Rilievo r{Tipo::NessunaPendenza};
        r.valore = raggio;
        return r;
    }
    if (pendenze.minima && esito.pendenza < *pendenze.minima &&
        !campoPendenza.contiene(*pendenze.minima)) {
        Rilievo r{Tipo::NessunaPendenzaAmmessa};
        r.valore = raggio;
        r.soglia = campoPendenza.massimo;
        return r;
    }
    if (pendenze.minima && esito.pendenza < *pendenze.minima) {
        Rilievo r{Tipo::PendenzaMinima};
        r.vincolo = pendenze.vincoloMinima;
        r.valore = *pendenze.minima;
        return r;
    }
    if (pendenze.massima && esito.pendenza > *pendenze.massima) {
        Rilievo r{Tipo::PendenzaMassima};
        r.valore = *pendenze.massima;
        return r;
    }
    return std::nullopt;
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
    using Portata = Rilievo::Portata;
    std::vector<Rilievo>& rilievi = esito.rilievi;
    if (esito.progetto = risposte.primaPerPortata(tratto.portata / 1000); !esito.progetto) {
        rilievi.push_back(
            nonRaggiunta(Portata::Progetto, tratto.portata, risposte.portataMassima().portata));
    } else {
        aggiungiViolazioni(rilievi, {"Q1", *esito.progetto, analisi::Ruolo::Progetto},
                           impostazioni.limiti, Portata::Progetto);
    }
    if (tratto.portataMinima) {
        if (esito.minima = risposte.primaPerPortata(*tratto.portataMinima / 1000); esito.minima) {
            aggiungiViolazioni(rilievi, {"Qmin", *esito.minima, analisi::Ruolo::Minima},
                               impostazioni.limiti, Portata::Minima);
        } else {
            rilievi.push_back(nonRaggiunta(Portata::Minima, *tratto.portataMinima,
                                           risposte.portataMassima().portata));
        }
    }
    esito.verificato = rilievi.empty();
    return esito;
}

// What the reach lacks to be computed at all.
std::optional<Rilievo::Tipo> datoMancante(const Tratto& tratto, std::optional<double> pendenza) {
    using Tipo = Rilievo::Tipo;
    if (!pendenza) {
        return Tipo::MancaPendenza;
    }
    if (!(*pendenza > 0)) {
        return Tipo::PendenzaNonPositiva;
    }
    if (!std::isfinite(*pendenza)) {
        return Tipo::PendenzaFuoriDaiNumeri;
    }
    if (tratto.esistente && !tratto.raggio) {
        return Tipo::EsistenteSenzaRaggio;
    }
    if (tratto.raggio && !(*tratto.raggio > 0)) {
        return Tipo::RaggioNonPositivo;
    }
    if (!(tratto.portata > 0)) {
        return Tipo::PortataNonPositiva;
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
    case Allineamento::Nessuno:
        return "nessuna";
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

std::optional<Allineamento> allineamentoPozzettoDaNome(std::string_view nome) {
    return nome == nomeAllineamento(Allineamento::Nessuno) ? Allineamento::Nessuno
                                                           : allineamentoDaNome(nome);
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
    const std::optional<Rilievo::Tipo> manca = datoMancante(tratto, pendenza);
    if (!manca) {
        return std::nullopt;
    }
    Esito esito;
    esito.raggio = tratto.raggio.value_or(0);
    esito.pendenza = pendenza && std::isfinite(*pendenza) ? *pendenza : 0;
    esito.calcolato = false;
    esito.rilievi.push_back(Rilievo{*manca});
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
    Rilievo errore{Rilievo::Tipo::ErroreCalcolo};
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
        errore.testo = motivoEccezione(e);
    }
    Esito esito;
    esito.raggio = raggio;
    esito.pendenza = pendenza;
    esito.calcolato = false;
    esito.rilievi.push_back(std::move(errore));
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
            if (std::optional<Rilievo> mezzo = rimedio(esito, pendenze, esito.raggio)) {
                esito.rilievi.push_back(std::move(*mezzo));
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

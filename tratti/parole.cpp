#include "tratti/parole.h"

#include "numeri/formato.h"
#include "numeri/misure.h"
#include "tratti/deroghe.h"
#include "tratti/tratto.h"

#include <algorithm>
#include <cmath>

namespace tratti {

Gravita Rilievo::gravita() const {
    if (!deroga.empty()) {
        return Gravita::Deroga;
    }
    switch (tipo) {
    case Tipo::SaltoOltreIlMassimo:
        return Gravita::Provvedimento;
    case Tipo::PendenzaMinima:
    case Tipo::PendenzaMassima:
    case Tipo::NessunaPendenza:
    case Tipo::NessunaPendenzaAmmessa:
        return Gravita::Rimedio;
    case Tipo::PortataMinoreAMonte:
    case Tipo::ReteConErrore:
    case Tipo::Esistente:
        return Gravita::Avviso;
    default:
        return Gravita::Difetto;
    }
}

bool Rilievo::impedisce() const {
    switch (tipo) {
    case Tipo::CatalogoSenzaRaggi:
    case Tipo::MancaPendenza:
    case Tipo::PendenzaNonPositiva:
    case Tipo::PendenzaFuoriDaiNumeri:
    case Tipo::RaggioNonPositivo:
    case Tipo::PortataNonPositiva:
    case Tipo::ErroreCalcolo:
    case Tipo::RisultatoFuoriDaiNumeri:
    case Tipo::EsistenteSenzaRaggio:
        return true;
    default:
        return false;
    }
}

namespace {

using Tipo = Rilievo::Tipo;

std::string tra(const std::string& nome) {
    return "«" + nome + "»";
}

class Parole {
  public:
    Parole(const Rilievo& r, Separatore s) : r_(r), s_(s) {}

    std::string perTratto() const {
        switch (r_.tipo) {
        case Tipo::VelocitaBassa:
        case Tipo::VelocitaAlta:
            return std::string(r_.tipo == Tipo::VelocitaBassa ? "velocità troppo bassa "
                                                              : "velocità troppo alta ") +
                   allaPortata() + ": " + confronto("0.00", 100) + " cm/s " +
                   (r_.tipo == Tipo::VelocitaBassa ? "<" : ">") + " " + limite(100) + " cm/s";
        case Tipo::RiempimentoAlto:
            return "riempimento oltre il limite " + allaPortata() + ": " + confronto("0.0", 100) +
                   "% > " + limite(100) + "%";
        case Tipo::PortataNonRaggiunta:
            return std::string("nessuna altezza porta la portata ") +
                   (r_.portata == Rilievo::Portata::Progetto ? "di progetto" : "minima") + " di " +
                   Format(r_.valore, s_) + " l/s: la massima della sezione è " +
                   FormatConfronto(r_.soglia * 1000, r_.valore, "0.00", s_) + " l/s";
        case Tipo::PendenzaMinima:
            return std::string("pendenza minima ") +
                   (r_.vincolo == analisi::VincoloPendenza::Riempimento ? "per il riempimento: "
                                                                        : "per l'autopulizia: ") +
                   pendenzaArrotondata(r_.valore, true, s_);
        case Tipo::PendenzaMassima:
            return "pendenza massima per la velocità massima ammessa: " +
                   pendenzaArrotondata(r_.valore, false, s_);
        case Tipo::NessunaPendenza:
            return "nessuna pendenza rispetta i limiti con r = " + Format(r_.valore, s_) + " cm";
        case Tipo::NessunaPendenzaAmmessa:
            return "nessuna pendenza fino a " + Format(r_.soglia, s_) +
                   " m/m rispetta i limiti con r = " + Format(r_.valore, s_) + " cm";
        case Tipo::CatalogoSenzaRaggi:
            return r_.valore > 0 ? "il catalogo non ha raggi di almeno " + Format(r_.valore, s_) +
                                       " cm, il raggio a monte"
                                 : "il catalogo non ha raggi";
        case Tipo::NessunRaggioEntroRiempimento:
            return "nessun raggio del catalogo rispetta tutti i limiti con questa pendenza; r = " +
                   Format(r_.valore, s_) + " cm è il più piccolo entro il riempimento";
        case Tipo::NessunRaggio:
            return "nessun raggio del catalogo rispetta i limiti; con il più grande, r = " +
                   Format(r_.valore, s_) + " cm";
        case Tipo::MancaPendenza:
            return "manca la pendenza, o le quote con la lunghezza";
        case Tipo::PendenzaNonPositiva:
            return "la pendenza non è positiva";
        case Tipo::PendenzaFuoriDaiNumeri:
            return "la pendenza data dalle quote e dalla lunghezza supera l'intervallo dei numeri";
        case Tipo::RaggioNonPositivo:
            return "il raggio non è positivo";
        case Tipo::EsistenteSenzaRaggio:
            return "tratto esistente senza raggio: la sua sezione va rilevata, non scelta";
        case Tipo::Esistente:
            return "tratto esistente: sezione e quote come rilevate";
        case Tipo::PortataNonPositiva:
            return "la portata di progetto non è positiva";
        case Tipo::ErroreCalcolo:
            return r_.testo;
        case Tipo::RisultatoFuoriDaiNumeri:
            return "errore di calcolo: un risultato del tratto supera l'intervallo dei numeri";
        case Tipo::SezioneRidotta:
            return "la sezione si riduce verso valle: r = " + Format(r_.valore, s_) +
                   " cm dopo r = " + Format(r_.soglia, s_) + " cm di " + tra(r_.altro);
        case Tipo::Contropendenza:
            return "contropendenza al pozzetto " + tra(r_.pozzetto) + ": lo scorrimento " +
                   livelli().first + " è sopra quello di " + tra(r_.altro) + ", " +
                   livelli().second;
        case Tipo::FondiNonAllineati:
            return "fondi non allineati al pozzetto " + tra(r_.pozzetto) + ": salto di " +
                   metri(r_.valore) + " da " + tra(r_.altro);
        case Tipo::SopraAllineamento:
            return std::string(r_.cieli ? "cielo" : "pelo libero") + " al pozzetto " +
                   tra(r_.pozzetto) + " sopra quello di " + tra(r_.altro) + ": " + livelli().first +
                   " > " + livelli().second + regola();
        case Tipo::SaltoOltreIlMassimo:
            return "salto di " + rispettoAlLimite() + " al pozzetto " + tra(r_.pozzetto) +
                   ", oltre " + metri(r_.soglia) + ": serve un pozzetto di salto";
        case Tipo::RicoprimentoInsufficiente:
            return "ricoprimento insufficiente " + estremo() + " (pozzetto " + tra(r_.pozzetto) +
                   "): " + rispettoAlLimite() + " < " + metri(r_.soglia);
        case Tipo::ScavoOltreIlMassimo:
            return "scavo oltre la profondità massima " + estremo() + " (pozzetto " +
                   tra(r_.pozzetto) + "): " + rispettoAlLimite() + " > " + metri(r_.soglia);
        case Tipo::PortataMinoreAMonte:
            return "portata minore di un tratto a monte: " + Format(r_.valore, s_) + " l/s < " +
                   Format(r_.soglia, s_) + " l/s di " + tra(r_.altro);
        case Tipo::QuoteNonCalcolate:
            if (r_.altro.empty()) {
                return "quote non calcolate: nessuna quota di scorrimento nella rete; "
                       "ricoprimento e profondità non verificabili";
            }
            return std::string("quote non calcolate: manca ") +
                   (r_.senzaLunghezza ? "la lunghezza" : "la pendenza") + " di " + tra(r_.altro) +
                   "; ricoprimento e continuità non verificabili";
        case Tipo::ReteConErrore:
            return "la rete del tratto ha un errore: quote e continuità non verificate";
        case Tipo::PendenzaControQuote:
            return disaccordo();
        case Tipo::Diramazione:
            return "dal pozzetto " + tra(r_.pozzetto) + " escono " + std::to_string(r_.quanti) +
                   " tratti: una diramazione non è un collettore";
        case Tipo::Anello:
            return "il tratto è in un anello di " + std::to_string(r_.quanti) +
                   " tratti, chiuso al pozzetto " + tra(r_.pozzetto);
        default:
            return perPozzetto();
        }
    }

    // The manhole's words name the reach instead of the manhole.
    std::string perPozzetto() const {
        switch (r_.tipo) {
        case Tipo::SezioneRidotta:
            return "sezione ridotta verso valle: r = " + Format(r_.valore, s_) + " cm di " +
                   tra(r_.tratto) + " dopo r = " + Format(r_.soglia, s_) + " cm di " +
                   tra(r_.altro);
        case Tipo::Contropendenza:
            return "contropendenza: lo scorrimento di " + tra(r_.tratto) + ", " + livelli().first +
                   ", è sopra quello di " + tra(r_.altro) + ", " + livelli().second;
        case Tipo::FondiNonAllineati:
            return "fondi non allineati: salto di " + metri(r_.valore) + " da " + tra(r_.altro) +
                   " a " + tra(r_.tratto);
        case Tipo::SopraAllineamento:
            return std::string(r_.cieli ? "cielo" : "pelo libero") + " di " + tra(r_.tratto) +
                   " sopra quello di " + tra(r_.altro) + ": " + livelli().first + " > " +
                   livelli().second + regola();
        case Tipo::SaltoOltreIlMassimo:
            return "salto di " + rispettoAlLimite() + ", oltre " + metri(r_.soglia) +
                   ": serve un pozzetto di salto";
        case Tipo::RicoprimentoInsufficiente:
            return "ricoprimento di " + tra(r_.tratto) + " insufficiente: " + rispettoAlLimite() +
                   " < " + metri(r_.soglia);
        case Tipo::ScavoOltreIlMassimo:
            return "scavo di " + tra(r_.tratto) +
                   " oltre la profondità massima: " + rispettoAlLimite() + " > " + metri(r_.soglia);
        case Tipo::PozzettoNonVerificato:
            return "la sua rete ha un errore: quote e continuità non verificate";
        case Tipo::Diramazione:
            return "dal pozzetto " + tra(r_.pozzetto) + " escono " + std::to_string(r_.quanti) +
                   " tratti (" + elenco() + "): una diramazione non è un collettore";
        case Tipo::Anello:
            return "i tratti " + elenco() + " formano un anello, chiuso al pozzetto " +
                   tra(r_.pozzetto);
        case Tipo::TrattoSuSeStesso:
            return "il tratto " + tra(r_.tratto) + " va dal pozzetto " + tra(r_.pozzetto) +
                   " a sé stesso";
        case Tipo::PozzettoElencatoDueVolte:
            return "il pozzetto " + tra(r_.pozzetto) + " è elencato due volte";
        case Tipo::PozzettoNonUsato:
            return "il pozzetto " + tra(r_.pozzetto) + " non è usato da alcun tratto";
        default:
            return perTratto();
        }
    }

    // The values compared, without the words of the check they belong to;
    // empty for a finding that compares none.
    std::string valori(Voce voce) const {
        const bool delTratto = voce == Voce::Tratto;
        const std::string alPozzetto = delTratto ? "al pozzetto " + tra(r_.pozzetto) + ": " : "";
        const std::string di = delTratto ? "" : " di " + tra(r_.tratto);
        switch (r_.tipo) {
        case Tipo::VelocitaBassa:
        case Tipo::VelocitaAlta:
            return allaPortata() + ": " + confronto("0.00", 100) + " cm/s " +
                   (r_.tipo == Tipo::VelocitaBassa ? "<" : ">") + " " + limite(100) + " cm/s";
        case Tipo::RiempimentoAlto:
            return allaPortata() + ": " + confronto("0.0", 100) + "% > " + limite(100) + "%";
        case Tipo::PortataNonRaggiunta:
            return std::string("portata ") +
                   (r_.portata == Rilievo::Portata::Progetto ? "di progetto " : "minima ") +
                   Format(r_.valore, s_) + " l/s > " +
                   FormatConfronto(r_.soglia * 1000, r_.valore, "0.00", s_) +
                   " l/s, la massima della sezione";
        case Tipo::SezioneRidotta:
            return "r = " + Format(r_.valore, s_) + " cm" + di +
                   " dopo r = " + Format(r_.soglia, s_) + " cm di " + tra(r_.altro);
        case Tipo::Contropendenza:
            return alPozzetto + "scorrimento" + di + " " + livelli().first + " > " +
                   livelli().second + " di " + tra(r_.altro);
        case Tipo::FondiNonAllineati:
            return alPozzetto + "salto di " + metri(r_.valore) + " da " + tra(r_.altro) +
                   (delTratto ? "" : " a " + tra(r_.tratto));
        case Tipo::SopraAllineamento:
            return alPozzetto + (r_.cieli ? "cielo" : "pelo libero") + di + " " + livelli().first +
                   " > " + livelli().second + " di " + tra(r_.altro);
        case Tipo::SaltoOltreIlMassimo:
            return alPozzetto + rispettoAlLimite() + " > " + metri(r_.soglia);
        case Tipo::RicoprimentoInsufficiente:
        case Tipo::ScavoOltreIlMassimo:
            return (delTratto ? estremo() + " (pozzetto " + tra(r_.pozzetto) + ")"
                              : "di " + tra(r_.tratto)) +
                   ": " + rispettoAlLimite() +
                   (r_.tipo == Tipo::RicoprimentoInsufficiente ? " < " : " > ") + metri(r_.soglia);
        default:
            return {};
        }
    }

  private:
    // The slope typed, the inverts' own and the gap between the two drops.
    std::string disaccordo() const {
        const double caduta = r_.monte - r_.valle;
        const double scarto = std::abs(r_.valore * r_.lunghezza - caduta) * 1000;
        return "pendenza " + testoMisura(Misura::Pendenza, r_.valore, s_) + " e quote " +
               Format(r_.monte, "0.00#", s_) + " − " + Format(r_.valle, "0.00#", s_) + " m su " +
               testoMisura(Misura::Lunghezza, r_.lunghezza, s_) + " m (" +
               testoMisura(Misura::Pendenza, caduta / r_.lunghezza, s_) + ") in disaccordo di " +
               FormatConfronto(scarto, 1, "0", s_) + " mm";
    }
    std::string allaPortata() const {
        return r_.portata == Rilievo::Portata::Progetto ? "alla portata di progetto"
                                                        : "alla portata minima";
    }
    // A value compared with its limit takes the decimals that keep it on
    // its side; the limit reads as it was typed.
    std::string confronto(const char* modello, double scala) const {
        return FormatConfronto(r_.valore * scala, r_.soglia * scala, modello, s_);
    }
    std::string limite(double scala) const { return Format(r_.soglia * scala, s_); }
    std::string metri(double valore) const { return Format(valore, "0.00", s_) + " m"; }
    // A length in metres against its limit, on its side of it as printed.
    std::string rispettoAlLimite() const {
        return FormatConfronto(r_.valore, r_.soglia, "0.00", s_) + " m";
    }
    // Two levels compared, each with the decimals that keep them apart.
    std::pair<std::string, std::string> livelli() const {
        auto [valore, soglia] = FormatCoppia(r_.valore, r_.soglia, "0.00", s_);
        return {valore + " m", soglia + " m"};
    }
    std::string estremo() const {
        return r_.estremo == Rilievo::Estremo::Monte ? "a monte" : "a valle";
    }
    std::string regola() const {
        return r_.cieli ? " (allineamento dei cieli)" : " (allineamento dei peli liberi)";
    }
    std::string elenco() const {
        std::string testo;
        for (const std::string& nome : r_.nomi) {
            testo += (testo.empty() ? "" : ", ") + tra(nome);
        }
        if (r_.quanti > r_.nomi.size()) {
            testo += " e altri " + std::to_string(r_.quanti - r_.nomi.size());
        }
        return testo;
    }

    const Rilievo& r_;
    Separatore s_;
};

bool apreIlMotivo(const Rilievo& r) {
    return r.tipo == Tipo::NessunRaggioEntroRiempimento || r.tipo == Tipo::NessunRaggio;
}

} // namespace

std::string testoRilievo(const Rilievo& rilievo, Separatore separatore, Voce voce) {
    const Parole parole(rilievo, separatore);
    std::string testo = voce == Voce::Tratto ? parole.perTratto() : parole.perPozzetto();
    if (!rilievo.deroga.empty()) {
        testo = "in deroga: " + testo + " (" + tra(rilievo.deroga) + ")";
    }
    return testo;
}

std::string verificaDi(const Rilievo& rilievo) {
    if (const std::optional<Controllo> controllo = controlloDi(rilievo.tipo)) {
        return std::string(nomeControllo(*controllo));
    }
    if (rilievo.impedisce()) {
        return "calcolo del tratto";
    }
    switch (rilievo.tipo) {
    case Tipo::PortataNonRaggiunta:
        return "portata della sezione";
    case Tipo::NessunRaggioEntroRiempimento:
    case Tipo::NessunRaggio:
        return "dimensionamento dal catalogo";
    case Tipo::PendenzaMinima:
    case Tipo::PendenzaMassima:
    case Tipo::NessunaPendenza:
    case Tipo::NessunaPendenzaAmmessa:
    case Tipo::PendenzaControQuote:
        return "pendenza";
    case Tipo::QuoteNonCalcolate:
        return "quote di scorrimento";
    case Tipo::PortataMinoreAMonte:
        return "portata verso valle";
    case Tipo::Esistente:
        return "tratto esistente";
    default:
        return "forma della rete";
    }
}

std::string valoriDi(const Rilievo& rilievo, Separatore separatore, Voce voce) {
    std::string valori = Parole(rilievo, separatore).valori(voce);
    return valori.empty() ? testoRilievo(rilievo, separatore, voce) : valori;
}

std::string rimedioDi(const Esito& esito, Separatore separatore) {
    const std::optional<double>& minima = esito.pendenzaMinima;
    const std::optional<double>& massima = esito.pendenzaMassima;
    const bool entro =
        (!minima || esito.pendenza >= *minima) && (!massima || esito.pendenza <= *massima);
    if (!esito.calcolato || (entro && !esito.senzaPendenza)) {
        return {};
    }
    if (esito.senzaPendenza) {
        return "nessuna pendenza rispetta tutti i limiti alla sua sezione";
    }
    // As the reasons write them: three digits, rounded inward.
    if (minima && massima) {
        return "pendenze da " + pendenzaArrotondata(*minima, true, separatore) + " a " +
               pendenzaArrotondata(*massima, false, separatore) + " m/m";
    }
    if (minima) {
        return "pendenze da " + pendenzaArrotondata(*minima, true, separatore) + " m/m in su";
    }
    if (massima) {
        return "pendenze fino a " + pendenzaArrotondata(*massima, false, separatore) + " m/m";
    }
    return {};
}

std::string motivoDi(const std::vector<Rilievo>& rilievi, Separatore separatore) {
    // A remedy mends a fault: with every fault accepted, there is none to mend.
    const bool conDifetti = std::any_of(rilievi.begin(), rilievi.end(), [](const Rilievo& r) {
        return r.gravita() == Gravita::Difetto;
    });
    std::string testo;
    bool dopoIlDimensionamento = false;
    for (const Rilievo& r : rilievi) {
        if (r.gravita() == Gravita::Difetto || (conDifetti && r.gravita() == Gravita::Rimedio)) {
            testo += testo.empty() ? "" : dopoIlDimensionamento ? ": " : "; ";
            testo += testoRilievo(r, separatore);
            dopoIlDimensionamento = apreIlMotivo(r);
        }
    }
    return testo;
}

std::string motivoDi(const Esito& esito, Separatore separatore) {
    return motivoDi(esito.rilievi, separatore);
}

std::string avvisiDi(const Esito& esito, Separatore separatore) {
    std::string testo;
    for (const Rilievo& r : esito.rilievi) {
        if (r.gravita() == Gravita::Provvedimento || r.gravita() == Gravita::Avviso ||
            r.gravita() == Gravita::Deroga) {
            testo += (testo.empty() ? "" : "; ") + testoRilievo(r, separatore);
        }
    }
    return testo;
}

std::string pendenzaArrotondata(double pendenza, bool perEccesso, Separatore separatore) {
    const double scala = std::pow(10.0, std::floor(std::log10(pendenza)) - 2);
    const double cifre = perEccesso ? std::ceil(pendenza / scala) : std::floor(pendenza / scala);
    return Format(cifre * scala, separatore);
}

} // namespace tratti

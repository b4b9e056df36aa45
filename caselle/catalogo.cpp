#include "caselle/catalogo.h"

#include "numeri/conversioni.h"
#include "numeri/formato.h"
#include "numeri/numero_positivo.h"
#include "tratti/grandezze.h"
#include "tratti/tratto.h"

#include <string_view>

namespace catalogo {

namespace {

std::string_view senzaSpazi(std::string_view testo) {
    constexpr std::string_view spazi = " \t\n\r\f\v";
    const std::size_t inizio = testo.find_first_not_of(spazi);
    if (inizio == std::string_view::npos) {
        return {};
    }
    return testo.substr(inizio, testo.find_last_not_of(spazi) - inizio + 1);
}

std::vector<std::string_view> parti(std::string_view testo, char separatore) {
    std::vector<std::string_view> esito;
    for (std::size_t inizio = 0;;) {
        const std::size_t fine = testo.find(separatore, inizio);
        esito.push_back(testo.substr(inizio, fine - inizio));
        if (fine == std::string_view::npos) {
            return esito;
        }
        inizio = fine + 1;
    }
}

} // namespace

const std::vector<double>& usuale() {
    static const std::vector<double> raggi = tratti::Impostazioni().catalogo;
    return raggi;
}

std::string testo(const std::vector<double>& raggi, Separatore separatore) {
    std::string esito;
    for (const double r : raggi) {
        esito.append(esito.empty()                       ? ""
                     : separatore == Separatore::Virgola ? "; "
                                                         : ", ")
            .append(Format(r, separatore));
    }
    return esito;
}

std::optional<std::vector<double>> daTesto(const std::string& testo, std::string& motivo) {
    std::vector<double> raggi;
    const bool conPuntoEVirgola = testo.find(';') != std::string::npos;
    for (const std::string_view gruppo : parti(testo, ';')) {
        const std::string_view intero = senzaSpazi(gruppo);
        if (const NumeroLetto uno = leggiNumeroPositivo(intero); conPuntoEVirgola && !uno.motivo) {
            raggi.push_back(*uno.valore);
            continue;
        }
        for (const std::string_view parte : parti(intero, ',')) {
            const std::string_view raggio = senzaSpazi(parte);
            if (raggio.empty()) {
                continue;
            }
            const NumeroLetto letto = leggiNumeroPositivo(raggio);
            if (letto.motivo) {
                motivo = "«" + std::string(raggio) + "»: " + *letto.motivo;
                return std::nullopt;
            }
            raggi.push_back(*letto.valore);
        }
    }
    for (const double raggio : raggi) {
        if (const std::optional<std::string> fuori =
                tratti::fuoriCampo(raggio, tratti::campoRaggio)) {
            motivo = "«" + CStr(raggio) + "»: il raggio è " + *fuori + ".";
            return std::nullopt;
        }
    }
    return raggi.empty() ? usuale() : raggi;
}

} // namespace catalogo

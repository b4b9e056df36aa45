#include "web/nucleo/verifiche_web.h"

#include "numeri/numero_positivo.h"

#include <string_view>

namespace web {

progetto::Verifiche verificheDi(const json::Valore& r) {
    progetto::Verifiche v;
    v.geometria = testoDi(r, "geometria") == "esatta" ? "esatta" : "tabellare";
    v.portataProgetto = progetto::Casella::daTesto(testoDi(r, "portata"));
    v.portataMinima = progetto::Casella::daTesto(testoDi(r, "portataMinima"));
    v.velocitaProgetto = progetto::Casella::daTesto(testoDi(r, "velocita"));
    v.velocitaMinima = progetto::Casella::daTesto(testoDi(r, "velocitaMinima"));
    v.velocitaMassima = progetto::Casella::daTesto(testoDi(r, "velocitaMassima"));
    v.riempimentoMassimo = progetto::Casella::daTesto(testoDi(r, "riempimentoMassimo"));
    const std::string legge = testoDi(r, "legge");
    v.legge = legge.empty() ? "bazin" : legge;
    v.scabrezza = progetto::Casella::daTesto(testoDi(r, "scabrezza"));
    v.temperatura = progetto::Casella::daTesto(testoDi(r, "temperatura"));
    return v;
}

void Segnali::segnala(const char* chiave, const std::optional<std::string>& motivo) {
    validi = validi && !motivo;
    oggetto.grezzo(chiave, Oggetto()
                               .testo("lettura", motivo ? "rifiutata" : "buona")
                               .testo("motivo", motivo.value_or(""))
                               .chiudi());
}

void Segnali::positivo(const json::Valore& r, const char* chiave) {
    segnala(chiave, leggiNumeroPositivo(testoDi(r, chiave)).motivo);
}

void segnalaLimiti(const json::Valore& r, const progetto::Verifiche& v, Segnali& segnali) {
    for (const char* chiave : {"velocitaMinima", "velocitaMassima", "riempimentoMassimo"}) {
        std::optional<std::string> motivo = leggiNumeroPositivo(testoDi(r, chiave)).motivo;
        if (!motivo && std::string_view(chiave) == "riempimentoMassimo" &&
            !v.riempimentoMassimo.vuota() && v.riempimentoMassimo.valore() > 100) {
            motivo = "Il riempimento è una parte dell'altezza: al più 100 %.";
        }
        segnali.segnala(chiave, motivo);
    }
}

void segnalaLegge(const progetto::LeggeLetta& legge, Segnali& segnali) {
    for (const char* chiave : {"scabrezza", "temperatura"}) {
        const bool sua = legge.chiave != nullptr && std::string_view(legge.chiave) == chiave;
        segnali.segnala(chiave, sua ? std::optional<std::string>(legge.motivo) : std::nullopt);
    }
}

} // namespace web

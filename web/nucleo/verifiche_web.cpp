#include "web/nucleo/verifiche_web.h"

#include "web/nucleo/json_scritto.h"

namespace web {

progetto::Verifiche verificheDi(const json::Valore& r) {
    progetto::Verifiche v;
    v.geometria = testoDi(r, "geometria") == "esatta" ? "esatta" : "tabellare";
    v.velocitaMinima = progetto::Casella::daTesto(testoDi(r, "velocitaMinima"));
    v.velocitaMassima = progetto::Casella::daTesto(testoDi(r, "velocitaMassima"));
    v.riempimentoMassimo = progetto::Casella::daTesto(testoDi(r, "riempimentoMassimo"));
    const std::string legge = testoDi(r, "legge");
    v.legge = legge.empty() ? "bazin" : legge;
    v.scabrezza = progetto::Casella::daTesto(testoDi(r, "scabrezza"));
    v.temperatura = progetto::Casella::daTesto(testoDi(r, "temperatura"));
    return v;
}

} // namespace web

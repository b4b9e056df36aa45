#pragma once

#include "progetto/json.h"
#include "progetto/legge_progetto.h"
#include "progetto/progetto.h"
#include "web/nucleo/json_scritto.h"

#include <optional>
#include <string>

namespace web {

// The analysis's boxes as the page sends them: the design values, the law
// and its coefficient, the geometry and the limits, each a text as typed.
progetto::Verifiche verificheDi(const json::Valore& richiesta);

// What the page is told of its boxes: each one's reading and reason, and
// whether they all hold a valid value.
struct Segnali {
    Oggetto oggetto;
    bool validi = true;

    void segnala(const char* chiave, const std::optional<std::string>& motivo);
    // An optional positive number: empty asks for nothing.
    void positivo(const json::Valore& richiesta, const char* chiave);
};

// The limits' boxes (a filling is at most 100 %) and the law's coefficient
// and temperature, as the analysis window marks them.
void segnalaLimiti(const json::Valore& richiesta, const progetto::Verifiche& verifiche,
                   Segnali& segnali);
void segnalaLegge(const progetto::LeggeLetta& legge, Segnali& segnali);

// Said once under the boxes when some is marked.
inline constexpr const char* caselleNonValide =
    "Le caselle in rosso non contengono un valore valido: il motivo compare tenendo il "
    "puntatore sulla casella.";

} // namespace web

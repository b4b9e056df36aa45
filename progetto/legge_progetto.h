#pragma once

#include "analisi/verifiche.h"
#include "calc/formule_sezione.h"
#include "calc/resistenza.h"
#include "progetto/progetto.h"

#include <optional>
#include <string>

namespace progetto {

// The answers' resistance law as the analysis window's boxes give it, read
// as the window reads them: the coefficient is a list entry ("0.46: …",
// its number before the colon) or a number typed, within the law's range;
// Bazin with an empty coefficient takes the table's γ.
struct LeggeLetta {
    std::optional<formule::Resistenza> resistenza; // none when a box is wrong
    const char* chiave = nullptr;                  // then its key: "scabrezza" or "temperatura"
    std::string motivo;                            // and why, in Italian
    bool dellaTabella = false;                     // Bazin with the table's γ
};
LeggeLetta leggiLegge(const Verifiche& verifiche, double coeffBazinTabella);

// The limits as the analysis window takes them from its boxes, in m/s and
// as a share of the height: a box without a positive number, or a filling
// beyond 100 %, gives the proposal.
analisi::Limiti limitiDi(const Verifiche& verifiche);

// The analysis window's geometry: the exact section or the table's.
formule::Geometria geometriaDi(const Verifiche& verifiche);

} // namespace progetto

#pragma once

#include "analisi/verifiche.h"
#include "calc/formule_sezione.h"
#include "calc/resistenza.h"
#include "progetto/progetto.h"
#include "tratti/tratto.h"

#include <optional>
#include <string>
#include <vector>

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

// The line's law as its reaches take it: a reach under its own
// Colebrook–White has the project's water temperature (the analysis
// window's box, the usual 15 °C while it holds none within the range),
// whatever the line's law; the line's own Colebrook–White keeps its own.
formule::Resistenza leggeDeiTratti(formule::Resistenza linea, const Verifiche& verifiche);

// What a project's line of reaches is verified with: the line's law as the
// caller read it, the analysis window's geometry and limits, the network's
// rule and cover (a box without a number: the proposal, or not checked),
// the catalogue (empty: the usual one).
tratti::Impostazioni impostazioniTratti(const Verifiche& verifiche, const Rete& rete,
                                        const formule::Resistenza& legge,
                                        const std::vector<double>& catalogo);

} // namespace progetto

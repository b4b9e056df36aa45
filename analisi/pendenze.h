#pragma once

#include "analisi/risposte.h"
#include "analisi/verifiche.h"

#include <optional>

// The slopes within which a section keeps its limits: what a designer
// changes when no size of the catalogue does.
namespace analisi {

// What sets the least slope: the self-cleansing velocity (at the design or
// the minimum flow) or the filling at the design flow.
enum class VincoloPendenza { Autopulizia, Riempimento };

struct PendenzeAmmesse {
    // m/m; none where no limit bounds that side.
    std::optional<double> minima;
    VincoloPendenza vincoloMinima = VincoloPendenza::Autopulizia;
    std::optional<double> massima; // set by the maximum velocity

    // No slope keeps every limit.
    bool nessuna() const { return minima && massima && *minima > *massima; }
};

// The section, its slope aside, carrying the design flow (m³/s) at its
// lowest height within every limit and the minimum flow, when given, at the
// self-cleansing velocity. A larger slope lowers the water of a flow and
// speeds it, so each bound is the slope at which one limit holds with
// equality: found as the height where it does, by the same bracketing as
// the other answers, then the slope that carries the flow there. `massime`
// are the section's maxima (altezzeMassime).
PendenzeAmmesse pendenzeAmmesse(const Sezione& sezione, const AltezzeMassime& massime,
                                double portata, std::optional<double> portataMinima,
                                const Limiti& limiti);

} // namespace analisi

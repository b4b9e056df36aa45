#pragma once

#include "tratti/tratto.h"

// The size a reach without a radius takes from the catalogue.
namespace tratti {

// The smallest size of the catalogue not below `raggioMinimo` (cm: in a
// line, the largest size upstream) that keeps every limit of the reach,
// each size computed by `verifica`. When none does, the smallest that
// carries the design flow within the filling, its reason saying that the
// slope is what no size mends; when none does that either, the largest.
// The reach's data must allow the computation (nonCalcolabile).
Esito dimensiona(const Tratto& tratto, const Impostazioni& impostazioni, double raggioMinimo,
                 const Verifica& verifica);

} // namespace tratti

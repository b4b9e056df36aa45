#pragma once

#include "progetto/json.h"
#include "progetto/progetto.h"

namespace web {

// The analysis's boxes as the page sends them: the law and its
// coefficient, the geometry and the limits, each a text as typed.
progetto::Verifiche verificheDi(const json::Valore& richiesta);

} // namespace web

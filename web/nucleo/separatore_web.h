#pragma once

#include "numeri/separatore.h"
#include "progetto/json.h"

namespace web {

// The page's "separatore": "virgola" for the decimal comma, else the point.
Separatore separatoreDi(const json::Valore& richiesta);

} // namespace web

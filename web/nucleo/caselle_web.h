#pragma once

#include "caselle/presentatore_ingressi.h"
#include "progetto/json.h"
#include "progetto/progetto.h"

namespace web {

// The main window's boxes as the page sends them, in the project's terms:
// the coefficient is the chosen list entry's text (`voce` from 0), or the
// text typed (`voce` below 0).
progetto::Ingressi ingressiDi(const json::Valore& richiesta);

// Their texts as the boxes' signals read them.
presentatore::Testi testiDi(const json::Valore& richiesta);

} // namespace web

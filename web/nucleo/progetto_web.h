#pragma once

#include "progetto/json.h"
#include "web/nucleo/valutazione_web.h"

namespace web {

// The project as the page holds it, in the shape nuovoProgetto and
// apriProgetto give it: every box a text, the keys this program does not
// use carried along.
ProgettoDellaPagina progettoDellaPagina(const json::Valore& progetto);
// The designer's exceptions as the page holds them: tratto or pozzetto,
// controllo, motivo, each a text.
std::vector<progetto::RigaDeroga> derogheDi(const json::Valore& elenco);

} // namespace web

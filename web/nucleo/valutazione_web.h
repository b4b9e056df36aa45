#pragma once

#include "progetto/progetto.h"
#include "valutazione/sezione.h"
#include "valutazione/valutazione.h"

#include <optional>
#include <string>

namespace web {

// A project as the page sends it. Its catalogue's box may hold a text that
// is no catalogue, which a project cannot hold: that box then stops the
// line, named, as any box of the line does.
struct ProgettoDellaPagina {
    progetto::Progetto progetto;
    std::optional<valutazione::CasellaSbagliata> catalogo;
};

// The catalogue's box as typed: empty, the usual radii.
void leggiCatalogo(ProgettoDellaPagina& pagina, const std::string& testo);

// The project evaluated by valutazione's own steps, the catalogue's box
// among the line's.
valutazione::Valutazione valuta(const ProgettoDellaPagina& pagina);

} // namespace web

#pragma once

#include "calc/tabella.h"
#include "caselle/presentatore_ingressi.h"
#include "progetto/json.h"

#include <optional>
#include <string>

namespace web {

// The main window's boxes as the page sends them, and the table the window
// computes from them with its own steps: none when an input is not
// positive, or when the computation failed (`errore`, as the window shows
// it).
struct TabellaDelleCaselle {
    presentatore::Testi testi;
    std::string tipoSezione = "/";
    std::optional<calcolo::Tabella> tabella;
    std::string errore;
};
TabellaDelleCaselle tabellaDelleCaselle(const json::Valore& richiesta);

} // namespace web

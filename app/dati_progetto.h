#pragma once

#include "progetto/progetto.h"

#include <optional>

class QWidget;

// "Dati del progetto": the work, the reach, the client, the designer, the
// date, the description and notes, and what the report states beside the
// results (whether it holds the typical section, the sources of its
// criteria), edited in a dialog; none when the user cancels. `conTratti`:
// the project has reaches, so the typical section is left out unless asked
// for.
std::optional<progetto::Dati> modificaDatiProgetto(QWidget* finestra, const progetto::Dati& dati,
                                                   bool conTratti);

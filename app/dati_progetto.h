#pragma once

#include "progetto/progetto.h"

#include <optional>

class QWidget;

// "Dati del progetto": the work, the reach, the client, the designer, the
// date and notes, edited in a dialog; none when the user cancels.
std::optional<progetto::Dati> modificaDatiProgetto(QWidget* finestra, const progetto::Dati& dati);

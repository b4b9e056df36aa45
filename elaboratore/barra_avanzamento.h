#pragma once

#include "errori/avanzamento.h"

class QString;
class QWidget;

// A progress dialog for a long piece of work done on the window's own
// thread: `testo` above the bar and an "Annulla" button. It shows itself
// only when the work lasts over a second, and keeps the other windows still
// meanwhile. It lives as long as the function returned and its copies;
// once "Annulla" is pressed, the function says to stop.
Avanzamento::Ascolta barraAvanzamento(QWidget* genitore, const QString& testo);

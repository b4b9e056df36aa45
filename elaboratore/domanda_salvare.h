#pragma once

class QString;
class QWidget;

// What to do with unsaved work about to be closed.
enum class RispostaSalvare { Salva, Scarta, Annulla };

// Asks it as desktop editors do: Salva (the default), Scarta, Annulla.
RispostaSalvare chiediSeSalvare(QWidget* finestra, const QString& domanda);

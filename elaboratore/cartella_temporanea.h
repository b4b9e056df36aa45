#pragma once

#include <QString>

// A folder of the program's own for the files it hands to other programs,
// created on first use and removed, with everything in it, when the
// application ends. Empty when it cannot be created.
QString cartellaTemporaneaProgramma();

// Removes the folder now; the next use creates a new one.
void rimuoviCartellaTemporaneaProgramma();

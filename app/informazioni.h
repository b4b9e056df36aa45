#pragma once

#include <QString>

// What "Informazioni su…" says: the program and its version, what it
// computes and with which formulas, and its licence. Rich text.
QString testoInformazioni();

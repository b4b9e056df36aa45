#pragma once

#include "analisi/risposte.h"
#include "calc/tabella.h"

#include <vector>

namespace analisi {

// Rows 1 to numPassi + 2 of a table, as it computed them: the regular
// heights, then the rows of maximum velocity and maximum flow.
std::vector<Grandezze> righeTabellaCalcolata(const calcolo::Tabella& tabella);

// The same heights under another law, with the table's geometry: the
// table's rows as a chart drawn for that law shows them. Under the table's
// own law, the rows as computed.
std::vector<Grandezze> righeTabellaConLegge(const calcolo::Tabella& tabella,
                                            const formule::Resistenza& legge);

} // namespace analisi

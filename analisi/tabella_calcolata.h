#pragma once

#include "analisi/risposte.h"

#include <vector>

namespace analisi {

// Rows 1 to numPassi + 2 of the last sweep, as the table computed them: the
// regular heights, then the rows of maximum velocity and maximum flow.
std::vector<Grandezze> righeTabellaCalcolata();

// The same heights under another law, with the table's geometry: the
// table's rows as a chart drawn for that law shows them. Under the table's
// own law, the rows as computed.
std::vector<Grandezze> righeTabellaConLegge(const formule::Resistenza& legge);

} // namespace analisi

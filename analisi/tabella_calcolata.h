#pragma once

#include "analisi/risposte.h"

#include <vector>

namespace analisi {

// Rows 1 to numPassi + 2 of the last sweep, as the table computed them: the
// regular heights, then the rows of maximum velocity and maximum flow.
std::vector<Grandezze> righeTabellaCalcolata();

} // namespace analisi

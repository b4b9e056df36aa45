#pragma once

#include <string>

// Rows 1 to numPassi + 2 of the last sweep as CSV in SI units, every number
// with 17 significant digits so that it reads back exactly.
std::string tabellaSi();

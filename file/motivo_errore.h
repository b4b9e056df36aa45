#pragma once

#include <string>

// The reason for a system error number, in Italian, in lower case, for every
// number the system may give: "spazio esaurito sul disco", "permesso negato".
std::string motivoErrore(int codice);

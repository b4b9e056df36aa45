#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// The command line as a whole: reads the options, computes, prints. Returns
// the exit status: 0 done, 2 bad usage or input, 1 computation error.
int eseguiCli(const std::vector<std::string>& argomenti, std::ostream& uscita,
              std::ostream& errori);

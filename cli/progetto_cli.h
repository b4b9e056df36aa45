#pragma once

#include "cli/opzioni.h"

#include <set>
#include <string>

// The inputs a project file gives the command line: the main window's boxes
// and the answers' geometry; with `verifiche`, also the design and minimum
// flows and the design velocity; with --tratti in `date`, the limits of the
// checks instead of the radius, slope and increment. The options in `date`,
// which the line gives, are not read from the file. A bad file is an ErroreFile; a value
// the window would not compute with, an ErroreUso naming the file and the
// key.
OpzioniCli opzioniDalProgetto(const std::string& percorso, bool verifiche,
                              const std::set<std::string>& date);

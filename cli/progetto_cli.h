#pragma once

#include "cli/opzioni.h"
#include "valutazione/sezione.h"

#include <set>
#include <string>

// The inputs a project file gives the command line: the project itself
// (`comeScritto`), which the line's options are laid over, and the main
// window's boxes for the table; with `verifiche`, also the design and
// minimum flows and the design velocity; the profile's scales. With --tratti in `date`, the
// radius, slope and increment are not read, and the limits of the checks
// are held to the analysis window's strict reading. The options in `date`,
// which the line gives, are not read from the file. A bad file is an
// ErroreFile; a value the window would not compute with, an ErroreUso
// naming the file and the key.
OpzioniCli opzioniDalProgetto(const std::string& percorso, bool verifiche,
                              const std::set<std::string>& date);

// A box of the project that does not read, as the evaluation found it:
// the message names the file, the box and its key, and why, as the window
// says it.
ErroreUso casellaNonValida(const std::string& percorso,
                           const valutazione::CasellaSbagliata& casella);

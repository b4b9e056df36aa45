#pragma once

#include "cli/opzioni.h"

#include <string>

// The inputs a project file gives the command line: the main window's boxes
// and the geometry; with `verifiche`, also the design flow and velocity and
// the minimum flow.
// A bad file is an ErroreFile; a value the window would not compute with,
// an ErroreUso naming the file and the key.
OpzioniCli opzioniDalProgetto(const std::string& percorso, bool verifiche);

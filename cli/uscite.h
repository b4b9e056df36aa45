#pragma once

#include "cli/opzioni.h"

// Raises ErroreUso, naming both options, when two outputs of the line
// (--documento, --relazione, --file, --profilo) name one file, however they
// name it, or an output names an input (--progetto, --tratti): one file
// would be written over the other. Files that exist are compared as files,
// links followed; names of files not yet there as the paths they resolve to.
void verificaUscite(const OpzioniCli& opzioni);

#pragma once

#include <string>

// The report of the last recalculation, written by the same code as the
// window's, into a word processor without a window, then saved in the format
// of the file's extension, under the path's exact bytes. Raises ErroreFile.
void scriviReportSenzaFinestra(const std::string& percorso);

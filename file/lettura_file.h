#pragma once

#include <cstddef>
#include <string>

// Reads the whole of a small file, on the path's exact bytes: a regular file
// of at most `massimo` bytes. A folder, a device, a FIFO or a socket is
// refused without waiting on it, and so is a larger file. On any failure
// ErroreFile says "Impossibile aprire «…»: " and the reason in Italian.
std::string leggiFileIntero(const std::string& percorso, std::size_t massimo);

// Raises that ErroreFile for a file of one's own reading: "Impossibile
// aprire «percorso»: motivo." with the name escaped.
[[noreturn]] void aperturaFallita(const std::string& percorso, const std::string& motivo);

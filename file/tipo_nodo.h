#pragma once

#include <sys/stat.h>

// What a name that is not a regular file stands for, in words for a
// message: "un dispositivo", "una coda FIFO", "un socket".
inline const char* tipoNodoSpeciale(mode_t modo) {
    return S_ISCHR(modo) || S_ISBLK(modo) ? "un dispositivo"
           : S_ISFIFO(modo)               ? "una coda FIFO"
           : S_ISSOCK(modo)               ? "un socket"
                                          : "un oggetto speciale";
}

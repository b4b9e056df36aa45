#pragma once

#include <cstdint>

// A double as 15 significant decimal digits d0.d1…d14 × 10^esponente,
// correctly rounded and independent of the locale. Non-finite values raise
// the overflow error: no text is ever made of them.
struct CifreDecimali {
    bool negativo = false;
    // The digits d0…d14 as a whole number, from 10^14 to 10^15 − 1; 0 for
    // zero.
    std::uint64_t significando = 0;
    int esponente = 0;
};

CifreDecimali cifreDecimali(double valore);

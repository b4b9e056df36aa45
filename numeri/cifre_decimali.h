#pragma once

#include <string>

// A double as 15 significant decimal digits d0.d1…d14 × 10^esponente,
// correctly rounded and independent of the locale. Non-finite values raise
// the overflow error: no text is ever made of them.
struct CifreDecimali {
    bool negativo = false;
    std::string cifre; // always 15 digits
    int esponente = 0;
};

CifreDecimali cifreDecimali(double valore);

#pragma once

// The entries of the main window's list of Bazin's coefficients, in their
// order: the value each stands for, and its text. A project file names the
// chosen entry by its text.
struct VoceCoefficiente {
    double valore;
    const char* testo;
};

inline constexpr VoceCoefficiente vociCoefficiente[] = {
    {0.18, "0.18: Tubaz. Ø >400 mm, acqua limpida"},
    {0.23, "0.23: Tubaz. Ø <400 mm, acqua non limpida"},
    {0.36, "0.36: acqua torbida, tubazioni incrostate, depositi"},
};

#pragma once

// Bounds of the height increment (mm) for a radius (cm): the whole height of
// the section, 3r, and one thousandth of it. They keep a sweep within 1000
// regular rows.
double limiteSuperioreIncremento(double raggio);
double limiteInferioreIncremento(double raggio);

// The increment a table uses for the one asked: brought within the bounds
// of a positive radius. An increment not above zero is not raised, and
// without a section (a radius not above zero) there is nothing to bound by.
// `limite` names a bound that changed the increment by more than a
// rounding.
struct IncrementoLimitato {
    enum class Limite { Nessuno, Minimo, Massimo };
    double valore;
    Limite limite = Limite::Nessuno;
};
IncrementoLimitato limitaIncremento(double raggio, double incremento);

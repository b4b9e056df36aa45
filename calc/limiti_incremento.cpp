#include "calc/limiti_incremento.h"

#include "calc/reale.h"

#include <cmath>

double limiteSuperioreIncremento(double raggio) {
    return (Reale(30.0) * raggio).valore();
}

double limiteInferioreIncremento(double raggio) {
    return (Reale(raggio) * 3.0 / 100.0).valore();
}

IncrementoLimitato limitaIncremento(double raggio, double incremento) {
    if (!(raggio > 0)) {
        return {incremento};
    }
    // A bound a rounding away from the increment (30 × 4.1 is 122.99999…
    // for 123 typed) still gives the table the bound, but is no bounding the
    // user could see or be told of.
    const auto limitato = [&](double limite, IncrementoLimitato::Limite quale) {
        const bool uguale = std::abs(limite - incremento) <= 1e-12 * std::abs(incremento);
        return IncrementoLimitato{limite, uguale ? IncrementoLimitato::Limite::Nessuno : quale};
    };
    if (const double superiore = limiteSuperioreIncremento(raggio); superiore < incremento) {
        return limitato(superiore, IncrementoLimitato::Limite::Massimo);
    }
    if (const double inferiore = limiteInferioreIncremento(raggio);
        incremento > 0 && inferiore > incremento) {
        return limitato(inferiore, IncrementoLimitato::Limite::Minimo);
    }
    return {incremento};
}

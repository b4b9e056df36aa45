#include "calc/limiti_incremento.h"

#include "calc/reale.h"

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
    if (const double superiore = limiteSuperioreIncremento(raggio); superiore < incremento) {
        return {superiore, IncrementoLimitato::Limite::Massimo};
    }
    if (const double inferiore = limiteInferioreIncremento(raggio);
        incremento > 0 && inferiore > incremento) {
        return {inferiore, IncrementoLimitato::Limite::Minimo};
    }
    return {incremento};
}

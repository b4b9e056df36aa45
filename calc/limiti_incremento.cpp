#include "calc/limiti_incremento.h"

#include "calc/reale.h"

double limiteSuperioreIncremento(double raggio) {
    return (Reale(30.0) * raggio).valore();
}

double limiteInferioreIncremento(double raggio) {
    return (Reale(raggio) * 3.0 / 100.0).valore();
}

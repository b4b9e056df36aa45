#include "numeri/testo_valore.h"

#include "calc/reale.h"
#include "errori/errore_runtime.h"
#include "numeri/formato.h"

#include <cmath>

namespace {

// The height rounded half up to the whole millimetre, in centimetres.
Reale altezzaCm(double altezza) {
    return Reale(std::floor((Reale(altezza) * 1000.0 + 0.5).valore())) / 10.0;
}

} // namespace

// Pattern first, then the value, then its conversion, its check and its
// text.
std::string TestoValore(int colonna, double valore) {
    switch (colonna) {
    case 1:
        return Format(altezzaCm(valore).valore(), "###0.0");
    case 2:
    case 3:
    case 4:
        return Format(valore, "##0.###0");
    case 5:
        return Format((Reale(valore) * 100.0).valore(), "###0.#0");
    case 6:
        return Format((Reale(valore) * 1000.0).valore(), "#####0.#0");
    default:
        throw ErroreRuntime(TipoErrore::IndiceFuoriIntervallo);
    }
}

std::string TestoValore(int colonna, double valore, Separatore separatore) {
    return numeroCon(TestoValore(colonna, valore), separatore);
}

#include "numeri/sezione.h"

#include "calc/reale.h"
#include "numeri/formato.h"

std::string TestoSezione(double raggio) {
    return TestoSezione(raggio, Separatore::Punto);
}

std::string TestoSezione(double raggio, Separatore separatore) {
    return Format((Reale(2.0) * raggio).valore(), separatore) + "/" +
           Format((Reale(3.0) * raggio).valore(), separatore);
}

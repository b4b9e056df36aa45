#include "numeri/sezione.h"

#include "calc/reale.h"
#include "numeri/formato.h"

std::string TestoSezione(double raggio) {
    return Format((Reale(2.0) * raggio).valore()) + "/" + Format((Reale(3.0) * raggio).valore());
}

std::string TestoSezione(double raggio, Separatore separatore) {
    return numeroCon(Format((Reale(2.0) * raggio).valore()), separatore) + "/" +
           numeroCon(Format((Reale(3.0) * raggio).valore()), separatore);
}

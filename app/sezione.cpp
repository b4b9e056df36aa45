#include "app/sezione.h"

#include "app/formato.h"
#include "calc/reale.h"

std::string TestoSezione(double raggio) {
    return Format((Reale(2.0) * raggio).valore()) + "/" + Format((Reale(3.0) * raggio).valore());
}

#include "numeri/sezione.h"

#include "calc/reale.h"
#include "numeri/conversioni.h"
#include "numeri/formato.h"

std::string TestoSezione(double raggio) {
    return Format((Reale(2.0) * raggio).valore()) + "/" + Format((Reale(3.0) * raggio).valore());
}

std::string testoResistenza(const formule::Resistenza& r) {
    std::string testo(formule::simboloCoefficiente(r.legge));
    testo.append(" = ").append(CStr(r.coefficiente));
    if (r.legge != formule::Legge::Bazin) {
        testo.append(" ").append(formule::unitaCoefficiente(r.legge));
    }
    if (r.legge == formule::Legge::Colebrook) {
        testo.append(", T = ").append(CStr(r.temperatura)).append(" °C");
    }
    return testo;
}

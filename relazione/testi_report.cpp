#include "relazione/testi_report.h"

#include "calc/variabili_pubbliche.h"
#include "numeri/formato.h"

std::string RigaTubazione() {
    const auto& s = variabili_pubbliche::stato;
    return "TUBAZIONE INGLESE " + s.tipoSezione + " Øeq mm " + Format(s.raggio, "###,##0");
}

std::string RigaCoefficiente() {
    return "COEFF. DI SCABREZZA SECONDO BAZIN =  " +
           Format(variabili_pubbliche::stato.coeffBazin, "#0.#0");
}

std::string RigaPendenza() {
    return "PENDENZA m/m  " + Format(variabili_pubbliche::stato.pendenza, "#0.###0");
}

std::string RigaGeometria() {
    return variabili_pubbliche::stato.geometria == formule::Geometria::Esatta
               ? "GEOMETRIA ESATTA, PROFILO A QUATTRO ARCHI"
               : "";
}

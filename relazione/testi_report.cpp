#include "relazione/testi_report.h"

#include "numeri/conversioni.h"
#include "numeri/formato.h"
#include "numeri/sezione.h"

#include <cctype>

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

std::string RigaTubazione(const calcolo::Ingressi& ingressi) {
    return "TUBAZIONE INGLESE " + ingressi.tipoSezione + " Øeq mm " +
           Format(ingressi.raggio, "###,##0");
}

// Under another law than Bazin's (the command line's --legge) the line
// names it and gives its coefficient whole.
std::string RigaCoefficiente(const calcolo::Ingressi& ingressi) {
    const formule::Resistenza r = ingressi.resistenza();
    if (r.legge == formule::Legge::Bazin) {
        return "COEFF. DI SCABREZZA SECONDO BAZIN =  " + Format(ingressi.coeffBazin, "#0.#0");
    }
    std::string nome(formule::nomeLegge(r.legge));
    for (char& c : nome) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return "COEFF. DI SCABREZZA SECONDO " + nome + " " + testoResistenza(r);
}

std::string RigaPendenza(const calcolo::Ingressi& ingressi) {
    return "PENDENZA m/m  " + Format(ingressi.pendenza, "#0.###0");
}

std::string RigaGeometria(const calcolo::Ingressi& ingressi) {
    return ingressi.geometria == formule::Geometria::Esatta
               ? "GEOMETRIA ESATTA, PROFILO A QUATTRO ARCHI"
               : "";
}

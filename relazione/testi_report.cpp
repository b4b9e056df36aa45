#include "relazione/testi_report.h"

#include "numeri/formato.h"
#include "numeri/sezione.h"
#include "table/tabella_risultati.h"

#include <cctype>

std::string testoResistenza(const formule::Resistenza& r, Separatore separatore) {
    std::string testo(formule::simboloCoefficiente(r.legge));
    testo.append(" = ").append(Format(r.coefficiente, separatore));
    if (r.legge != formule::Legge::Bazin) {
        testo.append(" ").append(formule::unitaCoefficiente(r.legge));
    }
    if (r.legge == formule::Legge::Colebrook) {
        testo.append(", T = ").append(Format(r.temperatura, separatore)).append(" °C");
    }
    return testo;
}

// The size from the radius, as the window shows it beside the radius.
std::string RigaTubazione(const calcolo::Ingressi& ingressi, Separatore separatore) {
    return "TUBAZIONE INGLESE " + TestoSezione(ingressi.raggio, separatore) + " Øeq mm " +
           Format(ingressi.raggio, "###,##0", separatore);
}

// Under another law than Bazin's (the command line's --legge) the line
// names it and gives its coefficient whole.
std::string RigaCoefficiente(const calcolo::Ingressi& ingressi, Separatore separatore) {
    const formule::Resistenza r = ingressi.resistenza();
    if (r.legge == formule::Legge::Bazin) {
        return "COEFF. DI SCABREZZA SECONDO BAZIN =  " +
               Format(ingressi.coeffBazin, "#0.#0", separatore);
    }
    std::string nome(formule::nomeLegge(r.legge));
    for (char& c : nome) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return "COEFF. DI SCABREZZA SECONDO " + nome + " " + testoResistenza(r, separatore);
}

std::string RigaPendenza(const calcolo::Ingressi& ingressi, Separatore separatore) {
    return "PENDENZA m/m  " + Format(ingressi.pendenza, "#0.###0", separatore);
}

std::string RigaGeometria(const calcolo::Ingressi& ingressi) {
    return ingressi.geometria == formule::Geometria::Esatta
               ? "GEOMETRIA ESATTA, PROFILO A QUATTRO ARCHI"
               : "";
}

std::string testoDellaColonna(int colonna, const calcolo::Riga& riga, Separatore separatore) {
    return numeroCon(TestoColonna(colonna, riga), separatore);
}

#include "app/testo_legge.h"

#include "numeri/formato.h"

QString testoCoefficiente(const formule::Resistenza& legge, Separatore separatore) {
    const auto testo = [](std::string_view t) {
        return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
    };
    QString coefficiente = testo(formule::simboloCoefficiente(legge.legge)) + " = " +
                           QString::fromStdString(Format(legge.coefficiente, separatore));
    if (legge.legge != formule::Legge::Bazin) {
        coefficiente += " " + testo(formule::unitaCoefficiente(legge.legge));
    }
    if (legge.legge == formule::Legge::Colebrook) {
        coefficiente +=
            ", T = " + QString::fromStdString(Format(legge.temperatura, separatore)) + " °C";
    }
    return coefficiente;
}

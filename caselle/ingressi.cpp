#include "caselle/ingressi.h"

#include "errori/errore_runtime.h"
#include "numeri/conversioni.h"
#include "numeri/formato.h"
#include "numeri/testo_decimale.h"

#include <cctype>

namespace {

bool cifra(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Whether the text begins as a number does: a digit, or a sign or a point
// before one.
bool iniziaComeNumero(std::string_view testo) {
    std::size_t i = testo.find_first_not_of(" \t\n");
    if (i == std::string_view::npos) {
        return false;
    }
    if (testo[i] == '+' || testo[i] == '-') {
        ++i;
    }
    if (i < testo.size() && testo[i] == '.') {
        ++i;
    }
    return i < testo.size() && cifra(testo[i]);
}

} // namespace

std::optional<std::string> motivoIngressoNonValido(std::string_view testo) {
    if (testo.find_first_not_of(" \t\n") == std::string_view::npos) {
        return "La casella è vuota: serve un numero maggiore di zero.";
    }
    const TestoDecimale decimale = decimaleConPunto(testo);
    if (decimale.rifiuto) {
        return decimale.rifiuto;
    }
    double valore = 0;
    try {
        valore = Val(decimale.testo);
    } catch (const ErroreRuntime&) {
        return "Il numero è fuori dall'intervallo dei numeri.";
    }
    if (valore > 0) {
        return std::nullopt;
    }
    if (!iniziaComeNumero(decimale.testo)) {
        return "Non è un numero: si legge 0.";
    }
    return "Il valore deve essere maggiore di zero.";
}

std::optional<std::string> motivoLetturaInParte(std::string_view testo, Separatore separatore) {
    const NumeroLetto intero = leggiNumeroPositivo(testo);
    if (!intero.motivo) {
        return std::nullopt;
    }
    return "Si legge " + Format(ValCasella(testo), separatore) +
           ": il resto del testo non fa parte del numero.";
}

std::optional<std::string> motivoLunghezza(std::string_view testo, const tratti::Campo& campo) {
    const NumeroLetto letto = leggiNumero(testo);
    if (letto.valore && !campo.contiene(*letto.valore)) {
        return std::string("Serve un numero ") + campo.intervallo + ".";
    }
    return letto.motivo;
}

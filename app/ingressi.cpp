#include "app/ingressi.h"

#include "errori/errore_runtime.h"
#include "numeri/conversioni.h"

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
    double valore = 0;
    try {
        valore = Val(testo);
    } catch (const ErroreRuntime&) {
        return "Il numero è fuori dall'intervallo dei numeri.";
    }
    if (valore > 0) {
        return std::nullopt;
    }
    if (testo.find(',') != std::string_view::npos) {
        return "Il separatore decimale è il punto (0.5, non 0,5): si legge " + CStr(valore) + ".";
    }
    if (!iniziaComeNumero(testo)) {
        return "Non è un numero: si legge 0.";
    }
    return "Il valore deve essere maggiore di zero.";
}

std::optional<std::string> motivoLetturaInParte(std::string_view testo) {
    const NumeroLetto intero = leggiNumeroPositivo(testo);
    if (!intero.motivo) {
        return std::nullopt;
    }
    const std::string letto = CStr(Val(testo));
    if (testo.find(',') != std::string_view::npos) {
        return "Si legge " + letto + ": il separatore decimale è il punto (0.5, non 0,5).";
    }
    return "Si legge " + letto + ": il resto del testo non fa parte del numero.";
}

#include "numeri/numero_positivo.h"

#include "errori/errore_runtime.h"
#include "numeri/conversioni.h"

NumeroLetto leggiNumero(std::string_view testo) {
    if (testo.find_first_not_of(" \t\n") == std::string_view::npos) {
        return {};
    }
    // A comma would read as a thousands separator: 1,5 would become 15.
    if (testo.find(',') != std::string_view::npos) {
        return {std::nullopt, "Il separatore decimale è il punto (0.5, non 0,5)."};
    }
    double valore = 0;
    try {
        valore = CDbl(testo);
    } catch (const ErroreRuntime& errore) {
        return {std::nullopt, errore.tipo() == TipoErrore::Overflow
                                  ? "Il numero è fuori dall'intervallo dei numeri."
                                  : "Non è un numero."};
    }
    return {valore, std::nullopt};
}

NumeroLetto leggiNumeroPositivo(std::string_view testo) {
    const NumeroLetto letto = leggiNumero(testo);
    if (letto.valore && !(*letto.valore > 0)) {
        return {std::nullopt, "Il valore deve essere maggiore di zero."};
    }
    return letto;
}

#include "numeri/numero_positivo.h"

#include "errori/errore_runtime.h"
#include "numeri/conversioni.h"
#include "numeri/testo_decimale.h"

NumeroLetto leggiNumero(std::string_view testo) {
    if (testo.find_first_not_of(" \t\n") == std::string_view::npos) {
        return {};
    }
    const TestoDecimale decimale = decimaleConPunto(testo);
    if (decimale.rifiuto) {
        return {std::nullopt, decimale.rifiuto};
    }
    // Read as a whole, with no grouping: any comma left is no separator.
    if (decimale.testo.find(',') != std::string::npos) {
        return {std::nullopt, "Non è un numero."};
    }
    double valore = 0;
    try {
        valore = CDbl(decimale.testo);
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

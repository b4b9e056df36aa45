#include "errori/errore_runtime.h"

#include <utility>

namespace {

struct Voce {
    int numero;
    const char* descrizione;
};

Voce voce(TipoErrore tipo) {
    switch (tipo) {
    case TipoErrore::ArgomentoNonValido:
        return {5, "Chiamata di routine o argomento non validi"};
    case TipoErrore::Overflow:
        return {6, "Overflow"};
    case TipoErrore::IndiceFuoriIntervallo:
        return {9, "Indice non compreso nell'intervallo"};
    case TipoErrore::DivisionePerZero:
        return {11, "Divisione per zero"};
    case TipoErrore::TipoNonCorrispondente:
        return {13, "Tipo non corrispondente"};
    case TipoErrore::OperazioneNonValida:
        return {6, "Operazione in virgola mobile non valida"};
    case TipoErrore::Underflow:
        return {6, "Underflow: numeri troppo piccoli per il calcolo"};
    case TipoErrore::Esterno:
        break;
    }
    return {6, "Overflow"};
}

} // namespace

ErroreRuntime::ErroreRuntime(TipoErrore tipo)
    : tipo_(tipo), numero_(voce(tipo).numero), descrizione_(voce(tipo).descrizione) {}

ErroreRuntime::ErroreRuntime(int numero, std::string descrizione)
    : tipo_(TipoErrore::Esterno), numero_(numero), descrizione_(std::move(descrizione)) {}

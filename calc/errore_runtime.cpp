#include "calc/errore_runtime.h"

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
    }
    return {6, "Overflow"};
}

} // namespace

ErroreRuntime::ErroreRuntime(TipoErrore tipo) : tipo_(tipo), descrizione_(voce(tipo).descrizione) {}

int ErroreRuntime::numero() const noexcept {
    return voce(tipo_).numero;
}

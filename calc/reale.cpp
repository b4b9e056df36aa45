#include "calc/reale.h"

void Reale::solleva() const {
    switch (guasto_) {
    case Guasto::DivisionePerZero:
        throw ErroreRuntime(TipoErrore::DivisionePerZero);
    case Guasto::Overflow:
        throw ErroreRuntime(TipoErrore::Overflow);
    case Guasto::OperazioneNonValida:
    case Guasto::Nessuno:
        break;
    }
    throw ErroreRuntime(TipoErrore::OperazioneNonValida);
}

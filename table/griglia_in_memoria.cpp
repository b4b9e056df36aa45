#include "table/griglia_in_memoria.h"

#include "errori/errore_runtime.h"

#include <utility>

GrigliaInMemoria::GrigliaInMemoria(int righe, int colonne) : colonne_(colonne) {
    if (colonne < 1) {
        throw ErroreRuntime(TipoErrore::ArgomentoNonValido);
    }
    setRows(righe);
}

void GrigliaInMemoria::setRows(int righe) {
    if (righe < 0) {
        throw ErroreRuntime(TipoErrore::ArgomentoNonValido);
    }
    celle_.resize(static_cast<std::size_t>(righe) * static_cast<std::size_t>(colonne_));
}

void GrigliaInMemoria::setTextArray(int indice, std::string&& testo) {
    if (indice < 0 || static_cast<std::size_t>(indice) >= celle_.size()) {
        throw ErroreRuntime(TipoErrore::IndiceFuoriIntervallo);
    }
    celle_[static_cast<std::size_t>(indice)] = std::move(testo);
}

const std::string& GrigliaInMemoria::testo(int riga, int colonna) const {
    if (riga < 0 || riga >= Rows() || colonna < 0 || colonna >= colonne_) {
        throw ErroreRuntime(TipoErrore::IndiceFuoriIntervallo);
    }
    return celle_[static_cast<std::size_t>(riga * colonne_ + colonna)];
}

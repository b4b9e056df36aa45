#pragma once

#include "errori/errore_runtime.h"

#include <array>

// A fixed array of doubles, indices 0 to Dimensione - 1, whose every access
// checks its index before anything is read or written.
template <int Dimensione> class ArrayControllato {
  public:
    double& operator()(int indice) { return valori_[verificato(indice)]; }
    double operator()(int indice) const { return valori_[verificato(indice)]; }

  private:
    static std::size_t verificato(int indice) {
        if (indice < 0 || indice >= Dimensione) {
            throw ErroreRuntime(TipoErrore::IndiceFuoriIntervallo);
        }
        return static_cast<std::size_t>(indice);
    }

    std::array<double, Dimensione> valori_{};
};

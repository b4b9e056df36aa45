#pragma once

#include "errori/errore_runtime.h"

#include <cmath>
#include <cstdint>

// A 16-bit signed integer whose sums raise the overflow error instead of
// wrapping: row counts and row indices never silently turn negative.
class Intero16 {
  public:
    constexpr Intero16() = default;
    constexpr explicit Intero16(std::int16_t valore) : valore_(valore) {}

    // Any wider whole number, if it fits.
    static Intero16 da(long long valore) {
        if (valore < INT16_MIN || valore > INT16_MAX) {
            throw ErroreRuntime(TipoErrore::Overflow);
        }
        return Intero16(static_cast<std::int16_t>(valore));
    }
    // The largest integer not greater than the double, if it fits.
    static Intero16 parteIntera(double valore) {
        const double intero = std::floor(valore);
        if (!(intero >= INT16_MIN && intero <= INT16_MAX)) {
            throw ErroreRuntime(TipoErrore::Overflow);
        }
        return Intero16(static_cast<std::int16_t>(intero));
    }

    constexpr std::int16_t valore() const { return valore_; }
    constexpr operator int() const { return valore_; }

    friend Intero16 operator+(Intero16 a, Intero16 b) {
        return da(static_cast<long long>(a.valore_) + b.valore_);
    }

  private:
    std::int16_t valore_ = 0;
};

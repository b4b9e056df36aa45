#pragma once

#include "errori/errore_runtime.h"

#include <cmath>

// A double whose every operation is checked, as the floating-point status is
// tested right after each result: invalid operation, division by zero and
// overflow are faults; underflow and inexact results are not.
//
// A fault travels with the value it spoiled and is raised as soon as that
// value is used by another operation, read, or stored with memorizza(). Since
// nothing observable happens between producing a value and its first use,
// this is the same as raising it at once, and it lets a stored result reach
// the state before its fault is raised.
class Reale {
  public:
    enum class Guasto { Nessuno, DivisionePerZero, Overflow, OperazioneNonValida };

    constexpr Reale(double valore) : valore_(valore) {}
    constexpr Reale(double valore, Guasto guasto) : valore_(valore), guasto_(guasto) {}

    // The value, after raising the fault it carries.
    double valore() const {
        verifica();
        return valore_;
    }
    // The value as produced, fault or not: only for storing before the test.
    double grezzo() const { return valore_; }

    void verifica() const {
        if (guasto_ != Guasto::Nessuno) {
            solleva();
        }
    }

  private:
    [[noreturn]] void solleva() const;

    double valore_;
    Guasto guasto_ = Guasto::Nessuno;
};

namespace reale_dettaglio {

// Classifies a result computed from operands already known to be sound.
inline Reale esito(double risultato) {
    if (std::isnan(risultato)) {
        return {risultato, Reale::Guasto::OperazioneNonValida};
    }
    if (std::isinf(risultato)) {
        return {risultato, Reale::Guasto::Overflow};
    }
    return risultato;
}

} // namespace reale_dettaglio

inline Reale operator+(Reale a, Reale b) {
    return reale_dettaglio::esito(a.valore() + b.valore());
}
inline Reale operator-(Reale a, Reale b) {
    return reale_dettaglio::esito(a.valore() - b.valore());
}
inline Reale operator*(Reale a, Reale b) {
    return reale_dettaglio::esito(a.valore() * b.valore());
}
inline Reale operator/(Reale a, Reale b) {
    const double dividendo = a.valore();
    const double divisore = b.valore();
    const double quoziente = dividendo / divisore;
    if (divisore == 0.0) {
        return {quoziente, dividendo == 0.0 ? Reale::Guasto::OperazioneNonValida
                                            : Reale::Guasto::DivisionePerZero};
    }
    return reale_dettaglio::esito(quoziente);
}

// The square-root function refuses a negative argument before computing.
inline Reale radice(Reale x) {
    const double v = x.valore();
    if (v < 0.0) {
        throw ErroreRuntime(TipoErrore::ArgomentoNonValido);
    }
    return std::sqrt(v);
}
inline Reale seno(Reale x) {
    return reale_dettaglio::esito(std::sin(x.valore()));
}
inline Reale arcotangente(Reale x) {
    return reale_dettaglio::esito(std::atan(x.valore()));
}
// The power function, to square.
inline Reale quadrato(Reale x) {
    return reale_dettaglio::esito(std::pow(x.valore(), 2));
}
// The power function refuses a negative base under an exponent that is not
// whole, whose result is not real, before computing.
inline Reale potenza(Reale x, double esponente) {
    const double base = x.valore();
    if (base < 0.0 && esponente != std::trunc(esponente)) {
        throw ErroreRuntime(TipoErrore::ArgomentoNonValido);
    }
    return reale_dettaglio::esito(std::pow(base, esponente));
}
// The base-10 logarithm refuses an argument that is not positive.
inline Reale logaritmo10(Reale x) {
    const double v = x.valore();
    if (!(v > 0.0)) {
        throw ErroreRuntime(TipoErrore::ArgomentoNonValido);
    }
    return reale_dettaglio::esito(std::log10(v));
}

// Stores the result first, then raises its fault, if any.
inline void memorizza(double& destinazione, Reale risultato) {
    destinazione = risultato.grezzo();
    risultato.verifica();
}

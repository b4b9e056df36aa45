#pragma once

#include <exception>
#include <string>

// The program's one run-time error: a number and an Italian description.
// Nothing in the computation catches it; the event handler that started the
// work does.
enum class TipoErrore {
    ArgomentoNonValido,
    Overflow,
    IndiceFuoriIntervallo,
    DivisionePerZero,
    TipoNonCorrispondente,
    OperazioneNonValida, // floating-point invalid operation, such as 0/0
    Underflow,           // values too small for a double to carry their digits
    Esterno,             // raised by another part of the program, with its own number
};

class ErroreRuntime : public std::exception {
  public:
    explicit ErroreRuntime(TipoErrore tipo);
    // An error of another part of the program (the word processor), with
    // its own number and description.
    ErroreRuntime(int numero, std::string descrizione);

    TipoErrore tipo() const noexcept { return tipo_; }
    int numero() const noexcept { return numero_; }
    const std::string& descrizione() const noexcept { return descrizione_; }
    const char* what() const noexcept override { return descrizione_.c_str(); }

  private:
    TipoErrore tipo_;
    int numero_;
    std::string descrizione_;
};

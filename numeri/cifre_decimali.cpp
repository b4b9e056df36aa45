#include "numeri/cifre_decimali.h"

#include "errori/errore_runtime.h"
#include "numeri/caratteri_reali.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

#ifdef __SIZEOF_INT128__
__extension__ using Intero128 = unsigned __int128;

constexpr std::uint64_t potenze10[] = {1,
                                       10,
                                       100,
                                       1000,
                                       10000,
                                       100000,
                                       1000000,
                                       10000000,
                                       100000000,
                                       1000000000,
                                       10000000000,
                                       100000000000,
                                       1000000000000,
                                       10000000000000,
                                       100000000000000,
                                       1000000000000000,
                                       10000000000000000,
                                       100000000000000000,
                                       1000000000000000000,
                                       10000000000000000000U};

// The 15 digits of a positive value from about 1e-5 up to 1e15, the values
// of a table, as the text of `scientifico` has them, with integers:
// m × 2^-s × 10^p rounded to a whole number, half to even, is the
// correctly rounded 15-digit significand. The text costs several times
// as much, at thousands of numbers a key. False outside that range.
bool cifreEsatte(double valore, CifreDecimali& esito) {
    std::uint64_t bit = 0;
    std::memcpy(&bit, &valore, sizeof bit);
    const int esponente2 = static_cast<int>((bit >> 52) & 0x7FF);
    if (esponente2 == 0) {
        return false; // subnormal
    }
    const std::uint64_t mantissa =
        (bit & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
    const int spostamento = 1075 - esponente2; // valore = mantissa × 2^-spostamento
    if (spostamento <= 0 || spostamento > 100) {
        return false;
    }
    // A first guess of the power of ten, ⌊(52 − s) log10 2⌋, mended by the
    // digits it gives.
    int esponente10 = ((52 - spostamento) * 78913) >> 18;
    for (int prova = 0; prova < 3; ++prova) {
        const int p = 14 - esponente10;
        if (p < 0 || p > 19) {
            return false;
        }
        const Intero128 prodotto = Intero128{mantissa} * potenze10[p];
        const Intero128 intero = prodotto >> spostamento;
        if (intero < potenze10[14]) {
            --esponente10;
            continue;
        }
        if (intero >= potenze10[15]) {
            ++esponente10;
            continue;
        }
        const Intero128 resto = prodotto - (intero << spostamento);
        const Intero128 meta = Intero128{1} << (spostamento - 1);
        auto significando = static_cast<std::uint64_t>(intero);
        if (resto > meta || (resto == meta && significando % 2 == 1)) {
            ++significando;
        }
        if (significando == potenze10[15]) {
            significando = potenze10[14];
            ++esponente10;
        }
        esito.significando = significando;
        esito.esponente = esponente10;
        return true;
    }
    return false;
}
#else
bool cifreEsatte(double, CifreDecimali&) {
    return false;
}
#endif

// Any value's digits from its text "d.dddddddddddddde±x…", where they sit
// at fixed places.
CifreDecimali cifreDelTesto(double valore) {
    char testo[32];
    const char* fine = caratteri::scientifico(testo, testo + sizeof testo, valore, 14);
    CifreDecimali esito;
    std::from_chars(testo + 2, testo + 16, esito.significando);
    esito.significando += static_cast<std::uint64_t>(testo[0] - '0') * 100000000000000;
    const char* esponente = testo + 17;
    if (*esponente == '+') {
        ++esponente;
    }
    std::from_chars(esponente, fine, esito.esponente);
    return esito;
}

} // namespace

CifreDecimali cifreDecimali(double valore) {
    if (!std::isfinite(valore)) {
        throw ErroreRuntime(TipoErrore::Overflow);
    }
    const double modulo = std::fabs(valore);
    CifreDecimali esito;
    if (!cifreEsatte(modulo, esito)) {
        esito = cifreDelTesto(modulo);
    }
    esito.negativo = std::signbit(valore) && valore != 0.0;
    return esito;
}

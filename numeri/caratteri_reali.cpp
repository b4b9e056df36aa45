#include "numeri/caratteri_reali.h"

// SEZIONE_CARATTERI_DELLA_LIBRERIA_C builds the C library's way here too, for
// its test against the C++ library's.
#if defined(__cpp_lib_to_chars) && !defined(SEZIONE_CARATTERI_DELLA_LIBRERIA_C)

namespace caratteri {

char* breve(char* inizio, char* fine, double valore) {
    return std::to_chars(inizio, fine, valore).ptr;
}

char* fisso(char* inizio, char* fine, double valore) {
    return std::to_chars(inizio, fine, valore, std::chars_format::fixed).ptr;
}

char* scientifico(char* inizio, char* fine, double valore, int cifre) {
    return std::to_chars(inizio, fine, valore, std::chars_format::scientific, cifre).ptr;
}

std::from_chars_result leggi(const char* inizio, const char* fine, double& valore) {
    return std::from_chars(inizio, fine, valore);
}

} // namespace caratteri

#else

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace caratteri {

namespace {

char* copia(char* inizio, char* fine, const char* testo, int lunghezza) {
    const int posto = static_cast<int>(fine - inizio);
    const int n = std::min(lunghezza, posto);
    std::memcpy(inizio, testo, static_cast<std::size_t>(n));
    return inizio + n;
}

// The fewest significant digits that read back to the value, and the power
// of ten of the first: 0.0125 is "125", -2.
struct Cifre {
    std::string cifre;
    int esponente = 0;
};

std::string nonFinito(double valore) {
    if (std::isnan(valore)) {
        return std::signbit(valore) ? "-nan" : "nan";
    }
    return std::signbit(valore) ? "-inf" : "inf";
}

// Every decimal digit of m × 2^e, exactly: m × 5^−e / 10^−e where e < 0.
// The C library's printf gives a double's digits too, through a software
// long double ten times slower.
Cifre esatteDi(std::uint64_t mantissa, int esponente2) {
    // The largest product, 2^55 × 5^1076 or 2^1025, fits in 90 limbs.
    constexpr std::uint32_t base = 1000000000;
    std::array<std::uint32_t, 96> numero{}; // base 10^9, lowest first
    std::size_t limbi = 0;
    for (; mantissa > 0; mantissa /= base) {
        numero[limbi++] = static_cast<std::uint32_t>(mantissa % base);
    }
    // Powers taken 13 (of five) or 29 (of two) at a time: each below 2^31.
    const std::uint32_t fattore = esponente2 < 0 ? 5 : 2;
    for (int resto = std::abs(esponente2); resto > 0;) {
        const int passo = std::min(resto, esponente2 < 0 ? 13 : 29);
        std::uint32_t potenza = 1;
        for (int i = 0; i < passo; ++i) {
            potenza *= fattore;
        }
        std::uint64_t riporto = 0;
        for (std::size_t i = 0; i < limbi; ++i) {
            const std::uint64_t p = std::uint64_t{numero[i]} * potenza + riporto;
            numero[i] = static_cast<std::uint32_t>(p % base);
            riporto = p / base;
        }
        for (; riporto > 0; riporto /= base) {
            numero[limbi++] = static_cast<std::uint32_t>(riporto % base);
        }
        resto -= passo;
    }
    char cifre[96 * 9];
    char* p = cifre + sizeof cifre;
    for (std::size_t i = 0; i < limbi; ++i) {
        std::uint32_t limbo = numero[i];
        for (int k = 0; k < 9 && (limbo > 0 || i + 1 < limbi); ++k) {
            *--p = static_cast<char>('0' + limbo % 10);
            limbo /= 10;
        }
    }
    Cifre c;
    c.cifre.assign(p, cifre + sizeof cifre);
    c.esponente = static_cast<int>(c.cifre.size()) - 1 + std::min(esponente2, 0);
    return c;
}

Cifre esatte(double valore) {
    if (valore == 0) {
        return {"0", 0};
    }
    int esponente2 = 0;
    const double frazione = std::frexp(valore, &esponente2);
    return esatteDi(static_cast<std::uint64_t>(std::ldexp(frazione, 53)), esponente2 - 53);
}

// To `quante` significant digits, half to even, as printf rounds; whether
// it rounded up.
bool arrotonda(Cifre& c, std::size_t quante) {
    if (c.cifre.size() <= quante) {
        c.cifre.append(quante - c.cifre.size(), '0');
        return false;
    }
    const char prossima = c.cifre[quante];
    const bool restoNonNullo = c.cifre.find_first_not_of('0', quante + 1) != std::string::npos;
    const bool dispari = (c.cifre[quante - 1] - '0') % 2 == 1;
    const bool perEccesso = prossima > '5' || (prossima == '5' && (restoNonNullo || dispari));
    c.cifre.resize(quante);
    if (!perEccesso) {
        return false;
    }
    std::size_t i = quante;
    while (i > 0 && c.cifre[i - 1] == '9') {
        c.cifre[--i] = '0';
    }
    if (i == 0) {
        c.cifre.insert(c.cifre.begin(), '1');
        c.cifre.pop_back();
        ++c.esponente;
    } else {
        ++c.cifre[i - 1];
    }
    return true;
}

std::string conEsponente(bool negativo, const Cifre& c) {
    std::string testo = negativo ? "-" : "";
    testo.reserve(c.cifre.size() + 8);
    testo += c.cifre.front();
    if (c.cifre.size() > 1) {
        testo.append(".").append(c.cifre, 1);
    }
    testo += c.esponente < 0 ? "e-" : "e+";
    const int esponente = std::abs(c.esponente);
    if (esponente < 10) {
        testo += '0';
    }
    testo += std::to_string(esponente);
    return testo;
}

// Which of two numbers is the larger, by their digits.
int confronta(const Cifre& a, const Cifre& b) {
    if (a.esponente != b.esponente) {
        return a.esponente < b.esponente ? -1 : 1;
    }
    const std::size_t n = std::max(a.cifre.size(), b.cifre.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char x = i < a.cifre.size() ? a.cifre[i] : '0';
        const char y = i < b.cifre.size() ? b.cifre[i] : '0';
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return 0;
}

// The numbers that read back to a value: those between the midpoints to
// its neighbours, a midpoint itself going to the even one.
struct Intervallo {
    Cifre basso;
    Cifre alto;
    bool pari = false;

    explicit Intervallo(double valore) {
        const double a = std::fabs(valore);
        const double sotto = a - std::nextafter(a, 0.0);
        const double vicino = std::nextafter(a, HUGE_VAL);
        const double sopra = std::isinf(vicino) ? sotto : vicino - a;
        // In units of half the smaller spacing, every quantity is an integer.
        int esponente = 0;
        std::frexp(std::min(sotto, sopra), &esponente);
        const int unita = esponente - 2;
        const auto intero = [&](double x) {
            return static_cast<std::uint64_t>(std::ldexp(x, -unita));
        };
        const std::uint64_t valoreU = intero(a);
        basso = esatteDi(valoreU - intero(sotto) / 2, unita);
        alto = esatteDi(valoreU + intero(sopra) / 2, unita);
        pari = (valoreU / intero(sopra)) % 2 == 0;
    }

    bool contiene(const Cifre& c) const {
        const int b = confronta(c, basso);
        const int a = confronta(c, alto);
        return (b > 0 || (b == 0 && pari)) && (a < 0 || (a == 0 && pari));
    }
};

// The next number of as many digits on the other side: none where it would
// lose a digit (1000 less one), which is no shorter text than its own.
std::optional<Cifre> vicino(Cifre c, bool sopra) {
    std::size_t i = c.cifre.size();
    const char limite = sopra ? '9' : '0';
    while (i > 0 && c.cifre[i - 1] == limite) {
        c.cifre[--i] = sopra ? '0' : '9';
    }
    if (i == 0 || (!sopra && i == 1 && c.cifre[0] == '1')) {
        return std::nullopt;
    }
    c.cifre[i - 1] = static_cast<char>(c.cifre[i - 1] + (sopra ? 1 : -1));
    return c;
}

// The fewest significant digits that read back to the value, the nearest
// to it among those: the correctly rounded ones, or where the doubles'
// spacing changes, their neighbour on the other side.
Cifre cifreMinime(double valore) {
    const Cifre esatto = esatte(std::fabs(valore));
    if (valore == 0) {
        return esatto;
    }
    const Intervallo legge(valore);
    for (std::size_t quante = 1;; ++quante) {
        Cifre c = esatto;
        const bool perEccesso = arrotonda(c, quante);
        std::optional<Cifre> trovato;
        if (legge.contiene(c)) {
            trovato = c;
        } else if (const std::optional<Cifre> altro = vicino(c, !perEccesso);
                   altro && legge.contiene(*altro)) {
            trovato = altro;
        }
        if (trovato || quante == 17) {
            Cifre esito = trovato.value_or(c);
            while (esito.cifre.size() > 1 && esito.cifre.back() == '0') {
                esito.cifre.pop_back();
            }
            return esito;
        }
    }
}

// The plain text of the digits: an integer as the exact value of the
// double, a fraction with as many decimals as its digits need.
std::string semplice(double valore, const Cifre& c) {
    std::string testo = std::signbit(valore) ? "-" : "";
    const auto intere = static_cast<std::size_t>(std::max(c.esponente, 0) + 1);
    if (c.esponente >= static_cast<int>(c.cifre.size()) - 1) {
        std::string intero = esatte(std::fabs(valore)).cifre;
        intero.resize(intere, '0');
        return testo + intero;
    }
    if (c.esponente < 0) {
        return testo + "0." + std::string(static_cast<std::size_t>(-c.esponente - 1), '0') +
               c.cifre;
    }
    return testo + c.cifre.substr(0, intere) + '.' + c.cifre.substr(intere);
}

} // namespace

char* breve(char* inizio, char* fine, double valore) {
    if (!std::isfinite(valore)) {
        const std::string t = nonFinito(valore);
        return copia(inizio, fine, t.data(), static_cast<int>(t.size()));
    }
    const Cifre c = cifreMinime(valore);
    const std::string piano = semplice(valore, c);
    const std::string esponenziale = conEsponente(std::signbit(valore), c);
    const std::string& t = esponenziale.size() < piano.size() ? esponenziale : piano;
    return copia(inizio, fine, t.data(), static_cast<int>(t.size()));
}

char* fisso(char* inizio, char* fine, double valore) {
    const std::string t =
        std::isfinite(valore) ? semplice(valore, cifreMinime(valore)) : nonFinito(valore);
    return copia(inizio, fine, t.data(), static_cast<int>(t.size()));
}

char* scientifico(char* inizio, char* fine, double valore, int cifre) {
    if (!std::isfinite(valore)) {
        const std::string t = nonFinito(valore);
        return copia(inizio, fine, t.data(), static_cast<int>(t.size()));
    }
    Cifre c = esatte(std::fabs(valore));
    arrotonda(c, static_cast<std::size_t>(cifre) + 1);
    const std::string testo = conEsponente(std::signbit(valore), c);
    return copia(inizio, fine, testo.data(), static_cast<int>(testo.size()));
}

std::from_chars_result leggi(const char* inizio, const char* fine, double& valore) {
    const std::string testo(inizio, fine);
    const char* p = testo.c_str();
    // Only what from_chars takes: no blanks, no plus, no hexadecimals.
    const char primo = *p == '-' ? p[1] : *p;
    if (!(primo == '.' || (primo >= '0' && primo <= '9')) ||
        testo.find_first_of("xX") != std::string::npos) {
        return {inizio, std::errc::invalid_argument};
    }
    char* letto = nullptr;
    const double v = std::strtod(p, &letto);
    const std::ptrdiff_t usati = letto - p;
    if (usati == 0) {
        return {inizio, std::errc::invalid_argument};
    }
    const std::string mantissa = testo.substr(0, testo.find_first_of("eE", 0));
    const bool cifreNonNulle =
        mantissa.find_first_of("123456789") < static_cast<std::size_t>(usati);
    if (std::isinf(v) || (v == 0 && cifreNonNulle)) {
        return {inizio + usati, std::errc::result_out_of_range};
    }
    valore = v;
    return {inizio + usati, std::errc()};
}

} // namespace caratteri

#endif

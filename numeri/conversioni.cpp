#include "numeri/conversioni.h"

#include "errori/errore_runtime.h"
#include "numeri/caratteri_reali.h"
#include "numeri/cifre_decimali.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <locale.h>

namespace {

bool cifra(char c) {
    return c >= '0' && c <= '9';
}

// Reads a number already reduced to sign, digits, "." and exponent, in the C
// locale whatever the user's.
double leggiNumero(const std::string& numero) {
    static const locale_t localeC = newlocale(LC_ALL_MASK, "C", locale_t{});
    errno = 0;
    const double valore = strtod_l(numero.c_str(), nullptr, localeC);
    if (std::isinf(valore)) {
        throw ErroreRuntime(TipoErrore::Overflow);
    }
    return valore;
}

// Walks a text character by character, skipping what the caller says is
// blank, and collects the number it spells.
class Lettore {
  public:
    Lettore(std::string_view testo, bool saltaSpaziInterni)
        : testo_(testo), saltaSpaziInterni_(saltaSpaziInterni) {
        saltaSpazi();
    }

    bool finito() const { return pos_ >= testo_.size(); }
    char corrente() const { return finito() ? '\0' : testo_[pos_]; }
    void avanza() {
        ++pos_;
        if (saltaSpaziInterni_) {
            saltaSpazi();
        }
    }
    void saltaSpazi() {
        while (!finito() && spazio(testo_[pos_])) {
            ++pos_;
        }
    }
    bool accetta(char c, std::string& numero) {
        if (corrente() != c) {
            return false;
        }
        numero.push_back(c);
        avanza();
        return true;
    }
    int cifre(std::string& numero, bool conGruppi) {
        int lette = 0;
        for (;;) {
            if (cifra(corrente())) {
                numero.push_back(corrente());
                ++lette;
                avanza();
            } else if (conGruppi && lette > 0 && corrente() == ',' && gruppoDiTreCifre()) {
                avanza();
            } else {
                return lette;
            }
        }
    }
    // A thousands separator stands before exactly three digits.
    bool gruppoDiTreCifre() const {
        const std::string_view resto = testo_.substr(pos_ + 1);
        return resto.size() >= 3 && cifra(resto[0]) && cifra(resto[1]) && cifra(resto[2]) &&
               (resto.size() == 3 || !cifra(resto[3]));
    }
    // An exponent is taken only when at least one digit follows its letter.
    void esponente(std::string& numero) {
        const char c = corrente();
        if (c != 'e' && c != 'E' && c != 'd' && c != 'D') {
            return;
        }
        const std::size_t inizio = pos_;
        const std::size_t lunghezza = numero.size();
        numero.push_back('e');
        avanza();
        if (!accetta('+', numero)) {
            accetta('-', numero);
        }
        if (cifre(numero, false) == 0) {
            pos_ = inizio;
            numero.resize(lunghezza);
        }
    }

  private:
    static bool spazio(char c) { return c == ' ' || c == '\t' || c == '\n'; }

    std::string_view testo_;
    bool saltaSpaziInterni_;
    std::size_t pos_ = 0;
};

// Sign, digits, optional "." and digits, optional exponent; the count of
// mantissa digits read.
int leggiMantissaEdEsponente(Lettore& lettore, std::string& numero, bool conGruppi) {
    if (!lettore.accetta('+', numero)) {
        lettore.accetta('-', numero);
    }
    int cifreLette = lettore.cifre(numero, conGruppi);
    if (lettore.accetta('.', numero)) {
        cifreLette += lettore.cifre(numero, false);
    }
    if (cifreLette > 0) {
        lettore.esponente(numero);
    }
    return cifreLette;
}

} // namespace

double Val(std::string_view testo) {
    Lettore lettore(testo, true);
    std::string numero;
    if (leggiMantissaEdEsponente(lettore, numero, false) == 0) {
        return 0.0;
    }
    return leggiNumero(numero);
}

double CDbl(std::string_view testo) {
    Lettore lettore(testo, false);
    std::string numero;
    const int cifreLette = leggiMantissaEdEsponente(lettore, numero, true);
    lettore.saltaSpazi();
    if (cifreLette == 0 || !lettore.finito()) {
        throw ErroreRuntime(TipoErrore::TipoNonCorrispondente);
    }
    return leggiNumero(numero);
}

std::string CStr(int valore) {
    return std::to_string(valore);
}

std::string CStr(double valore) {
    if (valore == 0.0) {
        return "0";
    }
    const CifreDecimali d = cifreDecimali(valore);
    std::string cifre = std::to_string(d.significando);
    cifre.erase(cifre.find_last_not_of('0') + 1);

    std::string testo = d.negativo ? "-" : "";
    const int e = d.esponente;
    if (e >= 15 || e < -4) {
        testo += cifre.substr(0, 1);
        if (cifre.size() > 1) {
            testo += '.' + cifre.substr(1);
        }
        const int modulo = e < 0 ? -e : e;
        testo += e < 0 ? "E-" : "E+";
        if (modulo < 10) {
            testo += '0';
        }
        testo += std::to_string(modulo);
    } else if (e < 0) {
        testo += "0." + std::string(static_cast<std::size_t>(-e - 1), '0') + cifre;
    } else {
        const auto intere = static_cast<std::size_t>(e + 1);
        if (cifre.size() <= intere) {
            testo += cifre + std::string(intere - cifre.size(), '0');
        } else {
            testo += cifre.substr(0, intere) + '.' + cifre.substr(intere);
        }
    }
    return testo;
}

std::string TestoEsatto(double valore) {
    char testo[32];
    return std::string(testo, caratteri::breve(std::begin(testo), std::end(testo), valore));
}

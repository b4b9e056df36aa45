#include "numeri/formato.h"

#include "numeri/cifre_decimali.h"
#include "numeri/conversioni.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <utility>

namespace {

struct Modello {
    int cifreInteroMinime = 0; // "0" placeholders before the point
    bool raggruppa = false;    // "," in the integer part
    int decimali = 0;          // placeholders after the point
    int decimaliMinimi = 0;    // up to the last "0" after the point
};

// In one pass: a table's thousands of numbers read their pattern each.
Modello leggiModello(std::string_view modello) {
    Modello m;
    bool frazione = false;
    for (const char c : modello) {
        if (c == '.') {
            frazione = true;
        } else if (!frazione) {
            m.cifreInteroMinime += c == '0' ? 1 : 0;
            m.raggruppa = m.raggruppa || c == ',';
        } else if (c == '#' || c == '0') {
            ++m.decimali;
            m.decimaliMinimi = c == '0' ? m.decimali : m.decimaliMinimi;
        }
    }
    return m;
}

constexpr std::uint64_t potenza10(std::size_t n) {
    std::uint64_t p = 1;
    for (std::size_t i = 0; i < n; ++i) {
        p *= 10;
    }
    return p;
}

// q / 10^K rounded half up. Each K its own function, so that each divisor
// is a constant the compiler divides by with a multiplication.
template <std::size_t K> std::uint64_t arrotondato(std::uint64_t q) {
    constexpr std::uint64_t divisore = potenza10(K);
    return (q + divisore / 2) / divisore;
}

template <std::size_t... K> constexpr auto arrotondamenti(std::index_sequence<K...>) {
    return std::array{&arrotondato<K + 1>...};
}

// For K from 1 to 14, at K − 1.
constexpr auto perCifre = arrotondamenti(std::make_index_sequence<14>{});

// The digits of |valore| × 10^decimali rounded half away from zero to a
// whole number, taken from the 15-significant-digit form, with zeros in
// front up to `minime` digits: read by index, no text made of them.
class Arrotondate {
  public:
    Arrotondate(const CifreDecimali& d, int decimali, int minime) {
        const int tenute = d.esponente + 1 + decimali;
        std::uint64_t intero = 0;
        if (tenute <= 0) {
            intero = tenute == 0 && d.significando >= 5 * potenza10(14) ? 1 : 0;
        } else if (tenute < 15) {
            intero = perCifre[static_cast<std::size_t>(14 - tenute)](d.significando);
        } else {
            intero = d.significando;
            zeriInCoda_ = tenute - 15;
        }
        proprie_ = static_cast<int>(
            std::to_chars(cifre_.data(), cifre_.data() + cifre_.size(), intero).ptr -
            cifre_.data());
        zeriInTesta_ = std::max(0, minime - proprie_ - zeriInCoda_);
        quante_ = zeriInTesta_ + proprie_ + zeriInCoda_;
    }

    int quante() const { return quante_; }
    char operator[](int i) const {
        i -= zeriInTesta_;
        return i >= 0 && i < proprie_ ? cifre_[static_cast<std::size_t>(i)] : '0';
    }

  private:
    std::array<char, 20> cifre_{};
    int proprie_ = 0;
    int zeriInTesta_ = 0;
    int zeriInCoda_ = 0;
    int quante_ = 0;
};

} // namespace

std::string Format(double valore) {
    return CStr(valore);
}

std::string Format(double valore, std::string_view modello) {
    const Modello m = leggiModello(modello);
    const CifreDecimali d = cifreDecimali(valore);
    const Arrotondate cifre(d, m.decimali, m.decimali + 1);
    const int inizioFrazione = cifre.quante() - m.decimali;

    // The integer part without its leading zeros, then as many as the
    // pattern shows; the fraction without its trailing zeros beyond those
    // the pattern shows.
    int primaIntera = 0;
    while (primaIntera < inizioFrazione && cifre[primaIntera] == '0') {
        ++primaIntera;
    }
    const int intere = inizioFrazione - primaIntera;
    const int zeriIntere = std::max(0, m.cifreInteroMinime - intere);
    const int cifreIntere = intere + zeriIntere;
    int frazione = m.decimali;
    bool zero = intere == 0;
    for (int i = inizioFrazione; i < cifre.quante(); ++i) {
        zero = zero && cifre[i] == '0';
    }
    while (frazione > m.decimaliMinimi && cifre[inizioFrazione + frazione - 1] == '0') {
        --frazione;
    }

    const bool meno = d.negativo && !zero;
    const int separatori = m.raggruppa && cifreIntere > 0 ? (cifreIntere - 1) / 3 : 0;
    std::string testo(static_cast<std::size_t>((meno ? 1 : 0) + cifreIntere + separatori +
                                               (frazione > 0 ? frazione + 1 : 0)),
                      '0');
    std::size_t k = 0;
    if (meno) {
        testo[k++] = '-';
    }
    for (int i = 0; i < cifreIntere; ++i) {
        if (m.raggruppa && i > 0 && (cifreIntere - i) % 3 == 0) {
            testo[k++] = ',';
        }
        testo[k++] = i < zeriIntere ? '0' : cifre[primaIntera + i - zeriIntere];
    }
    if (frazione > 0) {
        testo[k++] = '.';
        for (int i = 0; i < frazione; ++i) {
            testo[k++] = cifre[inizioFrazione + i];
        }
    }
    return testo;
}

std::string FormatConfronto(double valore, double limite, std::string_view modello) {
    // The side is judged against the limit as it is printed beside the value.
    const double scritto = CDbl(CStr(limite));
    const auto lato = [scritto](double x) { return (x > scritto) - (x < scritto); };
    std::string esteso(modello);
    if (esteso.find('.') == std::string::npos) {
        esteso += '.';
    }
    std::string testo = Format(valore, modello);
    for (int piu = 0; piu < 4 && lato(CDbl(testo)) != lato(valore); ++piu) {
        esteso += '0';
        testo = Format(valore, esteso);
    }
    // Closer still: fifteen significant digits, then every digit the double
    // has, rather than a text that reads on the wrong side, or on the limit.
    if (lato(CDbl(testo)) != lato(valore)) {
        testo = CStr(valore);
    }
    if (lato(CDbl(testo)) != lato(valore)) {
        testo = TestoEsatto(valore);
    }
    return testo;
}

std::string SeiCifre(double valore) {
    const int decimali = std::max(0, 5 - cifreDecimali(valore).esponente);
    return Format(valore, "0." + std::string(static_cast<std::size_t>(decimali), '#'));
}

std::string Format(double valore, Separatore separatore) {
    return numeroCon(Format(valore), separatore);
}

std::string Format(double valore, std::string_view modello, Separatore separatore) {
    return numeroCon(Format(valore, modello), separatore);
}

std::string FormatConfronto(double valore, double limite, std::string_view modello,
                            Separatore separatore) {
    return numeroCon(FormatConfronto(valore, limite, modello), separatore);
}

std::string SeiCifre(double valore, Separatore separatore) {
    return numeroCon(SeiCifre(valore), separatore);
}

std::pair<std::string, std::string> FormatCoppia(double valore, double altro,
                                                 std::string_view modello, Separatore separatore) {
    std::string esteso(modello);
    if (esteso.find('.') == std::string::npos) {
        esteso += '.';
    }
    std::pair<std::string, std::string> testi{Format(valore, modello), Format(altro, modello)};
    for (int piu = 0; piu < 4 && valore != altro && testi.first == testi.second; ++piu) {
        esteso += '0';
        testi = {Format(valore, esteso), Format(altro, esteso)};
    }
    if (valore != altro && testi.first == testi.second) {
        testi = {CStr(valore), CStr(altro)};
    }
    return {numeroCon(testi.first, separatore), numeroCon(testi.second, separatore)};
}

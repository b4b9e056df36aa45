#include "numeri/formato.h"

#include "numeri/cifre_decimali.h"
#include "numeri/conversioni.h"

#include <algorithm>

namespace {

struct Modello {
    int cifreInteroMinime = 0; // "0" placeholders before the point
    bool raggruppa = false;    // "," in the integer part
    int decimali = 0;          // placeholders after the point
    int decimaliMinimi = 0;    // up to the last "0" after the point
};

Modello leggiModello(std::string_view modello) {
    Modello m;
    const auto punto = modello.find('.');
    const std::string_view intero = modello.substr(0, punto);
    m.cifreInteroMinime = static_cast<int>(std::count(intero.begin(), intero.end(), '0'));
    m.raggruppa = intero.find(',') != std::string_view::npos;
    if (punto != std::string_view::npos) {
        const std::string_view frazione = modello.substr(punto + 1);
        for (std::size_t i = 0; i < frazione.size(); ++i) {
            if (frazione[i] == '#' || frazione[i] == '0') {
                ++m.decimali;
            }
            if (frazione[i] == '0') {
                m.decimaliMinimi = m.decimali;
            }
        }
    }
    return m;
}

// The digits of |valore| × 10^decimali rounded half away from zero to a whole
// number, taken from the 15-significant-digit form.
std::string arrotondato(const CifreDecimali& d, int decimali) {
    const int tenute = d.esponente + 1 + decimali;
    if (tenute <= 0) {
        return tenute == 0 && d.cifre[0] >= '5' ? "1" : "0";
    }
    const auto n = static_cast<std::size_t>(tenute);
    std::string cifre = d.cifre.substr(0, std::min(n, d.cifre.size()));
    cifre.resize(n, '0');
    if (n < d.cifre.size() && d.cifre[n] >= '5') {
        std::size_t i = n;
        while (i > 0 && cifre[i - 1] == '9') {
            cifre[--i] = '0';
        }
        if (i == 0) {
            cifre.insert(cifre.begin(), '1');
        } else {
            ++cifre[i - 1];
        }
    }
    return cifre;
}

std::string raggruppato(const std::string& intere) {
    std::string testo;
    const std::size_t n = intere.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) {
            testo += ',';
        }
        testo += intere[i];
    }
    return testo;
}

} // namespace

std::string Format(double valore) {
    return CStr(valore);
}

std::string Format(double valore, std::string_view modello) {
    const Modello m = leggiModello(modello);
    const CifreDecimali d = cifreDecimali(valore);
    std::string cifre = arrotondato(d, m.decimali);
    if (cifre.size() < static_cast<std::size_t>(m.decimali) + 1) {
        cifre.insert(0, static_cast<std::size_t>(m.decimali) + 1 - cifre.size(), '0');
    }
    const std::size_t inizioFrazione = cifre.size() - static_cast<std::size_t>(m.decimali);
    std::string intere = cifre.substr(0, inizioFrazione);
    std::string frazione = cifre.substr(inizioFrazione);

    intere.erase(0, std::min(intere.find_first_not_of('0'), intere.size()));
    if (intere.size() < static_cast<std::size_t>(m.cifreInteroMinime)) {
        intere.insert(0, static_cast<std::size_t>(m.cifreInteroMinime) - intere.size(), '0');
    }
    while (frazione.size() > static_cast<std::size_t>(m.decimaliMinimi) && frazione.back() == '0') {
        frazione.pop_back();
    }

    const bool zero = cifre.find_first_not_of('0') == std::string::npos;
    std::string testo = d.negativo && !zero ? "-" : "";
    testo += m.raggruppa ? raggruppato(intere) : intere;
    if (!frazione.empty()) {
        testo += '.' + frazione;
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

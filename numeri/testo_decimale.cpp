#include "numeri/testo_decimale.h"

#include "numeri/conversioni.h"

#include <algorithm>

namespace {

// What a number may hold: digits, signs, separators, an exponent, the
// blanks Val skips.
bool parteDelNumero(char c) {
    return (c >= '0' && c <= '9') || c == '.' || c == ',' || c == '+' || c == '-' || c == 'e' ||
           c == 'E' || c == ' ' || c == '\t';
}

} // namespace

TestoDecimale decimaleConPunto(std::string_view testo) {
    const std::size_t fine =
        std::find_if_not(testo.begin(), testo.end(), parteDelNumero) - testo.begin();
    std::string numero(testo.substr(0, fine));
    const auto virgole = std::count(numero.begin(), numero.end(), ',');
    const auto punti = std::count(numero.begin(), numero.end(), '.');
    if (virgole > 0 && punti > 0) {
        return {std::string(testo), "Il numero ha sia la virgola sia il punto: il separatore "
                                    "decimale è uno solo, e le migliaia non si separano."};
    }
    if (virgole > 1 || punti > 1) {
        return {std::string(testo), "Il numero ha più separatori: il separatore decimale è "
                                    "uno solo, e le migliaia non si separano."};
    }
    std::replace(numero.begin(), numero.end(), ',', '.');
    return {numero + std::string(testo.substr(fine)), std::nullopt};
}

double ValCasella(std::string_view testo) {
    const TestoDecimale letto = decimaleConPunto(testo);
    return letto.rifiuto ? 0.0 : Val(letto.testo);
}

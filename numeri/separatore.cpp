#include "numeri/separatore.h"

namespace {

bool cifra(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::string perLettura(std::string testo, Separatore separatore) {
    if (separatore == Separatore::Virgola) {
        for (std::size_t i = 1; i + 1 < testo.size(); ++i) {
            if (testo[i] == '.' && cifra(testo[i - 1]) && cifra(testo[i + 1])) {
                testo[i] = ',';
            }
        }
    }
    return testo;
}

std::string numeroCon(std::string numero, Separatore separatore) {
    if (separatore == Separatore::Virgola) {
        for (char& c : numero) {
            c = c == '.' ? ',' : c == ',' ? '.' : c;
        }
    }
    return numero;
}

std::string_view nomeSeparatore(Separatore separatore) {
    return separatore == Separatore::Virgola ? "virgola" : "punto";
}

bool separatoreDaNome(std::string_view nome, Separatore& separatore) {
    if (nome == "virgola" || nome == "punto") {
        separatore = nome == "virgola" ? Separatore::Virgola : Separatore::Punto;
        return true;
    }
    return false;
}

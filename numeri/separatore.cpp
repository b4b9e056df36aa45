#include "numeri/separatore.h"

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

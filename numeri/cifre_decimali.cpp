#include "numeri/cifre_decimali.h"

#include "errori/errore_runtime.h"
#include "numeri/caratteri_reali.h"

#include <charconv>
#include <cmath>

CifreDecimali cifreDecimali(double valore) {
    if (!std::isfinite(valore)) {
        throw ErroreRuntime(TipoErrore::Overflow);
    }
    char testo[32];
    const char* fine = caratteri::scientifico(testo, testo + sizeof testo, std::fabs(valore), 14);
    // testo is "d.dddddddddddddde±x…"
    CifreDecimali esito;
    esito.negativo = std::signbit(valore) && valore != 0.0;
    esito.cifre.reserve(15);
    const char* p = testo;
    for (; *p != 'e'; ++p) {
        if (*p != '.') {
            esito.cifre.push_back(*p);
        }
    }
    ++p;
    if (*p == '+') {
        ++p;
    }
    std::from_chars(p, fine, esito.esponente);
    return esito;
}

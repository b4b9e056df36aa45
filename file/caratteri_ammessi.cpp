#include "file/caratteri_ammessi.h"

#include "file/utf8.h"

#include <algorithm>
#include <cstdio>

namespace {

bool controllo(char32_t punto) {
    return punto < 0x20 || (punto >= 0x7F && punto < 0xA0);
}

bool direzione(char32_t punto) {
    return punto == 0x061C || punto == 0x200E || punto == 0x200F ||
           (punto >= 0x202A && punto <= 0x202E) || (punto >= 0x2066 && punto <= 0x2069);
}

std::string codice(char32_t punto) {
    char testo[12];
    std::snprintf(testo, sizeof testo, "U+%04X", static_cast<unsigned>(punto));
    return testo;
}

} // namespace

std::optional<std::string> caratteriNonAmmessi(std::string_view testo, Righe righe) {
    while (!testo.empty()) {
        char32_t punto = 0;
        const std::size_t lunghezza = sequenzaUtf8(testo, punto);
        testo.remove_prefix(std::max<std::size_t>(lunghezza, 1));
        if (lunghezza == 0 || (righe == Righe::Piu && punto == '\n')) {
            continue;
        }
        if (controllo(punto)) {
            return "contiene un carattere di controllo (" + codice(punto) + "), che non è ammesso";
        }
        if (direzione(punto)) {
            return "contiene un carattere di controllo della direzione del testo (" +
                   codice(punto) + "), che non è ammesso";
        }
    }
    return std::nullopt;
}

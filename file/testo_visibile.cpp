#include "file/testo_visibile.h"

#include <cstdio>

namespace {

// The length of the well-formed UTF-8 sequence at the start of `testo`, and
// its code point; 0 when the first byte does not begin one (a stray
// continuation byte, an overlong form, a surrogate, beyond U+10FFFF).
std::size_t sequenzaUtf8(std::string_view testo, char32_t& punto) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(testo[i]); };
    const unsigned char primo = byte(0);
    const std::size_t lunghezza = primo < 0x80   ? 1
                                  : primo < 0xC2 ? 0
                                  : primo < 0xE0 ? 2
                                  : primo < 0xF0 ? 3
                                  : primo < 0xF5 ? 4
                                                 : 0;
    if (lunghezza == 0 || lunghezza > testo.size()) {
        return 0;
    }
    punto = lunghezza == 1 ? primo : primo & (0x7F >> lunghezza);
    for (std::size_t i = 1; i < lunghezza; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
        punto = (punto << 6) | (byte(i) & 0x3F);
    }
    const char32_t minimo = lunghezza == 3 ? 0x800 : lunghezza == 4 ? 0x10000 : 0;
    const bool surrogato = punto >= 0xD800 && punto <= 0xDFFF;
    return punto < minimo || surrogato || punto > 0x10FFFF ? 0 : lunghezza;
}

std::string esadecimale(const char* formato, unsigned valore) {
    char testo[8];
    std::snprintf(testo, sizeof testo, formato, valore);
    return testo;
}

} // namespace

std::string testoVisibile(std::string_view testo) {
    std::string esito;
    esito.reserve(testo.size());
    while (!testo.empty()) {
        char32_t punto = 0;
        const std::size_t lunghezza = sequenzaUtf8(testo, punto);
        if (lunghezza == 0) {
            esito += esadecimale("\\x%02x", static_cast<unsigned char>(testo.front()));
            testo.remove_prefix(1);
            continue;
        }
        if (punto == '\n') {
            esito += "\\n";
        } else if (punto == '\t') {
            esito += "\\t";
        } else if (punto == '\r') {
            esito += "\\r";
        } else if (punto == '\\') {
            esito += "\\\\";
        } else if (punto < 0x20 || punto == 0x7F) {
            esito += esadecimale("\\x%02x", static_cast<unsigned>(punto));
        } else if (punto >= 0x80 && punto < 0xA0) {
            esito += esadecimale("\\u%04x", static_cast<unsigned>(punto));
        } else {
            esito.append(testo.substr(0, lunghezza));
        }
        testo.remove_prefix(lunghezza);
    }
    return esito;
}

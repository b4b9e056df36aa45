#include "file/testo_visibile.h"

#include "file/utf8.h"

#include <cstdio>

namespace {

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

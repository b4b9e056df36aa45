#include "file/utf8.h"

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

std::optional<std::size_t> primoNonUtf8(std::string_view testo) {
    for (std::size_t i = 0; i < testo.size();) {
        char32_t punto = 0;
        const std::size_t lunghezza = sequenzaUtf8(testo.substr(i), punto);
        if (lunghezza == 0) {
            return i;
        }
        i += lunghezza;
    }
    return std::nullopt;
}

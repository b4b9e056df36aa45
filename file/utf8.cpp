#include "file/utf8.h"

#include <algorithm>

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

std::size_t caratteriUtf8(std::string_view testo) {
    std::size_t caratteri = 0;
    while (!testo.empty()) {
        char32_t punto = 0;
        testo.remove_prefix(std::max<std::size_t>(sequenzaUtf8(testo, punto), 1));
        ++caratteri;
    }
    return caratteri;
}

std::string daWindows1252(std::string_view testo) {
    // 0x80 to 0x9F; from 0xA0 on the code page is Latin-1.
    static constexpr char16_t da80[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::string esito;
    esito.reserve(testo.size() + testo.size() / 8);
    for (const char c : testo) {
        const auto byte = static_cast<unsigned char>(c);
        const char32_t punto = byte >= 0x80 && byte < 0xA0 ? da80[byte - 0x80] : byte;
        if (punto < 0x80) {
            esito += static_cast<char>(punto);
        } else if (punto < 0x800) {
            esito += static_cast<char>(0xC0 | (punto >> 6));
            esito += static_cast<char>(0x80 | (punto & 0x3F));
        } else {
            esito += static_cast<char>(0xE0 | (punto >> 12));
            esito += static_cast<char>(0x80 | ((punto >> 6) & 0x3F));
            esito += static_cast<char>(0x80 | (punto & 0x3F));
        }
    }
    return esito;
}

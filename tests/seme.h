#pragma once

#include <gtest/gtest.h>

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <random>
#include <string>

// The seed of a randomised test: SEZIONE_SEME when set, which must then be
// a number, else a fresh one. It is printed, so that a run can be replayed.
inline std::optional<unsigned> seme() {
    const char* dato = std::getenv("SEZIONE_SEME");
    unsigned valore = 0;
    if (dato == nullptr || *dato == '\0') {
        valore = std::random_device{}();
    } else {
        const char* fine = dato + std::strlen(dato);
        const auto [resto, errore] = std::from_chars(dato, fine, valore);
        if (errore != std::errc() || resto != fine) {
            ADD_FAILURE() << "SEZIONE_SEME non è un numero intero senza segno: «" << dato << "»";
            return std::nullopt;
        }
    }
    std::cout << "SEZIONE_SEME=" << valore << std::endl;
    ::testing::Test::RecordProperty("seme", std::to_string(valore));
    return valore;
}

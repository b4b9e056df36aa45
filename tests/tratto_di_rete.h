#pragma once

#include "tratti/tratto.h"

#include <optional>

// A reach of a test network: 50 m at 5 ‰ between two manholes, with its
// design flow and, when given, its radius.
inline tratti::Tratto tratto(const char* nome, const char* monte, const char* valle, double portata,
                             std::optional<double> raggio = std::nullopt) {
    tratti::Tratto t;
    t.nome = nome;
    t.pozzettoMonte = monte;
    t.pozzettoValle = valle;
    t.pendenza = 0.005;
    t.lunghezza = 50;
    t.portata = portata;
    t.raggio = raggio;
    return t;
}

#pragma once

#include <variant>
#include <vector>

// The elements of one kind in a document body read back, in order: its
// paragraphs, or its tables.
template <typename Tipo, typename Elemento>
std::vector<Tipo> elementiDi(const std::vector<Elemento>& corpo) {
    std::vector<Tipo> esito;
    for (const Elemento& e : corpo) {
        if (const auto* trovato = std::get_if<Tipo>(&e)) {
            esito.push_back(*trovato);
        }
    }
    return esito;
}

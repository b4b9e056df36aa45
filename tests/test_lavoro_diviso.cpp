#include "documenti/lavoro_diviso.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

// Every piece is done once, by whichever thread takes it.
TEST(LavoroDiviso, OgniPezzoUnaVolta) {
    for (const std::size_t pezzi : {0u, 1u, 2u, 997u}) {
        std::vector<std::atomic<int>> fatti(pezzi);
        LavoroDiviso lavoro(pezzi, [&](std::size_t i) { ++fatti[i]; });
        lavoro.finisci();
        for (std::size_t i = 0; i < pezzi; ++i) {
            EXPECT_EQ(fatti[i], 1) << pezzi << " pezzi, il " << i;
        }
    }
}

// A piece that fails makes the whole fail, with its own error, once all
// threads have stopped.
TEST(LavoroDiviso, ErroreDiUnPezzo) {
    LavoroDiviso lavoro(100, [](std::size_t i) {
        if (i == 7) {
            throw std::runtime_error("pezzo 7");
        }
    });
    try {
        lavoro.finisci();
        ADD_FAILURE() << "nessun errore";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "pezzo 7");
    }
}

// Dropped before the end (the save was stopped), it returns only once no
// piece is under way: what the pieces write to may go next.
TEST(LavoroDiviso, LasciatoPrimaDellaFine) {
    std::atomic<int> inCorso = 0;
    std::atomic<std::size_t> fatti = 0;
    {
        LavoroDiviso lavoro(100000, [&](std::size_t) {
            ++inCorso;
            ++fatti;
            --inCorso;
        });
    }
    EXPECT_EQ(inCorso, 0);
    EXPECT_LE(fatti, 100000u);
}

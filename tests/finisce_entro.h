#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

// EXPECT_FINISCE_ENTRO(secondi, istruzioni): the statements run in a child
// process that an alarm ends after so many seconds, so that an endless loop
// fails the test instead of hanging the suite. The "threadsafe" style starts
// the child afresh from the test binary: Qt's threads in the parent do not
// matter. A check that fails within the statements fails the test too,
// through the child's exit status. The limit is a watchdog, not a timing:
// give it many times what the statements need under a sanitizer.
#define EXPECT_FINISCE_ENTRO(secondi, ...)                                                         \
    do {                                                                                           \
        const std::string stilePrecedente = GTEST_FLAG_GET(death_test_style);                      \
        GTEST_FLAG_SET(death_test_style, "threadsafe");                                            \
        EXPECT_EXIT(                                                                               \
            {                                                                                      \
                ::alarm(secondi);                                                                  \
                __VA_ARGS__;                                                                       \
                std::_Exit(::testing::Test::HasFailure() ? 1 : 0);                                 \
            },                                                                                     \
            ::testing::ExitedWithCode(0), "")                                                      \
            << "non finito entro " << (secondi) << " s, o con un controllo fallito";               \
        GTEST_FLAG_SET(death_test_style, stilePrecedente);                                         \
    } while (false)

#pragma once

#include <QString>

// A text whose runs with no blank, longer than any word, may break at any
// character: a zero-width space between their characters, which the layout,
// and a word processor opening the saved file, take as a place to break. A
// line is then found in time that grows with the run, not with its square,
// and the run no longer runs off the page. Ordinary words are untouched.
QString testoSpezzabile(const QString& testo);

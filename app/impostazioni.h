#pragma once

#include <QSettings>

// What the program remembers between runs, in the user's configuration
// folder (~/.config/sezione-inglese/sezione-inglese.conf).
inline QSettings impostazioni() {
    return QSettings("sezione-inglese", "sezione-inglese");
}

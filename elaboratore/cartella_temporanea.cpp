#include "elaboratore/cartella_temporanea.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <memory>

namespace {

std::unique_ptr<QTemporaryDir>& cartella() {
    static std::unique_ptr<QTemporaryDir> unica;
    return unica;
}

} // namespace

QString cartellaTemporaneaProgramma() {
    auto& c = cartella();
    if (!c) {
        c = std::make_unique<QTemporaryDir>(QDir::temp().filePath("sezione-inglese-XXXXXX"));
        if (!c->isValid()) {
            c.reset();
            return {};
        }
        static const bool allaFine = (qAddPostRoutine(rimuoviCartellaTemporaneaProgramma), true);
        (void)allaFine;
    }
    return c->path();
}

void rimuoviCartellaTemporaneaProgramma() {
    cartella().reset();
}

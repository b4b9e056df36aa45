#include "app/traduzioni.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool installaTraduzioniQt(QCoreApplication& applicazione) {
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    auto* traduzioni = new QTranslator(&applicazione);
    if (!traduzioni->load(QLocale(QLocale::Italian, QLocale::Italy), "qtbase", "_",
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete traduzioni;
        return false;
    }
    return QCoreApplication::installTranslator(traduzioni);
}

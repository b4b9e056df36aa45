#pragma once

#include <QFile>
#include <QString>

// A file's whole text, or empty.
inline QString contenutoFile(const QString& percorso) {
    QFile file(percorso);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

#pragma once

#include "documenti/salvataggio.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <QTextDocument>

// The document as the program saves it under a name, read back whole.
inline QByteArray salvato(const QTextDocument& documento, const QString& nome) {
    QTemporaryDir cartella;
    const QString percorso = cartella.filePath(nome);
    salvaDocumento(documento, percorso.toStdString());
    QFile file(percorso);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

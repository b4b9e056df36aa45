#pragma once

#include <QByteArray>
#include <QString>

// Writes the whole file or nothing: a temporary file renamed over the target
// at the end. Raises ErroreFile naming the path and the reason.
void scriviFileIntero(const QString& percorso, const QByteArray& contenuto);

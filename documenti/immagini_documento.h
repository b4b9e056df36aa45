#pragma once

#include <QString>
#include <QUrl>

class QImage;
class QTextDocument;

// Adds a picture to a document's resources under the first name that the
// document does not hold yet, `modello` with %1 numbered from 1
// ("sezione://grafico-%1.png"), and returns that name. Each document numbers
// its own pictures, and a new one never takes the place of another, not even
// of one whose text was deleted and may come back with an undo.
QUrl aggiungiImmagine(QTextDocument& documento, const QImage& immagine, const QString& modello);

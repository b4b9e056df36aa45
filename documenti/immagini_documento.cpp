#include "documenti/immagini_documento.h"

#include <QImage>
#include <QTextDocument>

QUrl aggiungiImmagine(QTextDocument& documento, const QImage& immagine, const QString& modello) {
    QUrl nome;
    for (int numero = 1;; ++numero) {
        nome = QUrl(modello.arg(numero));
        if (documento.resource(QTextDocument::ImageResource, nome).isNull()) {
            break;
        }
    }
    documento.addResource(QTextDocument::ImageResource, nome, immagine);
    return nome;
}

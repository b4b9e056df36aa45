#include "documenti/pacchetto_zip.h"

#include "file/errore_file.h"

#include <QDateTime>

#include <quazip.h>
#include <quazipfile.h>

PacchettoZip::PacchettoZip(const char* formato)
    : formato_(formato), zip_(std::make_unique<QuaZip>(&contenitore_)) {
    // Sizes in each local header, not after the data: a reader that looks
    // at the first part alone (the .odt's mimetype) finds them there.
    zip_->setDataDescriptorWritingEnabled(false);
    if (!zip_->open(QuaZip::mdCreate)) {
        rifiuta("impossibile creare l'archivio del documento");
    }
}

PacchettoZip::~PacchettoZip() = default;

void PacchettoZip::rifiuta(const std::string& cosa) const {
    throw ErroreFile(cosa + " " + formato_.toStdString());
}

void PacchettoZip::aggiungi(const QString& nome, const QByteArray& dati, bool compressa) {
    QuaZipFile parte(zip_.get());
    // The same document gives the same bytes whenever it is saved: no clock
    // in the archive (zip's earliest date).
    QuaZipNewInfo informazioni(nome);
    informazioni.dateTime = QDateTime(QDate(1980, 1, 1), QTime(0, 0));
    // zlib's fastest level: a report's XML runs to megabytes, and compresses
    // nearly as well.
    if (!parte.open(QIODevice::WriteOnly, informazioni, nullptr, 0, compressa ? Z_DEFLATED : 0,
                    Z_BEST_SPEED)) {
        rifiuta("impossibile aggiungere " + nome.toStdString() + " al documento");
    }
    const bool scritta = parte.write(dati) == dati.size();
    parte.close();
    if (!scritta || parte.getZipError() != 0) {
        rifiuta("impossibile scrivere " + nome.toStdString() + " nel documento");
    }
}

QByteArray PacchettoZip::chiudi() {
    zip_->close();
    if (zip_->getZipError() != 0) {
        rifiuta("impossibile chiudere l'archivio del documento");
    }
    return contenitore_.data();
}

#include "documenti/pacchetto_zip.h"

#include "file/errore_file.h"

#include <QDateTime>
#include <QFile>

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
    aggiungiParte(nome, compressa,
                  [&](QIODevice& parte) { return parte.write(dati) == dati.size(); });
}

namespace {

// Gathers an XML writer's many small writes into pieces of a megabyte
// before they reach the compressor, which is slow on small ones.
class ScritturaATratti : public QIODevice {
  public:
    explicit ScritturaATratti(QIODevice& destinazione) : destinazione_(destinazione) {
        open(QIODevice::WriteOnly);
    }
    bool svuota() {
        const bool scritta =
            riuscita_ && (tratto_.isEmpty() || destinazione_.write(tratto_) == tratto_.size());
        tratto_.clear();
        riuscita_ = scritta;
        return scritta;
    }

  protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* dati, qint64 quanti) override {
        tratto_.append(dati, quanti);
        if (tratto_.size() >= 1 << 20 && !svuota()) {
            return -1;
        }
        return quanti;
    }

  private:
    QIODevice& destinazione_;
    QByteArray tratto_;
    bool riuscita_ = true;
};

} // namespace

void PacchettoZip::aggiungi(const QString& nome, const std::function<void(QIODevice&)>& scrivi) {
    aggiungiParte(nome, true, [&](QIODevice& parte) {
        ScritturaATratti tratti(parte);
        scrivi(tratti);
        return tratti.svuota();
    });
}

void PacchettoZip::aggiungiParte(const QString& nome, bool compressa,
                                 const std::function<bool(QIODevice&)>& scrivi) {
    QuaZipFile parte(zip_.get());
    // The same document gives the same bytes whenever it is saved: no clock
    // in the archive (zip's earliest date).
    QuaZipNewInfo informazioni(nome);
    informazioni.dateTime = QDateTime(QDate(1980, 1, 1), QTime(0, 0));
    // Unpacked by hand (unzip), the parts are files anyone may read.
    informazioni.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                QFile::ReadOther);
    // zlib's fastest level: a report's XML runs to megabytes, and compresses
    // nearly as well.
    if (!parte.open(QIODevice::WriteOnly, informazioni, nullptr, 0, compressa ? Z_DEFLATED : 0,
                    Z_BEST_SPEED)) {
        rifiuta("impossibile aggiungere " + nome.toStdString() + " al documento");
    }
    bool scritta = false;
    try {
        scritta = scrivi(parte);
    } catch (...) {
        parte.close();
        throw;
    }
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

#include "report/scrittura_file.h"

#include "report/errore_file.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

namespace {

// The reason in Italian, from what the system said.
QString motivo(int codice, const QSaveFile& file) {
    switch (codice) {
    case EACCES:
    case EPERM:
        return "permesso negato";
    case ENOENT:
    case ENOTDIR:
        return "la cartella non esiste";
    case ENOSPC:
    case EDQUOT:
        return "spazio esaurito sul disco";
    case EROFS:
        return "il disco è di sola lettura";
    case EISDIR:
        return "il nome indica una cartella";
    case ENAMETOOLONG:
        return "il nome è troppo lungo";
    case EINVAL:
    case EILSEQ:
        return "il nome del file non è valido";
    default:
        return file.errorString();
    }
}

[[noreturn]] void fallito(const QString& percorso, int codice, const QSaveFile& file) {
    throw ErroreFile(QString("Impossibile scrivere «%1»: %2.")
                         .arg(QDir::toNativeSeparators(percorso), motivo(codice, file))
                         .toStdString());
}

} // namespace

void scriviFileIntero(const QString& percorso, const QByteArray& contenuto) {
    if (QFileInfo(percorso).isDir()) {
        QSaveFile vuoto;
        fallito(percorso, EISDIR, vuoto);
    }
    QSaveFile file(percorso);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        fallito(percorso, errno, file);
    }
    errno = 0;
    if (file.write(contenuto) != contenuto.size()) {
        const int codice = errno;
        file.cancelWriting();
        fallito(percorso, codice, file);
    }
    errno = 0;
    if (!file.commit()) {
        fallito(percorso, errno, file);
    }
}

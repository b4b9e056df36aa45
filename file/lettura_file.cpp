#include "file/lettura_file.h"

#include "file/descrittore.h"
#include "file/errore_file.h"
#include "file/motivo_errore.h"
#include "file/testo_visibile.h"
#include "file/tipo_nodo.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The reasons of the system, in the words of a file being read.
std::string motivoLettura(int codice) {
    switch (codice) {
    case ENOENT:
        return "il file non esiste";
    case EACCES:
        return "manca il permesso di leggerlo";
    default:
        return motivoErrore(codice);
    }
}

std::string dimensione(std::size_t byte) {
    return byte % (1024 * 1024) == 0 ? std::to_string(byte / (1024 * 1024)) + " MiB"
                                     : std::to_string(byte) + " byte";
}

} // namespace

void aperturaFallita(const std::string& percorso, const std::string& motivo) {
    throw ErroreFile("Impossibile aprire «" + testoVisibile(percorso) + "»: " + motivo + ".");
}

std::string leggiFileIntero(const std::string& percorso, std::size_t massimo) {
    const auto fallito = [&](const std::string& motivo) { aperturaFallita(percorso, motivo); };
    if (percorso.empty()) {
        fallito("manca il nome del file");
    }
    // Looked at before it is opened for reading: opening a FIFO would wait
    // for a writer, and opening some devices does something by itself.
    const Descrittore nome(::open(percorso.c_str(), O_PATH | O_CLOEXEC));
    struct stat info {};
    if (nome.numero() < 0 || ::fstat(nome.numero(), &info) != 0) {
        fallito(motivoLettura(errno));
    }
    if (S_ISDIR(info.st_mode)) {
        fallito("è una cartella, non un file");
    }
    if (!S_ISREG(info.st_mode)) {
        fallito(std::string("non è un file ma ") + tipoNodoSpeciale(info.st_mode));
    }
    const Descrittore file(::open(percorso.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat aperto {};
    if (file.numero() < 0 || ::fstat(file.numero(), &aperto) != 0) {
        fallito(motivoLettura(errno));
    }
    if (aperto.st_dev != info.st_dev || aperto.st_ino != info.st_ino) {
        fallito("il file è stato sostituito mentre lo si apriva");
    }
    const std::string troppoGrande = "il file supera " + dimensione(massimo);
    if (static_cast<std::size_t>(aperto.st_size) > massimo) {
        fallito(troppoGrande);
    }
    // Room for the file as it stands and one byte more, which tells a file
    // that grew meanwhile; grown then, up to one byte beyond the limit. A
    // large limit costs nothing for a small file.
    std::string contenuto(static_cast<std::size_t>(aperto.st_size) + 1, '\0');
    std::size_t letti = 0;
    while (letti <= massimo) {
        if (letti == contenuto.size()) {
            contenuto.resize(std::min(massimo + 1, 2 * contenuto.size()));
        }
        const ssize_t n = ::read(file.numero(), contenuto.data() + letti, contenuto.size() - letti);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            fallito(motivoLettura(errno));
        }
        if (n == 0) {
            break;
        }
        letti += static_cast<std::size_t>(n);
    }
    if (letti > massimo) {
        fallito(troppoGrande);
    }
    contenuto.resize(letti);
    return contenuto;
}

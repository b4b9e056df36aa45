#include "file/lettura_file.h"

#include "file/errore_file.h"
#include "file/motivo_errore.h"
#include "file/testo_visibile.h"
#include "file/tipo_nodo.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void fallito(const std::string& percorso, const std::string& motivo) {
    throw ErroreFile("Impossibile aprire «" + testoVisibile(percorso) + "»: " + motivo + ".");
}

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

// A descriptor closed on every way out.
struct Aperto {
    int numero;
    ~Aperto() { ::close(numero); }
};

std::string dimensione(std::size_t byte) {
    return byte % (1024 * 1024) == 0 ? std::to_string(byte / (1024 * 1024)) + " MiB"
                                     : std::to_string(byte) + " byte";
}

} // namespace

std::string leggiFileIntero(const std::string& percorso, std::size_t massimo) {
    if (percorso.empty()) {
        fallito(percorso, "manca il nome del file");
    }
    // Not blocking: opening a FIFO with no writer would wait for ever.
    const int numero = ::open(percorso.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (numero < 0) {
        fallito(percorso, motivoLettura(errno));
    }
    const Aperto file{numero};
    struct stat info {};
    if (::fstat(numero, &info) != 0) {
        fallito(percorso, motivoLettura(errno));
    }
    if (S_ISDIR(info.st_mode)) {
        fallito(percorso, "è una cartella, non un file");
    }
    if (!S_ISREG(info.st_mode)) {
        fallito(percorso, std::string("non è un file ma ") + tipoNodoSpeciale(info.st_mode));
    }
    const std::string troppoGrande = "il file supera " + dimensione(massimo);
    if (static_cast<std::size_t>(info.st_size) > massimo) {
        fallito(percorso, troppoGrande);
    }
    // One byte beyond the limit tells a file that grew meanwhile.
    std::string contenuto(massimo + 1, '\0');
    std::size_t letti = 0;
    while (letti < contenuto.size()) {
        const ssize_t n = ::read(numero, contenuto.data() + letti, contenuto.size() - letti);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            fallito(percorso, motivoLettura(errno));
        }
        if (n == 0) {
            break;
        }
        letti += static_cast<std::size_t>(n);
    }
    if (letti > massimo) {
        fallito(percorso, troppoGrande);
    }
    contenuto.resize(letti);
    return contenuto;
}

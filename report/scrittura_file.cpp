#include "report/scrittura_file.h"

#include "report/errore_file.h"
#include "report/motivo_errore.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void fallito(const std::string& percorso, const std::string& motivo) {
    throw ErroreFile("Impossibile scrivere «" + percorso + "»: " + motivo + ".");
}

[[noreturn]] void fallitoPer(const std::string& percorso, int codice) {
    fallito(percorso, motivoErrore(codice));
}

// The folder part of a path, with its final slash; empty for a bare name.
std::string cartellaDi(const std::string& percorso) {
    const auto barra = percorso.rfind('/');
    return barra == std::string::npos ? std::string() : percorso.substr(0, barra + 1);
}

// The file a name stands for, symbolic links followed: the link stays and
// its target is written.
std::string destinazioneReale(const std::string& percorso) {
    std::string corrente = percorso;
    for (int livello = 0; livello < 40; ++livello) {
        struct stat info {};
        if (::lstat(corrente.c_str(), &info) != 0) {
            if (errno == ENOENT) {
                return corrente; // a new file; a missing folder shows on creation
            }
            fallitoPer(percorso, errno);
        }
        if (!S_ISLNK(info.st_mode)) {
            return corrente;
        }
        char bersaglio[PATH_MAX];
        const ssize_t lunghezza = ::readlink(corrente.c_str(), bersaglio, sizeof bersaglio);
        if (lunghezza < 0) {
            fallitoPer(percorso, errno);
        }
        const std::string letto(bersaglio, static_cast<std::size_t>(lunghezza));
        corrente = letto.front() == '/' ? letto : cartellaDi(corrente) + letto;
    }
    fallitoPer(percorso, ELOOP);
}

// Refuses what must not be replaced by a file; returns the mode of an
// existing file, or none.
bool modoEsistente(const std::string& percorso, const std::string& reale, mode_t& modo) {
    struct stat info {};
    if (::stat(reale.c_str(), &info) != 0) {
        if (errno == ENOENT) {
            return false;
        }
        fallitoPer(percorso, errno);
    }
    if (S_ISDIR(info.st_mode)) {
        fallitoPer(percorso, EISDIR);
    }
    if (!S_ISREG(info.st_mode)) {
        const char* tipo = S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode) ? "un dispositivo"
                           : S_ISFIFO(info.st_mode)                       ? "una coda FIFO"
                           : S_ISSOCK(info.st_mode)                       ? "un socket"
                                                                          : "un oggetto speciale";
        fallito(percorso, std::string("non è un file ma ") + tipo + ", che resta com'è");
    }
    // Replacing would go round a file's own protection: the rename needs
    // only the folder's permission.
    if (::access(reale.c_str(), W_OK) != 0) {
        fallito(percorso, "il file è protetto dalla scrittura");
    }
    modo = info.st_mode & 07777;
    return true;
}

// The mode of a new file: what the user's umask allows of rw for all. Read
// from the kernel's report: setting the umask to read it would change it,
// for a moment, for every thread of the program.
mode_t modoNuovoFile() {
    std::ifstream stato("/proc/self/status");
    std::string riga;
    while (std::getline(stato, riga)) {
        if (riga.rfind("Umask:", 0) == 0) {
            return 0666 & ~static_cast<mode_t>(std::stoul(riga.substr(6), nullptr, 8));
        }
    }
    return 0644;
}

// A temporary file beside the target, removed unless handed over.
class FileTemporaneo {
  public:
    explicit FileTemporaneo(const std::string& destinazione) : nome_(destinazione + ".XXXXXX") {
        descrittore_ = ::mkostemp(nome_.data(), O_CLOEXEC);
    }
    ~FileTemporaneo() {
        if (descrittore_ >= 0) {
            ::close(descrittore_);
        }
        if (!consegnato_) {
            ::unlink(nome_.c_str());
        }
    }
    FileTemporaneo(const FileTemporaneo&) = delete;
    FileTemporaneo& operator=(const FileTemporaneo&) = delete;

    bool aperto() const { return descrittore_ >= 0; }
    const std::string& nome() const { return nome_; }

    // 0, or the error number of the first failure.
    int scrivi(std::string_view dati) const {
        while (!dati.empty()) {
            const ssize_t scritti = ::write(descrittore_, dati.data(), dati.size());
            if (scritti < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return errno;
            }
            dati.remove_prefix(static_cast<std::size_t>(scritti));
        }
        return 0;
    }
    int imponiModo(mode_t modo) const { return ::fchmod(descrittore_, modo) == 0 ? 0 : errno; }
    // A write the disk has not confirmed is a failed write.
    int sincronizza() const { return ::fsync(descrittore_) == 0 ? 0 : errno; }
    int chiudi() {
        const int esito = ::close(descrittore_);
        descrittore_ = -1;
        return esito == 0 ? 0 : errno;
    }
    int rinominaIn(const std::string& destinazione) {
        if (::rename(nome_.c_str(), destinazione.c_str()) != 0) {
            return errno;
        }
        consegnato_ = true;
        return 0;
    }

  private:
    std::string nome_;
    int descrittore_ = -1;
    bool consegnato_ = false;
};

// The new name is recorded in the folder too; a failure here cannot be
// undone and leaves the complete new file in place.
void sincronizzaCartella(const std::string& file) {
    const std::string cartella = cartellaDi(file);
    const int descrittore =
        ::open(cartella.empty() ? "." : cartella.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descrittore >= 0) {
        ::fsync(descrittore);
        ::close(descrittore);
    }
}

} // namespace

std::string estensione(std::string_view percorso) {
    const std::string_view nome = percorso.substr(percorso.rfind('/') + 1);
    const auto punto = nome.rfind('.');
    std::string esito(punto == std::string_view::npos ? std::string_view()
                                                      : nome.substr(punto + 1));
    for (char& c : esito) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return esito;
}

void verificaDestinazione(const std::string& percorso) {
    mode_t modo = 0;
    modoEsistente(percorso, destinazioneReale(percorso), modo);
}

bool fileEsistente(const std::string& percorso) {
    struct stat info {};
    return ::stat(percorso.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool nodoSpeciale(const std::string& percorso) {
    struct stat info {};
    return ::stat(percorso.c_str(), &info) == 0 && !S_ISREG(info.st_mode);
}

void scriviFileIntero(const std::string& percorso, std::string_view contenuto) {
    if (percorso.empty()) {
        fallitoPer(percorso, ENOENT);
    }
    const std::string reale = destinazioneReale(percorso);
    mode_t modo = 0;
    if (!modoEsistente(percorso, reale, modo)) {
        modo = modoNuovoFile();
    }
    FileTemporaneo temporaneo(reale);
    if (!temporaneo.aperto()) {
        fallitoPer(percorso, errno);
    }
    const auto riuscito = [&](int codice) {
        if (codice != 0) {
            fallitoPer(percorso, codice);
        }
    };
    riuscito(temporaneo.scrivi(contenuto));
    riuscito(temporaneo.imponiModo(modo));
    riuscito(temporaneo.sincronizza());
    riuscito(temporaneo.chiudi());
    riuscito(temporaneo.rinominaIn(reale));
    sincronizzaCartella(reale);
}

#include "file/scrittura_file.h"

#include "file/descrittore.h"
#include "file/errore_file.h"
#include "file/motivo_errore.h"
#include "file/testo_visibile.h"
#include "file/tipo_nodo.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

[[noreturn]] void fallito(const std::string& percorso, const std::string& motivo) {
    throw ErroreFile("Impossibile scrivere «" + testoVisibile(percorso) + "»: " + motivo + ".");
}

[[noreturn]] void fallitoPer(const std::string& percorso, int codice) {
    fallito(percorso, motivoErrore(codice));
}

// A name in a folder held open. Every step works from the folder's
// descriptor: the names handed to the system stay short however long the
// path, and the folder cannot be swapped between the steps.
struct Destinazione {
    Descrittore cartella;
    std::string nome;
};

// Names resolved one component at a time, as the kernel resolves them, so
// that every symbolic link along the path, a folder's as much as the file's
// own, is held to the rule for links in shared folders: the kernel applies
// that rule only where the system enables it, and not at all to the links
// the program follows itself.
class Risolutore {
  public:
    explicit Risolutore(const std::string& percorso) : percorso_(percorso) {}

    // The file the path stands for, symbolic links followed: the link stays
    // and its target is written.
    Destinazione file() {
        if (percorso_.empty()) {
            fallito(percorso_, "manca il nome del file");
        }
        Destinazione corrente = apri(percorso_, AT_FDCWD);
        while (true) {
            struct stat info {};
            if (::fstatat(corrente.cartella.numero(), corrente.nome.c_str(), &info,
                          AT_SYMLINK_NOFOLLOW) != 0) {
                if (errno == ENOENT) {
                    return corrente; // a new file
                }
                fallitoPer(percorso_, errno);
            }
            if (!S_ISLNK(info.st_mode)) {
                return corrente;
            }
            if (altrui(corrente.cartella.numero(), info)) {
                fallito(percorso_, "è un collegamento simbolico di un altro utente in una "
                                   "cartella condivisa, e per sicurezza non viene seguito");
            }
            corrente = apri(bersaglio(corrente.cartella.numero(), corrente.nome),
                            corrente.cartella.numero());
        }
    }

  private:
    // The folder part of `percorso` opened from `base`, and the last name
    // ("." for a path ending in a slash, which names the folder itself).
    Destinazione apri(const std::string& percorso, int base) {
        const auto barra = percorso.rfind('/');
        if (barra == std::string::npos) {
            return {cartella(".", base), percorso};
        }
        const std::string nome = percorso.substr(barra + 1);
        return {cartella(percorso.substr(0, barra + 1), base), nome.empty() ? "." : nome};
    }

    // The folder `percorso` names from `base`, each link along it followed
    // only if the rule allows.
    Descrittore cartella(const std::string& percorso, int base) {
        Descrittore corrente = passo(base, percorso.starts_with('/') ? "/" : ".");
        std::size_t inizio = 0;
        while (inizio < percorso.size()) {
            const std::size_t fine = std::min(percorso.find('/', inizio), percorso.size());
            const std::string nome = percorso.substr(inizio, fine - inizio);
            inizio = fine + 1;
            if (nome.empty() || nome == ".") {
                continue;
            }
            struct stat info {};
            if (nome != ".." &&
                ::fstatat(corrente.numero(), nome.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
                fallitoPer(percorso_, errno);
            }
            if (nome == ".." || !S_ISLNK(info.st_mode)) {
                corrente = passo(corrente.numero(), nome.c_str());
                continue;
            }
            if (altrui(corrente.numero(), info)) {
                fallito(percorso_, "il percorso passa per «" + testoVisibile(nome) +
                                       "», un collegamento simbolico di un altro utente in una "
                                       "cartella condivisa, che per sicurezza non viene seguito");
            }
            corrente = cartella(bersaglio(corrente.numero(), nome), corrente.numero());
        }
        return corrente;
    }

    // One folder down (or up), never through a link: one swapped in since
    // it was looked at makes the step fail.
    Descrittore passo(int cartella, const char* nome) const {
        const int numero = ::openat(cartella, nome, O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (numero < 0) {
            fallitoPer(percorso_, errno);
        }
        return Descrittore(numero);
    }

    // In a folder where anyone may create names, such as /tmp, a link
    // planted by another user must not lead the write to a file of the
    // planter's choosing: the link is followed only if its owner is the
    // user running the program or the folder's owner.
    bool altrui(int cartella, const struct stat& collegamento) const {
        struct stat info {};
        if (::fstat(cartella, &info) != 0) {
            fallitoPer(percorso_, errno);
        }
        const bool condivisa = (info.st_mode & (S_ISVTX | S_IWOTH)) == (S_ISVTX | S_IWOTH);
        return condivisa && collegamento.st_uid != info.st_uid &&
               collegamento.st_uid != ::geteuid();
    }

    // What the link says, counted against the kernel's limit of links in
    // one path.
    std::string bersaglio(int cartella, const std::string& nome) {
        if (--collegamentiRimasti_ < 0) {
            fallitoPer(percorso_, ELOOP);
        }
        char testo[PATH_MAX];
        const ssize_t lunghezza = ::readlinkat(cartella, nome.c_str(), testo, sizeof testo);
        if (lunghezza < 0) {
            fallitoPer(percorso_, errno);
        }
        return std::string(testo, static_cast<std::size_t>(lunghezza));
    }

    const std::string& percorso_;
    int collegamentiRimasti_ = 40;
};

// Refuses what must not be replaced by a file; returns the state of an
// existing file, or none.
std::optional<struct stat> fileDaSostituire(const std::string& percorso,
                                            const Destinazione& destinazione) {
    const int cartella = destinazione.cartella.numero();
    const char* nome = destinazione.nome.c_str();
    struct stat info {};
    if (::fstatat(cartella, nome, &info, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT) {
            return std::nullopt;
        }
        fallitoPer(percorso, errno);
    }
    if (S_ISDIR(info.st_mode)) {
        fallitoPer(percorso, EISDIR);
    }
    if (!S_ISREG(info.st_mode)) {
        fallito(percorso, std::string("non è un file ma ") + tipoNodoSpeciale(info.st_mode) +
                              ", che resta com'è");
    }
    // Replacing would go round a file's own protection: the rename needs
    // only the folder's permission. A read-only disk says so instead.
    if (::faccessat(cartella, nome, W_OK, 0) != 0) {
        if (errno == EACCES || errno == EPERM) {
            fallito(percorso, "il file è protetto dalla scrittura");
        }
        fallitoPer(percorso, errno);
    }
    return info;
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

// A fresh name for the temporary file: the target's own name with a random
// suffix, or a short name when that would not fit in the folder.
std::string nomeTemporaneo(const std::string& destinazione, long nomeMassimo) {
    static constexpr char cifre[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device caso;
    std::uniform_int_distribution<std::size_t> cifra(0, sizeof cifre - 2);
    std::string suffisso = ".";
    for (int i = 0; i < 6; ++i) {
        suffisso += cifre[cifra(caso)];
    }
    const bool entra = destinazione.size() + suffisso.size() <=
                       static_cast<std::size_t>(nomeMassimo < 0 ? NAME_MAX : nomeMassimo);
    return (entra ? destinazione : std::string("sezione-inglese")) + suffisso;
}

// A temporary file beside the target, removed unless handed over. Where the
// disk allows, it has no name until its last byte is on the disk: a program
// killed while writing leaves nothing behind.
class FileTemporaneo {
  public:
    enum class Modo { Anonimo, ConNome };

    FileTemporaneo(int cartella, std::string destinazione, Modo modo)
        : cartella_(cartella), destinazione_(std::move(destinazione)) {
        if (modo == Modo::Anonimo) {
            const int numero = ::openat(cartella, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
            if (numero >= 0) {
                descrittore_ = Descrittore(numero);
                return;
            }
            // A kernel or a disk without unnamed files: a named one instead.
        }
        for (int tentativo = 0; tentativo < 100; ++tentativo) {
            nome_ = nuovoNome();
            const int numero =
                ::openat(cartella, nome_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            apertura_ = numero >= 0 ? 0 : errno;
            descrittore_ = Descrittore(numero);
            if (apertura_ != EEXIST) {
                break;
            }
        }
        if (apertura_ != 0) {
            nome_.clear();
        }
    }
    ~FileTemporaneo() {
        if (!nome_.empty() && !consegnato_) {
            ::unlinkat(cartella_, nome_.c_str(), 0);
        }
    }
    FileTemporaneo(const FileTemporaneo&) = delete;
    FileTemporaneo& operator=(const FileTemporaneo&) = delete;

    // 0 once created, or the error number of the creation.
    int apertura() const { return apertura_; }

    // 0, or the error number of the first failure.
    int scrivi(std::string_view dati) const {
        while (!dati.empty()) {
            const ssize_t scritti = ::write(descrittore_.numero(), dati.data(), dati.size());
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
    // Whether the group at least was kept: root may keep the owner too, a
    // user only a group of theirs; the rest stays as the system allows.
    bool conservaProprietario(uid_t proprietario, gid_t gruppo) const {
        return ::fchown(descrittore_.numero(), proprietario, gruppo) == 0 ||
               ::fchown(descrittore_.numero(), static_cast<uid_t>(-1), gruppo) == 0;
    }
    int imponiModo(mode_t modo) const {
        return ::fchmod(descrittore_.numero(), modo) == 0 ? 0 : errno;
    }
    // A write the disk has not confirmed is a failed write.
    int sincronizza() const { return ::fsync(descrittore_.numero()) == 0 ? 0 : errno; }
    // The unnamed file, complete, takes a temporary name for the rename;
    // false where the system cannot name it (no /proc, no privilege).
    bool daiNome() {
        if (!nome_.empty()) {
            return true;
        }
        const std::string proprio = "/proc/self/fd/" + std::to_string(descrittore_.numero());
        for (int tentativo = 0; tentativo < 100; ++tentativo) {
            const std::string nome = nuovoNome();
            if (::linkat(AT_FDCWD, proprio.c_str(), cartella_, nome.c_str(), AT_SYMLINK_FOLLOW) ==
                    0 ||
                ::linkat(descrittore_.numero(), "", cartella_, nome.c_str(), AT_EMPTY_PATH) == 0) {
                nome_ = nome;
                return true;
            }
            if (errno != EEXIST) {
                return false;
            }
        }
        return false;
    }
    int chiudi() { return descrittore_.chiudi(); }
    int rinominaIn(const std::string& destinazione) {
        if (::renameat(cartella_, nome_.c_str(), cartella_, destinazione.c_str()) != 0) {
            return errno;
        }
        consegnato_ = true;
        return 0;
    }

  private:
    std::string nuovoNome() const {
        return nomeTemporaneo(destinazione_, ::fpathconf(cartella_, _PC_NAME_MAX));
    }

    int cartella_;
    std::string destinazione_;
    std::string nome_; // empty while the file has no name
    Descrittore descrittore_;
    int apertura_ = 0;
    bool consegnato_ = false;
};

// The new name is recorded in the folder too; a failure here cannot be
// undone and leaves the complete new file in place.
void sincronizzaCartella(int cartella) {
    const Descrittore leggibile(::openat(cartella, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (leggibile.numero() >= 0) {
        ::fsync(leggibile.numero());
    }
}

// Why a new file could not be made in a folder that was open: a name the
// disk does not take (":" on a FAT disk), a folder removed meanwhile or one
// that takes no new file, as in /proc.
std::string motivoCreazione(int codice) {
    switch (codice) {
    case EINVAL:
        return "il nome non è ammesso su questo disco";
    case ENOENT:
        return "la cartella non esiste più o non accetta file nuovi";
    default:
        return motivoErrore(codice);
    }
}

// Why a rename was refused, in the words of the case: a folder such as
// /tmp lets each user replace only their own files.
std::string motivoRinomina(int cartella, int codice) {
    struct stat info {};
    if (codice == EPERM && ::fstat(cartella, &info) == 0 && (info.st_mode & S_ISVTX) != 0) {
        return "il file è di un altro utente e la cartella permette a ognuno di sostituire "
               "solo i propri file";
    }
    return motivoErrore(codice);
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
    fileDaSostituire(percorso, Risolutore(percorso).file());
}

bool fileEsistente(const std::string& percorso) {
    struct stat info {};
    return ::stat(percorso.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool nodoSpeciale(const std::string& percorso) {
    struct stat info {};
    return ::stat(percorso.c_str(), &info) == 0 && !S_ISREG(info.st_mode);
}

namespace {

// The whole file through a temporary one, renamed over the target; false
// when an unnamed file could not be given a name, and nothing was left.
bool scriviTramite(FileTemporaneo::Modo modo, const std::string& percorso,
                   const Destinazione& destinazione, const std::optional<struct stat>& esistente,
                   const std::function<void(const Pezzo&)>& produci) {
    const int cartella = destinazione.cartella.numero();
    FileTemporaneo temporaneo(cartella, destinazione.nome, modo);
    if (const int codice = temporaneo.apertura(); codice != 0) {
        fallito(percorso, motivoCreazione(codice));
    }
    const auto riuscito = [&](int codice) {
        if (codice != 0) {
            fallitoPer(percorso, codice);
        }
    };
    produci([&](std::string_view pezzo) { riuscito(temporaneo.scrivi(pezzo)); });
    // Before the mode: a change of owner clears the set-id bits.
    if (esistente) {
        temporaneo.conservaProprietario(esistente->st_uid, esistente->st_gid);
    }
    riuscito(temporaneo.imponiModo(esistente ? esistente->st_mode & 07777 : modoNuovoFile()));
    riuscito(temporaneo.sincronizza());
    if (!temporaneo.daiNome()) {
        return false;
    }
    riuscito(temporaneo.chiudi());
    if (const int codice = temporaneo.rinominaIn(destinazione.nome); codice != 0) {
        fallito(percorso, motivoRinomina(cartella, codice));
    }
    return true;
}

} // namespace

void scriviFileInPezzi(const std::string& percorso,
                       const std::function<void(const Pezzo&)>& produci) {
    const Destinazione destinazione = Risolutore(percorso).file();
    const std::optional<struct stat> esistente = fileDaSostituire(percorso, destinazione);
    if (!scriviTramite(FileTemporaneo::Modo::Anonimo, percorso, destinazione, esistente, produci)) {
        scriviTramite(FileTemporaneo::Modo::ConNome, percorso, destinazione, esistente, produci);
    }
    sincronizzaCartella(destinazione.cartella.numero());
}

void scriviFileIntero(const std::string& percorso, std::string_view contenuto) {
    scriviFileInPezzi(percorso, [contenuto](const Pezzo& scrivi) { scrivi(contenuto); });
}

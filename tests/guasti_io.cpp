// Injected faults for the tests, loaded with LD_PRELOAD into the program
// under test: SEZIONE_GUASTO="operation:errno:path prefix" makes every call of
// that operation (write, fsync, or faccessat as "access") on a file whose path
// begins with the prefix fail with that error number, as a full disk, a
// failing device or a read-only disk would; the number -9 kills the program
// there instead, as kill -9 would.

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <string>
#include <unistd.h>

namespace {

struct Guasto {
    std::string operazione;
    int codice = 0;
    std::string prefisso;
};

Guasto leggiGuasto() {
    Guasto g;
    const char* testo = std::getenv("SEZIONE_GUASTO");
    if (testo == nullptr) {
        return g;
    }
    const std::string s(testo);
    const auto primo = s.find(':');
    const auto secondo = s.find(':', primo + 1);
    if (primo == std::string::npos || secondo == std::string::npos) {
        return g;
    }
    g.operazione = s.substr(0, primo);
    g.codice = std::atoi(s.substr(primo + 1, secondo - primo - 1).c_str());
    g.prefisso = s.substr(secondo + 1);
    return g;
}

// `nome` is the file's name within the folder of the descriptor, if any.
bool fallisce(const char* operazione, int descrittore, const char* nome = "") {
    static const Guasto guasto = leggiGuasto();
    if (guasto.codice == 0 || guasto.operazione != operazione) {
        return false;
    }
    char collegamento[64];
    char percorso[4096];
    std::snprintf(collegamento, sizeof collegamento, "/proc/self/fd/%d", descrittore);
    const ssize_t n = ::readlink(collegamento, percorso, sizeof percorso - 1);
    if (n <= 0) {
        return false;
    }
    percorso[n] = '\0';
    if ((std::string(percorso) + "/" + nome).rfind(guasto.prefisso, 0) != 0) {
        return false;
    }
    if (guasto.codice == -SIGKILL) {
        ::kill(::getpid(), SIGKILL);
    }
    errno = guasto.codice;
    return true;
}

template <typename Funzione> Funzione originale(const char* nome) {
    return reinterpret_cast<Funzione>(::dlsym(RTLD_NEXT, nome));
}

} // namespace

extern "C" ssize_t write(int descrittore, const void* dati, size_t quanti) {
    static const auto vera = originale<ssize_t (*)(int, const void*, size_t)>("write");
    return fallisce("write", descrittore) ? -1 : vera(descrittore, dati, quanti);
}

extern "C" int fsync(int descrittore) {
    static const auto vera = originale<int (*)(int)>("fsync");
    return fallisce("fsync", descrittore) ? -1 : vera(descrittore);
}

extern "C" int faccessat(int cartella, const char* nome, int modo, int opzioni) {
    static const auto vera = originale<int (*)(int, const char*, int, int)>("faccessat");
    return fallisce("access", cartella, nome) ? -1 : vera(cartella, nome, modo, opzioni);
}

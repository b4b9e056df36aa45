#include "report/errore_file.h"
#include "report/motivo_errore.h"
#include "report/scrittura_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <set>
#include <sstream>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A folder of its own for each test, removed with everything in it.
class ScritturaFile : public ::testing::Test {
  protected:
    void SetUp() override {
        char modello[] = "/tmp/sezione-scrittura-XXXXXX";
        ASSERT_NE(::mkdtemp(modello), nullptr);
        cartella = modello;
    }
    void TearDown() override {
        for (const std::string& nome : nomi()) {
            ::unlink((cartella + "/" + nome).c_str());
        }
        ::rmdir(cartella.c_str());
    }

    std::string percorso(const std::string& nome) const { return cartella + "/" + nome; }

    std::set<std::string> nomi() const {
        std::set<std::string> esito;
        if (DIR* d = ::opendir(cartella.c_str())) {
            while (const dirent* voce = ::readdir(d)) {
                if (std::strcmp(voce->d_name, ".") != 0 && std::strcmp(voce->d_name, "..") != 0) {
                    esito.insert(voce->d_name);
                }
            }
            ::closedir(d);
        }
        return esito;
    }

    static std::string leggi(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream testo;
        testo << in.rdbuf();
        return testo.str();
    }
    static void crea(const std::string& file, const std::string& testo) {
        std::ofstream(file, std::ios::binary) << testo;
    }

    // The message of the ErroreFile that the write raises, or empty.
    static std::string errore(const std::string& file, const std::string& testo) {
        try {
            scriviFileIntero(file, testo);
        } catch (const ErroreFile& e) {
            return e.what();
        }
        return {};
    }

    std::string cartella;
};

mode_t tipo(const std::string& file) {
    struct stat info {};
    return ::lstat(file.c_str(), &info) == 0 ? (info.st_mode & S_IFMT) : 0;
}

} // namespace

TEST_F(ScritturaFile, DispositiviFifoESocketRestanoComeSono) {
    const std::string fifo = percorso("coda.txt");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string presa = percorso("presa.csv");
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un indirizzo{};
    indirizzo.sun_family = AF_UNIX;
    std::strncpy(indirizzo.sun_path, presa.c_str(), sizeof indirizzo.sun_path - 1);
    ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&indirizzo), sizeof indirizzo), 0);

    EXPECT_EQ(errore(fifo, "x"), "Impossibile scrivere «" + fifo +
                                     "»: non è un file ma una coda FIFO, che resta com'è.");
    EXPECT_NE(errore(presa, "x").find("un socket"), std::string::npos);
    EXPECT_NE(errore("/dev/null", "x").find("un dispositivo"), std::string::npos);
    EXPECT_THROW(verificaDestinazione("/dev/full"), ErroreFile);
    EXPECT_NE(errore(cartella, "x").find("il nome indica una cartella"), std::string::npos);

    EXPECT_EQ(tipo(fifo), S_IFIFO);
    EXPECT_EQ(tipo(presa), S_IFSOCK);
    EXPECT_EQ(tipo("/dev/null"), S_IFCHR);
    EXPECT_EQ(nomi(), (std::set<std::string>{"coda.txt", "presa.csv"}));
    ::close(s);
}

TEST_F(ScritturaFile, IlCollegamentoRestaEIlBersaglioESostituito) {
    crea(percorso("vero.txt"), "vecchio");
    ASSERT_EQ(::symlink("vero.txt", percorso("collegamento.txt").c_str()), 0);
    scriviFileIntero(percorso("collegamento.txt"), "nuovo");
    EXPECT_EQ(tipo(percorso("collegamento.txt")), S_IFLNK);
    EXPECT_EQ(leggi(percorso("vero.txt")), "nuovo");
    EXPECT_TRUE(fileEsistente(percorso("collegamento.txt")));
    EXPECT_EQ(nomi(), (std::set<std::string>{"collegamento.txt", "vero.txt"}));

    // A link to a device is a device.
    ASSERT_EQ(::symlink("/dev/null", percorso("nulla.txt").c_str()), 0);
    EXPECT_NE(errore(percorso("nulla.txt"), "x").find("un dispositivo"), std::string::npos);
    EXPECT_EQ(tipo(percorso("nulla.txt")), S_IFLNK);
}

TEST_F(ScritturaFile, UnNomeNonUtf8EScrittoConISuoiByte) {
    const std::string sostituto = percorso("r\xEF\xBF\xBD.txt"); // U+FFFD
    crea(sostituto, "altro file");
    scriviFileIntero(percorso("r\xFF.txt"), "risultati");
    EXPECT_EQ(leggi(percorso("r\xFF.txt")), "risultati");
    EXPECT_EQ(leggi(sostituto), "altro file");
}

TEST_F(ScritturaFile, PermessiDelFileSostituitoConservati) {
    crea(percorso("r.txt"), "vecchio");
    ASSERT_EQ(::chmod(percorso("r.txt").c_str(), 0640), 0);
    scriviFileIntero(percorso("r.txt"), "nuovo");
    struct stat info {};
    ASSERT_EQ(::stat(percorso("r.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);

    const mode_t maschera = ::umask(022);
    scriviFileIntero(percorso("nuovo.txt"), "nuovo");
    ::umask(maschera);
    ASSERT_EQ(::stat(percorso("nuovo.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0644u);
}

// A write the system refuses half-way, here beyond the largest file size a
// process may write: the old file stays byte for byte, no temporary file
// remains, and the reason is said in Italian.
TEST_F(ScritturaFile, ScritturaRifiutataLasciaIlVecchioFileIntatto) {
    const std::string vecchio(100, 'v');
    crea(percorso("r.txt"), vecchio);
    const auto segnale = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limite{};
    ::getrlimit(RLIMIT_FSIZE, &limite);
    const rlimit ridotto{1000, limite.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &ridotto);
    const std::string messaggio = errore(percorso("r.txt"), std::string(3000, 'n'));
    ::setrlimit(RLIMIT_FSIZE, &limite);
    std::signal(SIGXFSZ, segnale);

    EXPECT_EQ(messaggio, "Impossibile scrivere «" + percorso("r.txt") +
                             "»: il file supera la dimensione consentita.");
    EXPECT_EQ(leggi(percorso("r.txt")), vecchio);
    EXPECT_EQ(nomi(), std::set<std::string>{"r.txt"});
}

TEST(MotivoErrore, OgniNumeroDelSistemaHaUnMotivoInItaliano) {
    for (int codice = 1; codice < 200; ++codice) {
        const char* nome = ::strerrorname_np(codice);
        if (nome == nullptr) {
            EXPECT_EQ(motivoErrore(codice), "errore del sistema n. " + std::to_string(codice));
            continue;
        }
        const std::string motivo = motivoErrore(codice);
        EXPECT_EQ(motivo.rfind("errore del sistema n.", 0), std::string::npos) << nome;
        EXPECT_NE(motivo, ::strerror(codice)) << nome;
    }
    EXPECT_EQ(motivoErrore(ENOSPC), "spazio esaurito sul disco");
    EXPECT_EQ(motivoErrore(EIO), "errore di lettura o scrittura sul dispositivo");
}

// A file protected from writing is not replaced behind its back, though
// the folder would allow the rename. (Checked as an ordinary user: root may
// write anything.)
TEST_F(ScritturaFile, FileProtettoDallaScrittura) {
    crea(percorso("r.txt"), "vecchio");
    ASSERT_EQ(::chmod(percorso("r.txt").c_str(), 0444), 0);
    ASSERT_EQ(::chmod(cartella.c_str(), 0777), 0);
    const pid_t figlio = ::fork();
    ASSERT_GE(figlio, 0);
    if (figlio == 0) {
        if (::geteuid() == 0 && ::setuid(65534) != 0) {
            ::_exit(3);
        }
        const std::string messaggio = errore(percorso("r.txt"), "nuovo");
        ::_exit(messaggio == "Impossibile scrivere «" + percorso("r.txt") +
                                 "»: il file è protetto dalla scrittura."
                    ? 0
                    : 1);
    }
    int esito = 0;
    ::waitpid(figlio, &esito, 0);
    EXPECT_TRUE(WIFEXITED(esito));
    EXPECT_EQ(WEXITSTATUS(esito), 0);
    EXPECT_EQ(leggi(percorso("r.txt")), "vecchio");
    EXPECT_EQ(nomi(), std::set<std::string>{"r.txt"});
}

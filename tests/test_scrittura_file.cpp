#include "file/errore_file.h"
#include "file/motivo_errore.h"
#include "file/scrittura_file.h"
#include "file/testo_visibile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
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
    void TearDown() override { std::filesystem::remove_all(cartella); }

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

// Also the owner and group, where the system allows: as root, another user's.
TEST_F(ScritturaFile, PermessiDelFileSostituitoConservati) {
    crea(percorso("r.txt"), "vecchio");
    const bool altrui = ::chown(percorso("r.txt").c_str(), 65534, 65534) == 0;
    ASSERT_EQ(::chmod(percorso("r.txt").c_str(), 0640), 0);
    scriviFileIntero(percorso("r.txt"), "nuovo");
    struct stat info {};
    ASSERT_EQ(::stat(percorso("r.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    if (altrui) {
        EXPECT_EQ(info.st_uid, 65534u);
        EXPECT_EQ(info.st_gid, 65534u);
    }

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
// the folder would allow the rename; nor, in a folder such as /tmp, another
// user's file. (Checked as an ordinary user: root may write anything.)
TEST_F(ScritturaFile, FileProtettoDallaScrittura) {
    crea(percorso("r.txt"), "vecchio");
    ASSERT_EQ(::chmod(percorso("r.txt").c_str(), 0444), 0);
    ASSERT_EQ(::chmod(cartella.c_str(), 0777), 0);
    const bool radice = ::geteuid() == 0;
    ASSERT_EQ(::mkdir(percorso("tmp").c_str(), 0700), 0);
    ASSERT_EQ(::chmod(percorso("tmp").c_str(), 01777), 0);
    const std::string altrui = percorso("tmp/altrui.txt");
    crea(altrui, "vecchio");
    ASSERT_EQ(::chmod(altrui.c_str(), 0666), 0);
    const pid_t figlio = ::fork();
    ASSERT_GE(figlio, 0);
    if (figlio == 0) {
        if (::geteuid() == 0 && ::setuid(65534) != 0) {
            ::_exit(3);
        }
        const std::string messaggio = errore(percorso("r.txt"), "nuovo");
        const bool rifiutatoAltrui =
            errore(altrui, "nuovo") == "Impossibile scrivere «" + altrui +
                                           "»: il file è di un altro utente e la cartella "
                                           "permette a ognuno di sostituire solo i propri file.";
        ::_exit(messaggio == "Impossibile scrivere «" + percorso("r.txt") +
                                 "»: il file è protetto dalla scrittura."
                    ? (radice && !rifiutatoAltrui ? 2 : 0)
                    : 1);
    }
    int esito = 0;
    ::waitpid(figlio, &esito, 0);
    EXPECT_TRUE(WIFEXITED(esito));
    EXPECT_EQ(WEXITSTATUS(esito), 0);
    EXPECT_EQ(leggi(percorso("r.txt")), "vecchio");
    EXPECT_EQ(nomi(), (std::set<std::string>{"r.txt", "tmp"}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(percorso("tmp")), {}), 1);
}

// In a folder where anyone may create names, a link planted by another
// user is not followed, as the kernel would not follow it, wherever the path
// meets it: as the file, as a folder, or through a link of one's own; unless
// the folder is that user's, or not sticky.
TEST_F(ScritturaFile, CollegamentoAltruiInCartellaCondivisa) {
    const struct {
        mode_t modo;
        uid_t proprietario;
        bool rifiutato;
    } cartelle[] = {{01777, 0, true}, {01777, 65534, false}, {0777, 0, false}};
    const std::string attraverso = "il percorso passa per «l», un collegamento simbolico di un "
                                   "altro utente in una cartella condivisa, che per sicurezza "
                                   "non viene seguito";
    const struct {
        std::string bersaglio, scritto, motivo;
    } percorsi[] = {
        {percorso("vittima/f.txt"), "tmp/l",
         "è un collegamento simbolico di un altro utente in una cartella condivisa, e per "
         "sicurezza non viene seguito"},
        {percorso("vittima"), "tmp/l/f.txt", attraverso},
        {"../vittima", "tmp/./l/../tmp/l/f.txt", attraverso},
        {"../vittima", "mio/f.txt", attraverso},
        {"../vittima/f.txt", "proprio.txt",
         "è un collegamento simbolico di un altro utente in una cartella condivisa, e per "
         "sicurezza non viene seguito"},
    };
    for (const auto& c : cartelle) {
        for (const auto& p : percorsi) {
            ASSERT_EQ(::mkdir(percorso("vittima").c_str(), 0700), 0);
            crea(percorso("vittima/f.txt"), "vecchio");
            ASSERT_EQ(::mkdir(percorso("tmp").c_str(), 0700), 0);
            ASSERT_EQ(::symlink(p.bersaglio.c_str(), percorso("tmp/l").c_str()), 0);
            ASSERT_EQ(::symlink("tmp/l", percorso("mio").c_str()), 0);
            ASSERT_EQ(::symlink("tmp/l", percorso("proprio.txt").c_str()), 0);
            if (::lchown(percorso("tmp/l").c_str(), 65534, 65534) != 0 ||
                ::chown(percorso("tmp").c_str(), c.proprietario, 0) != 0) {
                GTEST_SKIP() << "giving a link to another user needs root";
            }
            ASSERT_EQ(::chmod(percorso("tmp").c_str(), c.modo), 0);
            const std::string scritto = percorso(p.scritto);
            EXPECT_EQ(errore(scritto, "nuovo"),
                      c.rifiutato ? "Impossibile scrivere «" + scritto + "»: " + p.motivo + "."
                                  : "")
                << scritto;
            EXPECT_EQ(leggi(percorso("vittima/f.txt")), c.rifiutato ? "vecchio" : "nuovo");
            for (const char* nome : {"tmp", "vittima", "mio", "proprio.txt"}) {
                std::filesystem::remove_all(percorso(nome));
            }
        }
    }
}

// The temporary name always fits: a name of 255 bytes, the most a folder
// allows, and a path one byte short of PATH_MAX.
TEST_F(ScritturaFile, NomiEPercorsiAlLimite) {
    std::string profondo = cartella;
    while (PATH_MAX - profondo.size() > 250) {
        profondo.append("/").append(std::min<std::size_t>(255, PATH_MAX - profondo.size() - 250),
                                    'c');
        ASSERT_EQ(::mkdir(profondo.c_str(), 0700), 0);
    }
    const std::string lungo = std::string(251, 'n') + ".txt";
    const std::string vicino =
        std::string(profondo).append("/").append(PATH_MAX - profondo.size() - 6, 'p') + ".txt";
    for (const std::string& file : {percorso(lungo), vicino}) {
        scriviFileIntero(file, "primo");
        scriviFileIntero(file, "secondo");
        EXPECT_EQ(leggi(file), "secondo");
    }
    EXPECT_EQ(nomi(), (std::set<std::string>{std::string(255, 'c'), lungo}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(profondo), {}), 1);
}

// The true cause, and the name in a form that cannot drive the terminal.
TEST_F(ScritturaFile, IlMotivoVeroEIlNomeVisibile) {
    crea(percorso("file"), "");
    const struct {
        std::string percorso, mostrato, motivo;
    } casi[] = {
        {percorso("file/r.txt"), percorso("file/r.txt"),
         "una parte del percorso non è una cartella"},
        {"", "", "manca il nome del file"},
        {"/proc/r.txt", "/proc/r.txt", "la cartella non esiste più o non accetta file nuovi"},
        {percorso("\x1b[2J\n\xff/r"), percorso("\\x1b[2J\\n\\xff/r"), "la cartella non esiste"},
    };
    for (const auto& c : casi) {
        EXPECT_EQ(errore(c.percorso, "x"),
                  "Impossibile scrivere «" + c.mostrato + "»: " + c.motivo + ".");
    }
}

TEST(TestoVisibile, ControlliEByteNonUtf8Escapati) {
    EXPECT_EQ(testoVisibile("è € 😀 \\ \t\r\x7f\xc2\x9b"), "è € 😀 \\\\ \\t\\r\\x7f\\u009b");
    // A lone, cut, overlong, surrogate or too large sequence: byte by byte.
    EXPECT_EQ(testoVisibile("\xbf|\xc3|\xe0\x80\xaf|\xed\xa0\x80|\xf4\x90\x80\x80"),
              "\\xbf|\\xc3|\\xe0\\x80\\xaf|\\xed\\xa0\\x80|\\xf4\\x90\\x80\\x80");
}

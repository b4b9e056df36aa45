#include "cli/uscite.h"

#include "relazione/file_risultati.h"

#include <filesystem>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace {

// What a name stands for: the file itself when there is one, else the
// absolute path made normal, with the links along it resolved as the
// writer follows them, so that "./r.pdf", "sotto/../r.pdf" and a link to a
// file not yet written all name the one file.
struct FileNominato {
    std::optional<std::pair<dev_t, ino_t>> nodo;
    std::filesystem::path percorso;

    bool operator==(const FileNominato& altro) const {
        return nodo || altro.nodo ? nodo == altro.nodo : percorso == altro.percorso;
    }
};

FileNominato fileNominato(const std::string& nome) {
    struct stat info {};
    if (::stat(nome.c_str(), &info) == 0) {
        return {std::pair{info.st_dev, info.st_ino}, {}};
    }
    std::error_code errore;
    std::filesystem::path percorso = std::filesystem::absolute(nome, errore);
    for (int salti = 0; salti < 40 && std::filesystem::is_symlink(percorso, errore); ++salti) {
        percorso = percorso.parent_path() / std::filesystem::read_symlink(percorso, errore);
    }
    const std::filesystem::path normale = std::filesystem::weakly_canonical(percorso, errore);
    return {std::nullopt, errore ? percorso.lexically_normal() : normale};
}

struct File {
    const char* opzione;
    std::string scritto; // as the line gives it
    FileNominato nominato;
};

[[noreturn]] void stessoFile(const File& primo, const File& secondo, const char* conseguenza) {
    throw ErroreUso(std::string(primo.opzione) + " «" + primo.scritto + "» e " + secondo.opzione +
                    " «" + secondo.scritto + "» nominano lo stesso file: " + conseguenza);
}

} // namespace

void verificaUscite(const OpzioniCli& opzioni) {
    std::vector<File> uscite;
    const auto uscita = [&](const char* opzione, const std::string& scritto,
                            const std::string& percorso) {
        if (!scritto.empty()) {
            uscite.push_back({opzione, scritto, fileNominato(percorso)});
        }
    };
    uscita("--documento", opzioni.documento, opzioni.documento);
    uscita("--relazione", opzioni.relazione, opzioni.relazione);
    // The results file takes ".txt" when its name has no extension.
    if (!opzioni.file.empty()) {
        uscita("--file", opzioni.file, PercorsoRisultati(opzioni.file));
    }
    uscita("--profilo", opzioni.profilo, opzioni.profilo);
    for (std::size_t i = 0; i < uscite.size(); ++i) {
        for (std::size_t j = i + 1; j < uscite.size(); ++j) {
            if (uscite[i].nominato == uscite[j].nominato) {
                stessoFile(uscite[i], uscite[j], "l'uno si scriverebbe sopra l'altro");
            }
        }
    }
    for (const auto& [opzione, nome] :
         {std::pair{"--progetto", &opzioni.progetto}, {"--tratti", &opzioni.tratti}}) {
        if (nome->empty()) {
            continue;
        }
        const File ingresso{opzione, *nome, fileNominato(*nome)};
        for (const File& scritto : uscite) {
            if (scritto.nominato == ingresso.nominato) {
                stessoFile(scritto, ingresso, "si scriverebbe sopra il file da leggere");
            }
        }
    }
}

#include "relazione/file_risultati.h"

#include "file/scrittura_file.h"
#include "relazione/testi_report.h"
#include "table/griglia_in_memoria.h"
#include "table/tabella_risultati.h"
#include "table/testo_griglia.h"

#include <QString>

#include <algorithm>
#include <climits>
#include <unistd.h>
#include <vector>

namespace {

using Righe = std::vector<std::vector<std::string>>;

Righe tabella(const calcolo::Tabella& t, int primaRiga, int ultimaRiga, Separatore separatore) {
    Righe righe = {{titoliReport.begin(), titoliReport.end()},
                   {unitaReport.begin(), unitaReport.end()}};
    for (int k = primaRiga; k <= ultimaRiga; ++k) {
        std::vector<std::string> riga;
        for (int colonna = 1; colonna <= 6; ++colonna) {
            riga.push_back(testoDellaColonna(colonna, t.riga(k), separatore));
        }
        righe.push_back(std::move(riga));
    }
    return righe;
}

// Characters on screen, not bytes: "VELOCITA'" and "Ø" line up alike.
std::size_t larghezza(const std::string& testo) {
    return static_cast<std::size_t>(QString::fromStdString(testo).size());
}

std::string allineata(const Righe& righe, const std::vector<std::size_t>& larghezze) {
    std::string testo;
    for (const auto& riga : righe) {
        std::string linea;
        for (std::size_t c = 0; c < riga.size(); ++c) {
            linea += std::string(c == 0 ? 0 : 2, ' ') +
                     std::string(larghezze[c] - larghezza(riga[c]), ' ') + riga[c];
        }
        testo += linea + '\n';
    }
    return testo;
}

std::string testoLeggibile(const calcolo::Tabella& t, Separatore separatore) {
    const int numPassi = t.numPassi;
    const Righe risultati = tabella(t, 1, numPassi, separatore);
    const Righe velocita = tabella(t, numPassi + 1, numPassi + 1, separatore);
    const Righe portata = tabella(t, numPassi + 2, numPassi + 2, separatore);

    // One width per column for all three tables.
    std::vector<std::size_t> larghezze(6, 0);
    for (const Righe* righe : {&risultati, &velocita, &portata}) {
        for (const auto& riga : *righe) {
            for (std::size_t c = 0; c < riga.size(); ++c) {
                larghezze[c] = std::max(larghezze[c], larghezza(riga[c]));
            }
        }
    }
    const calcolo::Ingressi& i = t.ingressi;
    const std::string geometria = RigaGeometria(i);
    return RigaTubazione(i, separatore) + '\n' + RigaCoefficiente(i, separatore) + '\n' +
           RigaPendenza(i, separatore) + '\n' + (geometria.empty() ? "" : geometria + '\n') + '\n' +
           allineata(risultati, larghezze) + '\n' + etichettaMassimaVelocita + '\n' +
           allineata(velocita, larghezze) + '\n' + etichettaMassimaPortata + '\n' +
           allineata(portata, larghezze);
}

std::string testiGriglia(const calcolo::Tabella& t) {
    GrigliaInMemoria griglia(3, 7);
    Modulo2::RiempiGriglia(griglia, t);
    return testoCsv(righeGriglia(griglia));
}

} // namespace

std::string PercorsoRisultati(const std::string& nomeFile) {
    std::string nome = nomeFile.empty() ? std::string("INGLESE") : nomeFile;
    if (nome.front() != '/') {
        char cartella[PATH_MAX];
        if (::getcwd(cartella, sizeof cartella) != nullptr) {
            nome = std::string(cartella) + (cartella[1] == '\0' ? "" : "/") + nome;
        }
    }
    // A folder, device, FIFO or socket keeps its name, so that writing
    // refuses it rather than putting a file beside it.
    if (estensione(nome).empty() && nome.back() != '/' && !nodoSpeciale(nome)) {
        nome += nome.back() == '.' ? "txt" : ".txt";
    }
    return nome;
}

std::string ContenutoRisultati(const std::string& percorso, const calcolo::Tabella& tabella,
                               Separatore separatore) {
    return estensione(percorso) == "csv" ? testiGriglia(tabella)
                                         : testoLeggibile(tabella, separatore);
}

void ScriviRisultati(const std::string& percorso, const calcolo::Tabella& tabella,
                     Separatore separatore) {
    verificaDestinazione(percorso);
    scriviFileIntero(percorso, ContenutoRisultati(percorso, tabella, separatore));
}

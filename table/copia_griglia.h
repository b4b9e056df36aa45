#pragma once

#include "numeri/separatore.h"
#include "table/griglia_in_memoria.h"

#include <string>
#include <vector>

// What the grid puts on the clipboard: the texts as the grid shows them, as
// tab-separated lines and as an HTML table, so that a spreadsheet or a word
// processor keeps the columns.
struct CopiaGriglia {
    std::string testo; // tab-separated, one line per row
    std::string html;  // a table, the header lines as heading cells, each
                       // value cell with its number for spreadsheets
};

// The block of data cells from grid row primaRiga to ultimaRiga and grid
// column primaColonna to ultimaColonna (the value columns start at 1);
// `selezionata` says which of them are selected, the others are copied
// empty. With `intestazioni` the two header lines come first; with
// `etichette` the label column ("Max V", "Max Q") comes first.
struct BloccoSelezionato {
    int primaRiga = 2, ultimaRiga = 2;
    int primaColonna = 1, ultimaColonna = 1;
    bool intestazioni = false;
    bool etichette = false;
};

// Rows of texts, the first `righeIntestazione` of them heading rows.
CopiaGriglia copiaTesti(const std::vector<std::vector<std::string>>& righe, int righeIntestazione,
                        Separatore separatore = Separatore::Punto);

template <typename Selezionata>
CopiaGriglia copiaGriglia(const GrigliaInMemoria& griglia, const BloccoSelezionato& blocco,
                          Selezionata selezionata, Separatore separatore = Separatore::Punto) {
    std::vector<std::vector<std::string>> righe;
    const auto riga = [&](int r, bool intestazione) {
        std::vector<std::string> celle;
        if (blocco.etichette) {
            celle.push_back(intestazione ? std::string() : griglia.testo(r, 0));
        }
        for (int c = blocco.primaColonna; c <= blocco.ultimaColonna; ++c) {
            celle.push_back(intestazione || selezionata(r, c) ? griglia.testo(r, c)
                                                              : std::string());
        }
        righe.push_back(std::move(celle));
    };
    if (blocco.intestazioni) {
        riga(0, true);
        riga(1, true);
    }
    for (int r = blocco.primaRiga; r <= blocco.ultimaRiga; ++r) {
        riga(r, false);
    }
    return copiaTesti(righe, blocco.intestazioni ? 2 : 0, separatore);
}

#pragma once

#include "caselle/lettura.h"
#include "numeri/separatore.h"

#include <optional>
#include <string>
#include <vector>

// What the main window says about its boxes, from their texts alone: the
// frame and tooltip of each box, the line above the grid and why there is no
// table. The window applies it to its widgets, the browser page to its
// fields; tests drive it without either.
namespace presentatore {

// The texts of the boxes the table reads.
struct Testi {
    std::string raggio;
    std::string pendenza;
    std::string incremento;
    // The coefficient as typed; none when an entry of the list is chosen.
    std::optional<std::string> coefficienteDigitato;
};

struct Segnale {
    Lettura lettura = Lettura::Buona;
    std::string motivo; // the tooltip
};

// Each box's signal, and what the line above the grid names, in the boxes'
// order: a box not read as a positive number ("Raggio caratteristico: non è
// un numero positivo"), one read in part, an increment used bounded.
struct Valutazione {
    Segnale raggio;
    Segnale pendenza;
    Segnale coefficiente;
    Segnale incremento;
    std::vector<std::string> segnalazioni;
    bool rifiuti = false; // some box is refused
};
// Their numbers take the separator the user reads.
Valutazione valuta(const Testi& testi, Separatore separatore = Separatore::Punto);

// The line above the grid, its whole text and its colour: a failed
// computation first; else the last piece of news (until the inputs change)
// and what the boxes are read as.
struct Riga {
    std::string testo;
    const char* colore;
};
Riga rigaMessaggio(const std::string& erroreCalcolo, const Valutazione& valutazione,
                   const std::string& notizia);

// The increment to write back into its box when the user leaves it: the
// bounded value the table uses, none when the text is within its bounds.
std::optional<std::string> incrementoDaRiscrivere(const Testi& testi);

// Why there is no table on screen to write, or empty when there is one.
std::string motivoNessunaTabella(const std::string& erroreCalcolo, bool ingressiPositivi,
                                 const Valutazione& valutazione);

} // namespace presentatore

#pragma once

#include "calc/array_controllato.h"
#include "calc/formule_sezione.h"
#include "calc/intero16.h"

#include <optional>
#include <string>

// The whole state of a computation: the main window keeps one for its run
// (and calcolaTabella one of its own for each table it returns); the window
// stores the inputs, the sweep and the row computation store the results as
// they are produced, a fault leaving what was stored before it.
namespace variabili_pubbliche {

inline constexpr int righeArray = 1006; // rows 0 to 1005; row 0 is never used

using ArrayRighe = ArrayControllato<righeArray>;

struct Stato {
    double coeffBazin = 0;   // Bazin's roughness coefficient
    double raggio = 0;       // characteristic radius r, cm as typed (width 2r, height 3r)
    double pendenza = 0;     // bed slope, m/m
    double incremento = 0;   // height increment, mm
    double passo = 0;        // height step, m
    double raggioM = 0;      // characteristic radius, m
    double angolo = 0;       // work angle of the row being computed, rad
    double rapporto = 0;     // work ratio of the row; the report's table row counter
    std::string nomeFile;    // file name typed by the user
    Intero16 numPassi;       // regular rows of the last sweep
    Intero16 riga;           // row being computed; the report's counter too
    std::string tipoSezione; // "2r/3r" in cm
    ArrayRighe altezza;      // water height, m
    ArrayRighe area;         // wetted area, m²
    ArrayRighe contorno;     // wetted perimeter, m
    ArrayRighe raggioIdr;    // hydraulic radius, m
    ArrayRighe chezy;        // Chézy coefficient, m^½/s
    ArrayRighe velocita;     // mean velocity, m/s
    ArrayRighe portata;      // flow rate, m³/s
    // The section the rows are computed for: the window's table always uses
    // the classic formulas; the command line may ask for the exact profile.
    formule::Geometria geometria = formule::Geometria::Tabellare;
    // The resistance law of the rows, when the command line chose one; the
    // window never does, and its table is Bazin's with coeffBazin.
    std::optional<formule::Resistenza> leggeScelta;

    formule::Resistenza resistenza() const {
        return leggeScelta.value_or(formule::Resistenza{formule::Legge::Bazin, coeffBazin});
    }
};

} // namespace variabili_pubbliche

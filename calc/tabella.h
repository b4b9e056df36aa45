#pragma once

// The table as a value. Data flow of one computation:
//
//   Ingressi (radius, slope, increment, coefficient, law, geometry)
//     → calcolaTabella() sweeps the heights with the formulas of one height
//       (calc/formule_sezione.h) on a computation state of its own
//     → Tabella: the rows, the rows of maximum velocity and flow, and the
//       error that stopped the sweep, if any
//     → the grid (table/), the reports and the results file (relazione/),
//       the analysis window and the command line read it by const
//       reference.
//
// Only the main window keeps a computation state of its own
// (variabili_pubbliche::Stato), which its events fill and its sweep writes
// row by row as the window's behaviour needs; it hands its table on as
// tabellaDi(stato).

#include "calc/formule_sezione.h"
#include "calc/variabili_pubbliche.h"
#include "errori/errore_runtime.h"

#include <optional>
#include <string>
#include <vector>

namespace calcolo {

// The inputs of a table, as the window reads its boxes.
struct Ingressi {
    double coeffBazin = 0;   // Bazin's γ
    double raggio = 0;       // cm
    double pendenza = 0;     // m/m
    double incremento = 0;   // mm, already within its bounds
    std::string tipoSezione; // the size shown beside the radius, "2r/3r" in cm
    formule::Geometria geometria = formule::Geometria::Tabellare;
    // Another law than the table's Bazin with coeffBazin (the command line).
    std::optional<formule::Resistenza> leggeScelta;

    formule::Resistenza resistenza() const;
    // Only with all four positive is there a table to compute.
    bool positivi() const;
};

// One row: the quantities at one height, in SI units.
struct Riga {
    double altezza = 0;   // h, m
    double area = 0;      // A, m²
    double contorno = 0;  // P, m
    double raggioIdr = 0; // R, m
    double chezy = 0;     // C, m^½/s
    double velocita = 0;  // V, m/s
    double portata = 0;   // Q, m³/s
};

struct Tabella {
    Ingressi ingressi;
    double raggioM = 0; // m
    double passo = 0;   // m
    int numPassi = 0;   // regular rows
    // Rows 1 to numPassi + 2, the regular heights then the rows of maximum
    // velocity and of maximum flow; none when the sweep failed.
    std::vector<Riga> righe;
    std::optional<ErroreRuntime> errore; // what stopped the sweep

    // Row k, from 1 as the table numbers them.
    const Riga& riga(int k) const;
    const Riga& massimaVelocita() const { return riga(numPassi + 1); }
    const Riga& massimaPortata() const { return riga(numPassi + 2); }
};

// The table of the inputs: a pure function. A run-time error of the sweep
// is returned in `errore`, never raised.
Tabella calcolaTabella(const Ingressi& ingressi);

// The inputs a computation state holds, and the table its last sweep left:
// the rows 1 to numPassi + 2.
Ingressi ingressiDi(const variabili_pubbliche::Stato& stato);
Tabella tabellaDi(const variabili_pubbliche::Stato& stato);

} // namespace calcolo

#pragma once

#include "numeri/numero_positivo.h"
#include "progetto/progetto.h"
#include "tratti/csv_tratti.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// The reaches of a project, whose rows keep the cells as typed, read by the
// same rules as a file of reaches.
namespace progetto {

// A reach of a project (its cells as typed, under the CSV's keys) as cells
// in the CSV's order, and back. A number cell's decimal comma is a point,
// as a cell typed in the window holds it, whether the comma was typed there
// or kept so by the file: it reads as the same number in an Italian file.
tratti::CelleTratto celleDi(const RigaTratto& riga);
RigaTratto rigaDaCelle(const tratti::CelleTratto& celle);
const std::string& testoCella(const RigaTratto& riga, std::size_t colonna);
void scriviCella(RigaTratto& riga, std::size_t colonna, std::string testo);

// A project's row read by the rules of the cells: its reach, or the fault
// of its first bad cell.
struct RigaLetta {
    tratti::CelleTratto celle;
    std::size_t riga = 0; // from 1, in the project's order
    std::optional<tratti::Tratto> tratto;
    std::optional<csv::Errore> errore;

    // The name as written, cut after nomeMassimo characters with "…", or
    // "riga N" where there is none or it holds a character a name may not.
    std::string nome() const;
};

// A row of a project as the window reads it, `numero` from 1; none when it
// is blank.
std::optional<RigaLetta> leggiRiga(const RigaTratto& riga, std::size_t numero);

// A project's rows as the window reads them: blank rows are left out.
std::vector<RigaLetta> leggiRighe(const std::vector<RigaTratto>& righe);

// A manhole's ground level as its cell is read: a number of either decimal
// separator within the levels' range, or why not; neither for an empty
// cell.
NumeroLetto quotaTerrenoDi(const RigaPozzetto& riga);

// The manholes of a project's rows, as the network takes them: a row
// without a name, or whose name holds a character a name may not, is left
// out; a ground level that does not read is none, and a note with such a
// character is none too, as is a manhole's alignment rule that is not one.
std::vector<tratti::Pozzetto> pozzettiDi(const std::vector<RigaPozzetto>& righe);

} // namespace progetto

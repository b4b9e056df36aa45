#pragma once

#include "file/csv.h"
#include "numeri/separatore.h"
#include "tratti/rete.h"
#include "tratti/tratto.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A sewer line's reaches as a spreadsheet keeps them, and their results.
namespace tratti {

inline constexpr std::size_t trattiMassimi = 100000;
// The most characters a cell may hold, and a reach's name.
inline constexpr std::size_t cellaMassima = csv::campoMassimo;
inline constexpr std::size_t nomeMassimo = 100;
// The largest file of reaches: room for the most reaches, with long names.
inline constexpr std::size_t fileMassimo = 64 * 1024 * 1024;

// The columns of a reach, in the order the reaches are written back.
enum Colonna : std::size_t {
    Nome,
    PozzettoMonte,
    PozzettoValle,
    Lunghezza,
    Pendenza,
    QuotaMonte,
    QuotaValle,
    Raggio,
    Portata,
    PortataMinima,
    Legge,
    Scabrezza,
    Esistente, // "si" for a reach as built; empty or "no" for one designed
    colonne
};

// The header's names of the columns.
inline constexpr std::array<const char*, colonne> nomiColonne = {
    "tratto",      "pozzetto_monte", "pozzetto_valle", "lunghezza", "pendenza",
    "quota_monte", "quota_valle",    "raggio",         "portata",   "portata_minima",
    "legge",       "scabrezza",      "esistente"};

// Beside a reach's own, a file may give its manholes' ground levels (m):
// they are the manholes', not the reach's.
inline constexpr std::array<const char*, 2> nomiColonneTerreno = {"terreno_monte", "terreno_valle"};

// Whether a column holds a number, which an Italian file writes with a
// decimal comma.
bool numerica(std::size_t colonna);

// A reach's cells as written, one text per column (empty: not given).
using CelleTratto = std::array<std::string, colonne>;

// The rules of a reach's cells, the same for a file, the window's table and
// the report: the reach, or csv::Errore with `riga` and the column of the
// first cell that breaks one. No cell holds a character a name may not
// (caratteriNonAmmessi), the tab and the line breaks included. The numbers
// have "." as decimal separator (a comma is refused: it would read as a
// thousands separator), or with `virgolaDecimale` a comma, as an Italian
// file writes them (a point is refused).
Tratto trattoDaCelle(const CelleTratto& celle, std::size_t riga, bool virgolaDecimale = false);

// Reads the reaches of a CSV file (RFC 4180) whose header line names the
// columns: `tratto` and `portata` always, `pendenza` or `quota_monte` and
// `quota_valle` (with `lunghezza`), and any of `pozzetto_monte` and
// `pozzetto_valle`, `raggio` (empty: size it), `portata_minima`, `legge`
// with `scabrezza`, `esistente`, and the manholes' `terreno_monte` and
// `terreno_valle`.
// A header with `;` makes it an Italian file: `;` between fields and a
// decimal comma. A UTF-8 byte-order mark is skipped, and so are blank
// lines; a file that is not UTF-8 is read as Windows-1252.
std::vector<Tratto> leggiTratti(std::string_view testo);

// The same reaches, each with the line of the file where it begins, and
// the manholes whose ground level the file gives; two levels for one
// manhole are an error naming both lines.
struct TrattiLetti {
    std::vector<Tratto> tratti;
    std::vector<std::size_t> righe;
    std::vector<Pozzetto> pozzetti;
};
TrattiLetti leggiTrattiConRighe(std::string_view testo);

// The same file, checked as leggiTratti checks it, as its cells are
// written, without the blanks around them, and with "." as the decimal
// separator where an Italian file has the comma: trattoDaCelle reads each
// as the reach of the file. With the manholes, as leggiTrattiConRighe.
struct CelleLette {
    std::vector<CelleTratto> celle;
    std::vector<Pozzetto> pozzetti;
};
CelleLette leggiCelleTratti(std::string_view testo);

enum class Formato {
    Csv,         // RFC 4180, "." decimals
    CsvItaliano, // `;` between fields, a decimal comma, a byte-order mark
    Tabella,     // aligned, for reading, rounded
};

// One line per reach: its manholes, its radius (and whether it was chosen
// from the catalogue), slope and flows, the heights, filling and velocities
// at the design and minimum flows, the full section's flow, its inverts as
// used or computed, the drop into it and the least cover over it, the
// slopes it would keep its limits within, the verdict and its reasons. In
// CSV what was given reads back to the very same double (the radius, a
// slope typed, the flows), what was computed has six significant digits;
// the Italian CSV writes its reasons' numbers with the comma. The aligned
// table takes the separator asked for.
// With the file's line of each reach, the reason of one that cannot be
// computed names it: in a file of thousands of reaches it is found by it.
std::string testoEsiti(const std::vector<Tratto>& tratti, const std::vector<Esito>& esiti,
                       Formato formato, Separatore separatore = Separatore::Punto,
                       const std::vector<std::size_t>& righe = {});

// The aligned table's texts: two header lines, then one line per reach, its
// last text the verdict with its reasons; numbers and reasons with the
// separator asked for.
std::vector<std::vector<std::string>> celleEsiti(const std::vector<Tratto>& tratti,
                                                 const std::vector<Esito>& esiti,
                                                 Separatore separatore = Separatore::Punto,
                                                 const std::vector<std::size_t>& righe = {});

// The reaches as leggiTratti reads them back, every column written, with
// the ground levels of the manholes given.
std::string testoTratti(const std::vector<Tratto>& tratti, Formato formato,
                        const std::vector<Pozzetto>& pozzetti = {});

} // namespace tratti

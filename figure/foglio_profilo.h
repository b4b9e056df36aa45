#pragma once

#include "figure/disegno.h"
#include "numeri/separatore.h"
#include "tratti/profilo.h"

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// The longitudinal profile as a design drawing: on sheets at printed
// scales, the ground, the invert, the crown and the water along the path,
// the manholes with their drops, under them the table of levels and
// distances lined up with the manholes, and a title block. Each sheet is
// described once as a drawing (figure/disegno.h) that every renderer draws.

// A sheet's size, landscape, mm.
struct DimensioniFoglio {
    double larghezza = 0, altezza = 0;
};

enum class FormatoFoglio { A3, A4 };
DimensioniFoglio misureFoglio(FormatoFoglio formato);

// A stretch of the path on one sheet, in progressive metres.
struct FoglioProfilo {
    double da = 0, a = 0;
};

// What a drawing's title block states besides its scales and its sheet
// number: from the project's data; an empty one is left blank.
struct Cartiglio {
    std::string opera, committente, progettista, titolo, data;
};

struct ImpaginazioneProfilo {
    DimensioniFoglio foglio;                              // mm
    double scalaOrizzontale = 1000, scalaVerticale = 100; // 1:N
    std::vector<FoglioProfilo> fogli;
    // The frame, the table and the texts at this fraction of their size: a
    // report's figure is smaller than a drawing's sheet. Texts are never
    // printed smaller than 2 mm.
    double misura = 1;
    Cartiglio cartiglio;
    // The heights of the manholes' rows of the table under the drawing, mm
    // at full size: the path's longest upright values decide them.
    std::vector<double> righeTabella;

    double esagerazione() const { return scalaOrizzontale / scalaVerticale; }
};

// The most sheets a drawing is laid out on, a PDF's pages: some 1.8 km of
// paper. Beyond them a scale was mistyped, or the path is no sewer's.
inline constexpr std::size_t fogliMassimiDisegno = 5000;

// A layout refused: at its horizontal scale the path would need more
// sheets than allowed; the message says how many. `scalaCheBasta` is the
// largest usual scale at which they would do, none when not even
// 1:1,000,000 would.
class TroppiFogli : public std::invalid_argument {
  public:
    TroppiFogli(const std::string& motivo, std::optional<double> scala)
        : std::invalid_argument(motivo), scalaCheBasta(scala) {}
    std::optional<double> scalaCheBasta;
};
// "; si scelga una scala orizzontale di 1:N o più piccola", where one would
// do: the advice for whoever can type a scale.
std::string consiglioDiScala(const TroppiFogli& rifiuto);

// The sheets and the scales of a profile. A scale not given is chosen from
// the usual ones so that the path fits one sheet while a reach stays wide
// enough to be read, and the levels fill the height of the drawing. With
// `continuo`, one sheet as wide as the whole path at that scale (a window,
// a picture), the given width being the least. The sheets are counted
// before any is made, in steps as many as the path's manholes whatever the
// scale: TroppiFogli beyond `fogliMassimi` (for `continuo`, widths of the
// given sheet), std::invalid_argument for a sheet too small to draw on or a
// scale not allowed.
ImpaginazioneProfilo impaginaProfilo(const tratti::Profilo& profilo, DimensioniFoglio foglio,
                                     std::optional<double> scalaOrizzontale = std::nullopt,
                                     std::optional<double> scalaVerticale = std::nullopt,
                                     bool continuo = false, double misura = 1,
                                     std::size_t fogliMassimi = fogliMassimiDisegno);

// The scales a profile is drawn at, 1:10 to 1:1,000,000: beyond them a
// sheet would show nothing, or a path would need millions of sheets.
bool scalaAmmessa(double denominatore);
extern const char* const scaleAmmesse; // the range in words

// "0.##", or more decimals for an exaggeration under 1.
const char* modelloEsagerazione(double esagerazione);

// The first sheet whose levels are higher than its drawing at the vertical
// scale: a scale typed too large for the path; none when all fit.
std::optional<std::size_t> foglioCheNonSta(const tratti::Profilo& profilo,
                                           const ImpaginazioneProfilo& impaginazione);

// Where the profile itself is drawn on a sheet, mm: the table is below.
disegno::Rettangolo areaDelDisegno(const ImpaginazioneProfilo& impaginazione);

// The progressive distance under a point of a sheet, mm across; none
// outside the path's stretch on it.
std::optional<double> progressivaA(const ImpaginazioneProfilo& impaginazione, std::size_t foglio,
                                   double xMillimetri);

// One sheet. Only the reaches and manholes on it are drawn; a level far off
// the sheet is drawn at the edge of a band around it, an infinite one not
// at all. No text overlaps another: what does not fit where it belongs is
// numbered and written out in the sheet's notes. An empty drawing for a
// sheet not laid out or scales not allowed.
disegno::Disegno disegnoDelFoglio(const tratti::Profilo& profilo,
                                  const ImpaginazioneProfilo& impaginazione, std::size_t foglio,
                                  Separatore separatore = Separatore::Punto);

// The layers of a profile's drawing, in the order they are drawn.
extern const std::vector<std::string_view> stratiDelProfilo;

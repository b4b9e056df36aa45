#pragma once

#include "figure/disegno.h"
#include "figure/figura_profilo.h"

#include <QImage>
#include <QRectF>

#include <cstddef>
#include <string>
#include <vector>

// The longitudinal profile written out, whole or nothing: as a vector PDF
// (one page a sheet, at the printed scales), as SVG or PNG (the sheets one
// under the other) and as DXF for CAD, in real metres. The format comes
// from the extension; ErroreFile or std::invalid_argument, in Italian, for
// a path that cannot be written, an extension not known, or more sheets
// than the format takes (TroppiFogli).

// "pdf", "svg", "png", "dxf".
bool formatoProfiloNoto(const std::string& percorso);

// The most sheets of `foglio` a profile is written on, the format by the
// extension: impaginaProfilo's bound, and scriviProfilo's.
std::size_t fogliMassimi(const std::string& percorso, QSizeF foglio);

void scriviProfilo(const std::string& percorso, const tratti::Profilo& profilo,
                   const ImpaginazioneProfilo& impaginazione,
                   Separatore separatore = Separatore::Punto);

// A sheet drawn into a rectangle of a painter; `inPiedi`, turned a quarter
// to the left, to stand along a portrait page.
void disegnaNelRettangolo(QPainter& pittore, const disegno::Disegno& foglio, const QRectF& dove,
                          bool inPiedi);

// The drawing for CAD: the same sheets as the PDF's, in millimetres of
// paper, side by side, on the layers of stratiDelProfilo.
std::string profiloDxf(const tratti::Profilo& profilo, const ImpaginazioneProfilo& impaginazione,
                       Separatore separatore = Separatore::Punto);

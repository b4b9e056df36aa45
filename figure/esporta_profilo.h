#pragma once

#include "figure/figura_profilo.h"

#include <QImage>

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

// One sheet as an SVG drawing in millimetres: a report's vector figure.
std::string svgDelFoglio(const tratti::Profilo& profilo, const ImpaginazioneProfilo& impaginazione,
                         std::size_t foglio, Separatore separatore = Separatore::Punto);

// One sheet as a picture, at so many pixels a millimetre: a report's figure.
// `inPiedi`: turned a quarter to the left, a landscape sheet standing along
// a portrait page.
QImage immagineDelFoglio(const tratti::Profilo& profilo, const ImpaginazioneProfilo& impaginazione,
                         std::size_t foglio, double pixelPerMillimetro,
                         Separatore separatore = Separatore::Punto, bool inPiedi = false);
// Every sheet so, drawn side by side on every core: a long line's report
// holds dozens.
std::vector<QImage> immaginiDeiFogli(const tratti::Profilo& profilo,
                                     const ImpaginazioneProfilo& impaginazione,
                                     double pixelPerMillimetro,
                                     Separatore separatore = Separatore::Punto,
                                     bool inPiedi = false);

// The drawing for CAD: the same sheets as the PDF's, in millimetres of
// paper, side by side, on the layers of stratiDelProfilo.
std::string profiloDxf(const tratti::Profilo& profilo, const ImpaginazioneProfilo& impaginazione,
                       Separatore separatore = Separatore::Punto);

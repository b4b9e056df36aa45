#pragma once

#include "analisi/risposte.h"
#include "analisi/verifiche.h"
#include "figure/disegno.h"
#include "figure/tavola.h"
#include "numeri/separatore.h"

#include <optional>
#include <string>
#include <vector>

// The rating curves: flow Q (l/s, lower axis) and velocity V (cm/s, upper
// axis) against the height h (cm) upwards, with the table's rows as
// points, the levels marked, the limits, and a legend below. Drawn for
// print: the two curves differ by their stroke as well as their colour.
// Described once, for the window, the report's pages and its SVG alike.
namespace disegno {

struct DatiGrafico {
    analisi::Sezione sezione;
    std::vector<analisi::Grandezze> righeTabella; // the table's rows, drawn as points
    std::vector<Livello> livelli;
    analisi::Limiti limiti;
    // The true maxima of flow and velocity, marked on their curves.
    std::optional<analisi::Grandezze> massimaPortata, massimaVelocita;
    std::string titolo; // above, naming the section; none when empty
    Separatore separatore = Separatore::Punto;
};

// Where the plot lies on its sheet and the ends of its axes.
struct AssiGrafico {
    Rettangolo area;
    double portataFine = 1;  // l/s at the right
    double velocitaFine = 1; // cm/s at the right
    double altezzaFine = 1;  // cm at the top: the full section

    Punto portata(double litriAlSecondo, double centimetri) const;
    Punto velocita(double centimetriAlSecondo, double centimetri) const;
};

// The curves are computed once, so that the figure is drawn again at any
// size without computing. The sheet is `larghezza` × `altezza` units: the
// pixels of the picture it stands for.
class GraficoDiDeflusso {
  public:
    // A fault of the formulas raises ErroreRuntime.
    explicit GraficoDiDeflusso(DatiGrafico dati);

    const DatiGrafico& dati() const { return dati_; }
    AssiGrafico assi(double larghezza, double altezza) const;
    // With a `cursore` height (m), a line across the plot where the pointer is.
    Disegno disegno(double larghezza, double altezza,
                    std::optional<double> cursore = std::nullopt) const;

  private:
    DatiGrafico dati_;
    std::vector<analisi::Grandezze> punti_;      // the curves, from the empty section to the full
    std::vector<analisi::Grandezze> suiLivelli_; // at each level that the plot holds
    double portataMassima_ = 0;                  // l/s, of the curve and the rows
    double velocitaMassima_ = 0;                 // cm/s
};

} // namespace disegno

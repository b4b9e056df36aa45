#pragma once

#include "calc/formule_sezione.h"
#include "numeri/separatore.h"
#include "progetto/progetto.h"
#include "tratti/tratto.h"

#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

// What the command line asks for, read strictly: every value must be, as a
// whole, a positive number. With a project file, the inputs it holds take
// the defaults' place and the options given override them.
struct OpzioniCli {
    enum class Formato { Tabella, Csv, CsvItaliano, Si };

    double raggio = 20;
    double pendenza = 0.01;
    double incremento = 100;
    double coefficiente = 0.18;
    Formato formato = Formato::Tabella;
    // The decimal separator of what people read: the aligned table, the
    // reports and the results file; machine formats keep their own.
    Separatore separatore = Separatore::Punto;
    formule::Geometria geometria = formule::Geometria::Tabellare;
    // The answers' own, when a project's analysis window chose one.
    std::optional<formule::Geometria> geometriaRisposte;
    std::optional<double> portata;  // l/s: print the heights of this flow instead of the table
    std::optional<double> velocita; // cm/s: the same for a velocity
    int curva = 0;                  // print this many evenly spaced heights instead
    std::string documento;          // also write the report here, when given
    std::string file;               // also write the results file here, when given
    std::string progetto;           // the project file the inputs come from, when given
    bool verifiche = false;         // the answers for the project's design values
    // l/s: print the height of this dry-weather flow (row Qmin) instead of the table
    std::optional<double> portataMinima;
    std::string relazione; // also write the calculation report here, when given
    // The resistance law of every number printed: Bazin's with
    // `coefficiente` unless --legge names another, whose coefficient
    // --scabrezza gives (Bazin's too, when given).
    formule::Legge legge = formule::Legge::Bazin;
    std::optional<double> scabrezza;
    std::optional<double> temperatura; // °C, Colebrook–White only
    // The answers' own law, when a project's analysis window chose one
    // and the line names none: the table keeps its Bazin, as in the window.
    std::optional<formule::Resistenza> resistenzaRisposte;
    std::string tratti; // the CSV file of reaches to verify instead of the table, when given
    // What the reaches are held to, in SI units, and the radii (cm) they
    // are sized from.
    analisi::Limiti limiti;
    std::vector<double> catalogo = tratti::Impostazioni().catalogo;
    // The network's alignment rule at manholes and its limits (m).
    tratti::Allineamento allineamento = tratti::Impostazioni().allineamento;
    double ricoprimentoMinimo = tratti::Impostazioni().ricoprimentoMinimo;
    std::optional<double> profonditaMassima;
    std::optional<double> saltoMassimo;
    // The longitudinal profile to write, from the head manhole `da` (none:
    // the longest path), at 1:N scales where they are given.
    std::string profilo;
    std::string da;
    std::optional<double> scalaOrizzontale, scalaVerticale;
    // The inputs as they were typed (on the line, or in the project file),
    // with the project's data: what the calculation report quotes.
    progetto::Progetto comeScritto = progetto::progettoNuovo();
    std::set<std::string> date; // the options the line gives, by name
    bool aiuto = false;
    bool versione = false;

    formule::Resistenza resistenza() const;
};

// A usage error: one Italian line that names the option, or the project
// file and its key.
class ErroreUso : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

OpzioniCli leggiOpzioni(const std::vector<std::string>& argomenti);

// The most points --curva accepts.
inline constexpr int puntiCurvaMassimi = 100000;

extern const char* const testoAiuto;

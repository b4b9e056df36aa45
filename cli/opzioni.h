#pragma once

#include "calc/formule_sezione.h"
#include "calc/resistenza.h"
#include "numeri/separatore.h"
#include "progetto/progetto.h"

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
    formule::Geometria geometria = formule::Geometria::Tabellare; // the table's
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
    // The table's resistance law: Bazin's with `coefficiente` unless
    // --legge names another, whose coefficient --scabrezza gives (Bazin's
    // too, when given).
    formule::Legge legge = formule::Legge::Bazin;
    std::optional<double> scabrezza;
    std::optional<double> temperatura; // °C, Colebrook–White only
    std::string tratti; // the CSV file of reaches to verify instead of the table, when given
    // The longitudinal profile to write, from the head manhole `da` (none:
    // the longest path), at 1:N scales where they are given.
    std::string profilo;
    std::string da;
    std::optional<double> scalaOrizzontale, scalaVerticale;
    // The project as the line gives it: the project file's, or a new one's,
    // with every option laid over its boxes as typed. What the answers, the
    // line of reaches and the calculation report are evaluated from.
    progetto::Progetto comeScritto = progetto::progettoNuovo();
    std::set<std::string> date; // the options the line gives, by name
    bool aiuto = false;
    bool versione = false;

    formule::Resistenza resistenza() const; // the table's law, as --legge and its options give it
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

#pragma once

#include "calc/resistenza.h"
#include "calc/tabella.h"
#include "numeri/separatore.h"

#include <array>
#include <string>

// The texts of the report that the results file repeats, their numbers
// made with the decimal separator asked for.

// A resistance law's coefficient as a report names it: "γ = 0.18",
// "n = 0.013 s/m¹ᐟ³", "ks = 1.5 mm, T = 15 °C".
std::string testoResistenza(const formule::Resistenza& resistenza,
                            Separatore separatore = Separatore::Punto);

// "TUBAZIONE INGLESE 40/60 Øeq mm 20", the coefficient and the slope lines
// of a table's inputs, without line ends.
std::string RigaTubazione(const calcolo::Ingressi& ingressi,
                          Separatore separatore = Separatore::Punto);
std::string RigaCoefficiente(const calcolo::Ingressi& ingressi,
                             Separatore separatore = Separatore::Punto);
std::string RigaPendenza(const calcolo::Ingressi& ingressi,
                         Separatore separatore = Separatore::Punto);

// For a table computed on the exact section, the line that says so; empty
// for the table's own formulas, whose report stays as it always was.
std::string RigaGeometria(const calcolo::Ingressi& ingressi);

// The text of value column 1 to 6 of a row, as the grid shows it (the
// table's TestoColonna), with the separator asked for.
std::string testoDellaColonna(int colonna, const calcolo::Riga& riga, Separatore separatore);

// Column titles and units of the report's tables.
inline constexpr std::array<const char*, 6> titoliReport = {
    "ALTEZZA", "AREA", "CONT.BAGNATO", "R.IDRAULICO", "VELOCITA'", "PORTATA"};
inline constexpr std::array<const char*, 6> unitaReport = {"(cm)", "(mq)",     "(m)",
                                                           "(m)",  "(cm/sec)", "(l/sec)"};

inline constexpr const char* etichettaMassimaVelocita = "Massima velocità:";
inline constexpr const char* etichettaMassimaPortata = "Massima portata:";

#pragma once

#include "numeri/separatore.h"
#include "tratti/rilievi.h"

#include <string>
#include <vector>

// The findings of a line in Italian: each kind of finding put into words in
// this one place, from its values, its numbers formatted with the separator
// asked for and its names as they were typed.
namespace tratti {

struct Esito;

// A finding in the words of its reach, or of its manhole, which names the
// reach instead of the manhole.
enum class Voce { Tratto, Pozzetto };
std::string testoRilievo(const Rilievo& rilievo, Separatore separatore, Voce voce = Voce::Tratto);

// What fails a reach or stops it, in one text ("…; …"): a sizing that found
// no size opens it, followed by what fails at the size it took.
std::string motivoDi(const std::vector<Rilievo>& rilievi, Separatore separatore);
std::string motivoDi(const Esito& esito, Separatore separatore);
// What deserves a look without failing it, the provisions included.
std::string avvisiDi(const Esito& esito, Separatore separatore);

// The check a finding concerns, in a few words ("riempimento massimo",
// "forma della rete"): what a conclusion counts the failing items by.
std::string verificaDi(const Rilievo& rilievo);
// The values a finding compares, where it is found and the limit
// ("a monte (pozzetto «P1»): 1.05 m < 1.50 m"); one that compares none is
// told whole.
std::string valoriDi(const Rilievo& rilievo, Separatore separatore, Voce voce = Voce::Tratto);
// What would mend a reach at its size whose slope is not among those it
// passes within: those slopes ("pendenze da 0.0054 a 0.045 m/m"), or that
// none would; empty when its own is among them or it was not computed.
std::string rimedioDi(const Esito& esito, Separatore separatore);

// A slope in words, with three significant digits, rounded away from the
// limit it stands for (up for a least slope): the slope written keeps it.
std::string pendenzaArrotondata(double pendenza, bool perEccesso,
                                Separatore separatore = Separatore::Punto);

} // namespace tratti

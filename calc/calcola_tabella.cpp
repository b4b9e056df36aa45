#include "calc/calcolo.h"

#include "calc/reale.h"
#include "calc/tabella.h"
#include "calc/variabili_pubbliche.h"

#include <cmath>

namespace {

// How close to a whole number k the quotient 3r / step must come for the
// steps to fill the section: a step that divides the height exactly can
// miss it by an ulp (3 × 0.3 / 0.1 is 8.999…), which would drop the
// full-section row.
constexpr double tolleranzaPassiInteri = 1e-9;

struct PassiRegolari {
    Intero16 numero;
    bool ultimoAllaSezionePiena; // the last row is at 3r exactly
};

PassiRegolari passiRegolari(double quoziente) {
    const double intero = std::round(quoziente);
    if (intero >= 1 && std::abs(quoziente - intero) <= tolleranzaPassiInteri * intero) {
        return {Intero16::parteIntera(intero), true};
    }
    return {Intero16::parteIntera(quoziente), false};
}

void calcolaRigaAllAltezza(variabili_pubbliche::Stato& s, Reale altezza) {
    memorizza(s.altezza(s.riga), altezza);
    Modulo2::CalcolaRiga(s);
}

} // namespace

bool Modulo2::IngressiPositivi(const variabili_pubbliche::Stato& s) {
    return calcolo::ingressiDi(s).positivi();
}

void Modulo2::CalcolaTabella(variabili_pubbliche::Stato& s) {
    memorizza(s.raggioM, Reale(s.raggio) / 100.0);
    memorizza(s.passo, Reale(s.incremento) / 1000.0);
    const Reale altezzaPiena = Reale(3.0) * s.raggioM;
    const PassiRegolari passi = passiRegolari((altezzaPiena / s.passo).valore());
    s.numPassi = passi.numero;

    // Each height is the row number times the step, never an accumulated
    // sum; a last step that fills the section is the full section itself.
    const Intero16 ultimaRiga = s.numPassi;
    for (s.riga = Intero16(1); s.riga <= ultimaRiga; s.riga = s.riga + Intero16(1)) {
        const bool piena = passi.ultimoAllaSezionePiena && s.riga == ultimaRiga;
        calcolaRigaAllAltezza(s, piena ? altezzaPiena : Reale(s.riga) * s.passo);
    }

    s.riga = s.numPassi + Intero16(1);
    calcolaRigaAllAltezza(s, Reale(s.raggioM) * Modulo2::altezzaMaxVelocita);
    s.riga = s.numPassi + Intero16(2);
    calcolaRigaAllAltezza(s, Reale(s.raggioM) * Modulo2::altezzaMaxPortata);
}

#include "calc/calcolo.h"

#include "calc/reale.h"
#include "calc/variabili_pubbliche.h"

#include <utility>

namespace {

Modulo2::ConsegnaTabella consegnaInstallata;

void calcolaRigaAllAltezza(variabili_pubbliche::Stato& s, Reale altezza) {
    memorizza(s.altezza(s.riga), altezza);
    Modulo2::CalcolaRiga();
}

} // namespace

bool Modulo2::IngressiPositivi() {
    const variabili_pubbliche::Stato& s = variabili_pubbliche::stato;
    return s.raggio > 0 && s.pendenza > 0 && s.incremento > 0 && s.coeffBazin > 0;
}

void Modulo2::InstallaConsegnaTabella(ConsegnaTabella consegna) {
    consegnaInstallata = std::move(consegna);
}

void Modulo2::CalcolaTabella() {
    variabili_pubbliche::Stato& s = variabili_pubbliche::stato;

    memorizza(s.raggioM, Reale(s.raggio) / 100.0);
    memorizza(s.passo, Reale(s.incremento) / 1000.0);
    s.numPassi = Intero16::parteIntera((Reale(3.0) * s.raggioM / s.passo).valore());

    // Each height is the row number times the step, never an accumulated sum.
    const Intero16 ultimaRiga = s.numPassi;
    for (s.riga = Intero16(1); s.riga <= ultimaRiga; s.riga = s.riga + Intero16(1)) {
        calcolaRigaAllAltezza(s, Reale(s.riga) * s.passo);
    }

    s.riga = s.numPassi + Intero16(1);
    calcolaRigaAllAltezza(s, Reale(s.raggioM) * Modulo2::altezzaMaxVelocita);
    s.riga = s.numPassi + Intero16(2);
    calcolaRigaAllAltezza(s, Reale(s.raggioM) * Modulo2::altezzaMaxPortata);

    if (consegnaInstallata) {
        consegnaInstallata();
    }
}

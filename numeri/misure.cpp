#include "numeri/misure.h"

#include "numeri/formato.h"
#include "numeri/testo_valore.h"

std::string testoMisura(Misura misura, double valore, Separatore separatore) {
    switch (misura) {
    case Misura::Quota:
    case Misura::Dislivello:
    case Misura::Lunghezza:
        return Format(valore, "0.00", separatore);
    case Misura::Pendenza:
        return Format(valore, "0.0000##", separatore);
    case Misura::PendenzaPerMille:
        return Format(valore * 1000, "0.00", separatore);
    case Misura::Raggio:
        return Format(valore, "0.0", separatore);
    case Misura::Altezza:
        return TestoValore(1, valore, separatore);
    case Misura::Riempimento:
        return Format(valore * 100, "0.0", separatore);
    case Misura::Velocita:
        return TestoValore(5, valore, separatore);
    case Misura::Portata:
        break;
    }
    return TestoValore(6, valore, separatore);
}

const char* unitaMisura(Misura misura) {
    switch (misura) {
    case Misura::Quota:
    case Misura::Dislivello:
    case Misura::Lunghezza:
        return "m";
    case Misura::Pendenza:
        return "m/m";
    case Misura::PendenzaPerMille:
        return "‰";
    case Misura::Raggio:
    case Misura::Altezza:
        return "cm";
    case Misura::Riempimento:
        return "%";
    case Misura::Velocita:
        return "cm/s";
    case Misura::Portata:
        break;
    }
    return "l/s";
}

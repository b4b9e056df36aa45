#include "calc/tabella.h"

#include "calc/calcolo.h"

namespace calcolo {

formule::Resistenza Ingressi::resistenza() const {
    return leggeScelta.value_or(formule::Resistenza{formule::Legge::Bazin, coeffBazin});
}

bool Ingressi::positivi() const {
    return raggio > 0 && pendenza > 0 && incremento > 0 && coeffBazin > 0;
}

const Riga& Tabella::riga(int k) const {
    if (k < 1 || k > static_cast<int>(righe.size())) {
        throw ErroreRuntime(TipoErrore::IndiceFuoriIntervallo);
    }
    return righe[static_cast<std::size_t>(k - 1)];
}

Ingressi ingressiDi(const variabili_pubbliche::Stato& s) {
    return {s.coeffBazin,  s.raggio,    s.pendenza,   s.incremento,
            s.tipoSezione, s.geometria, s.leggeScelta};
}

Tabella tabellaDi(const variabili_pubbliche::Stato& s) {
    Tabella t;
    t.ingressi = ingressiDi(s);
    t.raggioM = s.raggioM;
    t.passo = s.passo;
    t.numPassi = s.numPassi;
    t.righe.reserve(static_cast<std::size_t>(s.numPassi) + 2);
    for (int k = 1; k <= s.numPassi + 2; ++k) {
        t.righe.push_back({s.altezza(k), s.area(k), s.contorno(k), s.raggioIdr(k), s.chezy(k),
                           s.velocita(k), s.portata(k)});
    }
    return t;
}

Tabella calcolaTabella(const Ingressi& ingressi) {
    variabili_pubbliche::Stato s;
    s.coeffBazin = ingressi.coeffBazin;
    s.raggio = ingressi.raggio;
    s.pendenza = ingressi.pendenza;
    s.incremento = ingressi.incremento;
    s.tipoSezione = ingressi.tipoSezione;
    s.geometria = ingressi.geometria;
    s.leggeScelta = ingressi.leggeScelta;
    try {
        Modulo2::CalcolaTabella(s);
    } catch (const ErroreRuntime& errore) {
        Tabella fallita;
        fallita.ingressi = ingressi;
        fallita.raggioM = s.raggioM;
        fallita.passo = s.passo;
        fallita.numPassi = s.numPassi;
        fallita.errore = errore;
        return fallita;
    }
    return tabellaDi(s);
}

} // namespace calcolo

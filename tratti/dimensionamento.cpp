#include "tratti/dimensionamento.h"

#include "numeri/conversioni.h"

#include <algorithm>
#include <iterator>

namespace tratti {

namespace {

// The catalogue's sizes from the least allowed up, each once.
std::vector<double> misureDa(const std::vector<double>& catalogo, double raggioMinimo) {
    std::vector<double> misure;
    std::copy_if(catalogo.begin(), catalogo.end(), std::back_inserter(misure),
                 [&](double r) { return r > 0 && r >= raggioMinimo; });
    std::sort(misure.begin(), misure.end());
    misure.erase(std::unique(misure.begin(), misure.end()), misure.end());
    return misure;
}

bool entroIlRiempimento(const Esito& esito, const Impostazioni& impostazioni) {
    return esito.calcolato && esito.progetto &&
           esito.progetto->riempimento <= impostazioni.limiti.riempimentoMassimo;
}

} // namespace

Esito dimensiona(const Tratto& tratto, const Impostazioni& impostazioni, double raggioMinimo,
                 const Verifica& verifica) {
    const std::vector<double> misure = misureDa(impostazioni.catalogo, raggioMinimo);
    if (misure.empty()) {
        Esito esito;
        esito.raggio = raggioMinimo;
        esito.pendenza = tratto.pendenzaDiCalcolo().value_or(0);
        esito.dimensionato = true;
        esito.calcolato = false;
        esito.motivo = raggioMinimo > 0 ? "il catalogo non ha raggi di almeno " +
                                              CStr(raggioMinimo) + " cm, il raggio a monte"
                                        : "il catalogo non ha raggi";
        return esito;
    }
    std::vector<Esito> provati;
    for (const double raggio : misure) {
        Tratto allaMisura = tratto;
        allaMisura.raggio = raggio;
        Esito& esito = provati.emplace_back(verifica(allaMisura, impostazioni));
        esito.dimensionato = true;
        if (esito.verificato) {
            return esito;
        }
    }
    const auto capiente = std::find_if(provati.begin(), provati.end(), [&](const Esito& e) {
        return entroIlRiempimento(e, impostazioni);
    });
    if (capiente != provati.end()) {
        capiente->motivo = "nessun raggio del catalogo rispetta tutti i limiti con questa "
                           "pendenza; r = " +
                           CStr(capiente->raggio) +
                           " cm è il più piccolo entro il riempimento: " + capiente->motivo;
        return *capiente;
    }
    Esito& piuGrande = provati.back();
    piuGrande.motivo = "nessun raggio del catalogo rispetta i limiti; con il più grande, r = " +
                       CStr(piuGrande.raggio) + " cm: " + piuGrande.motivo;
    return piuGrande;
}

} // namespace tratti

#include "tratti/dimensionamento.h"

#include "numeri/conversioni.h"

#include <algorithm>
#include <iterator>
#include <optional>

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
    // Only the first within the filling and the last are kept for the
    // fallback: a line tries hundreds of thousands of sizes.
    std::optional<Esito> capiente;
    Esito ultimo;
    Tratto allaMisura = tratto;
    for (const double raggio : misure) {
        allaMisura.raggio = raggio;
        ultimo = verifica(allaMisura, impostazioni);
        ultimo.dimensionato = true;
        if (ultimo.verificato) {
            return ultimo;
        }
        if (!capiente && entroIlRiempimento(ultimo, impostazioni)) {
            capiente = ultimo;
        }
    }
    if (capiente) {
        capiente->motivo = "nessun raggio del catalogo rispetta tutti i limiti con questa "
                           "pendenza; r = " +
                           CStr(capiente->raggio) +
                           " cm è il più piccolo entro il riempimento: " + capiente->motivo;
        return *capiente;
    }
    ultimo.motivo = "nessun raggio del catalogo rispetta i limiti; con il più grande, r = " +
                    CStr(ultimo.raggio) + " cm: " + ultimo.motivo;
    return ultimo;
}

} // namespace tratti

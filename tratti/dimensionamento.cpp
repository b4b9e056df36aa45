#include "tratti/dimensionamento.h"

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
        Rilievo senzaRaggi{Rilievo::Tipo::CatalogoSenzaRaggi};
        senzaRaggi.valore = raggioMinimo;
        esito.rilievi.push_back(std::move(senzaRaggi));
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
    // What no size mends opens the reasons of the size kept.
    Esito& tenuto = capiente ? *capiente : ultimo;
    Rilievo nessuno{capiente ? Rilievo::Tipo::NessunRaggioEntroRiempimento
                             : Rilievo::Tipo::NessunRaggio};
    nessuno.valore = tenuto.raggio;
    tenuto.rilievi.insert(tenuto.rilievi.begin(), std::move(nessuno));
    return tenuto;
}

} // namespace tratti

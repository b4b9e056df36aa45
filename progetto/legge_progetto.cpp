#include "progetto/legge_progetto.h"

#include "numeri/conversioni.h"
#include "numeri/numero_positivo.h"
#include "tratti/grandezze.h"

#include <limits>

namespace progetto {

namespace {

// A strict number within a range, or why not. The range alone says what is
// allowed: a temperature of 0 °C is, one below it is out of the range.
std::optional<double> nelCampo(const std::string& testo, formule::Intervallo ammesso,
                               std::string_view unita, std::string& motivo) {
    const std::string campo =
        CStr(ammesso.minimo) + "–" + CStr(ammesso.massimo) + " " + std::string(unita);
    const NumeroLetto letto = leggiNumero(testo);
    if (letto.motivo) {
        motivo = *letto.motivo + " Serve un valore da " + campo + ".";
    } else if (!letto.valore) {
        motivo = "La casella è vuota: serve un valore da " + campo + ".";
    } else if (!(*letto.valore >= ammesso.minimo && *letto.valore <= ammesso.massimo)) {
        motivo = "Fuori dall'intervallo ammesso: deve essere tra " + CStr(ammesso.minimo) + " e " +
                 CStr(ammesso.massimo) + " " + std::string(unita) + ".";
    } else {
        return letto.valore;
    }
    return std::nullopt;
}

} // namespace

LeggeLetta leggiLegge(const Verifiche& v, double coeffBazinTabella) {
    formule::Resistenza r;
    r.legge = formule::leggeDaChiave(v.legge).value_or(formule::Legge::Bazin);
    const std::string coefficiente = v.scabrezza.testo.substr(0, v.scabrezza.testo.find(':'));
    if (r.legge == formule::Legge::Bazin &&
        coefficiente.find_first_not_of(' ') == std::string::npos) {
        r.coefficiente = coeffBazinTabella;
        LeggeLetta dellaTabella;
        dellaTabella.resistenza = r;
        dellaTabella.dellaTabella = true;
        return dellaTabella;
    }
    LeggeLetta letta;
    const auto c = nelCampo(coefficiente, formule::intervalloCoefficiente(r.legge),
                            formule::unitaCoefficiente(r.legge), letta.motivo);
    if (!c) {
        letta.chiave = "scabrezza";
        return letta;
    }
    r.coefficiente = *c;
    if (r.legge == formule::Legge::Colebrook) {
        const auto t =
            nelCampo(v.temperatura.testo, formule::intervalloTemperatura, "°C", letta.motivo);
        if (!t) {
            letta.chiave = "temperatura";
            return letta;
        }
        r.temperatura = *t;
    }
    letta.resistenza = r;
    return letta;
}

analisi::Limiti limitiDi(const Verifiche& v) {
    analisi::Limiti limiti;
    const auto leggi = [](const Casella& casella, double& limite, double massimo) {
        if (const std::optional<double> x = leggiNumeroPositivo(casella.testo).valore;
            x && *x <= massimo) {
            limite = *x / 100;
        }
    };
    const double senzaTetto = std::numeric_limits<double>::infinity();
    leggi(v.velocitaMinima, limiti.velocitaMinima, senzaTetto);
    leggi(v.velocitaMassima, limiti.velocitaMassima, senzaTetto);
    leggi(v.riempimentoMassimo, limiti.riempimentoMassimo, 100);
    return limiti;
}

formule::Geometria geometriaDi(const Verifiche& v) {
    return v.geometria == "esatta" ? formule::Geometria::Esatta : formule::Geometria::Tabellare;
}

formule::Resistenza leggeDeiTratti(formule::Resistenza linea, const Verifiche& v) {
    if (linea.legge != formule::Legge::Colebrook) {
        std::string motivo;
        linea.temperatura =
            nelCampo(v.temperatura.testo, formule::intervalloTemperatura, "°C", motivo)
                .value_or(formule::Resistenza().temperatura);
    }
    return linea;
}

namespace {

// A box's length in metres, when it holds a number within its range.
std::optional<double> misura(const Casella& casella, const tratti::Campo& campo) {
    const std::optional<double> valore = leggiNumero(casella.testo).valore;
    return valore && campo.contiene(*valore) ? valore : std::nullopt;
}

} // namespace

tratti::Impostazioni impostazioniTratti(const Verifiche& v, const Rete& rete,
                                        const formule::Resistenza& legge,
                                        const std::vector<double>& catalogo) {
    tratti::Impostazioni impostazioni;
    impostazioni.allineamento =
        tratti::allineamentoDaNome(rete.allineamento).value_or(tratti::Allineamento::Cieli);
    if (const std::optional<double> r =
            misura(rete.ricoprimentoMinimo, tratti::campoRicoprimento)) {
        impostazioni.ricoprimentoMinimo = *r;
    }
    impostazioni.profonditaMassima = misura(rete.profonditaMassima, tratti::campoProfondita);
    impostazioni.saltoMassimo = misura(rete.saltoMassimo, tratti::campoSalto);
    impostazioni.resistenza = leggeDeiTratti(legge, v);
    impostazioni.geometria = geometriaDi(v);
    impostazioni.limiti = limitiDi(v);
    if (!catalogo.empty()) {
        impostazioni.catalogo = catalogo;
    }
    return impostazioni;
}

} // namespace progetto

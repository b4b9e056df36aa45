#include "analisi/pendenze.h"

#include "errori/errore_runtime.h"

#include <boost/math/tools/toms748_solve.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace analisi {

namespace {

constexpr std::uintmax_t passiMassimi = 200;

// The root of a function that rises across [da, a], by the bracketing the
// other answers use; the end where it is already reached when it does not
// change sign.
template <typename Funzione> double radice(Funzione f, double da, double a) {
    const double fDa = f(da);
    const double fA = f(a);
    if (!(fDa < 0)) {
        return da;
    }
    if (!(fA > 0)) {
        return a;
    }
    std::uintmax_t iterazioni = passiMassimi;
    const auto [basso, alto] = boost::math::tools::toms748_solve(
        f, da, a, fDa, fA, boost::math::tools::eps_tolerance<double>(48), iterazioni);
    return (basso + alto) / 2;
}

// The lowest heights a flow can run at, as the slope grows: from the
// maximum of the flow down to the invert. Where the table's rounded
// constants leave the flow a step down just above r/5, the heights between
// r/5 and the one that gives back the flow at r/5 are never the lowest.
class Bagnato {
  public:
    Bagnato(const Sezione& s, const AltezzeMassime& massime)
        : s_(s), quinto_(s.raggio / 5), massimo_(massime.portata) {}

    // Searched only when a bound falls near it: most never do.
    double inizioFianchi() const {
        if (!inizioFianchi_) {
            const double sopra = std::nextafter(quinto_, massimo_);
            const double alQuinto = portata(quinto_);
            inizioFianchi_ =
                portata(sopra) >= alQuinto
                    ? sopra
                    : radice([&](double h) { return portata(h) - alQuinto; }, sopra, massimo_);
        }
        return *inizioFianchi_;
    }
    // Whether h is above the heights no flow runs at lowest, without
    // searching where they end.
    bool suiFianchi(double h) const {
        return inizioFianchi_ ? h >= *inizioFianchi_
                              : portata(h) >= portata(quinto_) || h >= inizioFianchi();
    }

    // Both vanish with the water; the formulas cannot be evaluated far
    // down the invert, where its ratio rounds to 1.
    double area(double h) const { return valore(h, &Grandezze::area); }
    double portata(double h) const { return valore(h, &Grandezze::portata); }

    // The slope at which `q` runs at height h: under Chézy's form the flow
    // grows as the root of the slope; under Colebrook–White it is found.
    double pendenzaPer(double q, double h) const {
        const double qQui = portata(h);
        const double stima = s_.pendenza * (q / qQui) * (q / qQui);
        if (formaDiChezy(s_.resistenza)) {
            return stima;
        }
        const auto scarto = [&](double i) {
            Sezione altra = s_;
            altra.pendenza = i;
            return grandezze(altra, h).portata - q;
        };
        double basso = stima / 2;
        double alto = stima * 2;
        for (int passo = 0; passo < 60 && scarto(basso) > 0; ++passo) {
            basso /= 2;
        }
        for (int passo = 0; passo < 60 && scarto(alto) < 0; ++passo) {
            alto *= 2;
        }
        return radice(scarto, basso, alto);
    }

    // Of the heights a flow runs at, the lowest whose area passes
    // `limite`: above it a flow of limit × V runs slower than V. None when
    // no such height passes it.
    std::optional<double> primaOltre(double limite) const {
        const auto scarto = [&](double h) { return area(h) - limite; };
        if (area(quinto_) > limite) {
            return radice(scarto, 0, quinto_);
        }
        if (!(area(massimo_) > limite)) {
            return std::nullopt;
        }
        // The area grows with the height: its root above r/5 stands, unless
        // it falls short of the flanks, whose start is then the answer.
        const double sopra = radice(scarto, quinto_, massimo_);
        return suiFianchi(sopra) ? sopra : inizioFianchi();
    }

    // Of the heights a flow runs at, the highest whose area is short of
    // `limite`: below it a flow of limit × V runs faster than V.
    double ultimaSotto(double limite) const {
        const auto scarto = [&](double h) { return area(h) - limite; };
        if (area(quinto_) < limite) {
            if (const double sopra = radice(scarto, quinto_, massimo_); suiFianchi(sopra)) {
                return sopra;
            }
        }
        return radice(scarto, 0, quinto_);
    }

    // The nearest height at or above h that is a flow's lowest, below the
    // maximum.
    double altezzaRaggiungibile(double h) const {
        return h > quinto_ && h < massimo_ && !suiFianchi(h) ? inizioFianchi()
                                                             : std::min(h, massimo_);
    }

  private:
    double valore(double h, double Grandezze::*quale) const {
        if (h <= 0) {
            return 0;
        }
        try {
            return ricordate(h).*quale;
        } catch (const ErroreRuntime&) {
            if (h < quinto_) {
                return 0;
            }
            throw;
        }
    }

    // The searches come back to the same heights (r/5, the maximum, the
    // ends of each bracket, the root they found): the last few are kept.
    const Grandezze& ricordate(double h) const {
        for (const Grandezze& g : ricordo_) {
            if (g.altezza == h) {
                return g;
            }
        }
        Grandezze& posto = ricordo_[prossimo_];
        posto = grandezze(s_, h);
        prossimo_ = (prossimo_ + 1) % ricordo_.size();
        return posto;
    }

    const Sezione& s_;
    double quinto_;
    double massimo_;
    mutable std::optional<double> inizioFianchi_;
    mutable std::array<Grandezze, 6> ricordo_{};
    mutable std::size_t prossimo_ = 0;
};

} // namespace

PendenzeAmmesse pendenzeAmmesse(const Sezione& sezione, const AltezzeMassime& massime,
                                double portata, std::optional<double> portataMinima,
                                const Limiti& limiti) {
    const Bagnato bagnato(sezione, massime);
    PendenzeAmmesse esito;
    const auto alzaMinima = [&](double pendenza, VincoloPendenza vincolo) {
        if (!esito.minima || pendenza > *esito.minima) {
            esito.minima = pendenza;
            esito.vincoloMinima = vincolo;
        }
    };
    // The flow must run below its maximum, and under the filling allowed.
    const double riempimento =
        bagnato.altezzaRaggiungibile(limiti.riempimentoMassimo * sezione.altezzaPiena());
    alzaMinima(bagnato.pendenzaPer(portata, riempimento), VincoloPendenza::Riempimento);
    if (limiti.velocitaMinima > 0) {
        for (const std::optional<double> q : {std::optional(portata), portataMinima}) {
            if (q && *q > 0) {
                if (const std::optional<double> h =
                        bagnato.primaOltre(*q / limiti.velocitaMinima)) {
                    alzaMinima(bagnato.pendenzaPer(*q, *h), VincoloPendenza::Autopulizia);
                }
            }
        }
    }
    if (limiti.velocitaMassima > 0) {
        esito.massima =
            bagnato.pendenzaPer(portata, bagnato.ultimaSotto(portata / limiti.velocitaMassima));
    }
    return esito;
}

} // namespace analisi

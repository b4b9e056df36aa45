#include "analisi/risposte.h"

#include "errori/errore_runtime.h"

#include <boost/math/constants/constants.hpp>
#include <boost/math/differentiation/autodiff.hpp>
#include <boost/math/tools/minima.hpp>
#include <boost/math/tools/toms748_solve.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace {

// A number that carries its derivative along: the formulas run on it give
// the slope of the flow or the velocity against the height, exactly.
using Derivabile = boost::math::differentiation::autodiff_fvar<double, 1>;

} // namespace

template <> struct formule::Aritmetica<Derivabile> {
    static Derivabile seno(const Derivabile& x) { return sin(x); }
    static Derivabile arcotangente(const Derivabile& x) { return atan(x); }
    static Derivabile radice(const Derivabile& x) { return sqrt(x); }
    static Derivabile quadrato(const Derivabile& x) { return x * x; }
    static Derivabile potenza(const Derivabile& x, double esponente) { return pow(x, esponente); }
    // The automatic differentiation has no base-10 logarithm of its own.
    static Derivabile logaritmo10(const Derivabile& x) {
        return log(x) / boost::math::constants::ln_ten<double>();
    }
    static double valore(const Derivabile& x) { return static_cast<double>(x); }
};

namespace analisi {

namespace {

// What the formulas hand over, but for the ratio and the angle, which are
// work values.
template <typename Numero> struct Raccolta {
    Numero contorno{0.0}, area{0.0}, raggioIdr{0.0}, chezy{0.0}, velocita{0.0}, portata{0.0};
};

template <typename Numero> class Consegna {
  public:
    explicit Consegna(Raccolta<Numero>& r) : r_(r) {}
    void rapporto(const Numero&) {}
    void angolo(const Numero&) {}
    void contorno(const Numero& v) { r_.contorno = v; }
    void area(const Numero& v) { r_.area = v; }
    void raggioIdr(const Numero& v) { r_.raggioIdr = v; }
    void chezy(const Numero& v) { r_.chezy = v; }
    void velocita(const Numero& v) { r_.velocita = v; }
    void portata(const Numero& v) { r_.portata = v; }

  private:
    Raccolta<Numero>& r_;
};

template <typename Numero> Raccolta<Numero> calcola(const Sezione& s, const Numero& altezza) {
    Raccolta<Numero> raccolta;
    Consegna<Numero> consegna(raccolta);
    formule::calcolaAltezza(altezza, Numero(s.raggio), s.resistenza, s.pendenza, s.geometria,
                            consegna);
    return raccolta;
}

enum class Quantita { Velocita, Portata };

double di(const Grandezze& g, Quantita q) {
    return q == Quantita::Velocita ? g.velocita : g.portata;
}

// The searches over one section, counting every evaluation of the formulas:
// each search stops after a fixed number of steps, whatever the section.
class Ricerca {
  public:
    // `bordi`, when given, keeps the values at r/5 and just above it, where
    // every search over the section starts.
    Ricerca(const Sezione& s, std::size_t& valutazioni, Bordi* bordi = nullptr)
        : s_(s), valutazioni_(valutazioni), bordi_(bordi) {}

    // Both vanish with the water; the formulas cannot be evaluated at
    // h = 0, nor where h is so small that the invert's ratio rounds to 1.
    double valoreA(double altezza, Quantita q) const {
        if (altezza <= 0) {
            return 0;
        }
        try {
            return di(grandezzeContate(altezza), q);
        } catch (const ErroreRuntime&) {
            if (altezza < s_.raggio / 5) {
                return 0;
            }
            throw;
        }
    }

    double derivata(double altezza, Quantita q) const {
        ++valutazioni_;
        const Raccolta<Derivabile> r =
            calcola(s_, boost::math::differentiation::make_fvar<double, 1>(altezza));
        return (q == Quantita::Velocita ? r.velocita : r.portata).derivative(1);
    }

    Grandezze grandezzeContate(double altezza) const {
        std::optional<Grandezze>* ricordata = nullptr;
        if (bordi_ != nullptr) {
            const double quinto = s_.raggio / 5;
            ricordata = altezza == quinto                                      ? &bordi_->quinto
                        : altezza == std::nextafter(quinto, s_.altezzaPiena()) ? &bordi_->sopra
                                                                               : nullptr;
        }
        if (ricordata != nullptr && *ricordata) {
            return **ricordata;
        }
        ++valutazioni_;
        const Grandezze g = grandezze(s_, altezza);
        if (ricordata != nullptr) {
            *ricordata = g;
        }
        return g;
    }

    double altezzaMassimo(Quantita q) const;
    // `alMassimo` is the section at the height of the quantity's maximum,
    // already known. With `soloLaPrima`, the lowest height alone.
    std::vector<Grandezze> altezzePer(Quantita q, double obiettivo, const Grandezze& alMassimo,
                                      bool soloLaPrima = false) const;

  private:
    static constexpr std::uintmax_t passiMassimi = 200;

    const Sezione& s_;
    std::size_t& valutazioni_;
    Bordi* bordi_;
};

// The height of the largest value: a coarse look over the side arcs and the
// crown brackets it, Brent's method finds it as far as values can tell it
// (about 1e-8), and the root of the exact derivative nearby pins it down.
double Ricerca::altezzaMassimo(Quantita q) const {
    const double piena = s_.altezzaPiena();
    const double inizio = std::nextafter(s_.raggio / 5, piena);
    constexpr int campioni = 24;
    const auto altezzaCampione = [&](int j) {
        return j >= campioni ? piena : inizio + (piena - inizio) * j / campioni;
    };
    int migliore = 0;
    double valoreMigliore = -std::numeric_limits<double>::infinity();
    for (int j = 0; j <= campioni; ++j) {
        const double v = valoreA(altezzaCampione(j), q);
        if (v > valoreMigliore) {
            valoreMigliore = v;
            migliore = j;
        }
    }
    const double a = altezzaCampione(std::max(0, migliore - 1));
    const double b = altezzaCampione(std::min(campioni, migliore + 1));
    std::uintmax_t iterazioni = passiMassimi;
    const double grezza =
        boost::math::tools::brent_find_minima([&](double h) { return -valoreA(h, q); }, a, b,
                                              std::numeric_limits<double>::digits / 2, iterazioni)
            .first;

    // A bracket around the rough maximum, widened sixteenfold at each step
    // until the derivative changes sign across it: a few steps reach the
    // whole of [a, b].
    const auto pendenza = [&](double h) { return derivata(h, q); };
    double scarto = 1e-6 * piena;
    for (int allargamento = 0; allargamento < 8 && scarto < b - a; ++allargamento, scarto *= 16) {
        const double sotto = std::max(a, grezza - scarto);
        const double sopra = std::min(b, grezza + scarto);
        const double pendenzaSotto = pendenza(sotto);
        const double pendenzaSopra = pendenza(sopra);
        if (pendenzaSotto > 0 && pendenzaSopra < 0) {
            iterazioni = passiMassimi;
            const auto [basso, alto] = boost::math::tools::toms748_solve(
                pendenza, sotto, sopra, pendenzaSotto, pendenzaSopra,
                boost::math::tools::eps_tolerance<double>(48), iterazioni);
            return (basso + alto) / 2;
        }
    }
    return grezza;
}

// Every height where the quantity takes the value: one root on each
// stretch where it is monotone, rising from the invert to r/5, rising again
// from just above r/5 (where the table's rounded constants leave a step) to
// its maximum, falling from there to the full section.
std::vector<Grandezze> Ricerca::altezzePer(Quantita q, double obiettivo, const Grandezze& alMassimo,
                                           bool soloLaPrima) const {
    std::vector<Grandezze> trovate;
    if (!(obiettivo > 0)) {
        return trovate;
    }
    const double quinto = s_.raggio / 5;
    const double piena = s_.altezzaPiena();
    const double altezzaMassimo = alMassimo.altezza;
    const double tratti[3][2] = {
        {0, quinto}, {std::nextafter(quinto, piena), altezzaMassimo}, {altezzaMassimo, piena}};
    const auto scarto = [&](double h) {
        return (h == altezzaMassimo ? di(alMassimo, q) : valoreA(h, q)) - obiettivo;
    };
    // A height is given only where the formulas give the value back: far
    // down the invert, where the ratio rounds to 1, they cannot.
    const auto restituita = [&](double h) -> std::optional<Grandezze> {
        try {
            const Grandezze g = h == altezzaMassimo ? alMassimo : grandezzeContate(h);
            return std::fabs(di(g, q) - obiettivo) <= 1e-6 * obiettivo ? std::optional(g)
                                                                       : std::nullopt;
        } catch (const ErroreRuntime&) {
            return std::nullopt;
        }
    };
    for (const auto& [da, a] : tratti) {
        if (!(da < a)) {
            continue;
        }
        const double scartoDa = scarto(da);
        const double scartoA = scarto(a);
        std::optional<double> radice;
        if (scartoDa == 0) {
            radice = da;
        } else if (scartoA == 0) {
            radice = a;
        } else if ((scartoDa < 0) != (scartoA < 0)) {
            std::uintmax_t iterazioni = passiMassimi;
            const auto [basso, alto] = boost::math::tools::toms748_solve(
                scarto, da, a, scartoDa, scartoA, boost::math::tools::eps_tolerance<double>(48),
                iterazioni);
            radice = (basso + alto) / 2;
        }
        if (const std::optional<Grandezze> g = radice ? restituita(*radice) : std::nullopt) {
            trovate.push_back(*g);
            // The stretches go up the section: the first root is the lowest.
            if (soloLaPrima) {
                return trovate;
            }
        }
    }
    // Where the quantity is continuous, two stretches meet in one root.
    const auto piuBassa = [](const Grandezze& x, const Grandezze& y) {
        return x.altezza < y.altezza;
    };
    std::sort(trovate.begin(), trovate.end(), piuBassa);
    trovate.erase(std::unique(trovate.begin(), trovate.end(),
                              [&](const Grandezze& x, const Grandezze& y) {
                                  return y.altezza - x.altezza <= 1e-12 * piena;
                              }),
                  trovate.end());
    return trovate;
}

// A section whose full-section values are not normal doubles (too small to
// carry their digits, or zero) cannot be searched: refused before any
// search begins.
void verificaScala(const Grandezze& piena) {
    for (const double v :
         {piena.area, piena.contorno, piena.raggioIdr, piena.velocita, piena.portata}) {
        if (!std::isnormal(v)) {
            throw ErroreRuntime(TipoErrore::Underflow);
        }
    }
}

} // namespace

double Sezione::altezzaPiena() const {
    return (Reale(3.0) * raggio).valore();
}

Grandezze grandezze(const Sezione& sezione, double altezza) {
    const Raccolta<Reale> r = calcola(sezione, Reale(altezza));
    return {altezza,          r.area.valore(),     r.contorno.valore(), r.raggioIdr.valore(),
            r.chezy.valore(), r.velocita.valore(), r.portata.valore()};
}

bool formaDiChezy(const formule::Resistenza& resistenza) {
    return resistenza.legge != formule::Legge::Colebrook;
}

AltezzeMassime altezzeMassime(const Sezione& sezione, std::size_t* valutazioni) {
    std::size_t contate = 0;
    const auto cerca = [&](const Sezione& s) {
        verificaScala(grandezze(s, s.altezzaPiena()));
        const Ricerca ricerca(s, contate);
        return AltezzeMassime{ricerca.altezzaMassimo(Quantita::Velocita),
                              ricerca.altezzaMassimo(Quantita::Portata)};
    };
    AltezzeMassime massime;
    // A slope of reference a sewer may have; a section too large or too
    // small to be computed at it is searched at its own slope.
    constexpr double pendenzaDiRiferimento = 0.01;
    Sezione riferimento = sezione;
    riferimento.pendenza = pendenzaDiRiferimento;
    try {
        massime = cerca(formaDiChezy(sezione.resistenza) ? riferimento : sezione);
    } catch (const ErroreRuntime&) {
        if (!formaDiChezy(sezione.resistenza)) {
            throw;
        }
        massime = cerca(sezione);
    }
    if (valutazioni != nullptr) {
        *valutazioni += contate;
    }
    return massime;
}

Risposte::Risposte(const Sezione& sezione) : sezione_(sezione) {
    alleMassime(altezzeMassime(sezione, &valutazioni_));
}

Risposte::Risposte(const Sezione& sezione, const AltezzeMassime& massime) : sezione_(sezione) {
    alleMassime(massime);
}

void Risposte::alleMassime(const AltezzeMassime& massime) {
    piena_ = allAltezza(sezione_.altezzaPiena());
    verificaScala(piena_);
    velocitaMassima_ = allAltezza(massime.velocita);
    portataMassima_ = allAltezza(massime.portata);
}

Risposta Risposte::allAltezza(double altezza) const {
    return risposta(grandezze(sezione_, altezza));
}

Risposta Risposte::risposta(const Grandezze& g) const {
    Risposta r;
    static_cast<Grandezze&>(r) = g;
    r.riempimento = g.altezza / sezione_.altezzaPiena();
    r.portataRelativa = piena_.portata > 0 ? r.portata / piena_.portata : 1.0;
    return r;
}

std::vector<Risposta> Risposte::perPortata(double portata) const {
    return alleAltezze(Ricerca(sezione_, valutazioni_, &bordi_)
                           .altezzePer(Quantita::Portata, portata, portataMassima_));
}

std::optional<Risposta> Risposte::primaPerPortata(double portata) const {
    const std::vector<Grandezze> trovate =
        Ricerca(sezione_, valutazioni_, &bordi_)
            .altezzePer(Quantita::Portata, portata, portataMassima_, true);
    return trovate.empty() ? std::nullopt : std::optional(risposta(trovate.front()));
}

std::vector<Risposta> Risposte::perVelocita(double velocita) const {
    return alleAltezze(Ricerca(sezione_, valutazioni_, &bordi_)
                           .altezzePer(Quantita::Velocita, velocita, velocitaMassima_));
}

std::vector<Risposta> Risposte::alleAltezze(const std::vector<Grandezze>& trovate) const {
    std::vector<Risposta> esito;
    for (const Grandezze& g : trovate) {
        esito.push_back(risposta(g));
    }
    return esito;
}

std::vector<Grandezze> curva(const Sezione& sezione, int punti) {
    std::vector<Grandezze> esito;
    esito.reserve(static_cast<std::size_t>(std::max(punti, 0)));
    const double piena = sezione.altezzaPiena();
    for (int k = 1; k <= punti; ++k) {
        esito.push_back(grandezze(sezione, piena * (static_cast<double>(k) / punti)));
    }
    return esito;
}

double scartoTabellarePercento(const Sezione& sezione, double altezza) {
    Sezione tabellare = sezione;
    tabellare.geometria = formule::Geometria::Tabellare;
    Sezione esatta = sezione;
    esatta.geometria = formule::Geometria::Esatta;
    return (grandezze(tabellare, altezza).portata / grandezze(esatta, altezza).portata - 1) * 100;
}

} // namespace analisi

#include "tratti/profilo.h"

#include "numeri/conversioni.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <unordered_set>

namespace tratti {

namespace {

constexpr std::size_t nessuno = static_cast<std::size_t>(-1);

std::string tra(const std::string& nome) {
    return "«" + nome + "»";
}

bool unito(const Tratto& t) {
    return !t.pozzettoMonte.empty() && !t.pozzettoValle.empty() &&
           t.pozzettoMonte != t.pozzettoValle;
}

double lunghezzaUsabile(const Tratto& t) {
    return t.lunghezza && std::isfinite(*t.lunghezza) && *t.lunghezza > 0 ? *t.lunghezza : 0;
}

} // namespace

std::optional<double> PozzettoProfilo::fondo() const {
    if (fondoArrivo && fondoPartenza) {
        return std::min(*fondoArrivo, *fondoPartenza);
    }
    return fondoArrivo ? fondoArrivo : fondoPartenza;
}

std::string TrattoProfilo::sezione() const {
    // A size too large to be a number has none to write.
    if (!std::isfinite(3 * raggio)) {
        return "–";
    }
    return CStr(2 * raggio) + "/" + CStr(3 * raggio);
}

std::optional<double> TrattoProfilo::fondoA(double progressiva) const {
    if (!fondoMonte || !fondoValle) {
        return std::nullopt;
    }
    const double t = lunghezza() > 0 ? std::clamp((progressiva - da) / lunghezza(), 0.0, 1.0) : 0;
    return *fondoMonte + (*fondoValle - *fondoMonte) * t;
}

LivelliProfilo TrattoProfilo::livelliA(double progressiva) const {
    LivelliProfilo livelli;
    livelli.fondo = fondoA(progressiva);
    if (livelli.fondo) {
        livelli.cielo = *livelli.fondo + altezzaPiena;
        if (acquaProgetto) {
            livelli.acquaProgetto = *livelli.fondo + *acquaProgetto;
        }
        if (acquaMinima) {
            livelli.acquaMinima = *livelli.fondo + *acquaMinima;
        }
    }
    return livelli;
}

std::pair<std::size_t, std::size_t> Profilo::trattiTra(double da, double a) const {
    const auto primo = std::upper_bound(tratti.begin(), tratti.end(), da,
                                        [](double x, const TrattoProfilo& t) { return x < t.a; });
    const auto fine = std::lower_bound(primo, tratti.end(), a,
                                       [](const TrattoProfilo& t, double x) { return t.da < x; });
    return {static_cast<std::size_t>(primo - tratti.begin()),
            static_cast<std::size_t>(fine - tratti.begin())};
}

std::pair<std::size_t, std::size_t> Profilo::pozzettiTra(double da, double a) const {
    const auto primo =
        std::lower_bound(pozzetti.begin(), pozzetti.end(), da,
                         [](const PozzettoProfilo& p, double x) { return p.progressiva < x; });
    const auto fine =
        std::upper_bound(primo, pozzetti.end(), a,
                         [](double x, const PozzettoProfilo& p) { return x < p.progressiva; });
    return {static_cast<std::size_t>(primo - pozzetti.begin()),
            static_cast<std::size_t>(fine - pozzetti.begin())};
}

LivelliProfilo livelliA(const Profilo& profilo, double progressiva) {
    if (profilo.tratti.empty()) {
        return {};
    }
    const auto dopo = std::upper_bound(profilo.tratti.begin(), profilo.tratti.end(), progressiva,
                                       [](double x, const TrattoProfilo& t) { return x < t.a; });
    const std::size_t k = dopo == profilo.tratti.end()
                              ? profilo.tratti.size() - 1
                              : static_cast<std::size_t>(dopo - profilo.tratti.begin());
    const TrattoProfilo& t = profilo.tratti[k];
    const PozzettoProfilo& monte = profilo.pozzetti[k];
    const PozzettoProfilo& valle = profilo.pozzetti[k + 1];
    const double frazione =
        t.lunghezza() > 0 ? std::clamp((progressiva - t.da) / t.lunghezza(), 0.0, 1.0) : 0;
    LivelliProfilo livelli = t.livelliA(progressiva);
    if (monte.terreno && valle.terreno) {
        livelli.terreno = *monte.terreno + (*valle.terreno - *monte.terreno) * frazione;
    }
    return livelli;
}

std::optional<double> livelloSulTratto(const Profilo& profilo, const TrattoProfilo& tratto,
                                       double progressiva, Linea linea) {
    if (linea != &LivelliProfilo::terreno) {
        return tratto.livelliA(progressiva).*linea;
    }
    // The ground between the reach's own two manholes: at its end the next
    // reach's would ask a manhole further on for its ground.
    const auto k = static_cast<std::size_t>(&tratto - profilo.tratti.data());
    const std::optional<double> monte = profilo.pozzetti[k].terreno;
    const std::optional<double> valle = profilo.pozzetti[k + 1].terreno;
    if (!monte || !valle) {
        return std::nullopt;
    }
    const double frazione =
        tratto.lunghezza() > 0
            ? std::clamp((progressiva - tratto.da) / tratto.lunghezza(), 0.0, 1.0)
            : 0;
    return *monte + (*valle - *monte) * frazione;
}

Percorsi::Percorsi(const std::vector<Tratto>& tratti, const EsitiRete& rete)
    : tratti_(tratti), rete_(rete) {
    std::unordered_set<std::string_view> arrivi;
    for (std::size_t k = 0; k < tratti.size(); ++k) {
        const Tratto& t = tratti[k];
        if (!unito(t)) {
            continue;
        }
        arrivi.insert(t.pozzettoValle);
        // A manhole with two reaches leaving it heads no path.
        const auto [dove, nuovo] = uscita_.try_emplace(t.pozzettoMonte, k);
        if (!nuovo) {
            dove->second = nessuno;
        }
    }
    for (std::size_t p = 0; p < rete.pozzetti.size(); ++p) {
        pozzetto_.try_emplace(rete.pozzetti[p].nome, p);
    }
    for (const Albero& albero : rete.alberi) {
        sbocchi_.insert(albero.sbocco);
    }
    // Each manhole's way to its outlet, walked once: the distance and the
    // outlet, or none where the walk splits, loops or ends outside a tree.
    struct Via {
        double distanza = 0;
        std::string_view sbocco;
        bool valida = false;
    };
    std::unordered_map<std::string_view, Via> vie;
    const auto via = [&](std::string_view inizio) {
        std::vector<std::string_view> catena;
        std::unordered_set<std::string_view> visti;
        std::string_view qui = inizio;
        Via fine;
        while (true) {
            if (const auto nota = vie.find(qui); nota != vie.end()) {
                fine = nota->second;
                break;
            }
            const auto uscente = uscita_.find(qui);
            if (uscente == uscita_.end()) {
                fine = {0, qui, sbocchi_.count(qui) > 0};
                vie.emplace(qui, fine);
                break;
            }
            if (uscente->second == nessuno || !visti.insert(qui).second) {
                break;
            }
            catena.push_back(qui);
            qui = tratti[uscente->second].pozzettoValle;
        }
        for (auto p = catena.rbegin(); p != catena.rend(); ++p) {
            fine.distanza += lunghezzaUsabile(tratti[uscita_.at(*p)]);
            vie.emplace(*p, fine);
        }
        return fine;
    };
    std::unordered_set<std::string_view> trovate;
    for (const Tratto& t : tratti) {
        if (unito(t) && arrivi.count(t.pozzettoMonte) == 0 &&
            trovate.insert(t.pozzettoMonte).second) {
            if (const Via v = via(t.pozzettoMonte); v.valida) {
                teste_.push_back({t.pozzettoMonte, std::string(v.sbocco), v.distanza});
            }
        }
    }
    for (const auto& [nome, v] : vie) {
        if (v.valida) {
            distanza_.emplace(nome, v.distanza);
        }
    }
    std::stable_sort(teste_.begin(), teste_.end(),
                     [](const Testa& a, const Testa& b) { return a.lunghezza > b.lunghezza; });
    for (const Testa& t : teste_) {
        testeDelloSbocco_[t.sbocco].push_back(t.nome);
    }
}

std::vector<std::string> Percorsi::teste(const std::string& sbocco) const {
    const auto dove = testeDelloSbocco_.find(sbocco);
    return dove == testeDelloSbocco_.end() ? std::vector<std::string>{} : dove->second;
}

std::optional<std::string> Percorsi::testaPiuLunga() const {
    return teste_.empty() ? std::nullopt : std::optional(teste_.front().nome);
}

// Only from a manhole whose way to an outlet was found: that way neither
// splits nor loops.
std::vector<std::size_t> Percorsi::cammino(const std::string& inizio, std::string_view fine) const {
    std::vector<std::size_t> cammino;
    if (distanza_.count(inizio) == 0) {
        return cammino;
    }
    for (std::string_view qui = inizio; qui != fine;) {
        const auto uscente = uscita_.find(qui);
        if (uscente == uscita_.end()) {
            return fine.empty() ? cammino : std::vector<std::size_t>{};
        }
        cammino.push_back(uscente->second);
        qui = tratti_[uscente->second].pozzettoValle;
    }
    return cammino;
}

Profilo Percorsi::da(const std::string& testa) const {
    return da(testa, {});
}

Profilo Percorsi::da(const std::string& testa, const std::string& fine) const {
    const std::vector<std::size_t> passi = cammino(testa, fine);
    if (!passi.empty()) {
        return profiloDi(testa, passi);
    }
    if (!fine.empty() && !cammino(testa).empty()) {
        throw std::invalid_argument("il pozzetto " + tra(fine) + " non è sul percorso da " +
                                    tra(testa) + " allo sbocco");
    }
    const bool nominato = uscita_.count(testa) > 0 ||
                          std::any_of(tratti_.begin(), tratti_.end(),
                                      [&](const Tratto& t) { return t.pozzettoValle == testa; });
    throw std::invalid_argument(
        !nominato ? "il pozzetto " + tra(testa) + " non è nominato da alcun tratto"
        : uscita_.count(testa) == 0
            ? "il pozzetto " + tra(testa) + " è uno sbocco: non ne parte alcun tratto"
            : "dal pozzetto " + tra(testa) +
                  " non parte un percorso di una rete senza errori fino al suo sbocco");
}

Profilo Percorsi::profiloDi(const std::string& testa, const std::vector<std::size_t>& passi) const {
    Profilo profilo;
    const auto pozzetto = [&](const std::string& nome, double progressiva) {
        PozzettoProfilo p;
        p.nome = nome;
        p.progressiva = progressiva;
        if (const auto dove = pozzetto_.find(nome); dove != pozzetto_.end()) {
            p.terreno = rete_.pozzetti[dove->second].quotaTerreno;
        }
        return p;
    };
    double progressiva = 0;
    profilo.pozzetti.push_back(pozzetto(testa, 0));
    for (const std::size_t k : passi) {
        const Tratto& t = tratti_[k];
        const Esito& e = rete_.esiti[k];
        const double lunghezza = lunghezzaUsabile(t);
        if (lunghezza <= 0) {
            throw std::invalid_argument("il tratto " + tra(t.nome) +
                                        " non ha una lunghezza positiva: il profilo ne ha "
                                        "bisogno");
        }
        TrattoProfilo tp;
        tp.indice = k;
        tp.nome = t.nome;
        tp.da = progressiva;
        tp.a = progressiva + lunghezza;
        tp.pendenza = e.pendenza;
        tp.raggio = e.raggio;
        tp.fondoMonte = e.quotaMonte;
        tp.fondoValle = e.quotaValle;
        tp.altezzaPiena = 3 * e.raggio / 100;
        if (e.progetto) {
            tp.acquaProgetto = e.progetto->altezza;
            tp.riempimento = e.progetto->riempimento;
        }
        if (e.minima) {
            tp.acquaMinima = e.minima->altezza;
        }
        tp.portata = t.portata;
        tp.verificato = e.calcolato && e.verificato;
        tp.rilievi = e.rilievi;
        profilo.conQuote = profilo.conQuote || e.quotaMonte || e.quotaValle;
        profilo.pozzetti.back().fondoPartenza = e.quotaMonte;
        progressiva = tp.a;
        profilo.pozzetti.push_back(pozzetto(t.pozzettoValle, progressiva));
        profilo.pozzetti.back().fondoArrivo = e.quotaValle;
        profilo.tratti.push_back(std::move(tp));
    }
    return profilo;
}

// The heads taken from the longest path down: each walks until a manhole
// some path already holds, so every reach is walked once. Then the order
// of the drawing, by a stack rather than recursion: a tree may nest its
// branches thousands deep.
std::vector<Percorso> Percorsi::daDisegnare(const std::string& sbocco) const {
    const auto teste = testeDelloSbocco_.find(sbocco);
    if (teste == testeDelloSbocco_.end()) {
        return {};
    }
    std::vector<Percorso> trovati;
    std::vector<std::size_t> su; // the path each joins, by its place in `trovati`
    std::unordered_map<std::string_view, std::size_t> tenuti; // a manhole's path
    for (const std::string& testa : teste->second) {
        const std::size_t questo = trovati.size();
        std::string_view qui = testa;
        auto tenuto = tenuti.find(qui);
        for (; tenuto == tenuti.end(); tenuto = tenuti.find(qui)) {
            tenuti.emplace(qui, questo);
            const auto uscente = uscita_.find(qui);
            if (uscente == uscita_.end()) {
                break;
            }
            qui = tratti_[uscente->second].pozzettoValle;
        }
        Percorso p;
        p.testa = testa;
        p.fine = std::string(qui);
        p.lunghezza = distanza_.at(testa) - distanza_.at(qui);
        su.push_back(tenuto == tenuti.end() ? questo : tenuto->second);
        trovati.push_back(std::move(p));
    }
    std::vector<std::vector<std::size_t>> rami(trovati.size());
    for (std::size_t k = 1; k < trovati.size(); ++k) {
        rami[su[k]].push_back(k);
    }
    std::vector<Percorso> ordinati;
    ordinati.reserve(trovati.size());
    std::vector<std::size_t> pila{0};
    while (!pila.empty()) {
        const std::size_t k = pila.back();
        pila.pop_back();
        std::vector<std::size_t>& figli = rami[k];
        std::stable_sort(figli.begin(), figli.end(), [&](std::size_t a, std::size_t b) {
            return trovati[a].lunghezza > trovati[b].lunghezza;
        });
        pila.insert(pila.end(), figli.rbegin(), figli.rend());
        if (k != 0) {
            trovati[k].innesto = trovati[su[k]].testa;
        }
        ordinati.push_back(trovati[k]);
    }
    return ordinati;
}

} // namespace tratti

#include "tratti/rete.h"

#include "numeri/conversioni.h"
#include "numeri/formato.h"
#include "tratti/dimensionamento.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <map>
#include <mutex>
#include <numeric>
#include <string_view>
#include <thread>
#include <unordered_map>

namespace tratti {

bool EsitoPozzetto::verificato() const {
    return std::none_of(rilievi.begin(), rilievi.end(),
                        [](const Rilievo& r) { return r.gravita() == Gravita::Difetto; });
}

bool EsitoPozzetto::conDeroga() const {
    return std::any_of(rilievi.begin(), rilievi.end(),
                       [](const Rilievo& r) { return r.gravita() == Gravita::Deroga; });
}

namespace {

// Levels within a millimetre are the same level: surveys and drawings give
// them to the millimetre.
constexpr double tolleranza = 0.001 + 1e-9; // m

constexpr std::size_t nessuno = static_cast<std::size_t>(-1);
// A line shorter than this is computed on one thread.
constexpr std::size_t trattiPerUnAiuto = 200;

// The network's shape: the manholes by name, the reaches joining them,
// the faults of the shape, the connected parts and an order that puts every
// reach after those flowing into it.
class Forma {
  public:
    Forma(const std::vector<Tratto>& tratti, const std::vector<Pozzetto>& pozzetti)
        : monte(tratti.size(), nessuno), valle(tratti.size(), nessuno),
          parteDi(tratti.size(), nessuno), tratti_(tratti) {
        indici_.reserve(2 * tratti.size() + pozzetti.size());
        for (const Pozzetto& p : pozzetti) {
            if (indici_.count(p.nome) > 0) {
                errori.push_back({rilievoDi(Rilievo::Tipo::PozzettoElencatoDueVolte, p.nome), {}});
                continue;
            }
            indice(p.nome);
            terreno.back() = p.quotaTerreno;
            regola.back() = p.allineamento;
            dato.back() = true;
        }
        for (std::size_t k = 0; k < tratti.size(); ++k) {
            const Tratto& t = tratti[k];
            for (const std::string* nome : {&t.pozzettoMonte, &t.pozzettoValle}) {
                if (!nome->empty()) {
                    nominato_[indice(*nome)] = true;
                }
            }
            if (!t.pozzettoMonte.empty() && t.pozzettoMonte == t.pozzettoValle) {
                Rilievo suSeStesso = rilievoDi(Rilievo::Tipo::TrattoSuSeStesso, t.pozzettoMonte);
                suSeStesso.tratto = t.nome;
                errori.push_back({std::move(suSeStesso), {k}});
                continue;
            }
            if (!t.pozzettoMonte.empty()) {
                monte[k] = indice(t.pozzettoMonte);
                uscite[monte[k]].push_back(k);
            }
            if (!t.pozzettoValle.empty()) {
                valle[k] = indice(t.pozzettoValle);
                entrate[valle[k]].push_back(k);
            }
        }
        cercaDiramazioni();
        cercaAnelli();
        for (std::size_t p = 0; p < nomi.size(); ++p) {
            if (dato[p] && !nominato_[p]) {
                errori.push_back({rilievoDi(Rilievo::Tipo::PozzettoNonUsato, nomi[p]), {}});
            }
        }
        dividiInParti();
        ordina();
    }

    bool inRete(std::size_t k) const { return parteDi[k] != nessuno && !difettosa[parteDi[k]]; }

    std::vector<std::string> nomi;
    std::vector<std::optional<double>> terreno;
    std::vector<std::optional<Allineamento>> regola; // none: the line's
    std::vector<bool> dato;                          // in the list of manholes
    std::vector<std::size_t> monte, valle;
    std::vector<std::vector<std::size_t>> uscite, entrate;
    std::vector<ErroreRete> errori;
    std::vector<std::size_t> parteDi; // none for a reach that names no manhole
    std::vector<bool> difettosa;      // a part with a fault
    std::vector<std::size_t> ordine;

  private:
    std::size_t indice(const std::string& nome) {
        const auto [dove, nuovo] = indici_.try_emplace(nome, nomi.size());
        if (nuovo) {
            nomi.push_back(nome);
            terreno.emplace_back();
            regola.emplace_back();
            dato.push_back(false);
            uscite.emplace_back();
            entrate.emplace_back();
            nominato_.push_back(false);
        }
        return dove->second;
    }

    static Rilievo rilievoDi(Rilievo::Tipo tipo, const std::string& pozzetto) {
        Rilievo rilievo{tipo};
        rilievo.pozzetto = pozzetto;
        return rilievo;
    }

    // A fault of many reaches, named by its first few.
    Rilievo diMolti(Rilievo::Tipo tipo, const std::string& pozzetto,
                    const std::vector<std::size_t>& quali) const {
        Rilievo rilievo = rilievoDi(tipo, pozzetto);
        rilievo.quanti = quali.size();
        for (std::size_t i = 0; i < quali.size() && i < trattiNominati; ++i) {
            rilievo.nomi.push_back(tratti_[quali[i]].nome);
        }
        return rilievo;
    }

    void cercaDiramazioni() {
        for (std::size_t p = 0; p < nomi.size(); ++p) {
            if (uscite[p].size() > 1) {
                errori.push_back(
                    {diMolti(Rilievo::Tipo::Diramazione, nomi[p], uscite[p]), uscite[p]});
            }
        }
    }

    // Following each reach to the one leaving its downstream manhole; a
    // walk that comes back to a reach of its own is a loop.
    void cercaAnelli() {
        enum Stato : char { Nuovo, InCammino, Fatto };
        std::vector<Stato> stato(tratti_.size(), Nuovo);
        const auto seguente = [&](std::size_t k) {
            return valle[k] != nessuno && uscite[valle[k]].size() == 1 ? uscite[valle[k]].front()
                                                                       : nessuno;
        };
        for (std::size_t inizio = 0; inizio < tratti_.size(); ++inizio) {
            std::vector<std::size_t> cammino;
            std::size_t k = inizio;
            while (k != nessuno && stato[k] == Nuovo) {
                stato[k] = InCammino;
                cammino.push_back(k);
                k = seguente(k);
            }
            if (k != nessuno && stato[k] == InCammino) {
                const auto primo = std::find(cammino.begin(), cammino.end(), k);
                const std::vector<std::size_t> anello(primo, cammino.end());
                errori.push_back({diMolti(Rilievo::Tipo::Anello, nomi[monte[k]], anello), anello});
            }
            for (const std::size_t fatto : cammino) {
                stato[fatto] = Fatto;
            }
        }
    }

    // Manholes joined by a reach are in one part; a part with a faulty
    // manhole or reach is a faulty part.
    void dividiInParti() {
        std::vector<std::size_t> capo(nomi.size());
        std::iota(capo.begin(), capo.end(), 0);
        const auto trova = [&](std::size_t p) {
            while (capo[p] != p) {
                p = capo[p] = capo[capo[p]];
            }
            return p;
        };
        for (std::size_t k = 0; k < tratti_.size(); ++k) {
            if (monte[k] != nessuno && valle[k] != nessuno) {
                capo[trova(monte[k])] = trova(valle[k]);
            }
        }
        std::map<std::size_t, std::size_t> parti;
        for (std::size_t k = 0; k < tratti_.size(); ++k) {
            const std::size_t estremo = monte[k] != nessuno ? monte[k] : valle[k];
            if (estremo != nessuno) {
                parteDi[k] = parti.try_emplace(trova(estremo), parti.size()).first->second;
            }
        }
        difettosa.assign(parti.size(), false);
        for (const ErroreRete& errore : errori) {
            for (const std::size_t k : errore.tratti) {
                if (parteDi[k] != nessuno) {
                    difettosa[parteDi[k]] = true;
                }
            }
        }
    }

    // Upstream first: a reach once every reach flowing into it is placed.
    // The reaches of a faulty part, and those on their own, keep the
    // table's order.
    void ordina() {
        std::vector<std::size_t> mancanti(tratti_.size(), 0);
        for (std::size_t k = 0; k < tratti_.size(); ++k) {
            if (inRete(k) && monte[k] != nessuno) {
                mancanti[k] = entrate[monte[k]].size();
            }
        }
        ordine.reserve(tratti_.size());
        for (std::size_t k = 0; k < tratti_.size(); ++k) {
            if (mancanti[k] == 0) {
                ordine.push_back(k);
            }
        }
        for (std::size_t i = 0; i < ordine.size(); ++i) {
            const std::size_t k = ordine[i];
            if (!inRete(k) || valle[k] == nessuno) {
                continue;
            }
            for (const std::size_t seguente : uscite[valle[k]]) {
                if (--mancanti[seguente] == 0) {
                    ordine.push_back(seguente);
                }
            }
        }
    }

    const std::vector<Tratto>& tratti_;
    // Views of the names in the reaches and manholes given, which outlive
    // the shape.
    std::unordered_map<std::string_view, std::size_t> indici_;
    std::vector<bool> nominato_; // by some reach
};

// Whether every number of a reach's result can be written: one that
// cannot makes the reach "non calcolato", and the rest of the line is
// printed as usual.
bool scrivibile(const Esito& e) {
    const auto finito = [](std::optional<double> x) { return !x || std::isfinite(*x); };
    const auto risposta = [&](const std::optional<analisi::Risposta>& r) {
        return !r || (std::isfinite(r->altezza) && std::isfinite(r->velocita) &&
                      std::isfinite(r->riempimento) && std::isfinite(r->portata));
    };
    return std::isfinite(e.raggio) && std::isfinite(e.pendenza) && std::isfinite(e.portataPiena) &&
           risposta(e.progetto) && risposta(e.minima) && finito(e.pendenzaMinima) &&
           finito(e.pendenzaMassima) && finito(e.quotaMonte) && finito(e.quotaValle) &&
           finito(e.salto) && finito(e.ricoprimento);
}

std::vector<EsitoPozzetto> esitiPozzetti(const Forma& forma, const std::vector<Esito>& esiti) {
    std::vector<EsitoPozzetto> pozzetti(forma.nomi.size());
    for (std::size_t p = 0; p < forma.nomi.size(); ++p) {
        EsitoPozzetto& e = pozzetti[p];
        e.nome = forma.nomi[p];
        e.quotaTerreno = forma.terreno[p];
        e.usato = !forma.uscite[p].empty() || !forma.entrate[p].empty();
        e.sbocco = forma.uscite[p].empty() && !forma.entrate[p].empty();
        if (forma.uscite[p].size() == 1) {
            const Esito& uscente = esiti[forma.uscite[p].front()];
            e.quotaFondo = uscente.quotaMonte;
            e.salto = uscente.salto;
        }
        std::optional<double> fondo;
        const auto piuBasso = [&](std::optional<double> quota) {
            if (quota) {
                fondo = std::min(fondo.value_or(*quota), *quota);
            }
        };
        for (const std::size_t u : forma.entrate[p]) {
            if (e.sbocco && esiti[u].quotaValle) {
                e.quotaFondo =
                    std::min(e.quotaFondo.value_or(*esiti[u].quotaValle), *esiti[u].quotaValle);
            }
            piuBasso(esiti[u].quotaValle);
        }
        for (const std::size_t u : forma.uscite[p]) {
            piuBasso(esiti[u].quotaMonte);
        }
        if (e.quotaTerreno && fondo) {
            e.profondita = *e.quotaTerreno - *fondo;
        }
    }
    return pozzetti;
}

// The line's computation, one pass after the other.
class Calcolo {
  public:
    Calcolo(const std::vector<Tratto>& tratti, const Forma& forma, const Impostazioni& impostazioni,
            MassimeCondivise& massime)
        : tratti_(tratti), forma_(forma), imp_(impostazioni), massime_(massime),
          rilievi_(tratti.size()), pozzetti_(forma.nomi.size()),
          piuGrande_(tratti.size(), nessuno) {}

    // Upstream first, each reach no smaller than any size upstream of it.
    // A reach with its radius waits for none: those are computed first, a
    // few hundred at a time side by side; then each tree, one per thread at
    // a time, upstream first within it, sizes the reaches without one.
    bool dimensiona(const Verifica& verifica, const Fermo& fermo, std::vector<Esito>& esiti) const {
        esiti.resize(tratti_.size());
        return inParallelo(gruppiIndipendenti(true), false, verifica, fermo, esiti) &&
               inParallelo(gruppiIndipendenti(false), true, verifica, fermo, esiti);
    }

    // The inverts typed, else carried from the reaches upstream by the
    // alignment rule, else back up from the reach downstream (a designer
    // often fixes the outlet first); the other end by the slope over the
    // length.
    void quote(std::vector<Esito>& esiti) const {
        for (const std::size_t k : forma_.ordine) {
            Esito& e = esiti[k];
            e.quotaMonte = tratti_[k].quotaMonte;
            e.quotaValle = tratti_[k].quotaValle;
            if (!e.quotaMonte && !e.quotaValle && forma_.inRete(k)) {
                e.quotaMonte = quotaDaMonte(k, esiti);
            }
            completaConLaCaduta(k, e);
        }
        for (auto k = forma_.ordine.rbegin(); k != forma_.ordine.rend(); ++k) {
            Esito& e = esiti[*k];
            if (!e.quotaMonte && !e.quotaValle && forma_.inRete(*k)) {
                e.quotaValle = quotaDaValle(*k, esiti);
                completaConLaCaduta(*k, e);
            }
        }
    }

    // A slope typed and inverts typed over a length are one fact: a reach
    // whose two drops differ by more than a millimetre fails until they agree.
    void accordi() {
        for (std::size_t k = 0; k < tratti_.size(); ++k) {
            const Tratto& t = tratti_[k];
            if (!t.pendenza || !t.quotaMonte || !t.quotaValle || !t.lunghezza ||
                !(std::abs(*t.pendenza * *t.lunghezza - (*t.quotaMonte - *t.quotaValle)) >
                  tolleranza)) {
                continue;
            }
            Rilievo r(Rilievo::Tipo::PendenzaControQuote);
            r.valore = *t.pendenza;
            r.monte = *t.quotaMonte;
            r.valle = *t.quotaValle;
            r.lunghezza = *t.lunghezza;
            rilievi_[k].push_back(std::move(r));
        }
    }

    // Where a tree has levels, each reach the levels do not reach is told
    // why: the reach without a length or a slope where they stopped, found
    // upstream first, then downstream.
    void interruzioni(const std::vector<Esito>& esiti) {
        std::vector<bool> conQuote(forma_.difettosa.size(), false);
        std::vector<bool> conTerreno(forma_.difettosa.size(), false);
        for (std::size_t k = 0; k < tratti_.size(); ++k) {
            if (forma_.inRete(k) && (esiti[k].quotaMonte || esiti[k].quotaValle)) {
                conQuote[forma_.parteDi[k]] = true;
            }
            for (const std::size_t p : {forma_.monte[k], forma_.valle[k]}) {
                if (forma_.inRete(k) && p != nessuno && forma_.terreno[p]) {
                    conTerreno[forma_.parteDi[k]] = true;
                }
            }
        }
        // A tree given its ground but no invert at all cannot check its
        // cover: said for each of its reaches, never passed in silence.
        for (std::size_t k = 0; k < tratti_.size(); ++k) {
            if (forma_.inRete(k) && conTerreno[forma_.parteDi[k]] && !conQuote[forma_.parteDi[k]]) {
                rilievi_[k].push_back(Rilievo(Rilievo::Tipo::QuoteNonCalcolate));
            }
        }
        const auto senza = [&](std::size_t k) {
            return forma_.inRete(k) && conQuote[forma_.parteDi[k]] &&
                   (!esiti[k].quotaMonte || !esiti[k].quotaValle);
        };
        std::vector<std::size_t> causa(tratti_.size(), nessuno);
        for (const std::size_t k : forma_.ordine) {
            if (!senza(k)) {
                continue;
            }
            if (!tratti_[k].lunghezza || !(esiti[k].pendenza > 0)) {
                causa[k] = k;
            } else if (forma_.monte[k] != nessuno) {
                for (const std::size_t u : forma_.entrate[forma_.monte[k]]) {
                    if (causa[u] != nessuno) {
                        causa[k] = causa[u];
                        break;
                    }
                }
            }
        }
        for (auto k = forma_.ordine.rbegin(); k != forma_.ordine.rend(); ++k) {
            if (senza(*k) && causa[*k] == nessuno && forma_.valle[*k] != nessuno &&
                forma_.uscite[forma_.valle[*k]].size() == 1) {
                causa[*k] = causa[forma_.uscite[forma_.valle[*k]].front()];
            }
        }
        for (std::size_t k = 0; k < tratti_.size(); ++k) {
            if (causa[k] != nessuno) {
                Rilievo r(Rilievo::Tipo::QuoteNonCalcolate);
                r.altro = tratti_[causa[k]].nome;
                r.senzaLunghezza = !tratti_[causa[k]].lunghezza;
                rilievi_[k].push_back(std::move(r));
            }
        }
    }

    // The checks at each reach's upstream manhole, and over its crown at
    // both ends.
    void continuita(std::vector<Esito>& esiti) {
        for (std::size_t k = 0; k < tratti_.size(); ++k) {
            if (!forma_.inRete(k)) {
                continue;
            }
            if (forma_.monte[k] != nessuno) {
                alPozzettoDiMonte(k, esiti);
            }
            ricoprimenti(k, esiti[k]);
        }
    }

    // Each reach's verdict with its network's checks; a faulty part's
    // reaches named by the fault.
    void concludi(std::vector<Esito>& esiti) const {
        std::vector<std::vector<Rilievo>> forma(tratti_.size());
        for (const ErroreRete& errore : forma_.errori) {
            for (const std::size_t k : errore.tratti) {
                forma[k].push_back(errore.rilievo);
            }
        }
        for (std::size_t k = 0; k < tratti_.size(); ++k) {
            Esito& e = esiti[k];
            if (e.calcolato && !scrivibile(e)) {
                Esito nonCalcolato;
                nonCalcolato.raggio = std::isfinite(e.raggio) ? e.raggio : 0;
                nonCalcolato.pendenza = std::isfinite(e.pendenza) ? e.pendenza : 0;
                nonCalcolato.calcolato = false;
                nonCalcolato.rilievi.push_back(Rilievo{Rilievo::Tipo::RisultatoFuoriDaiNumeri});
                e = std::move(nonCalcolato);
            }
            std::vector<Rilievo> rilievi = std::move(forma[k]);
            const bool conFormaSbagliata = !rilievi.empty();
            rilievi.insert(rilievi.end(), rilievi_[k].begin(), rilievi_[k].end());
            if (std::any_of(rilievi.begin(), rilievi.end(),
                            [](const Rilievo& r) { return r.gravita() == Gravita::Difetto; })) {
                e.verificato = false;
            }
            rilievi.insert(rilievi.end(), std::make_move_iterator(e.rilievi.begin()),
                           std::make_move_iterator(e.rilievi.end()));
            if (tratti_[k].esistente) {
                rilievi.push_back(Rilievo{Rilievo::Tipo::Esistente});
            }
            if (forma_.parteDi[k] != nessuno && forma_.difettosa[forma_.parteDi[k]] &&
                !conFormaSbagliata) {
                rilievi.push_back(Rilievo{Rilievo::Tipo::ReteConErrore});
            }
            e.rilievi = std::move(rilievi);
        }
    }

  private:
    Esito dimensionaUno(std::size_t k, const Verifica& verifica,
                        const std::vector<Esito>& esiti) const {
        const Tratto& t = tratti_[k];
        if (std::optional<Esito> esito = nonCalcolabile(t)) {
            return std::move(*esito);
        }
        const std::size_t piuGrande = piuGrande_[k];
        Esito esito =
            t.raggio ? verifica(t, imp_)
                     : tratti::dimensiona(
                           t, imp_, piuGrande != nessuno ? esiti[piuGrande].raggio : 0, verifica);
        if (!esito.pendenzaMinima && !esito.pendenzaMassima && !esito.senzaPendenza) {
            Tratto allaMisura = t;
            allaMisura.raggio = esito.raggio;
            const std::optional<analisi::AltezzeMassime> altezze = massime_.per(allaMisura, imp_);
            aggiungiPendenze(allaMisura, imp_, esito, altezze ? &*altezze : nullptr);
        }
        return esito;
    }

    // Each group's reaches in turn, the groups shared among the threads.
    bool inParallelo(const std::vector<std::vector<std::size_t>>& gruppi, bool gruppiDiAlberi,
                     const Verifica& verifica, const Fermo& fermo,
                     std::vector<Esito>& esiti) const {
        std::atomic<std::size_t> prossimo = 0;
        std::atomic<bool> fermato = false;
        std::mutex erroreMutex;
        std::exception_ptr errore;
        const auto lavora = [&] {
            try {
                for (std::size_t g = prossimo++; g < gruppi.size() && !fermato; g = prossimo++) {
                    for (const std::size_t k : gruppi[g]) {
                        if (fermo.stop_requested()) {
                            fermato = true;
                            return;
                        }
                        // A tree's pass meets the reaches computed before
                        // it: it only follows their sizes downstream.
                        if (forma_.inRete(k)) {
                            piuGrande_[k] = piuGrandeAMonte(k, esiti);
                        }
                        if (!gruppiDiAlberi || !tratti_[k].raggio) {
                            esiti[k] = dimensionaUno(k, verifica, esiti);
                        }
                    }
                }
            } catch (...) {
                const std::lock_guard blocco(erroreMutex);
                errore = std::current_exception();
                fermato = true;
            }
        };
        // A small line is not worth a thread.
        const std::size_t aiuti =
            tratti_.size() < trattiPerUnAiuto || !Aiuti::disponibili() || gruppi.size() < 2
                ? 0
                : std::min<std::size_t>({std::thread::hardware_concurrency(), 8, gruppi.size()}) -
                      1;
        {
            Aiuti altri;
            for (std::size_t i = 0; i < aiuti; ++i) {
                altri.avvia(lavora);
            }
            lavora();
        }
        if (errore) {
            std::rethrow_exception(errore);
        }
        return !fermato;
    }

    // With `misurati`, the reaches that depend on no other (a radius given,
    // or on their own), a few hundred to a group; else each tree's reaches,
    // in the order of the shape.
    std::vector<std::vector<std::size_t>> gruppiIndipendenti(bool misurati) const {
        constexpr std::size_t sciolti = 256;
        std::vector<std::vector<std::size_t>> gruppi;
        std::vector<std::size_t> gruppoDellaParte(forma_.difettosa.size(), nessuno);
        std::size_t ultimoSciolto = nessuno;
        for (const std::size_t k : forma_.ordine) {
            const bool daSolo = tratti_[k].raggio.has_value() || !forma_.inRete(k);
            if (misurati ? !daSolo : !forma_.inRete(k)) {
                continue;
            }
            std::size_t* gruppo = &ultimoSciolto;
            if (!misurati) {
                gruppo = &gruppoDellaParte[forma_.parteDi[k]];
            } else if (ultimoSciolto != nessuno && gruppi[ultimoSciolto].size() >= sciolti) {
                ultimoSciolto = nessuno;
            }
            if (*gruppo == nessuno) {
                *gruppo = gruppi.size();
                gruppi.emplace_back();
            }
            gruppi[*gruppo].push_back(k);
        }
        return gruppi;
    }

    // The reach of the largest size upstream of k, typed or chosen, by the
    // sizes upstream known so far; none at a head.
    std::size_t piuGrandeAMonte(std::size_t k, const std::vector<Esito>& esiti) const {
        std::size_t scelto = nessuno;
        if (forma_.monte[k] == nessuno) {
            return scelto;
        }
        for (const std::size_t u : forma_.entrate[forma_.monte[k]]) {
            for (const std::size_t candidato : {u, piuGrande_[u]}) {
                if (candidato != nessuno &&
                    (scelto == nessuno || esiti[candidato].raggio > esiti[scelto].raggio)) {
                    scelto = candidato;
                }
            }
        }
        return scelto;
    }

    static double altezzaPiena(const Esito& e) { return 3 * e.raggio / 100; }
    // The water at the design flow; a reach that cannot carry it, full.
    static double pelo(const Esito& e) {
        return e.progetto ? e.progetto->altezza : altezzaPiena(e);
    }
    // The rule at a manhole: its own, else the line's.
    Allineamento regolaAl(std::size_t p) const {
        return forma_.regola[p].value_or(imp_.allineamento);
    }
    static double riferimento(const Esito& e, Allineamento regola) {
        switch (regola) {
        case Allineamento::Cieli:
            return altezzaPiena(e);
        case Allineamento::Pelo:
            return pelo(e);
        case Allineamento::Fondo:
        case Allineamento::Nessuno:
            break;
        }
        return 0;
    }

    // The invert the alignment rule gives a reach leaving a manhole: the
    // crowns (or waters, or inverts) at the lowest of those coming in, and
    // never above the lowest invert coming in: the rule never makes the
    // counter-slope it would then report.
    std::optional<double> quotaDaMonte(std::size_t k, const std::vector<Esito>& esiti) const {
        if (forma_.monte[k] == nessuno) {
            return std::nullopt;
        }
        const Allineamento regola = regolaAl(forma_.monte[k]);
        std::optional<double> livello, fondo;
        for (const std::size_t u : forma_.entrate[forma_.monte[k]]) {
            if (const std::optional<double> arrivo = esiti[u].quotaValle) {
                const double suo = *arrivo + riferimento(esiti[u], regola);
                livello = std::min(livello.value_or(suo), suo);
                fondo = std::min(fondo.value_or(*arrivo), *arrivo);
            }
        }
        return livello ? std::optional(std::min(*livello - riferimento(esiti[k], regola), *fondo))
                       : std::nullopt;
    }

    // The invert the rule gives a reach arriving at a manhole from the
    // reach leaving it, carried upstream: its crown (or water, or invert)
    // at the leaving one's, and never below the leaving invert.
    std::optional<double> quotaDaValle(std::size_t k, const std::vector<Esito>& esiti) const {
        if (forma_.valle[k] == nessuno || forma_.uscite[forma_.valle[k]].size() != 1) {
            return std::nullopt;
        }
        const Esito& uscente = esiti[forma_.uscite[forma_.valle[k]].front()];
        if (!uscente.quotaMonte) {
            return std::nullopt;
        }
        const Allineamento regola = regolaAl(forma_.valle[k]);
        return std::max(*uscente.quotaMonte + riferimento(uscente, regola) -
                            riferimento(esiti[k], regola),
                        *uscente.quotaMonte);
    }

    // The other end of a reach by the slope over the length, when it has both.
    void completaConLaCaduta(std::size_t k, Esito& e) const {
        const std::optional<double> lunghezza = tratti_[k].lunghezza;
        if (!lunghezza || !(e.pendenza > 0)) {
            return;
        }
        const double caduta = e.pendenza * *lunghezza;
        if (e.quotaMonte && !e.quotaValle) {
            e.quotaValle = *e.quotaMonte - caduta;
        }
        if (e.quotaValle && !e.quotaMonte) {
            e.quotaMonte = *e.quotaValle + caduta;
        }
    }

    void alPozzettoDiMonte(std::size_t k, std::vector<Esito>& esiti) {
        using Tipo = Rilievo::Tipo;
        const std::size_t p = forma_.monte[k];
        const Allineamento regola = regolaAl(p);
        Esito& d = esiti[k];
        // Found at the manhole: what the reach and the manhole say of it.
        const auto rileva = [&](Tipo tipo, double valore, double soglia, std::size_t altro) {
            Rilievo r{tipo};
            r.valore = valore;
            r.soglia = soglia;
            r.pozzetto = forma_.nomi[p];
            r.tratto = tratti_[k].nome;
            if (altro != nessuno) {
                r.altro = tratti_[altro].nome;
            }
            r.cieli = regola == Allineamento::Cieli;
            rilievi_[k].push_back(r);
            if (r.gravita() != Gravita::Avviso) {
                alPozzetto(p, std::move(r));
            }
        };
        std::optional<double> salto;
        std::optional<std::size_t> piuBasso; // the incoming reach the rule looks at
        if (const std::size_t g = piuGrande_[k]; g != nessuno && esiti[g].raggio > d.raggio) {
            rileva(Tipo::SezioneRidotta, d.raggio, esiti[g].raggio, g);
        }
        for (const std::size_t u : forma_.entrate[p]) {
            const Esito& e = esiti[u];
            if (tratti_[k].portata < tratti_[u].portata) {
                rileva(Tipo::PortataMinoreAMonte, tratti_[k].portata, tratti_[u].portata, u);
            }
            if (!e.quotaValle || !d.quotaMonte) {
                continue;
            }
            const double caduta = *e.quotaValle - *d.quotaMonte;
            salto = std::max(salto.value_or(caduta), caduta);
            if (caduta < -tolleranza) {
                rileva(Tipo::Contropendenza, *d.quotaMonte, *e.quotaValle, u);
            } else if (regola == Allineamento::Fondo && caduta > tolleranza) {
                rileva(Tipo::FondiNonAllineati, caduta, 0, u);
            }
            if (!piuBasso ||
                *e.quotaValle + riferimento(e, regola) <
                    *esiti[*piuBasso].quotaValle + riferimento(esiti[*piuBasso], regola)) {
                piuBasso = u;
            }
        }
        if (piuBasso && regola != Allineamento::Fondo && regola != Allineamento::Nessuno) {
            const Esito& e = esiti[*piuBasso];
            const double suo = *e.quotaValle + riferimento(e, regola);
            const double questo = *d.quotaMonte + riferimento(d, regola);
            if (questo > suo + tolleranza) {
                rileva(Tipo::SopraAllineamento, questo, suo, *piuBasso);
            }
        }
        if (salto) {
            d.salto = std::max(*salto, 0.0);
            if (imp_.saltoMassimo && *d.salto > *imp_.saltoMassimo + tolleranza) {
                rileva(Tipo::SaltoOltreIlMassimo, *d.salto, *imp_.saltoMassimo, nessuno);
            }
        }
    }

    void ricoprimenti(std::size_t k, Esito& e) {
        const struct {
            std::size_t pozzetto;
            std::optional<double> quota;
            Rilievo::Estremo estremo;
        } estremi[] = {{forma_.monte[k], e.quotaMonte, Rilievo::Estremo::Monte},
                       {forma_.valle[k], e.quotaValle, Rilievo::Estremo::Valle}};
        for (const auto& estremo : estremi) {
            if (estremo.pozzetto == nessuno || !estremo.quota ||
                !forma_.terreno[estremo.pozzetto]) {
                continue;
            }
            const auto rileva = [&](Rilievo::Tipo tipo, double valore, double soglia) {
                Rilievo r{tipo};
                r.estremo = estremo.estremo;
                r.valore = valore;
                r.soglia = soglia;
                r.pozzetto = forma_.nomi[estremo.pozzetto];
                r.tratto = tratti_[k].nome;
                rilievi_[k].push_back(r);
                alPozzetto(estremo.pozzetto, std::move(r));
            };
            const double terreno = *forma_.terreno[estremo.pozzetto];
            const double ricoprimento = terreno - (*estremo.quota + altezzaPiena(e));
            e.ricoprimento = std::min(e.ricoprimento.value_or(ricoprimento), ricoprimento);
            std::optional<double>& alPozzetto = pozzetti_[estremo.pozzetto].ricoprimento;
            alPozzetto = std::min(alPozzetto.value_or(ricoprimento), ricoprimento);
            if (ricoprimento < imp_.ricoprimentoMinimo - tolleranza) {
                rileva(Rilievo::Tipo::RicoprimentoInsufficiente, ricoprimento,
                       imp_.ricoprimentoMinimo);
            }
            const double profondita = terreno - *estremo.quota;
            if (imp_.profonditaMassima && profondita > *imp_.profonditaMassima + tolleranza) {
                rileva(Rilievo::Tipo::ScavoOltreIlMassimo, profondita, *imp_.profonditaMassima);
            }
        }
    }

    const std::vector<Tratto>& tratti_;
    const Forma& forma_;
    const Impostazioni& imp_;
    MassimeCondivise& massime_;
    // What the network's checks found of each reach, in the order found.
    std::vector<std::vector<Rilievo>> rilievi_;

    // What the checks found at each manhole.
    struct AlPozzetto {
        std::vector<Rilievo> rilievi;
        std::optional<double> ricoprimento;
    };
    std::vector<AlPozzetto> pozzetti_;
    // For each reach of a tree, the reach of the largest size upstream of
    // it; written by the pass of its tree, on that tree's thread.
    mutable std::vector<std::size_t> piuGrande_;

    // Each finding once at its manhole: two reaches may find the same.
    void alPozzetto(std::size_t pozzetto, Rilievo rilievo) {
        std::vector<Rilievo>& rilievi = pozzetti_[pozzetto].rilievi;
        if (std::find(rilievi.begin(), rilievi.end(), rilievo) == rilievi.end()) {
            rilievi.push_back(std::move(rilievo));
        }
    }

  public:
    // The manholes' results, with what the checks found at each.
    std::vector<EsitoPozzetto> esitiPozzetti(const std::vector<Esito>& esiti) {
        std::vector<EsitoPozzetto> pozzetti = tratti::esitiPozzetti(forma_, esiti);
        for (std::size_t p = 0; p < pozzetti.size(); ++p) {
            pozzetti[p].rilievi = std::move(pozzetti_[p].rilievi);
            pozzetti[p].ricoprimento = pozzetti_[p].ricoprimento;
        }
        // A fault of the shape fails the manhole it concerns too, and leaves
        // the other manholes of its part unchecked.
        if (!forma_.errori.empty()) {
            std::unordered_map<std::string_view, std::size_t> indici;
            for (std::size_t p = 0; p < pozzetti.size(); ++p) {
                indici.emplace(pozzetti[p].nome, p);
            }
            for (const ErroreRete& errore : forma_.errori) {
                if (const auto p = indici.find(errore.rilievo.pozzetto); p != indici.end()) {
                    std::vector<Rilievo>& rilievi = pozzetti[p->second].rilievi;
                    rilievi.insert(rilievi.begin(), errore.rilievo);
                }
            }
            for (std::size_t k = 0; k < tratti_.size(); ++k) {
                if (forma_.parteDi[k] == nessuno || !forma_.difettosa[forma_.parteDi[k]]) {
                    continue;
                }
                for (const std::size_t p : {forma_.monte[k], forma_.valle[k]}) {
                    if (p != nessuno && pozzetti[p].rilievi.empty()) {
                        pozzetti[p].rilievi.push_back(
                            Rilievo{Rilievo::Tipo::PozzettoNonVerificato});
                    }
                }
            }
        }
        return pozzetti;
    }
};

std::vector<Albero> alberi(const Forma& forma, const std::vector<Esito>& esiti) {
    std::vector<Albero> alberi(forma.difettosa.size());
    for (std::size_t k = 0; k < esiti.size(); ++k) {
        if (!forma.inRete(k)) {
            continue;
        }
        Albero& a = alberi[forma.parteDi[k]];
        ++a.tratti;
        a.conQuote = a.conQuote || esiti[k].quotaMonte || esiti[k].quotaValle;
        if (forma.valle[k] != nessuno && forma.uscite[forma.valle[k]].empty()) {
            a.sbocco = forma.nomi[forma.valle[k]];
        }
    }
    std::erase_if(alberi, [](const Albero& a) { return a.tratti == 0; });
    return alberi;
}

} // namespace

std::optional<EsitiRete> calcolaRete(const std::vector<Tratto>& tratti,
                                     const std::vector<Pozzetto>& pozzetti,
                                     const Impostazioni& impostazioni, Verifica verifica,
                                     Fermo fermo) {
    const auto massime = std::make_shared<MassimeCondivise>();
    if (!verifica) {
        verifica = verificaCondivisa(massime);
    }
    EsitiRete rete;
    // A large line's results are made ready beside the shape: touching their
    // memory costs as long as finding the shape.
    const Forma forma = [&] {
        Aiuti prepara;
        if (tratti.size() >= trattiPerUnAiuto && Aiuti::disponibili()) {
            prepara.avvia([&rete, n = tratti.size()] { rete.esiti.resize(n); });
        }
        return Forma(tratti, pozzetti);
    }();
    Calcolo calcolo(tratti, forma, impostazioni, *massime);
    if (!calcolo.dimensiona(verifica, fermo, rete.esiti)) {
        return std::nullopt;
    }
    calcolo.quote(rete.esiti);
    calcolo.accordi();
    calcolo.interruzioni(rete.esiti);
    calcolo.continuita(rete.esiti);
    calcolo.concludi(rete.esiti);
    rete.pozzetti = calcolo.esitiPozzetti(rete.esiti);
    rete.errori = forma.errori;
    rete.alberi = alberi(forma, rete.esiti);
    return rete;
}

std::vector<Esito> verificaTutti(const std::vector<Tratto>& tratti,
                                 const Impostazioni& impostazioni) {
    return calcolaRete(tratti, {}, impostazioni)->esiti;
}

} // namespace tratti

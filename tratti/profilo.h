#pragma once

#include "tratti/rete.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

// The longitudinal profile of a path through the network: from a head
// manhole down to its outlet, every manhole at its progressive distance with
// its levels, every reach between them with its section and its water.
namespace tratti {

struct PozzettoProfilo {
    std::string nome;
    double progressiva = 0; // m from the head
    std::optional<double> terreno;
    // The invert of the reach of the path arriving and of the one leaving;
    // they differ by the drop.
    std::optional<double> fondoArrivo, fondoPartenza;

    // The lowest invert at the manhole: the bottom of its shaft.
    std::optional<double> fondo() const;
};

// The levels under a progressive distance, m: those the path does not
// know are left empty.
struct LivelliProfilo {
    std::optional<double> terreno, fondo, cielo, acquaProgetto, acquaMinima;
};

struct TrattoProfilo {
    std::size_t indice = 0; // in the line's reaches
    std::string nome;
    double da = 0, a = 0; // progressive distances of its ends, m
    double pendenza = 0;
    double raggio = 0; // cm
    std::optional<double> fondoMonte, fondoValle;
    // Heights over the invert, m: the crown, and the water at the design
    // and at the minimum flow.
    double altezzaPiena = 0;
    std::optional<double> acquaProgetto, acquaMinima;
    double portata = 0;                // l/s
    std::optional<double> riempimento; // h/H at the design flow
    bool verificato = false;
    std::vector<Rilievo> rilievi; // why not, where it is not

    double lunghezza() const { return a - da; }
    // "60/90": width and height in centimetres; "–" for none.
    std::string sezione() const;
    // The invert at a progressive distance within the reach.
    std::optional<double> fondoA(double progressiva) const;
    // Its invert, crown and waters there; the ground is the path's.
    LivelliProfilo livelliA(double progressiva) const;
};

struct Profilo {
    std::vector<PozzettoProfilo> pozzetti; // from the head to the outlet
    std::vector<TrattoProfilo> tratti;     // pozzetti.size() − 1 of them
    bool conQuote = false;                 // some invert is known

    double lunghezza() const { return pozzetti.empty() ? 0 : pozzetti.back().progressiva; }

    // By binary search on the progressive distances, as index ranges
    // [first, end): the reaches that run on past `da` and begin before `a`,
    // and the manholes from `da` to `a`. A stretch costs what it holds.
    std::pair<std::size_t, std::size_t> trattiTra(double da, double a) const;
    std::pair<std::size_t, std::size_t> pozzettiTra(double da, double a) const;
};

// The levels under a progressive distance along the path.
LivelliProfilo livelliA(const Profilo& profilo, double progressiva);
// One line's level along a reach, one of the profile's own, at its ends too
// (where the next reach may begin at another invert): the ground between
// its two manholes, the rest the reach's own.
using Linea = std::optional<double> LivelliProfilo::*;
std::optional<double> livelloSulTratto(const Profilo& profilo, const TrattoProfilo& tratto,
                                       double progressiva, Linea linea);

// A path of a tree as its profiles draw it: the main line runs from its head
// down to the outlet, a branch from its head down to the manhole where it
// joins a path drawn before it, that manhole included.
struct Percorso {
    std::string testa;
    std::string fine;     // the outlet, or the junction
    std::string innesto;  // a branch's: the head of the path it joins
    double lunghezza = 0; // m, a reach without its length counted as none

    bool principale() const { return innesto.empty(); }
};

// The paths of a computed network: its trees' heads and the walk from each
// down to its outlet.
class Percorsi {
  public:
    Percorsi(const std::vector<Tratto>& tratti, const EsitiRete& rete);

    // The heads whose path runs to this outlet, the longest path first.
    std::vector<std::string> teste(const std::string& sbocco) const;
    // The head of the longest path of the whole network; none without a
    // tree.
    std::optional<std::string> testaPiuLunga() const;
    // The profile from a head manhole; std::invalid_argument in Italian
    // when it is not the head of a tree's path, or a reach on the way has
    // no length.
    Profilo da(const std::string& testa) const;
    // The same down to `fine`, a manhole on that path (a branch's
    // junction), which ends it, or to the outlet when empty;
    // std::invalid_argument in Italian when it is not on it.
    Profilo da(const std::string& testa, const std::string& fine) const;

    // The paths that together draw the tree of this outlet, each reach in
    // one: the main line (the longest path), then the branches that join
    // it, the longest first, each followed by the branches that join it in
    // turn. A branch at a junction is the longest way into it that no path
    // drawn before holds. Steps as many as the tree's reaches, besides
    // sorting the heads.
    std::vector<Percorso> daDisegnare(const std::string& sbocco) const;

  private:
    struct Testa {
        std::string nome;
        std::string sbocco;
        double lunghezza = 0; // m, a reach without its length counted as none
    };

    // The reaches from a manhole to the outlet, or to `fine` on the way;
    // empty when the walk leaves the trees or misses `fine`.
    std::vector<std::size_t> cammino(const std::string& inizio, std::string_view fine = {}) const;
    Profilo profiloDi(const std::string& testa, const std::vector<std::size_t>& passi) const;

    const std::vector<Tratto>& tratti_;
    const EsitiRete& rete_;
    std::unordered_map<std::string_view, std::size_t> uscita_;   // the reach leaving a manhole
    std::unordered_map<std::string_view, std::size_t> pozzetto_; // in rete_.pozzetti
    std::unordered_set<std::string_view> sbocchi_;               // the trees'
    std::unordered_map<std::string_view, double> distanza_;      // m to the outlet, on a path
    std::vector<Testa> teste_;                                   // the longest path first
    std::unordered_map<std::string, std::vector<std::string>> testeDelloSbocco_;
};

} // namespace tratti

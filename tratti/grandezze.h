#pragma once

#include <optional>
#include <string>

// The ranges within which the quantities of a sewer line are physical.
// Beyond them no sewer is built, and a drawing or a report would need
// numbers no sheet can hold: a value outside is refused where it is read,
// with the range in the reason, so that nothing downstream has to guard
// against it.
namespace tratti {

struct Campo {
    double minimo, massimo;
    bool minimoEscluso;     // the least value itself is not allowed
    const char* intervallo; // in words, with the unit, for the reasons

    bool contiene(double valore) const {
        return (minimoEscluso ? valore > minimo : valore >= minimo) && valore <= massimo;
    }
};

inline constexpr Campo campoQuota{-10000, 10000, false, "da -10000 a 10000 m"};
inline constexpr Campo campoLunghezza{0.01, 100000, false, "da 0.01 a 100000 m"};
inline constexpr Campo campoPendenza{0.00001, 1, false, "da 0.00001 a 1 m/m"};
inline constexpr Campo campoRaggio{1, 1000, false, "da 1 a 1000 cm"};
inline constexpr Campo campoPortata{0.001, 1000000, false, "da 0.001 a 1000000 l/s"};
// The network's rules, m: no cover at all may be asked for, but a depth or
// a drop of nothing would fail every manhole.
inline constexpr Campo campoRicoprimento{0, 100, false, "da 0 a 100 m"};
inline constexpr Campo campoProfondita{0, 100, true, "maggiore di 0 e al più 100 m"};
inline constexpr Campo campoSalto{0, 100, true, "maggiore di 0 e al più 100 m"};

// Why a value is outside its range, in words with the range; none within.
std::optional<std::string> fuoriCampo(double valore, const Campo& campo);

} // namespace tratti

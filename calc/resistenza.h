#pragma once

#include <optional>
#include <string_view>

// The resistance laws of uniform flow: each gives the mean velocity V (m/s)
// for a hydraulic radius R (m) and a slope i (m/m), from one coefficient of
// the wall's roughness (and, for Colebrook–White, the water's temperature).
namespace formule {

enum class Legge {
    Bazin,     // γ: C = 87 √R / (√R + γ), V = C √(R i)
    Kutter,    // m: C = 100 √R / (m + √R), V = C √(R i)
    Strickler, // Ks (m¹ᐟ³/s): V = Ks R²ᐟ³ i¹ᐟ²
    Manning,   // n (s/m¹ᐟ³): V = R²ᐟ³ i¹ᐟ² / n
    Colebrook, // ks (mm) and T (°C): 1/√λ = −2 log10(ks/(14.84 R) + 2.51/(Re √λ))
};

// Every law, in the order the lists offer them.
inline constexpr Legge tutteLeLeggi[] = {Legge::Bazin, Legge::Kutter, Legge::Strickler,
                                         Legge::Manning, Legge::Colebrook};

struct Resistenza {
    Legge legge = Legge::Bazin;
    double coefficiente = 0.18; // γ, m, Ks, n or ks (mm), as the law names it
    double temperatura = 15;    // °C, for Colebrook–White only

    bool operator==(const Resistenza&) const = default;
};

// The key of a law on the command line and in a project file ("bazin",
// "kutter", "strickler", "manning", "colebrook"), and back.
std::string_view chiaveLegge(Legge legge);
std::optional<Legge> leggeDaChiave(std::string_view chiave);

// Its name in Italian, for the windows and the reports ("Gauckler–Strickler").
std::string_view nomeLegge(Legge legge);
// The coefficient's symbol and unit ("Ks", "m¹ᐟ³/s"; Bazin's γ has "m½").
std::string_view simboloCoefficiente(Legge legge);
std::string_view unitaCoefficiente(Legge legge);

// The range a coefficient may take, wide but physical; outside it the
// command line refuses the value. The temperature: 0 to 40 °C.
struct Intervallo {
    double minimo;
    double massimo;
};
Intervallo intervalloCoefficiente(Legge legge);
inline constexpr Intervallo intervalloTemperatura{0, 40};

// The water's kinematic viscosity (m²/s) at a temperature (°C):
// 1.792e-6 / (1 + 0.0337 T + 0.000221 T²).
double viscositaCinematica(double temperatura);

inline constexpr double accelerazioneGravita = 9.81; // m/s²

} // namespace formule

#include "calc/resistenza.h"

#include <array>

namespace formule {

namespace {

struct Descrizione {
    Legge legge;
    std::string_view chiave;
    std::string_view nome;
    std::string_view simbolo;
    std::string_view unita;
    Intervallo intervallo;
};

// Wide but physical: the classic tables' values lie well inside.
constexpr std::array<Descrizione, 5> descrizioni{{
    {Legge::Bazin, "bazin", "Bazin", "γ", "m½", {0.01, 5}},
    {Legge::Kutter, "kutter", "Kutter", "m", "m½", {0.01, 5}},
    {Legge::Strickler, "strickler", "Gauckler–Strickler", "Ks", "m¹ᐟ³/s", {10, 150}},
    {Legge::Manning, "manning", "Manning", "n", "s/m¹ᐟ³", {0.005, 0.1}},
    {Legge::Colebrook, "colebrook", "Colebrook–White", "ks", "mm", {0.0001, 100}},
}};

const Descrizione& descrizione(Legge legge) {
    return descrizioni[static_cast<std::size_t>(legge)];
}

} // namespace

std::string_view chiaveLegge(Legge legge) {
    return descrizione(legge).chiave;
}

std::optional<Legge> leggeDaChiave(std::string_view chiave) {
    for (const Descrizione& d : descrizioni) {
        if (d.chiave == chiave) {
            return d.legge;
        }
    }
    return std::nullopt;
}

std::string_view nomeLegge(Legge legge) {
    return descrizione(legge).nome;
}

std::string_view simboloCoefficiente(Legge legge) {
    return descrizione(legge).simbolo;
}

std::string_view unitaCoefficiente(Legge legge) {
    return descrizione(legge).unita;
}

Intervallo intervalloCoefficiente(Legge legge) {
    return descrizione(legge).intervallo;
}

double viscositaCinematica(double temperatura) {
    return 1.792e-6 / (1 + 0.0337 * temperatura + 0.000221 * temperatura * temperatura);
}

} // namespace formule

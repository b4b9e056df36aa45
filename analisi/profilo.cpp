#include "analisi/profilo.h"

#include <algorithm>
#include <cmath>

namespace analisi {

std::array<ArcoProfilo, 3> archiProfilo(double raggio) {
    const double r = raggio;
    return {{
        {0, r / 2, r / 2, 0, r / 5},
        {-2 * r, 2 * r, 3 * r, r / 5, 2 * r},
        {0, 2 * r, r, 2 * r, 3 * r},
    }};
}

double semilarghezza(double raggio, double altezza) {
    const double y = altezza;
    if (!(y >= 0 && y <= 3 * raggio)) {
        return 0;
    }
    for (const ArcoProfilo& arco : archiProfilo(raggio)) {
        if (y <= arco.altezzaA) {
            const double d = y - arco.centroY;
            return arco.centroX + std::sqrt(std::max(0.0, arco.raggio * arco.raggio - d * d));
        }
    }
    return 0;
}

std::vector<PuntoProfilo> contorno(double raggio, double finoA, int passi) {
    const double mezzoGiro = 2 * std::acos(0.0);
    const double passoAngolo = mezzoGiro / std::max(passi, 1);
    const auto angolo = [](const ArcoProfilo& arco, double y) {
        return std::asin(std::clamp((y - arco.centroY) / arco.raggio, -1.0, 1.0));
    };
    std::vector<PuntoProfilo> destra{{0, 0}};
    for (const ArcoProfilo& arco : archiProfilo(raggio)) {
        if (!(finoA > arco.altezzaDa)) {
            break;
        }
        const double da = angolo(arco, arco.altezzaDa);
        const double a = angolo(arco, std::min(finoA, arco.altezzaA));
        const int n = std::max(1, static_cast<int>(std::ceil((a - da) / passoAngolo)));
        for (int i = 1; i <= n; ++i) {
            const double t = da + (a - da) * i / n;
            destra.push_back({arco.centroX + arco.raggio * std::cos(t),
                              arco.centroY + arco.raggio * std::sin(t)});
        }
    }
    std::vector<PuntoProfilo> punti = destra;
    for (auto p = destra.rbegin(); p != destra.rend(); ++p) {
        punti.push_back({-p->x, p->y});
    }
    return punti;
}

} // namespace analisi

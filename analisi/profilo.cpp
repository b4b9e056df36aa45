#include "analisi/profilo.h"

#include <algorithm>
#include <cmath>

namespace analisi {

double semilarghezza(double raggio, double altezza) {
    const double r = raggio;
    const double y = altezza;
    if (!(y >= 0 && y <= 3 * r)) {
        return 0;
    }
    const auto cerchio = [](double raggioArco, double distanza) {
        return std::sqrt(std::max(0.0, raggioArco * raggioArco - distanza * distanza));
    };
    if (y <= r / 5) {
        return cerchio(r / 2, y - r / 2); // the invert, centred at r/2
    }
    if (y <= 2 * r) {
        return cerchio(3 * r, y - 2 * r) - 2 * r; // a side arc, centred 2r across at 2r
    }
    return cerchio(r, y - 2 * r); // the crown, centred at 2r
}

} // namespace analisi

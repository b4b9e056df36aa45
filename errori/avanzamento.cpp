#include "errori/avanzamento.h"

#include <algorithm>

void Avanzamento::segnala(std::int64_t fatti, std::int64_t totale) {
    totale = std::max<std::int64_t>(totale, 1);
    fatti = std::clamp<std::int64_t>(fatti, 0, totale);
    const std::int64_t millesimo = fatti * 1000 / totale;
    if (millesimo == sentito_) {
        return;
    }
    sentito_ = millesimo;
    if (!ascolta_(fatti, totale)) {
        throw Annullato{};
    }
}

Avanzamento Avanzamento::parte(int numero, int parti) & {
    if (!ascolta_) {
        return {};
    }
    return Avanzamento([this, numero, parti](std::int64_t fatti, std::int64_t totale) {
        // The listener's call has made totale at least 1.
        (*this)(numero * 1000LL + fatti * 1000 / totale, parti * 1000LL);
        return true;
    });
}

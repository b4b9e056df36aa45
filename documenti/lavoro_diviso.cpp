#include "documenti/lavoro_diviso.h"

#include <algorithm>
#include <system_error>

LavoroDiviso::LavoroDiviso(std::size_t pezzi, std::function<void(std::size_t)> pezzo)
    : pezzi_(pezzi), pezzo_(std::move(pezzo)) {
    const std::size_t aiuti =
        std::min<std::size_t>(std::max(std::thread::hardware_concurrency(), 2u) - 1, pezzi);
    try {
        for (std::size_t i = 0; i < aiuti; ++i) {
            aiuti_.emplace_back([this] { lavora(); });
        }
    } catch (const std::system_error&) {
        // No thread to be had: the helpers there are, or the caller alone,
        // do it all.
    }
}

LavoroDiviso::~LavoroDiviso() {
    prossimo_ = pezzi_;
    aiuti_.clear();
}

void LavoroDiviso::finisci() {
    lavora();
    aiuti_.clear();
    if (primoErrore_) {
        std::rethrow_exception(primoErrore_);
    }
}

void LavoroDiviso::lavora() {
    for (std::size_t i = prossimo_++; i < pezzi_; i = prossimo_++) {
        try {
            pezzo_(i);
        } catch (...) {
            // One failure is enough to fail the whole: the rest is not started.
            const std::scoped_lock chiave(guasto_);
            if (!primoErrore_) {
                primoErrore_ = std::current_exception();
            }
            prossimo_ = pezzi_;
        }
    }
}

#pragma once

#include <cstdint>
#include <functional>
#include <utility>

// A long piece of work (a report composed, a document saved or printed) as
// whoever waits for it follows it: how much of it is done, and whether to
// go on. Without a listener it costs a test of an empty function.

// The work stopped because the user asked: no failure, nothing to report,
// and nothing half made left behind.
struct Annullato {};

class Avanzamento {
  public:
    // Hears `fatti` of `totale`; false asks the work to stop.
    using Ascolta = std::function<bool(std::int64_t fatti, std::int64_t totale)>;

    Avanzamento() = default;
    explicit Avanzamento(Ascolta ascolta) : ascolta_(std::move(ascolta)) {}

    bool seguito() const { return static_cast<bool>(ascolta_); }

    // The work has done `fatti` of `totale`. Raises Annullato when the
    // listener says to stop. The listener hears each thousandth of the work
    // once at most, and the end always: a row at a time would be thousands
    // of repaints.
    void operator()(std::int64_t fatti, std::int64_t totale) {
        if (ascolta_) {
            segnala(fatti, totale);
        }
    }

    // The work's `numero`-th (from 0) of `parti` equal parts, as a work of
    // its own: what it hears, this one hears in its share. This one must
    // outlive it: a temporary has none.
    Avanzamento parte(int numero, int parti) &;

  private:
    void segnala(std::int64_t fatti, std::int64_t totale);

    Ascolta ascolta_;
    std::int64_t sentito_ = -1; // the thousandth last heard
};

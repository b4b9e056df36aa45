#pragma once

#include <thread>
#include <utility>
#include <vector>
#include <version>

#if defined(__cpp_lib_jthread)
#include <stop_token>
#endif

namespace tratti {

#if defined(__cpp_lib_jthread)
// What a caller that computes in the background uses to ask a long
// computation to stop.
using Fermo = std::stop_token;
#else
// The browser build's library has no stop tokens, nor threads to ask: a
// computation there runs to its end.
struct Fermo {
    bool stop_requested() const noexcept { return false; }
};
#endif

// Threads joined when they go out of scope, as std::jthread is; the browser
// build's library has no jthread. Where the machine has one core, none is
// started and the work runs on the caller's thread.
class Aiuti {
  public:
    Aiuti() = default;
    Aiuti(const Aiuti&) = delete;
    Aiuti& operator=(const Aiuti&) = delete;
    ~Aiuti() {
        for (std::thread& t : thread_) {
            t.join();
        }
    }

    static bool disponibili() { return std::thread::hardware_concurrency() > 1; }

    template <class Lavoro> void avvia(Lavoro&& lavoro) {
        thread_.emplace_back(std::forward<Lavoro>(lavoro));
    }

  private:
    std::vector<std::thread> thread_;
};

} // namespace tratti

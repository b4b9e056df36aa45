#pragma once

#include <atomic>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Pieces of work that depend on nothing but themselves, shared out over
// the cores: the helpers start at once, on every core but the caller's,
// which goes on with its own work meanwhile and joins in when it waits for
// the end. Dropped before the end, it lets the pieces under way finish and
// starts no more.
class LavoroDiviso {
  public:
    LavoroDiviso(std::size_t pezzi, std::function<void(std::size_t)> pezzo);
    ~LavoroDiviso();
    LavoroDiviso(const LavoroDiviso&) = delete;
    LavoroDiviso& operator=(const LavoroDiviso&) = delete;

    // Works beside the helpers until every piece is done; then raises the
    // first exception a piece raised, if any.
    void finisci();

  private:
    void lavora();

    const std::size_t pezzi_;
    const std::function<void(std::size_t)> pezzo_;
    std::atomic<std::size_t> prossimo_ = 0;
    std::mutex guasto_;
    std::exception_ptr primoErrore_;
    std::vector<std::jthread> aiuti_;
};

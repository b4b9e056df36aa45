#pragma once

#include <cerrno>
#include <unistd.h>
#include <utility>

// A file descriptor, closed with its owner.
class Descrittore {
  public:
    explicit Descrittore(int numero = -1) : numero_(numero) {}
    Descrittore(Descrittore&& altro) noexcept : numero_(std::exchange(altro.numero_, -1)) {}
    Descrittore& operator=(Descrittore&& altro) noexcept {
        std::swap(numero_, altro.numero_);
        return *this;
    }
    ~Descrittore() {
        if (numero_ >= 0) {
            ::close(numero_);
        }
    }

    int numero() const { return numero_; }
    // 0, or the error number of the close.
    int chiudi() {
        const int esito = ::close(std::exchange(numero_, -1));
        return esito == 0 ? 0 : errno;
    }

  private:
    int numero_;
};

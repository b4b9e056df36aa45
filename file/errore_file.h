#pragma once

#include <stdexcept>

// A file that could not be written: one Italian sentence naming the path and
// the reason.
class ErroreFile : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

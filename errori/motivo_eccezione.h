#pragma once

#include <exception>
#include <string>

// What went wrong, in Italian, for an exception that reached the handler of
// a command or a window: a computation error with its number, memory that
// ran out, a solver that found no height, or a fault of the program itself.
// Each is named for what it is, so that a user is not sent after the wrong
// cause.
std::string motivoEccezione(const std::exception& eccezione);

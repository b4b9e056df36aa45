#include "cli/esecuzione.h"

#include <iostream>

int main(int argc, char** argv) {
    const std::vector<std::string> argomenti(argv + 1, argv + argc);
    return eseguiCli(argomenti, std::cout, std::cerr);
}

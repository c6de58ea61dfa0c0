#include <iostream>

#include "resetlog.h"
#include "platform.h"

int main(int argc, char** argv) {
    if (argc > 1) return zr::runResetlogCommand(argc, argv);
    return zr::runResetlog(std::cin, zr::consoleOut());
}

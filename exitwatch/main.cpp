#include <iostream>

#include "exitwatch.h"
#include "platform.h"

int main(int argc, char** argv) {
    if (argc > 1) return zr::runExitwatchCommand(argc, argv);
    return zr::runExitwatch(std::cin, zr::consoleOut());
}

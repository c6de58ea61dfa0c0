#include <iostream>

#include "boxlog.h"
#include "platform.h"

int main(int argc, char** argv) {
    if (argc > 1) return zr::runBoxlogCommand(argc, argv);
    return zr::runBoxlog(std::cin, zr::consoleOut());
}

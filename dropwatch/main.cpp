#include <iostream>

#include "dropwatch.h"
#include "platform.h"

int main(int argc, char** argv) {
    if (argc > 1) return zr::runDropwatchCommand(argc, argv);
    return zr::runDropwatch(std::cin, zr::consoleOut());
}

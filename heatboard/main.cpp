#include <iostream>

#include "heatboard.h"
#include "platform.h"

int main(int argc, char** argv) {
    if (argc > 1) return zr::runHeatboardCommand(argc, argv);
    return zr::runHeatboard(std::cin, zr::consoleOut());
}

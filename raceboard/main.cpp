#include <iostream>

#include "platform.h"
#include "raceboard.h"

int main(int argc, char** argv) {
    if (argc > 1) return zr::runRaceboardCommand(argc, argv);
    return zr::runRaceboard(std::cin, zr::consoleOut());
}

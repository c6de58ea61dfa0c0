#include <iostream>

#include "platform.h"
#include "raceboard.h"

int main() { return zr::runRaceboard(std::cin, zr::consoleOut()); }

#include <iostream>

#include "heatboard.h"
#include "platform.h"

int main() { return zr::runHeatboard(std::cin, zr::consoleOut()); }

#include <iostream>

#include "exitwatch.h"
#include "platform.h"

int main() { return zr::runExitwatch(std::cin, zr::consoleOut()); }

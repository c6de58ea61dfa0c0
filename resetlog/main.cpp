#include <iostream>

#include "platform.h"
#include "resetlog.h"

int main() { return zr::runResetlog(std::cin, zr::consoleOut()); }

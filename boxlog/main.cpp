#include <iostream>

#include "boxlog.h"
#include "platform.h"

int main() { return zr::runBoxlog(std::cin, zr::consoleOut()); }

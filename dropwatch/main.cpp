#include <iostream>

#include "dropwatch.h"
#include "platform.h"

int main() { return zr::runDropwatch(std::cin, zr::consoleOut()); }

#include <iostream>

#include "contactscan.h"
#include "platform.h"

int main() { return zr::runContactscan(std::cin, zr::consoleOut()); }

#include <iostream>

#include "contactscan.h"
#include "platform.h"

int main(int argc, char** argv) {
    if (argc > 1) return zr::runContactscanCommand(argc, argv);
    return zr::runContactscan(std::cin, zr::consoleOut());
}

#include <iostream>

#include "racenight.h"

int main(int argc, char** argv) { return zr::night::runRacenight(argc, argv, std::cout, std::cerr); }

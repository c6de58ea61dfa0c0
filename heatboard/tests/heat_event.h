// The event of heatboard's end-to-end tests: two grids on their own clocks.
//
// Grid A (replay "heatA"): Hank Host in car slot 0, Anna Arnold who leads laps
// 1 to 4, Bert Brandt who retires after 3 laps, and Carl <Cramer> (a make
// without logo) who takes the flag a lap down. Grid B (replay "heatB"): Dora
// Dietz who wins on time since her grid's start, Emil Engel (the user of
// "myname.ini") and Fritz & Co in car slot 5 with an off-track fastest lap.
#pragma once

#include <string>

#include "grid_replays.h"
#include "run_dir.h"

namespace zr::test {

using namespace zr::writer;  // the tests describe their replays in the writer's terms

std::vector<GridCar> gridACars();
std::vector<GridCar> gridBCars();
ReplaySpec gridAReplay();
ReplaySpec gridBReplay();

// A working directory with both replays, "Zant_Raceboard.ini" and
// "myname.ini" naming Emil Engel (with a final line break).
void writeHeatEvent(RunDir& dir);

// The console input that reads both grids and ends the menu with `choice`.
std::string heatEventInput(const std::string& choice);

}  // namespace zr::test

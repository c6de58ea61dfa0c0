// Server replays of single grids for heatboard's tests, and the event of its
// end-to-end tests: two grids on their own clocks.
//
// Grid A (replay "heatA"): Hank Host in car slot 0, Anna Arnold who leads laps
// 1 to 4, Bert Brandt who retires after 3 laps, and Carl <Cramer> (a make
// without logo) who takes the flag a lap down. Grid B (replay "heatB"): Dora
// Dietz who wins on time since her grid's start, Emil Engel (the user of
// "myname.ini") and Fritz & Co in car slot 5 with an off-track fastest lap.
#pragma once

#include <string>

#include "lap_replays.h"
#include "run_dir.h"

namespace zr::test {

constexpr std::int32_t kGridTrack = 2000000;  // 1 km in 0.5 mm units

struct GridCar {
    DriverSpec driver;
    std::vector<std::uint32_t> practice;  // cumulative stamps; empty: no practice record
    std::vector<std::uint8_t> practiceFlags;
    std::vector<std::uint32_t> race;      // cumulative stamps; empty: no race record
    std::vector<std::uint8_t> raceFlags;
};

// One grid at 36 frames per second: a record before the start, the race-start
// record, then one frame per 1/36 s of the race clock up to `raceMs`, each
// with a sample of every car that has race stamps; each car covers the track
// at an even pace within each lap. Without race stamps at all the replay has
// no race block and no stream; with `raceMs` 0 it has lap records only.
ReplaySpec gridReplay(const std::vector<GridCar>& cars, std::uint32_t raceMs);

ReplaySpec gridAReplay();
ReplaySpec gridBReplay();

// A working directory with both replays, "Zant_Raceboard.ini" and
// "myname.ini" naming Emil Engel (with a final line break).
void writeHeatEvent(RunDir& dir);

// The console input that reads both grids and ends the menu with `choice`.
std::string heatEventInput(const std::string& choice);

}  // namespace zr::test

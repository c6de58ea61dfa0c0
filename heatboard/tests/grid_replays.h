// Server replays of single grids for heatboard's tests: drivers, practice and
// race lap records with flags, and an event stream in which every car crosses
// the line at its race stamps and covers the track at an even pace within
// each lap, so that track length, sectors and speeds can be measured.
#pragma once

#include <cstdint>
#include <vector>

#include "replay_builder.h"

namespace zr::test {

using namespace zr::writer;  // the tests describe their replays in the writer's terms

constexpr std::int32_t kGridTrack = 2000000;  // 1 km in 0.5 mm units

struct GridCar {
    DriverSpec driver;
    std::vector<std::uint32_t> practice;  // cumulative stamps; empty: no practice record
    std::vector<std::uint8_t> practiceFlags;
    std::vector<std::uint32_t> race;      // cumulative stamps; empty: no race record
    std::vector<std::uint8_t> raceFlags;
};

// Lap entries from stamps and the flag byte of each entry (missing flags are 0).
LapRecordSpec flaggedLaps(std::int32_t slot, const std::vector<std::uint32_t>& stamps,
                          const std::vector<std::uint8_t>& flags);

// One grid at 36 frames per second: a record before the start, the race-start
// record, then one frame per 1/36 s of the race clock until `raceMs`, each
// with a sample of every car that has race stamps. Without race stamps at all
// the replay has no race block and no stream.
ReplaySpec gridReplay(const std::vector<GridCar>& cars, std::uint32_t raceMs);

// Evenly spaced stamps: `start`, then `laps` laps of `lapMs`.
std::vector<std::uint32_t> evenLaps(std::uint32_t start, int laps, std::uint32_t lapMs);

}  // namespace zr::test

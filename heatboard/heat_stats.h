// The combined figures of heatboard that compare drivers across grids by
// the time since their own grid's start: the classification with projected
// race times, the positions at tenths of the race, the leader runs and a
// driver's lap-by-lap ranks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "grid_reading.h"

namespace zr {

constexpr std::int64_t kFlagLapAllowance = 5500;  // left out of a short finisher's average lap

struct HeatRow {
    int slot;
    std::int64_t raceTime;  // since the grid's start; projected for a finisher with fewer laps
    bool finished;          // took the flag in his grid
};

// The result order. First the finishers (a final stamp at or after the
// grid's winner), by their race time projected to the full distance with
// the average lap; then the others by laps completed, from the most, and by
// the elapsed time at their last lap.
std::vector<HeatRow> classifyHeat(const HeatData& data);

// The elapsed time of the slot at its last lap.
std::int64_t finalElapsed(const HeatData& data, int slot);

// Lap j * maxRaceLaps / 10 of the RESULT column for tenth j (1 to 9).
int tenthLap(int j, std::int32_t maxRaceLaps);

// The place of `slot` among all slots by the time since their grid's start
// at `lap`, 0 when it has no stamp there.
int placeAtLap(const HeatData& data, int slot, int lap);

// Consecutive laps with the same leader, from lap 1 to maxRaceLaps.
struct LeaderRun {
    int slot;
    int firstLap;
    int lastLap;
};
std::vector<LeaderRun> leaderRuns(const LapHistory& history, std::int32_t maxRaceLaps);

// The driver's rank in every race lap among slots 1 to 99, printed in ten
// lines (laps 1, 11, 21... in the first) with the lap scale below.
std::string lapRankTable(const HeatData& data, int slot);

}  // namespace zr

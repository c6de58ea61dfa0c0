// The console dialogue between reading the lap tables and the slow sector
// search: the standings of fastest-lap points, then a menu that shows any
// driver's lap-by-lap ranks as a chart. The number typed last also chooses
// the page without sector speeds.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "driver_table.h"
#include "lap_stats.h"
#include "lap_tables.h"

namespace zr {

constexpr int kChartColumns = 79;

// Per race lap 1 to maxRaceLaps: the rank of the driver's lap time among the
// lap times of slots 1 to 19 in that lap; 0 from the first lap without a time.
std::vector<int> lapRanks(const LapTables& tables, int slot);

// The chart rows of the ranks: row r holds the digit r mod 10 in the columns
// of the laps ranked r, at most 79 columns (a row fits an 80-column console
// with its line end).
std::string rankChart(const std::vector<int>& ranks, int maxRaceLaps);

// The fastest-lap standings as printed: points in 13 columns, " * ", name.
std::string fastestLapStandings(const LapHistory& history, const DriverTable& drivers, int slots);

// Runs the dialogue; returns `noSpeedMode` (the last number typed was not 0).
// The end of the input reads as 0.
bool runDriverMenu(const LapTables& tables, const DriverTable& drivers, const LapHistory& history,
                   std::istream& in, std::ostream& out);

}  // namespace zr

// heatboard's console between the grids and the page: the table of fastest-lap
// counts and the driver menu, whose last number also chooses the page's variant.
#pragma once

#include <iosfwd>
#include <string>

#include "grid_reading.h"

namespace zr {

constexpr int kMenuRounds = 99;

// "BESTE RUNDEN TABELLE": per driver with fastest laps the count in 13
// columns, " * " and the name, most first.
std::string fastestLapSummary(const HeatData& data);

// The menu's list of drivers with race laps, three to a line.
std::string menuDriverList(const HeatData& data);

// Runs the menu and returns the last number typed: 0 asks for the full page,
// any other value below 1 or above 99 for the page without speed values. The
// end of the input, or input that is not a number, reads as 0.
int runHeatMenu(const HeatData& data, std::istream& in, std::ostream& out);

}  // namespace zr

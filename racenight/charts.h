// The charts of the overview page, drawn as inline SVG: every driver's
// position lap by lap, and every driver's lap times. One colour per driver,
// the same in both charts and in the legend beside them.
#pragma once

#include <string>
#include <vector>

#include "analyses.h"
#include "page_text.h"

namespace zr::night {

// The colour of the driver at `index` in the series, as "#rrggbb".
std::string driverColour(std::size_t index);

// Positions after each lap, 1 at the top; empty when no driver has one.
std::string positionChart(const std::vector<DriverSeries>& drivers);

// Lap times in seconds over the laps; empty when no driver has one. Laps
// far over the fastest (a pit stop, a spin) are drawn at the top edge, so
// that they do not flatten everything else.
std::string lapTimeChart(const std::vector<DriverSeries>& drivers);

// The legend: a colour mark and the driver's name, escaped, per driver.
std::string chartLegend(const std::vector<DriverSeries>& drivers);

}  // namespace zr::night

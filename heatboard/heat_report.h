// heatboard's HTML page: the combined result of all grids, consistency,
// leaders, fastest laps, on-track laps, speeds, numbers of fastest laps and
// the sector tables, the user's driver on yellow and every driver's grid as
// an image. Plain HTML without a style sheet or a declared charset; logos and
// grid images are expected in images/ beside the page.
#pragma once

#include <string>

#include "grid_reading.h"

namespace zr {

// The report base name is grid A's replay name followed by "All".
std::string heatReportName(const std::string& baseName, int menuChoice);

// The grid image of a combined slot; car slot 0 of grids B to E has none.
std::string gridImage(int slot);

// The page text (line feeds; stored as CR LF). `withSpeeds` is the full variant.
std::string heatboardReport(const HeatData& data, const std::string& baseName, bool withSpeeds);

}  // namespace zr

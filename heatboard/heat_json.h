// heatboard's findings as JSON (NAMEAll_heatboard.json): what the page shows, as data.
#pragma once

#include <string>
#include <vector>

#include "front_end.h"
#include "grid_reading.h"

namespace zr {

// `grids` are the replays read, grid A first; `page` the file name of the
// page written beside it.
std::string heatboardJson(const HeatData& data, const std::vector<StartedRun>& grids, const std::string& page,
                          bool withSpeeds);

}  // namespace zr

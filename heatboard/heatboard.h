// heatboard: the statistics of one event driven in up to five grids, from the
// server replays of all grids, as one HTML page.
#pragma once

#include <iosfwd>

namespace zr {

// The whole program: console dialogue, analysis, page; returns the exit code.
int runHeatboard(std::istream& in, std::ostream& out);

}  // namespace zr

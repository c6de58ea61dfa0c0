// heatboard: the statistics of one event driven in up to five grids, from the
// server replays of all grids, as one HTML page.
#pragma once

#include <iosfwd>
#include <optional>
#include <vector>

#include "byte_reader.h"
#include "console_sink.h"
#include "grid_reading.h"

namespace zr {

// The findings of an event from the server replays of its grids, grid A first
// (at most five are read): every grid read with its console lines, then the
// history and rankings over all. Nothing when a replay is not a server
// replay; the refusal has gone to the console.
std::optional<HeatData> heatFindings(const std::vector<Bytes>& grids, const MyName& me, ConsoleSink& console);

// The whole program: console dialogue, analysis, page; returns the exit code.
int runHeatboard(std::istream& in, std::ostream& out);

}  // namespace zr

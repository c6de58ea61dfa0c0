// raceboard: lap statistics of one replay as an HTML page.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "byte_reader.h"
#include "html_report.h"

namespace zr {

// The replay's header fields as raceboard shows them, its driver table and
// lap tables; the stream start for the measurements.
struct RaceboardTables {
    std::int64_t streamStart = 0;
};
RaceboardTables readRaceboardTables(Bytes replay, RaceboardData& data);

// Track length, sector and speed measurement and the own table's bests (the
// console lines included), then the rankings.
void measureAndRank(Bytes replay, std::int64_t streamStart, RaceboardData& data, std::ostream& out);

// The whole program: console dialogue, analysis, page; returns the exit code.
int runRaceboard(std::istream& in, std::ostream& out);

}  // namespace zr

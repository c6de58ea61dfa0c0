// What the chain-reading programs (contactscan, boxlog, resetlog, exitwatch,
// dropwatch) read before they walk the event stream.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

#include "driver_table.h"
#include "front_end.h"
#include "lap_table.h"
#include "replay_header.h"
#include "track_ini.h"

namespace zr {

// The driver table from the profile's first record and the lap records after it.
struct ChainTables {
    DriverTable drivers;
    LapTable laps;
};
void readChainTables(Bytes replay, const FrontEndProfile& profile, ChainTables& tables);

// What the programs that show the pit lane (exitwatch, boxlog, dropwatch) have
// read when they begin their walk: the started run, the header, the pit lane
// (its console text shown), the track name (shown) and the driver and lap tables.
struct PitLaneRun {
    StartedRun run;
    ReplayHeader header;
    PitLaneBounds lane;
    ChainTables tables;
};
// Nothing when the start-up failed: the message has been shown and `exitCode` set.
std::optional<PitLaneRun> startPitLaneRun(const FrontEndProfile& profile, std::istream& in, std::ostream& out,
                                          int& exitCode);

// Two blanks, the upper-cased track name and two line ends.
void showTrackName(std::ostream& out, const ReplayHeader& header);

// The first character of the first name, ".", the last name: "J.Smith".
std::string shortName(const DriverTable& drivers, int slot);

// The short name as a listing column: a tab after it, and a second one when
// the last name has fewer than 6 characters.
std::string shortNameColumn(const DriverTable& drivers, int slot);

// The closing ranking of the listings: per car with at least one event, most
// first and the lower slot first on a tie, "  N * J.Smith\n".
std::string countRanking(const std::int32_t (&perCar)[kSlots], const DriverTable& drivers);

// Writes a report; when it cannot be written the console says so and the
// caller ends with exit code 1.
bool saveReport(const std::string& name, const std::string& text, std::ostream& out);

}  // namespace zr

// What the chain-reading programs (contactscan, boxlog, resetlog, exitwatch,
// dropwatch) read before they walk the event stream.
#pragma once

#include <iosfwd>
#include <string>

#include "driver_table.h"
#include "front_end.h"
#include "lap_table.h"
#include "replay_header.h"

namespace zr {

// The driver table from the profile's first record and the lap records after it.
struct ChainTables {
    DriverTable drivers;
    LapTable laps;
};
void readChainTables(Bytes replay, const FrontEndProfile& profile, ChainTables& tables);

// Two blanks, the upper-cased track name and two line ends.
void showTrackName(std::ostream& out, const ReplayHeader& header);

// The first character of the first name, ".", the last name: "J.Smith".
std::string shortName(const DriverTable& drivers, int slot);

// Writes a report; when it cannot be written the console says so and the
// caller ends with exit code 1.
bool saveReport(const std::string& name, const std::string& text, std::ostream& out);

}  // namespace zr

// resetlog: the resets to the pits in a race replay, each judged by whether
// the car stood in the pits, and a count per driver.
#pragma once

#include <iosfwd>
#include <string>

#include "driver_table.h"
#include "reset_scan.h"

namespace zr {

// The text of "_SR.txt" (line feeds; stored as CR LF).
std::string resetListing(const ResetScan& scan, const DriverTable& drivers, int frameRate);

// The whole program: console dialogue, analysis, listing; returns the exit code.
int runResetlog(std::istream& in, std::ostream& out);

}  // namespace zr

// resetlog: the resets to the pits in a race replay, each judged by whether
// the car stood in the pits, and a count per driver.
#pragma once

#include <iosfwd>
#include <string>

#include "driver_table.h"
#include "front_end.h"
#include "listing_run.h"
#include "replay_header.h"
#include "reset_scan.h"
#include "track_file.h"

namespace zr {

struct ResetFindings {
    ReplayHeader header;
    TrackFile track;
    DriverTable drivers;
    ResetScan scan;
};

// The whole analysis of a started run; the console gets the track lines, the
// progress text and a line per reset found.
ResetFindings findResets(const StartedRun& run, ConsoleSink& console);

// The text of "_SR.txt" (line feeds; stored as CR LF).
std::string resetListing(const ResetFindings& findings);

// The listing, or the console text and "PAUSE" when there was no reset.
ListingOutcome resetOutcome(const ResetFindings& findings, const RunPaths& paths);

// The findings as JSON (see schemas/resetlog.schema.json).
std::string resetJson(const ResetFindings& findings, const RunPaths& paths);

// The whole program: console dialogue, analysis, listing; returns the exit code.
int runResetlog(std::istream& in, std::ostream& out);

// The program run with arguments (see --help); returns the exit code.
int runResetlogCommand(int argc, const char* const* argv);

}  // namespace zr

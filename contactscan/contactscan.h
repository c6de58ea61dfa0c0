// contactscan: contacts between cars, lost wheels and engine damage in a race,
// written as a protest list and, for replays named like 300rplyB (race 300,
// grid B), as a protest script for the league's database.
#pragma once

#include <iosfwd>

#include "driver_table.h"
#include "incident_scan.h"
#include "front_end.h"
#include "lap_table.h"
#include "listing_run.h"
#include "replay_header.h"

namespace zr {

// The mode menu; false when the answer is not a number from 0 to 2.
bool askScanMode(std::istream& in, std::ostream& out, ScanMode& mode);

// Prints every lap record's car with its best lap as it stands after that
// record, then caps each best lap at 8 s over the best of the field, saying
// so for every car it changes.
void listLaps(ConsoleSink& out, const DriverTable& drivers, LapTable& laps);

struct IncidentFindings {
    ReplayHeader header;
    DriverTable drivers;
    ScanMode mode = ScanMode::everything;
    IncidentList list;
};

// The whole analysis of a started run; the console gets the track line, the
// lap listing, the progress text and a line per incident found.
IncidentFindings findIncidents(const StartedRun& run, ScanMode mode, ConsoleSink& console);

// The protest list, and the protest script when the replay name carries a
// race number and a grid letter; else the console says why there is none.
ListingOutcome protestOutcome(const IncidentFindings& findings, const RunPaths& paths);

// The findings as JSON (see schemas/contactscan.schema.json).
std::string incidentJson(const IncidentFindings& findings, const RunPaths& paths);

// The whole program: console dialogue, scan, outputs; returns the exit code.
int runContactscan(std::istream& in, std::ostream& out);

// The program run with arguments (see --help); returns the exit code.
int runContactscanCommand(int argc, const char* const* argv);

}  // namespace zr

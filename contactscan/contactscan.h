// contactscan: contacts between cars, lost wheels and engine damage in a race,
// written as a protest list and, for replays named like 300rplyB (race 300,
// grid B), as a protest script for the league's database.
#pragma once

#include <iosfwd>

#include "driver_table.h"
#include "incident_scan.h"
#include "lap_table.h"

namespace zr {

// The mode menu; false when the answer is not a number from 0 to 2.
bool askScanMode(std::istream& in, std::ostream& out, ScanMode& mode);

// Prints every lap record's car with its best lap as it stands after that
// record, then caps each best lap at 8 s over the best of the field, saying
// so for every car it changes.
void listLaps(std::ostream& out, const DriverTable& drivers, LapTable& laps);

// The whole program: console dialogue, scan, outputs; returns the exit code.
int runContactscan(std::istream& in, std::ostream& out);

}  // namespace zr

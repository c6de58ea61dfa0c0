// boxlog: the pit stops of a race, one line per stop with the time the car
// came to rest, its time between the pit-lane start and end positions, and
// the work done (repair, tyre change, refuelling), then a ranking of the cars
// by number of stops.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "byte_reader.h"
#include "console_sink.h"
#include "driver_table.h"
#include "lap_table.h"
#include "front_end.h"
#include "listing_run.h"
#include "replay_header.h"
#include "track_file.h"

namespace zr {

struct PitStopRecord {
    std::int32_t startFrame = 0;
    std::int32_t carSlot = 0;
    std::int32_t pitLaneFrames = 0;  // 0 until the car passes the pit-lane end position
    std::int32_t repairDone = 0;
    std::int32_t tyreChangeDone = 0;
    std::int32_t refuelDone = 0;
};

struct PitSectionState {
    std::int32_t entryFrame = 0;    // the frame the car last passed the pit-lane start position
    std::int32_t inPitSection = 0;  // between that and the pit-lane end position
    int openStop = -1;              // the car's current record, -1 when none
};

// Per car slot (0 to 29) and the stops in the order they were found.
struct PitLog {
    PitSectionState section[kSlots];
    std::int32_t standstillFrames[kSlots] = {};
    std::int32_t lastPosition[kSlots] = {};
    std::int32_t stopsPerCar[kSlots] = {};
    std::vector<PitStopRecord> stops;
};

// Walks the race from its start record (frame 1) until the leader's finish.
// Every 14 seconds a car stands in the pit section the console gets a line
// (with "GANG=" and the gear before it when that opens the stop).
PitLog walkPitStops(Bytes replay, std::int64_t start, int frameRate, const LapTable& laps, const PitLaneBounds& lane,
                    const DriverTable& drivers, ConsoleSink& console);

struct PitStopFindings {
    ReplayHeader header;
    TrackFile track;
    DriverTable drivers;
    PitLog log;
};

// The whole analysis of a started run; the console gets the track lines, the
// progress text and the walk's lines.
PitStopFindings findPitStops(const StartedRun& run, ConsoleSink& console);

// The text of "_PS.txt" (line feeds; stored as CR LF).
std::string pitStopReport(const PitStopFindings& findings);

// The report, or the console text and "PAUSE" when there was no stop.
ListingOutcome pitStopOutcome(const PitStopFindings& findings, const RunPaths& paths);

// The findings as JSON (see schemas/boxlog.schema.json).
std::string pitStopJson(const PitStopFindings& findings, const RunPaths& paths);

// The whole program: console dialogue, analysis, report; returns the exit code.
int runBoxlog(std::istream& in, std::ostream& out);

// The program run with arguments (see --help); returns the exit code.
int runBoxlogCommand(int argc, const char* const* argv);

}  // namespace zr

// dropwatch: cars whose recording ended while they were still moving, well
// before the race was over (disconnects and freezes).
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "byte_reader.h"
#include "console_sink.h"
#include "driver_table.h"
#include "front_end.h"
#include "lap_table.h"
#include "replay_header.h"
#include "track_file.h"

namespace zr {

constexpr int kDropSlots = 20;

struct DropState {
    std::int32_t lastMove[kDropSlots] = {};         // position change at the car's latest sample
    std::int32_t lastSampleFrame[kDropSlots] = {};  // frame counter of that sample
    std::int32_t previousPosition[kDropSlots] = {};
};

// Walks the race from `start` with the frame counter at 0.
DropState walkDrops(Bytes replay, std::int64_t start, int frameRate, const LapTable& laps);

// A car is listed when its last movement exceeds 4000 / frameRate position units.
bool isDrop(const DropState& state, int slot, int frameRate);

struct Disconnect {
    int carSlot = 0;
    std::int32_t lastSampleFrame = 0;
};

struct DropFindings {
    ReplayHeader header;
    TrackFile track;
    DriverTable drivers;
    std::vector<Disconnect> disconnects;  // in slot order
};

// The whole analysis of a started run; the console gets the track lines and
// the progress text.
DropFindings findDisconnects(const StartedRun& run, ConsoleSink& console);

// The text of "_Disco.txt" (line feeds; stored as CR LF).
std::string discoReport(const DropFindings& findings);

// The findings as JSON (see schemas/dropwatch.schema.json).
std::string discoJson(const DropFindings& findings, const RunPaths& paths);

// The whole program: console dialogue, analysis, report; returns the exit code.
int runDropwatch(std::istream& in, std::ostream& out);

// The program run with arguments (see --help); returns the exit code.
int runDropwatchCommand(int argc, const char* const* argv);

}  // namespace zr

// exitwatch: cars that left a qualifying session by escaping to the pits
// while standing outside the pit lane. Such a car vanishes from the
// recording and reappears later; the listing gives the session time left at
// its last sample before the absence and at its reappearance.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "byte_reader.h"
#include "driver_table.h"
#include "front_end.h"
#include "listing_run.h"
#include "lap_table.h"
#include "replay_header.h"
#include "console_sink.h"
#include "track_file.h"

namespace zr {

constexpr int kEscapeSlots = 20;

enum EscapeStateValue : std::int32_t { notYetSeen = -1, watched = 0, escaped = 1 };

struct EscapeWatch {
    std::int32_t escapeState[kEscapeSlots];
    std::int32_t lastSeenFrame[kEscapeSlots] = {};  // at an escape: the last sample before the absence
    std::int32_t escapeFrame[kEscapeSlots] = {};    // the sample with which the car reappeared
    std::int32_t previousPosition[kEscapeSlots] = {};
    std::int32_t olderPosition[kEscapeSlots] = {};
    int escapeCount = 0;

    EscapeWatch();
};

// Whether a car at position q stands in the pit lane. A lane whose end lies
// before its start crosses the point where positions restart at 0; an empty
// lane (no track file) holds no car.
bool inPitLane(std::int64_t q, const PitLaneBounds& lane);

// The frame count at which the walk ends, computed in 32-bit float as the
// session length minus the minutes not examined, times the frame rate.
float sessionFrameLimit(float sessionLength, std::int32_t timeDiffFirst, int frameRate);

// The session length in whole seconds times the frame rate: the frame from
// which the listing counts the session time down.
std::int64_t sessionFrames(float sessionLength, int frameRate);

// The record after the event stream's first one, where the walk begins; the
// file size when there is none.
std::int64_t secondStreamRecord(Bytes replay, const LapTable& laps);

// Walks from `start` with the frame counter at 0.
EscapeWatch walkEscapes(Bytes replay, std::int64_t start, const ReplayHeader& header, const TimeDiffSettings& timeDiff,
                        const PitLaneBounds& lane, const LapTable& laps);

struct EscapeFindings {
    ReplayHeader header;
    TimeDiffSettings timeDiff;
    TrackFile track;
    DriverTable drivers;
    EscapeWatch watch;
};

// The whole analysis of a started run; the console gets the track lines and
// the progress text.
EscapeFindings findEscapes(const StartedRun& run, ConsoleSink& console);

// The text of "_ESCinQ.txt" (line feeds; stored as CR LF).
std::string escapeReport(const EscapeFindings& findings);

// The report, or the console text and "PAUSE" when no car escaped.
ListingOutcome escapeOutcome(const EscapeFindings& findings, const RunPaths& paths);

// The findings as JSON (see schemas/exitwatch.schema.json).
std::string escapeJson(const EscapeFindings& findings, const RunPaths& paths);

// The whole program: console dialogue, analysis, report; returns the exit code.
int runExitwatch(std::istream& in, std::ostream& out);

// The program run with arguments (see --help); returns the exit code.
int runExitwatchCommand(int argc, const char* const* argv);

}  // namespace zr

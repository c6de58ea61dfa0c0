// Replays for the lap statistics' tests: lap records with flags, and event
// streams in which the cars (or the recording driver's own car) move along
// the track in step with their lap stamps, so that line crossings, quarter
// marks and speeds can be measured.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "byte_reader.h"
#include "lap_tables.h"
#include "replay_builder.h"

namespace zr::test {

using namespace zr::writer;  // the tests describe their replays in the writer's terms

// The core's view of a built replay.
inline Bytes view(const ByteVec& v) { return {v.data(), v.size()}; }

// A built replay with its driver table and lap tables read as raceboard
// reads them (the race table taken when there is one).
struct ReadReplay {
    ByteVec bytes;
    DriverTable drivers;
    LapTables tables;
    std::int64_t streamStart = 0;
};
ReadReplay readReplay(const ReplaySpec& recipe);

// Lap entries from cumulative stamps, with the flag byte of each entry.
LapRecordSpec flaggedLapRecord(std::int32_t slot, const std::vector<std::uint32_t>& stamps,
                               const std::vector<std::uint8_t>& flags);

// Evenly spaced stamps: `start`, then `laps` laps of `lapMs`.
std::vector<std::uint32_t> evenLaps(std::uint32_t start, int laps, std::uint32_t lapMs);

// How a car runs: cumulative stamps (ms) and a speed wobble within each lap.
// Between two stamps the car covers the track once, position
// trackLength * (u - wobble * sin(2 pi u) / (2 pi)) at lap fraction u, so the
// car is slowest at the line and fastest at half distance. Before the first
// stamp it approaches the line at its first lap's pace, after the last it
// keeps that pace without crossing the line again.
struct CarRun {
    int slot = 0;
    std::vector<std::uint32_t> stamps;
    double wobble = 0.0;
};

// A car's slot and its track position at a time (ms) of the recording.
struct CarTrace {
    int slot = 0;
    std::function<std::int32_t(double ms)> positionAt;
};
CarTrace traceOf(const CarRun& run, std::int32_t trackLength);
std::vector<CarTrace> tracesOf(const std::vector<CarRun>& runs, std::int32_t trackLength);

// A car at one steady speed: it passes the line at firstLineMs + i * lapMs,
// between two frames and never on a whole millisecond, so every quarter mark
// and line crossing falls at a known time between frames.
struct SteadyCar {
    int slot = 1;
    std::int32_t trackLength = 2400000;
    double firstLineMs = 1005.3;
    double lapMs = 36000.4;

    CarTrace trace() const;
    std::vector<std::uint32_t> stamps(int laps) const;  // the crossings truncated to the millisecond
    // ms from the line to quarter `m` of the measured track length (4: to the
    // next line), truncated.
    std::int32_t trueMark(int m, std::int32_t measuredLength) const;
};

// A server race: one record before the start, the race-start record (type 13,
// start flag set), then `frames` frames of car samples; frame j after the
// start record is at j * 1000 / frameRate ms of the race stamps. The two
// session records carry the samples of 0 ms when `sessionSamples`.
std::vector<RecordSpec> serverRaceStream(const std::vector<CarTrace>& cars, int frameRate, int frames,
                                         bool sessionSamples = true);

// A participant's recording: every frame is a type-13 record whose session
// clock is the frame's time (hundredths of a second times 256, the low byte
// the start flag, set from `raceStartFrame` on), with the own-car block of
// `own` and car samples of `others`.
std::vector<RecordSpec> participantStream(const CarTrace& own, const std::vector<CarTrace>& others, int frameRate,
                                          int frames, int raceStartFrame);

}  // namespace zr::test

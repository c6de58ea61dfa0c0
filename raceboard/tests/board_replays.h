// Replays for raceboard's tests: lap records with flags, and event streams in
// which the cars (or the recording driver's own car) move along the track in
// step with their lap stamps, so that line crossings, quarter marks and
// speeds can be measured.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "replay_builder.h"

namespace zr::test {

using namespace zr::writer;  // the tests describe their replays in the writer's terms

// Lap entries from cumulative stamps, with the flag byte of each entry.
LapRecordSpec flaggedLapRecord(std::int32_t slot, const std::vector<std::uint32_t>& stamps,
                               const std::vector<std::uint8_t>& flags);

// How a car runs: cumulative stamps (ms) and a speed wobble within each lap.
// Between two stamps the car covers the track once, position
// trackLength * (u - wobble * sin(2 pi u) / (2 pi)) at lap fraction u, so the
// car is slowest at the line and fastest at half distance.
struct CarRun {
    int slot = 0;
    std::vector<std::uint32_t> stamps;
    double wobble = 0.0;
};

// The track position of a run at time `ms`: before the first stamp the car
// approaches the line at its first lap's pace, after the last stamp it keeps
// that pace in its last lap without crossing the line again.
std::int32_t runPosition(const CarRun& run, double ms, std::int32_t trackLength);

// A car's slot and its track position at a time (ms) of the recording.
struct CarTrace {
    int slot = 0;
    std::function<std::int32_t(double ms)> positionAt;
};
CarTrace traceOf(const CarRun& run, std::int32_t trackLength);

// A server race: one record before the start, the race-start record (type 13,
// start flag set), then `frames` frames of car samples; frame j after the
// start record is at j * 1000 / frameRate ms of the race stamps.
std::vector<RecordSpec> serverRaceStream(const std::vector<CarTrace>& cars, int frameRate, int frames);
std::vector<RecordSpec> serverRaceStream(const std::vector<CarRun>& cars, int frameRate, std::int32_t trackLength,
                                         int frames);

// A participant's recording: every frame is a type-13 record whose session
// clock is the frame's time (hundredths of a second times 256, the low byte
// the start flag, set from `raceStartFrame` on), with the own-car block of
// `own` and car samples of `others`.
std::vector<RecordSpec> participantStream(const CarTrace& own, const std::vector<CarTrace>& others, int frameRate,
                                          int frames, int raceStartFrame);
std::vector<RecordSpec> participantStream(const CarRun& own, const std::vector<CarRun>& others, int frameRate,
                                          std::int32_t trackLength, int frames, int raceStartFrame);

}  // namespace zr::test

namespace zr::test {

constexpr std::int32_t kBoardTrack = 2400000;  // 1.2 km in 0.5 mm units

// A server replay at 36 fps: five drivers in practice and a race of five
// laps with an off-track fastest lap in each session, a driver who retires,
// one who is lapped, names that need escaping and a make without a logo.
ReplaySpec serverRaceReplay();

// A replay recorded by the driver in slot 2 at 60 fps: five practice laps
// (lap 3 void, lap 4 off track) and four race laps against two others.
ReplaySpec participantRaceReplay();

// A server replay with practice laps only.
ReplaySpec practiceOnlyReplay();

}  // namespace zr::test

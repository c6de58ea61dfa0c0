// Track length and the sector times and speeds of each driver's fastest race
// lap, measured from the car samples of the event stream.
//
// Track positions count from the start/finish line in 0.5 mm units and drop to
// a small value when a car crosses the line. A speed in 1/100 km/h is the
// position change between two frames times 18 times the frame rate over 100.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "byte_reader.h"
#include "console_sink.h"
#include "driver_table.h"
#include "lap_tables.h"

namespace zr {

constexpr int kLapPoints = 5;  // point 0 the whole lap, points 1 to 4 the quarters
constexpr std::int32_t kMaxCountedSpeed = 36000;  // 360.00 km/h and above never count
constexpr std::int32_t kNearLine = 100000;        // a position this close after the line is a passage
constexpr std::int64_t kEndRoom = 1200;           // measuring stops this many bytes before the end
constexpr std::int64_t kTrackScanRoom = 10000;    // the track-length scan stops this far before it

// Truncates toward zero into 32 bits. A value that is not finite (a division
// by a position change of 0) gives 0, a "not measured" value; others are
// clamped to the 32-bit range.
std::int32_t truncateToInt(double value);

// A speed in 1/100 km/h from a position change over one frame.
double speedOf(std::int64_t delta, int frameRate);

struct LapSpeeds {
    std::int32_t max[kLapPoints] = {};
    std::int32_t min[kLapPoints] = {kNoLap, kNoLap, kNoLap, kNoLap, kNoLap};
};

struct FastestLapMeasure {
    // Point 0 unused; points 1 to 3 ms from the line to each quarter of the track
    // length; point 4 ms to the next line crossing.
    std::vector<std::array<std::int32_t, kLapPoints>> sectorMarks;
    std::vector<LapSpeeds> lapSpeeds;
    explicit FastestLapMeasure(int slots = kReplaySlots) : sectorMarks(slots), lapSpeeds(slots) {}
};

// The samples of one car over the records where its fastest-lap measuring
// will look (planLapWindows): from the record it steps back to, through the
// lap and some room, kept by the track-length scan as it walks them. The
// measuring reads the window instead of those records, unless it steps back
// elsewhere or runs out of the window (a damaged file, an odd lap table, two
// samples of the car in a record), where it walks the records as ever.
struct LapWindow {
    std::int64_t first = -1;      // race record index of its first record; -1: no window
    std::int64_t records = 0;     // how many records it spans
    std::int64_t firstStart = -1; // where its first record starts; -1: the scan never came there
    std::int64_t anchor = -1;     // race record index the measuring steps back from
    std::int64_t anchorStart = -1; // where that record starts; -1: the scan never came there
    bool backLinks = true;        // each record after the first, to the anchor, names the one before
    std::int64_t afterStart = -1; // where the record after it starts; -1: the scan ended within
    bool twice = false;           // a record held two samples of the car
    std::vector<std::int32_t> positions;  // by record: the car's sample position, -1 for none
};

// Where each car slot's samples end in the event stream: the offset of the
// last record, as far as lap measuring reads, that holds a sample of the
// slot; -1 for a slot without any. A car that left the race early has no
// samples in the rest of the file, and its lap measuring need not read it.
// The same walk notes every 256th record start from the record after the race
// start on (as RecordIndex keeps them), so that the measuring's skips to each
// fastest lap need not walk the race's records again once the file is read.
// It also fills the lap windows.
struct SampleReach {
    std::int64_t raceRecord = -1;  // the record after the race start; -1: none
    std::int64_t lastRecord[64];
    std::vector<std::int64_t> raceRecordStarts;
    std::array<LapWindow, kReplaySlots> windows;  // by car slot
};

// The largest track position from the stream start on, starting at `soFar`:
// of the own car (`localDriverSlot` above 0) or of every car (0). With
// `reach` the same walk also notes where each slot's samples end.
std::int32_t scanTrackLength(Bytes replay, std::int64_t streamStart, std::int32_t localDriverSlot,
                             std::int32_t soFar, SampleReach* reach = nullptr);

// How far the walk goes back before a fastest lap and looks for the line.
struct FastestLapWalk {
    int stepBack;
    int searchRecords;
};
constexpr FastestLapWalk kRaceboardWalk{100, 1000};

// Sets the windows of the cars of rows slotBase + 1 to slotBase + 19 whose
// fastest race lap will be measured, for the next scanTrackLength to fill.
void planLapWindows(SampleReach& reach, const LapTables& tables, int slotBase, int frameRate, FastestLapWalk walk);

// Measures the fastest race lap of car slots 1 to 19 of one replay (rows
// slotBase + car slot) that drove a race lap; shows the wait line for each.
// `reach`, from the track-length scan of the same replay, lets a measurement
// end where the car's samples end.
void measureFastestRaceLaps(Bytes replay, std::int64_t streamStart, int frameRate, std::int32_t trackLength,
                            const LapTables& tables, int slotBase, const DriverTable& drivers,
                            FastestLapWalk walk, FastestLapMeasure& measure, ConsoleSink& console,
                            const SampleReach* reach = nullptr);

// Sector k (1 to 4) of a slot's fastest lap; k = 4 runs to the lap's end.
std::int32_t sectorTime(const FastestLapMeasure& measure, const LapTables& tables, int slot, int k);

}  // namespace zr

#include "lap_measure.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <iterator>
#include <limits>

#include "listing_text.h"
#include "platform.h"
#include "record_walk.h"

namespace zr {

std::int32_t truncateToInt(double value) {
    if (!std::isfinite(value)) return 0;
    if (value >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

double speedOf(std::int64_t delta, int frameRate) {
    return static_cast<double>(delta) * 18.0 * frameRate / 100.0;
}

namespace {

// A lap window spans the step back, the lap and an eighth and two seconds,
// for laps of up to four minutes; a longer lap is measured by walking the
// records.
constexpr std::int64_t kLongestWindowLapMs = 4 * 60 * 1000;

// The race record, counted from the record after the race start, from which a
// car's fastest-lap measuring steps back: the one of its lap's start stamp
// (one record per frame), or the first for a lap out of the table.
std::int64_t fastestLapRecord(const RaceLaps& laps, int frameRate) {
    const std::int32_t lap = laps.bestRaceLap.lap;
    if (lap < 1 || lap >= kLapRows) return 0;
    const std::int64_t k = static_cast<std::int64_t>(laps.raceStamps[lap - 1]) * frameRate / 1000;
    return std::max<std::int64_t>(k, 0);
}

// At race record `r`, starting at `at`: opens and closes the windows whose
// edge it is (the bits of `open`), and returns the next edge.
std::int64_t passWindowEdges(SampleReach& reach, std::int64_t r, std::int64_t at, std::uint64_t& open) {
    std::int64_t next = std::numeric_limits<std::int64_t>::max();
    for (int car = 0; car < kReplaySlots; ++car) {
        LapWindow& w = reach.windows[car];
        if (w.first < 0) continue;
        const std::int64_t last = w.first + w.records;
        if (r == w.first) {
            w.firstStart = at;
            open |= std::uint64_t{1} << car;
        } else if (r == last) {
            w.afterStart = at;
            open &= ~(std::uint64_t{1} << car);
        }
        if (w.first > r) next = std::min(next, w.first);
        else if (last > r) next = std::min(next, last);
    }
    return next;
}

// Keeps the car's position in the record of each open window; up to a
// window's anchor also checks that each record's previous-record length
// leads back to the record before it, as the measuring's step back reads it.
void keepWindowSamples(SampleReach& reach, Bytes replay, const Frame& frame, std::int64_t previousStart,
                       std::uint64_t open) {
    for (std::uint64_t bits = open; bits; bits &= bits - 1) {
        const int car = std::countr_zero(bits);
        LapWindow& w = reach.windows[car];
        const auto r = w.first + static_cast<std::int64_t>(w.positions.size());
        if (r > w.first && r <= w.anchor) {
            std::uint32_t back = 0;
            if (!readU16(replay, frame.recordOffset + record::previousLength, back) ||
                frame.recordOffset - back != previousStart)
                w.backLinks = false;
        }
        if (r == w.anchor) w.anchorStart = frame.recordOffset;
        std::int32_t position = -1;
        for (int i = 0; i < frame.sampleCount; ++i) {
            const CarSample s = frame.sample(i);
            if (s.carSlot != car) continue;
            if (position >= 0) w.twice = true;
            position = s.samplePosition;
        }
        w.positions.push_back(position);
    }
}

}  // namespace

void planLapWindows(SampleReach& reach, const LapTables& tables, int slotBase, int frameRate, FastestLapWalk walk) {
    for (int carSlot = 0; carSlot < kReplaySlots; ++carSlot) {
        LapWindow& w = reach.windows[carSlot];
        w = LapWindow{};
        const int s = slotBase + carSlot;
        if (carSlot == 0 || !tables.isSlot(s) || tables.race[s].raceLapCount <= 0) continue;
        const RaceLaps& laps = tables.race[s];
        const std::int64_t k = fastestLapRecord(laps, frameRate);
        if (k < walk.stepBack) continue;  // the step back would reach before the race's records
        const std::int64_t lapMs = std::clamp<std::int64_t>(laps.bestRaceLap.time, 0, kLongestWindowLapMs);
        w.first = k - walk.stepBack;
        w.anchor = k;
        const std::int64_t lapRecords = lapMs * frameRate / 1000;
        w.records = walk.stepBack + lapRecords + lapRecords / 8 + 2 * frameRate;
        w.positions.reserve(static_cast<std::size_t>(w.records));
        enterFreshPages(w.positions.data(), w.positions.capacity() * sizeof(std::int32_t));
    }
}

// Flattened: every call in the walk is inlined, readFrame above all, whose
// chain walk then folds with the rule (as a call it took 180 instructions a
// frame; the walk is a fifth shorter so).
[[gnu::flatten]] std::int32_t scanTrackLength(Bytes replay, std::int64_t streamStart, std::int32_t localDriverSlot,
                                              std::int32_t soFar, SampleReach* reach) {
    std::int32_t length = soFar;
    // Lengths are taken up to 10000 bytes before the end; where the samples
    // end is looked for as far as lap measuring reads.
    const std::int64_t lengthEnd = static_cast<std::int64_t>(replay.size) - kTrackScanRoom;
    const std::int64_t end = reach ? static_cast<std::int64_t>(replay.size) - kEndRoom : lengthEnd;
    std::int64_t raceRecord = -1;  // where the race's record count starts; -1: none
    if (reach) {
        std::fill(std::begin(reach->lastRecord), std::end(reach->lastRecord), -1);
        reach->raceRecordStarts.clear();
        raceRecord = findRaceStartRecord(replay, streamStart, false);
        if (!nextRecord(replay, raceRecord)) raceRecord = -1;
        reach->raceRecord = raceRecord;
    }
    std::int64_t raceRecords = -1;  // records walked since the race record
    std::int64_t nextEdge = 0;      // the next race record where a lap window opens or closes
    std::int64_t previousStart = -1;
    std::uint64_t open = 0;         // the car slots whose window holds this record
    Frame frame;
    for (std::int64_t at = streamStart; at < end; at = frame.recordEnd) {
        if (at == raceRecord) raceRecords = 0;
        if (raceRecords >= 0) {
            if (raceRecords % RecordIndex::kEvery == 0) reach->raceRecordStarts.push_back(at);
            if (raceRecords == nextEdge) nextEdge = passWindowEdges(*reach, raceRecords, at, open);
            ++raceRecords;
        }
        if (!readFrame(replay, at, kBoardChain, frame)) break;
        // One pass over the samples for where each car's samples end and for
        // the largest position of every car. readFrame takes the last block
        // as samples only from 16 bytes on; a block of 11 to 15 bytes holds
        // no whole sample either.
        const bool everyCar = localDriverSlot == 0 && at < lengthEnd;
        if (reach || everyCar) {
            for (int i = 0; i < frame.sampleCount; ++i) {
                const CarSample s = frame.sample(i);
                if (reach) reach->lastRecord[s.carSlot] = at;
                if (everyCar && s.samplePosition > length) length = s.samplePosition;
            }
        }
        if (reach) {
            if (open) keepWindowSamples(*reach, replay, frame, previousStart, open);
            previousStart = at;
        }
        if (localDriverSlot > 0 && at < lengthEnd) {
            std::int32_t own = ownCarPosition(replay, frame);
            if (own > length) length = own;
        }
    }
    return length;
}

namespace {

// The state of one measured lap: marks at the quarters and the line.
struct FastestLapRun {
    int c = 3;  // frames since the crossing record, counted from 3
    int m = 0;  // points passed
    int q = 0;  // point index
    double t = 0.0;
    double previousSpeed = 0.0;
    std::int32_t previous = 0;
};

void takeSample(FastestLapRun& run, std::int32_t p, int frameRate, std::int32_t trackLength,
                std::array<std::int32_t, kLapPoints>& marks, LapSpeeds& speeds) {
    const std::int64_t delta = static_cast<std::int64_t>(p) - run.previous;
    const double v = speedOf(delta, frameRate);
    // A speed that rose by 0.01 km/h or more since the previous sample is
    // never a maximum, so a single spike does not count.
    if (v < kMaxCountedSpeed && v - run.previousSpeed < 1) {
        if (v > speeds.max[0]) speeds.max[0] = truncateToInt(v);
        if (v > speeds.max[run.q]) speeds.max[run.q] = truncateToInt(v);
    }
    if (delta > 0) {
        if (v < speeds.min[0]) speeds.min[0] = truncateToInt(v);
        if (v < speeds.min[run.q]) speeds.min[run.q] = truncateToInt(v);
    }
    run.previousSpeed = v;

    const double quarter = static_cast<double>(static_cast<std::int64_t>(run.m) * trackLength) / 4.0;
    const double d = static_cast<double>(delta);
    if (run.m >= 1 && run.m <= 3 && p > quarter) {
        marks[run.q] = truncateToInt((run.c + run.t - (p - quarter) / d) * 1000.0 / frameRate);
        ++run.q;
        ++run.m;
    } else if ((run.m == 0 || run.m == 4) && run.previous < kNearLine) {
        // The line lies previous / d frames before the previous sample, whose
        // frame count is c - 1: t turns frame counts into frames since the
        // opening crossing, and the closing crossing is mark 4.
        if (run.m == 4) marks[4] = truncateToInt((run.c - 1 + run.t - run.previous / d) * 1000.0 / frameRate);
        else run.t = run.previous / d - (run.c - 1);
        ++run.q;
        ++run.m;
    }
    run.previous = p;
}

// The measuring below, from the samples the track-length scan kept: the same
// line search and lap from record `from` on. False, with nothing changed,
// where the window does not start there or ends before the measuring would;
// the records are then walked.
bool measureFromWindow(const LapWindow& w, std::int64_t from, std::int64_t lastRecord, int searchRecords,
                       int frameRate, std::int32_t trackLength, std::array<std::int32_t, kLapPoints>& marks,
                       LapSpeeds& speeds) {
    if (w.firstStart < 0 || w.firstStart != from || w.twice) return false;
    // The scan ended within the window: the walk too finds no record after
    // the last one kept, or one past the measuring's end.
    const bool scanEnded = w.afterStart < 0;
    const std::size_t records = w.positions.size();
    std::size_t r = 0;
    LineSearch search;
    for (int i = 0; i < searchRecords; ++i) {
        if (r == records) return scanEnded;
        if (search.crossedAt(w.positions[r++])) break;
    }
    FastestLapRun run;
    run.previous = search.previous;
    std::array<std::int32_t, kLapPoints> newMarks = marks;
    LapSpeeds newSpeeds = speeds;
    for (; r < records && run.m <= 4; ++r) {
        if (w.positions[r] >= 0) takeSample(run, w.positions[r], frameRate, trackLength, newMarks, newSpeeds);
        if (run.m <= 4) ++run.c;
    }
    // Out of the window with the lap not closed: good only where no sample of
    // the car follows it.
    if (run.m <= 4 && !scanEnded && lastRecord >= w.afterStart) return false;
    marks = newMarks;
    speeds = newSpeeds;
    return true;
}

// Whether walking records on from `from` meets the record at `record`.
bool meetsRecord(Bytes replay, std::int64_t from, std::int64_t record) {
    while (from < record && nextRecord(replay, from)) {
    }
    return from == record;
}

void measureOneLap(Bytes replay, RecordIndex& race, std::int64_t streamStart, int frameRate,
                   std::int32_t trackLength, const RaceLaps& laps, int carSlot, FastestLapWalk walk,
                   std::array<std::int32_t, kLapPoints>& marks, LapSpeeds& speeds, const std::string& name,
                   ConsoleSink& console, const SampleReach* reach) {
    const std::int64_t end = static_cast<std::int64_t>(replay.size) - kEndRoom;
    // The skip to the lap's record and the step back, or where the scan found
    // them: the records it read all have lengths, so the skip ends where its
    // count did, and with the back links checked the step back ends at the
    // window's first record.
    const LapWindow* window = reach ? &reach->windows[carSlot] : nullptr;
    const bool scanFoundThem = window && window->anchorStart >= 0 && window->backLinks;
    std::int64_t at = scanFoundThem ? window->anchorStart : race.skip(fastestLapRecord(laps, frameRate));
    // A record of the chain the track-length scan walked. Only when the walk
    // back and on again meets it (the lengths of a damaged file may lead
    // astray) is the scan's word on where the car's samples end good from
    // there on.
    const std::int64_t scanned = at;
    at = scanFoundThem ? window->firstStart : stepBackFrames(replay, at, walk.stepBack, streamStart);
    console << "\nWait a moment, please... The tool is looking for sector times\nand max.speed of " << name
            << std::flush;
    if (window && measureFromWindow(*window, at, reach->lastRecord[carSlot], walk.searchRecords, frameRate,
                                    trackLength, marks, speeds))
        return;
    const bool onScannedChain = reach && meetsRecord(replay, at, scanned);

    const std::int32_t previous = searchLineCrossing(
        replay, at, walk.searchRecords, [carSlot](const Frame& f) { return lastSamplePosition(f, carSlot); });
    if (at >= end) return;

    FastestLapRun run;
    run.previous = previous;
    Frame frame;
    while (readFrame(replay, at, kBoardChain, frame)) {
        // No sample of the car follows: the rest of the walk would change nothing.
        if (onScannedChain && at >= scanned && at > reach->lastRecord[carSlot]) break;
        at = frame.recordEnd;
        for (int i = 0; i < frame.sampleCount && run.m <= 4; ++i) {
            CarSample s = frame.sample(i);
            if (s.carSlot == carSlot) takeSample(run, s.samplePosition, frameRate, trackLength, marks, speeds);
        }
        if (run.m > 4) break;
        ++run.c;
        if (at >= end) break;
    }
}

}  // namespace

void measureFastestRaceLaps(Bytes replay, std::int64_t streamStart, int frameRate, std::int32_t trackLength,
                            const LapTables& tables, int slotBase, const DriverTable& drivers,
                            FastestLapWalk walk, FastestLapMeasure& measure, ConsoleSink& console,
                            const SampleReach* reach) {
    std::int64_t raceRecord = reach ? reach->raceRecord : findRaceStartRecord(replay, streamStart, false);
    if (reach ? raceRecord < 0 : !nextRecord(replay, raceRecord)) return;  // no race start
    RecordIndex race(replay, raceRecord);
    if (reach && !reach->raceRecordStarts.empty()) race.starts = reach->raceRecordStarts;  // from raceRecord on

    for (int carSlot = 1; carSlot < kReplaySlots; ++carSlot) {
        const int s = slotBase + carSlot;
        if (!tables.isSlot(s) || tables.race[s].raceLapCount <= 0) continue;
        measureOneLap(replay, race, streamStart, frameRate, trackLength, tables.race[s], carSlot, walk,
                      measure.sectorMarks[s], measure.lapSpeeds[s], shortName(drivers, carSlot), console, reach);
    }
}

std::int32_t sectorTime(const FastestLapMeasure& measure, const LapTables& tables, int slot, int k) {
    const auto& marks = measure.sectorMarks[slot];
    if (k == 1) return marks[1];
    if (k == 4) return tables.race[slot].bestRaceLap.time - marks[3];
    return marks[k] - marks[k - 1];
}

}  // namespace zr

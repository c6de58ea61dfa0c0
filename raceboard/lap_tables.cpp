#include "lap_tables.h"

#include <algorithm>

#include "replay_header.h"

namespace zr {

LapTables::LapTables(int slots, int offTrackLaps)
    : slotCount(slots), offTrackRows(std::clamp(offTrackLaps, 0, kOffTrackRows)), practice(slots), race(slots) {}

bool LapTables::offTrackPractice(int slot, std::int64_t lap) const {
    return isSlot(slot) && lap >= 0 && lap < offTrackRows && practice[slot].offTrackPracticeLap[lap];
}

bool LapTables::offTrackRace(int slot, std::int64_t lap) const {
    return isSlot(slot) && lap >= 0 && lap < offTrackRows && race[slot].offTrackRaceLap[lap];
}

namespace {

// The row of a record's car slot, or -1 when the tables have none.
int rowOf(const LapTables& tables, std::int32_t carSlot, int slotBase) {
    if (carSlot < 0 || carSlot >= kReplaySlots) return -1;
    int row = slotBase + carSlot;
    return tables.isSlot(row) ? row : -1;
}

// Reads an entry; false when the file has ended.
bool readEntry(Cursor& c, std::int32_t& stamp, std::uint32_t& flags) {
    stamp = static_cast<std::int32_t>(c.u24());
    flags = c.u8();
    return !c.failed;
}

}  // namespace

std::int64_t readPracticeLaps(Bytes replay, std::int64_t tagOffset, LapTables& tables, int slotBase) {
    Cursor c{replay, tagOffset};
    while (true) {
        std::int64_t tagAt = c.pos;
        std::uint32_t tag = c.u32();
        if (c.failed) return static_cast<std::int64_t>(replay.size);
        if (tag != tagOrpl) return tagAt;
        c.skip(4);
        std::int32_t n = c.i32();
        std::int32_t row = rowOf(tables, c.i32(), slotBase);
        if (c.failed) return static_cast<std::int64_t>(replay.size);
        PracticeLaps* p = row >= 0 ? &tables.practice[row] : nullptr;
        if (p) p->bestPracticeLap.time = p->bestOnTrackPracticeLap.time = kNoLap;

        // Practice records have no length limit: every entry is read to reach
        // the next tag, entries past the table are passed over.
        const std::int64_t last = static_cast<std::int64_t>(n / 4) - 2;
        for (std::int64_t i = 0; i <= last; ++i) {
            std::int32_t stamp;
            std::uint32_t flags;
            if (!readEntry(c, stamp, flags)) return static_cast<std::int64_t>(replay.size);
            if (!p || i >= kLapRows) continue;
            p->practiceLapCount = static_cast<std::int32_t>(std::min<std::int64_t>(last, kLapRows - 1));
            p->practiceStamps[i] = stamp;
            std::int32_t time = i == 0 ? stamp : stamp - p->practiceStamps[i - 1];
            if (flags & kFlagVoidLap) time = 0;
            p->practiceLapTimes[i] = time;
            bool offTrack = (flags & kFlagOffTrack) != 0;
            if (offTrack && i < tables.offTrackRows) p->offTrackPracticeLap[i] = 1;
            if (i == 0 || time <= 0) continue;
            const std::int32_t lap = static_cast<std::int32_t>(i);
            if (time < p->bestPracticeLap.time) p->bestPracticeLap = {time, lap};
            // The on-track best is kept on its own: an off-track lap that was
            // faster must not hide a later on-track one.
            if (!offTrack && time < p->bestOnTrackPracticeLap.time) p->bestOnTrackPracticeLap = {time, lap};
        }
    }
}

void readRaceLaps(Bytes replay, std::int64_t tagOffset, LapTables& tables, int slotBase, LapReading& reading) {
    // The tag, 8 bytes, then the first record's "ORPL" and 4 bytes.
    Cursor c{replay, tagOffset + 4 + 16};
    reading.raceTableRead = true;
    bool endWordRead = false;
    for (int record = 0; record < kMaxRaceRecords; ++record) {
        std::int32_t n = c.i32();
        endWordRead = n > kMaxLapRecordBytes;
        if (c.failed || endWordRead) break;
        std::int32_t row = rowOf(tables, c.i32(), slotBase);
        if (c.failed) break;
        RaceLaps* r = row >= 0 ? &tables.race[row] : nullptr;
        if (r) {
            r->raceLapCount = n / 4 - 2;
            r->bestRaceLap.time = r->bestOnTrackRaceLap.time = kNoLap;
            reading.largestRaceRecordBytes = std::max(reading.largestRaceRecordBytes, n);
        }
        const int last = n > 7 ? n / 4 - 2 : -1;
        for (int i = 0; i <= last; ++i) {
            std::int32_t stamp;
            std::uint32_t flags;
            if (!readEntry(c, stamp, flags)) break;
            if (!r) continue;
            bool offTrack = (flags & kFlagOffTrack) != 0;
            if (i >= 1) {
                if (!offTrack) ++r->onTrackRaceLaps;
                else if (i < tables.offTrackRows) r->offTrackRaceLap[i] = 1;
            }
            r->raceStamps[i] = stamp;
            std::int32_t time = i == 0 ? stamp : stamp - r->raceStamps[i - 1];
            r->raceLapTimes[i] = time;
            if (i == 0) {
                reading.raceStartStamp = std::min(reading.raceStartStamp, stamp);
                continue;
            }
            if (time < r->bestRaceLap.time) r->bestRaceLap = {time, i};
            if (time > 0 && time < r->bestOnTrackRaceLap.time && !offTrack) r->bestOnTrackRaceLap = {time, i};
        }
        if (c.failed) break;
        c.skip(8);  // the next record's "ORPL" and the 4 bytes after it
    }
    // The records end at a word above 2000 and the stream begins right after
    // it. A table of 20 records is followed by that word too: the stream
    // begins after it as well, not 4 bytes early.
    std::int32_t endWord = 0;
    if (!c.failed && !endWordRead && readI32(replay, c.pos, endWord) && endWord > kMaxLapRecordBytes) c.pos += 4;
    reading.streamStart = std::min<std::int64_t>(c.pos, static_cast<std::int64_t>(replay.size));
}

LapReading readLapRecords(Bytes replay, const DriverTable& drivers, LapTables& tables, int slotBase) {
    LapReading reading;
    reading.streamStart = static_cast<std::int64_t>(replay.size);
    std::int64_t tagAt = drivers.tagOffset;
    if (drivers.stopTag == tagOrpl) tagAt = readPracticeLaps(replay, drivers.tagOffset, tables, slotBase);
    else if (drivers.stopTag != tagBtpl) return reading;  // the file ended inside the driver table

    std::uint32_t tag = 0;
    if (!readU32(replay, tagAt, tag)) return reading;
    if (tag == tagBtpl) {
        readRaceLaps(replay, tagAt, tables, slotBase, reading);
    } else {
        // No race table: the stream begins after the tag and 8 more bytes.
        reading.streamStart = std::min<std::int64_t>(tagAt + 12, static_cast<std::int64_t>(replay.size));
    }
    return reading;
}

void takeRaceTable(LapTables& tables, const LapReading& reading) {
    tables.hasRaceTable = reading.raceTableRead;
    tables.maxRaceLaps = reading.raceTableRead ? reading.largestRaceRecordBytes / 4 - 2 : 0;
    tables.raceStartStamp = reading.raceStartStamp;
}

}  // namespace zr

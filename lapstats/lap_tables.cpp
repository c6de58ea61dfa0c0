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

void takePracticeRecord(const LapRecordView& record, LapTables& tables, int slotBase) {
    const int row = rowOf(tables, record.carSlot, slotBase);
    if (row < 0) return;
    PracticeLaps& p = tables.practice[row];
    p.bestPracticeLap.time = p.bestOnTrackPracticeLap.time = kNoLap;
    // Entries past the table are passed over.
    const std::int64_t entries = std::min<std::int64_t>(record.wholeEntries(), kLapRows);
    for (std::int64_t i = 0; i < entries; ++i) {
        const LapEntry e = record.entry(i);
        p.practiceLapCount = static_cast<std::int32_t>(std::min<std::int64_t>(record.entryCount() - 1, kLapRows - 1));
        p.practiceStamps[i] = e.stamp;
        std::int32_t time = i == 0 ? e.stamp : e.stamp - p.practiceStamps[i - 1];
        if (e.flags & kFlagVoidLap) time = 0;
        p.practiceLapTimes[i] = time;
        const bool offTrack = (e.flags & kFlagOffTrack) != 0;
        if (offTrack && i < tables.offTrackRows) p.offTrackPracticeLap[i] = 1;
        if (i == 0 || time <= 0) continue;
        const std::int32_t lap = static_cast<std::int32_t>(i);
        if (time < p.bestPracticeLap.time) p.bestPracticeLap = {time, lap};
        // The on-track best is kept on its own: an off-track lap that was
        // faster must not hide a later on-track one.
        if (!offTrack && time < p.bestOnTrackPracticeLap.time) p.bestOnTrackPracticeLap = {time, lap};
    }
}

void takeRaceRecord(const LapRecordView& record, LapTables& tables, int slotBase, LapReading& reading) {
    const int row = rowOf(tables, record.carSlot, slotBase);
    if (row < 0) return;
    RaceLaps& r = tables.race[row];
    const std::int32_t n = record.lapRecordBytes;
    r.raceLapCount = n / 4 - 2;
    r.bestRaceLap.time = r.bestOnTrackRaceLap.time = kNoLap;
    reading.largestRaceRecordBytes = std::max(reading.largestRaceRecordBytes, n);
    const std::int64_t entries = record.wholeEntries();
    for (int i = 0; i < entries; ++i) {
        const LapEntry e = record.entry(i);
        const bool offTrack = (e.flags & kFlagOffTrack) != 0;
        if (i >= 1) {
            if (!offTrack) ++r.onTrackRaceLaps;
            else if (i < tables.offTrackRows) r.offTrackRaceLap[i] = 1;
        }
        r.raceStamps[i] = e.stamp;
        const std::int32_t time = i == 0 ? e.stamp : e.stamp - r.raceStamps[i - 1];
        r.raceLapTimes[i] = time;
        if (i == 0) {
            reading.raceStartStamp = std::min(reading.raceStartStamp, e.stamp);
            continue;
        }
        if (time < r.bestRaceLap.time) r.bestRaceLap = {time, i};
        if (time > 0 && time < r.bestOnTrackRaceLap.time && !offTrack) r.bestOnTrackRaceLap = {time, i};
    }
}

}  // namespace

LapReading readLapRecords(Bytes replay, const DriverTable& drivers, LapTables& tables, int slotBase) {
    LapReading reading;
    const SessionLapRecords read = readSessionLapRecords(
        replay, drivers.stopTag, drivers.tagOffset,
        [&](const LapRecordView& r) { takePracticeRecord(r, tables, slotBase); },
        [&](const LapRecordView& r) { takeRaceRecord(r, tables, slotBase, reading); });
    reading.raceTableRead = read.raceBlockRead;
    reading.streamStart = read.streamStart;
    return reading;
}

void takeRaceTable(LapTables& tables, const LapReading& reading) {
    tables.hasRaceTable = reading.raceTableRead;
    tables.maxRaceLaps = reading.raceTableRead ? reading.largestRaceRecordBytes / 4 - 2 : 0;
    tables.raceStartStamp = reading.raceStartStamp;
}

}  // namespace zr

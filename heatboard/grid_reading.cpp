#include "grid_reading.h"

#include <algorithm>
#include <cstdio>

#include "driver_table.h"
#include "listing_text.h"
#include "replay_header.h"
#include "replay_units.h"

namespace zr {

namespace {

// The page shows the mod name's first 6 characters.
constexpr std::size_t kHeatModNameLength = 6;

// The driver records as heatboard shows them: per record the last name, the
// car make and slot, and the word after the record (the next record's first
// bytes, or the tag that ends the table). The names and makes go into the
// grid's slots; the user's name marks his slot.
void readGridDrivers(const DriverTable& table, const MyName& me, HeatData& data, ConsoleSink& console) {
    const int base = data.gridsRead * kReplaySlots;
    for (const DriverRecord& r : table.records) {
        console << r.lastName << "\n" << "Auto=" << r.carMake << "  Welch=" << r.carSlot << "\n";
        // A car slot outside the grid's 20 has no row: it must not reach
        // another grid's slots.
        if (r.carSlot >= 0 && r.carSlot < kReplaySlots) {
            const int slot = base + r.carSlot;
            if (me.given && r.firstName == me.first && r.lastName == me.second) {
                data.userSlot = slot;
                data.userFound = true;
            }
            data.drivers[slot] = {r.firstName, r.lastName, r.carMake};
        }
        console << "Wert=" << r.wordAfter << "\n";
    }
}

}  // namespace

MyName parseMyName(std::string bytes) {
    while (!bytes.empty() && (bytes.back() == '\r' || bytes.back() == '\n')) bytes.pop_back();
    MyName name;
    const std::size_t blank = bytes.find(' ');
    name.first = bytes.substr(0, blank);
    if (blank != std::string::npos) name.second = bytes.substr(blank + 1);
    return name;
}

std::vector<std::int32_t> HeatData::gridOrigins() const {
    std::vector<std::int32_t> origin(kGridSlots);
    for (int s = 0; s < kGridSlots; ++s) origin[s] = gridStartStamp[s / kReplaySlots];
    return origin;
}

GridOutcome readGrid(Bytes replay, const MyName& me, HeatData& data, ConsoleSink& console) {
    const ReplayHeader header = readReplayHeader(replay, FrameRateRule::only60Or36);
    if (header.localDriverSlot != 0) {
        console << "Sorry! Zant_Heatboard is made for Server Replays only.\n"
                << "If you would see the datas from ONE replay only\n"
                << "please use Zant_Raceboard!\n"
                << std::flush;
        return GridOutcome::notServerReplay;
    }
    const int grid = data.gridsRead;
    const int base = grid * kReplaySlots;
    data.frameRate = header.frameRate;
    // Only the first character of the track name is upper-cased.
    std::string track = header.reportTrackName;
    if (!track.empty()) track = upperAscii(track.substr(0, 1)) + track.substr(1);
    data.reportTrackName = track;
    data.modName = header.modName.substr(0, kHeatModNameLength);

    const DriverTable drivers = readDriverTable(replay, driver::firstRecord, true);
    readGridDrivers(drivers, me, data, console);

    LapTables& t = data.tables;
    // The tables count the slots of the grids read so far: the rows of grids
    // a heat does not have stay as calloc gave them, their pages untouched.
    t.slotCount = base + kReplaySlots;
    const LapReading reading = readLapRecords(replay, drivers, t, base);
    if (reading.raceTableRead) {
        // A grid without race laps leaves the event's values as they are.
        t.hasRaceTable = true;
        data.largestRaceRecordBytes = std::max(data.largestRaceRecordBytes, reading.largestRaceRecordBytes);
        t.maxRaceLaps = data.largestRaceRecordBytes / 4 - 2;
    }
    data.gridStartStamp[grid] = reading.raceStartStamp;
    char start[64];
    std::snprintf(start, sizeof start, "%d.%03d", reading.raceStartStamp / 1000, reading.raceStartStamp % 1000);
    console << "Zeit in Startaufstellung dieses Grids:" << start << "s\n" << std::flush;

    if (t.hasRaceTable && drivers.driverRecordCount > 2) {
        console << "One moment please. The tool is searching for track length.\n" << std::flush;
        SampleReach reach;
        planLapWindows(reach, t, base, data.frameRate, kHeatboardWalk);
        data.trackLength = scanTrackLength(replay, reading.streamStart, 0, data.trackLength, &reach);
        console << "track length=" << data.trackLength / kPositionUnitsPerMillimetre << "mm\n" << std::flush;
        measureFastestRaceLaps(replay, reading.streamStart, data.frameRate, data.trackLength, t, base, drivers,
                               kHeatboardWalk, data.measure, console, &reach);
    }
    ++data.gridsRead;
    return GridOutcome::read;
}

void finishGrids(HeatData& data) {
    const LapTables& t = data.tables;
    if (t.maxRaceLaps >= 0) {
        data.history = computeLapHistory(t, t.maxRaceLaps, data.gridOrigins());
        // A grid's winner took the flag first among those who drove the full distance.
        for (int s = 0; s < t.slotCount; ++s) {
            const RaceLaps& r = t.race[s];
            if (r.raceLapCount != t.maxRaceLaps || r.raceLapCount >= kLapRows) continue;
            const std::int32_t finish = r.raceStamps[r.raceLapCount];
            std::int32_t& winner = data.gridWinnerStamp[s / kReplaySlots];
            if (finish > 0 && finish < winner) winner = finish;
        }
    }
    data.rankings = buildRankings(t, data.measure, data.history, RankingOptions{t.hasRaceTable, true, kGridSlots});
}

}  // namespace zr

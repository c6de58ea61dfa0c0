#include "lap_tables.h"

#include <gtest/gtest.h>

#include "board_replays.h"
#include "replay_header.h"

namespace zr {
namespace {

using namespace zr::test;

constexpr std::uint8_t kVoid = 16, kOff = 64;

Bytes view(const ByteVec& v) { return Bytes{v.data(), v.size()}; }

ReplaySpec baseSpec() {
    ReplaySpec recipe;
    recipe.drivers = {{"Race", "Server", 0, 0}, {"Anna", "Arnold", 1, 1}, {"Bert", "Brandt", 2, 2}};
    return recipe;
}

LapReading readInto(const ByteVec& bytes, LapTables& tables, int slotBase = 0) {
    DriverTable drivers = readDriverTable(view(bytes), 320, true);
    return readLapRecords(view(bytes), drivers, tables, slotBase);
}

TEST(LapTables, PracticeLapTimesVoidAndOffTrackFlags) {
    ReplaySpec recipe = baseSpec();
    recipe.practiceLaps = {flaggedLapRecord(1, {5000, 65000, 125500, 180000, 236000}, {kOff, 0, kVoid, kOff, 0})};
    ByteVec bytes = buildReplay(recipe);
    LapTables t;
    LapReading r = readInto(bytes, t);
    const PracticeLaps& p = t.practice[1];
    EXPECT_EQ(p.practiceLapCount, 4);
    EXPECT_EQ(p.practiceLapTimes[0], 5000);
    EXPECT_EQ(p.practiceLapTimes[1], 60000);
    EXPECT_EQ(p.practiceLapTimes[2], 0);  // void
    EXPECT_EQ(p.practiceLapTimes[3], 54500);
    EXPECT_EQ(p.practiceStamps[4], 236000);
    EXPECT_TRUE(t.offTrackPractice(1, 0));  // entry 0 keeps its flag too
    EXPECT_TRUE(t.offTrackPractice(1, 3));
    EXPECT_FALSE(t.offTrackPractice(1, 1));
    EXPECT_EQ(p.bestPracticeLap.time, 54500);
    EXPECT_EQ(p.bestPracticeLap.lap, 3);
    // The off-track best does not hide the later, slower on-track lap 4.
    EXPECT_EQ(p.bestOnTrackPracticeLap.time, 56000);
    EXPECT_EQ(p.bestOnTrackPracticeLap.lap, 4);
    EXPECT_EQ(t.practice[2].bestPracticeLap.time, 0);  // no record: stays 0
    EXPECT_FALSE(r.raceTableRead);
    takeRaceTable(t, r);
    EXPECT_FALSE(t.hasRaceTable);
    EXPECT_EQ(t.maxRaceLaps, 0);
    EXPECT_EQ(r.streamStart, static_cast<std::int64_t>(layoutOf(recipe).streamStart));
}

TEST(LapTables, RaceTableBestsOnTrackLapsAndStart) {
    ReplaySpec recipe = baseSpec();
    recipe.practiceLaps = {lapRecord(2, {1000, 62000})};
    recipe.hasRaceBlock = true;
    // Lap 2 of slot 1 runs backwards (a negative lap time becomes the best:
    // the race table has no positive test) and lap 3 is off track.
    recipe.raceLaps = {flaggedLapRecord(1, {3000, 63000, 62000, 110000}, {0, 0, 0, kOff}),
                     flaggedLapRecord(2, {2500, 70000, 130000}, {0, kOff, 0}), lapRecord(3, {4000})};
    recipe.records = {sessionRecord(0)};
    ByteVec bytes = buildReplay(recipe);
    LapTables t;
    LapReading r = readInto(bytes, t);
    takeRaceTable(t, r);
    EXPECT_TRUE(t.hasRaceTable);
    EXPECT_EQ(t.maxRaceLaps, 3);
    EXPECT_EQ(t.raceStartStamp, 2500);
    const RaceLaps& a = t.race[1];
    EXPECT_EQ(a.raceLapCount, 3);
    EXPECT_EQ(a.onTrackRaceLaps, 2);
    EXPECT_EQ(a.bestRaceLap.time, -1000);
    EXPECT_EQ(a.bestRaceLap.lap, 2);
    EXPECT_EQ(a.bestOnTrackRaceLap.time, 60000);
    EXPECT_EQ(a.bestOnTrackRaceLap.lap, 1);
    EXPECT_TRUE(t.offTrackRace(1, 3));
    const RaceLaps& b = t.race[2];
    EXPECT_EQ(b.bestRaceLap.lap, 2);
    EXPECT_EQ(b.bestRaceLap.time, 60000);
    EXPECT_EQ(b.bestOnTrackRaceLap.lap, 2);
    EXPECT_EQ(b.onTrackRaceLaps, 1);
    EXPECT_EQ(t.race[3].raceLapCount, 0);  // one entry: entry 0 and no lap
    EXPECT_EQ(t.race[3].raceStamps[0], 4000);
    EXPECT_EQ(r.streamStart, static_cast<std::int64_t>(layoutOf(recipe).streamStart));
}

TEST(LapTables, OversizedRaceRecordEndsTheTableAndForeignSlotsAreSkipped) {
    ReplaySpec recipe = baseSpec();
    recipe.hasRaceBlock = true;
    LapRecordSpec huge = lapRecord(2, {1000, 50000});
    huge.lapRecordBytes = 2004;
    recipe.raceLaps = {lapRecord(25, {1000, 50000, 99000}), lapRecord(1, {1500, 52000}), huge,
                     lapRecord(2, {1000, 40000})};
    ByteVec bytes = buildReplay(recipe);
    LapTables t;
    LapReading r = readInto(bytes, t);
    takeRaceTable(t, r);
    EXPECT_EQ(t.race[1].raceLapCount, 1);
    EXPECT_EQ(t.race[2].raceLapCount, 0);  // the table ended at the 2004-byte record
    EXPECT_EQ(t.maxRaceLaps, 1);           // slot 25 has no row and counts nowhere
    // The stream begins right after the word that ended the table: "BTPL"
    // and 8 bytes, records of 28 and 24 bytes, "ORPL", 4 bytes and the word.
    EXPECT_EQ(r.streamStart, static_cast<std::int64_t>(layoutOf(recipe).raceBlock) + 12 + 28 + 24 + 12);
}

TEST(LapTables, AFullGridOf20RaceRecordsKeepsTheStreamInStep) {
    ReplaySpec recipe;
    for (int s = 0; s < 20; ++s) {
        recipe.drivers.push_back({"D", "N", s, 0});
        recipe.raceLaps.push_back(lapRecord(s, {1000u + s, 41000u + s}));
    }
    recipe.hasRaceBlock = true;
    ByteVec bytes = buildReplay(recipe);
    LapTables t;
    LapReading r = readInto(bytes, t);
    EXPECT_EQ(t.race[19].raceLapCount, 1);
    EXPECT_EQ(r.streamStart, static_cast<std::int64_t>(layoutOf(recipe).streamStart));
}

TEST(LapTables, SlotBaseFillsAGridsRowsOfALargerTable) {
    ReplaySpec recipe = baseSpec();
    recipe.hasRaceBlock = true;
    recipe.raceLaps = {lapRecord(1, {1500, 52000, 99000}), lapRecord(19, {1700, 53000})};
    ByteVec bytes = buildReplay(recipe);
    LapTables t(100, 130);
    LapReading r = readInto(bytes, t, 40);
    EXPECT_EQ(t.race[41].raceLapCount, 2);
    EXPECT_EQ(t.race[59].raceLapCount, 1);
    EXPECT_EQ(t.race[1].raceLapCount, 0);
    EXPECT_EQ(r.raceStartStamp, 1500);
    EXPECT_EQ(r.largestRaceRecordBytes, 16);
}

TEST(LapTables, CutReplaysEndEveryReading) {
    ReplaySpec recipe = baseSpec();
    recipe.practiceLaps = {lapRecord(1, {1000, 61000, 122000})};
    recipe.hasRaceBlock = true;
    recipe.raceLaps = {lapRecord(1, {1500, 52000, 99000}), lapRecord(2, {1700, 53000})};
    ByteVec full = buildReplay(recipe);
    for (std::size_t cut = 300; cut < layoutOf(recipe).streamStart + 8; cut += 3) {
        ByteVec bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(cut));
        LapTables t;
        LapReading r = readInto(bytes, t);
        EXPECT_LE(r.streamStart, static_cast<std::int64_t>(bytes.size()));
    }
}

}  // namespace
}  // namespace zr

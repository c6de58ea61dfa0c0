#include "lap_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <new>

#include "lap_replays.h"

namespace zr {
namespace {

using namespace zr::test;

constexpr std::uint8_t kVoid = 16, kOff = 64;

ReplaySpec threeDrivers() {
    ReplaySpec recipe;
    recipe.drivers = {{"Race", "Server", 0, 0}, {"Anna", "Arnold", 1, 1}, {"Bert", "Brandt", 2, 2}};
    return recipe;
}

// The tables leave their rows as calloc's zero bytes, which must be what a
// new row holds.
template <class Row>
bool startsAsZeroBytes() {
    alignas(Row) unsigned char bytes[sizeof(Row)];
    std::fill(std::begin(bytes), std::end(bytes), 0xAB);
    new (bytes) Row{};
    return std::all_of(std::begin(bytes), std::end(bytes), [](unsigned char b) { return b == 0; });
}

TEST(LapTables, RowsStartAsZeroBytes) {
    EXPECT_TRUE(startsAsZeroBytes<PracticeLaps>());
    EXPECT_TRUE(startsAsZeroBytes<RaceLaps>());
}

TEST(LapTables, PracticeAndRaceRecords) {
    ReplaySpec recipe = threeDrivers();
    recipe.practiceLaps = {flaggedLapRecord(1, {5000, 65000, 125500, 180000, 236000}, {kOff, 0, kVoid, kOff, 0})};
    recipe.hasRaceBlock = true;
    // Lap 2 of slot 1 runs backwards (the race table has no positive test, so
    // it becomes the best) and lap 3 is off track; slot 3 has entry 0 only.
    recipe.raceLaps = {flaggedLapRecord(1, {3000, 63000, 62000, 110000}, {0, 0, 0, kOff}),
                       flaggedLapRecord(2, {2500, 70000, 130000}, {0, kOff, 0}), lapRecord(3, {4000})};
    const ReadReplay r = readReplay(recipe);
    const LapTables& t = r.tables;
    EXPECT_EQ(r.streamStart, static_cast<std::int64_t>(layoutOf(recipe).streamStart));

    // The pages pin ordinary records; these are the odd ones.
    const PracticeLaps& p = t.practice[1];
    EXPECT_EQ(std::vector<std::int32_t>(p.practiceLapTimes, p.practiceLapTimes + 5),
              (std::vector<std::int32_t>{5000, 60000, 0, 54500, 56000}));  // the void lap 2 has time 0
    EXPECT_TRUE(t.offTrackPractice(1, 0));  // entry 0 keeps its flag too
    // The off-track best does not hide the later, slower on-track lap 4.
    EXPECT_EQ(p.bestOnTrackPracticeLap.lap, 4);
    EXPECT_EQ(t.raceStartStamp, 2500);
    EXPECT_EQ(t.race[1].bestRaceLap.time, -1000);
    EXPECT_EQ(t.race[1].bestOnTrackRaceLap.lap, 1);
    EXPECT_EQ(t.race[3].raceLapCount, 0);
    EXPECT_EQ(t.race[3].raceStamps[0], 4000);
}

TEST(LapTables, WhereTheStreamBeginsAndWhichRecordsCount) {
    // Without a race block.
    ReplaySpec practiceOnly = threeDrivers();
    practiceOnly.practiceLaps = {lapRecord(1, {1000, 61000})};
    // A record above 2000 bytes ends the race table; slot 25 has no row and
    // counts nowhere. The stream begins right after the word that ended the
    // table: "BTPL" and 8 bytes, records of 28 and 24 bytes, "ORPL", 4 bytes
    // and the word.
    ReplaySpec oversized = threeDrivers();
    oversized.hasRaceBlock = true;
    LapRecordSpec huge = lapRecord(2, {1000, 50000});
    huge.lapRecordBytes = 2004;
    oversized.raceLaps = {lapRecord(25, {1000, 50000, 99000}), lapRecord(1, {1500, 52000}), huge,
                          lapRecord(2, {1000, 40000})};
    // A full table of 20 race records is followed by the end word as well.
    ReplaySpec fullGrid;
    fullGrid.hasRaceBlock = true;
    for (int s = 0; s < 20; ++s) {
        fullGrid.drivers.push_back({"D", "N", s, 0});
        fullGrid.raceLaps.push_back(lapRecord(s, {1000u + s, 41000u + s}));
    }
    for (const auto& [recipe, streamStart] :
         {std::pair{practiceOnly, layoutOf(practiceOnly).streamStart},
          std::pair{oversized, layoutOf(oversized).raceBlock + 12 + 28 + 24 + 12},
          std::pair{fullGrid, layoutOf(fullGrid).streamStart}})
        EXPECT_EQ(readReplay(recipe).streamStart, static_cast<std::int64_t>(streamStart));
    const LapTables t = readReplay(oversized).tables;
    EXPECT_EQ(t.race[1].raceLapCount, 1);
    EXPECT_EQ(t.race[2].raceLapCount, 0);
    EXPECT_EQ(t.maxRaceLaps, 1);
}

}  // namespace
}  // namespace zr

#include "own_laps.h"

#include <gtest/gtest.h>

#include <memory>

#include "lap_replays.h"

namespace zr {
namespace {

using namespace zr::test;

// A steady car recorded by its own driver at 60 frames per second: three
// practice laps, then three race laps from `raceStartMs` on.
ReplaySpec ownRecording(const SteadyCar& practice, const SteadyCar& race) {
    ReplaySpec own;
    own.frameRateByte = 60;
    own.localDriverSlot = 1;
    own.drivers = {{"Anna", "Arnold", 1, 1}, {"Bert", "Brandt", 2, 2}, {"Carl", "Cramer", 3, 3}};
    own.practiceLaps = {lapRecord(1, practice.stamps(3))};
    own.hasRaceBlock = true;
    own.raceLaps = {lapRecord(1, race.stamps(3))};
    const int raceStartFrame = static_cast<int>(race.firstLineMs / 1000 * 60) - 60;
    const CarTrace p = practice.trace(), r = race.trace();
    const double raceStartMs = raceStartFrame * 1000.0 / 60;
    own.records = participantStream(
        {1, [=](double ms) { return ms < raceStartMs ? p.positionAt(ms) : r.positionAt(ms); }}, {}, 60,
        raceStartFrame + 60 * 112, raceStartFrame);
    return own;
}

TEST(OwnLaps, EveryLapIsMeasuredOnTheTrueCrossingsAndTheBestsGoToRowZero) {
    const SteadyCar practice, race{.firstLineMs = 120003.7};
    const ReadReplay r = readReplay(ownRecording(practice, race));
    const std::int32_t length = scanTrackLength(view(r.bytes), r.streamStart, 1, 0);
    auto table = std::make_unique<OwnSectorTable>();
    ConsoleSink quiet;
    measureOwnLaps(view(r.bytes), r.streamStart, 60, length, r.tables, 1, *table, quiet);
    for (int session : {kPracticeSession, kRaceSession})
        for (int l = 1; l <= 3; ++l)
            for (int k = 1; k <= 4; ++k) EXPECT_EQ(table->mark[l][k][session], practice.trueMark(k, length)) << l << k;
    finishOwnSectorTable(*table, r.tables, 1);
    // Sector 4 runs to the lap's end: the closing crossing in lap 1, the lap
    // time from the stamps afterwards; row 0 holds the best of each sector.
    for (int l = 1; l <= 3; ++l) {
        std::int32_t sum = 0;
        for (int k = 1; k <= 4; ++k) sum += table->mark[l][k][kRaceSession];
        EXPECT_EQ(sum, l == 1 ? practice.trueMark(4, length) : r.tables.race[1].raceLapTimes[l]) << l;
    }
    for (int k = 1; k <= 4; ++k) {
        std::int32_t best = kNoLap;
        for (int l = 1; l <= 3; ++l) best = std::min(best, table->mark[l][k][kPracticeSession]);
        EXPECT_EQ(table->mark[0][k][kPracticeSession], best) << k;
    }
    EXPECT_NEAR(table->maxSpeed[0][0][kRaceSession], 12000, 15);  // 1.2 km in 36 s, whole units a frame
}

TEST(OwnLaps, AReplayThatEndsEarlyStopsTheSearches) {
    const SteadyCar practice, race{.firstLineMs = 120003.7};
    ReplaySpec recipe = ownRecording(practice, race);
    recipe.records.resize(static_cast<std::size_t>(60 * 140));  // ends in race lap 1
    recipe.fillerBytes = 0;
    const ReadReplay r = readReplay(recipe);
    auto table = std::make_unique<OwnSectorTable>();
    ConsoleSink quiet;
    measureOwnLaps(view(r.bytes), r.streamStart, 60, practice.trackLength, r.tables, 1, *table, quiet);
    EXPECT_GT(table->maxSpeed[3][4][kPracticeSession], 0);
    EXPECT_EQ(table->maxSpeed[2][4][kRaceSession], 0);
}

}  // namespace
}  // namespace zr

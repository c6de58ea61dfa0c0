#include "dropwatch.h"

#include <gtest/gtest.h>

#include "analysed_run.h"
#include "replay_builder.h"

namespace zr {
namespace {

using namespace zr::test;

// A race at 36 frames per second whose leader finishes at 110 s, so that the
// closing window begins after frame 360. At 36 frames per second a car moves
// when its last step exceeds 4000 / 36 = 111 units.
ReplaySpec raceWithDrops() {
    ReplaySpec recipe;
    recipe.trackName = "oval";
    recipe.drivers = {{"Race", "Server", 0, 0}, {"Anna", "Arnold", 1, 0}, {"Bert", "Brandt", 2, 0},
                      {"Carl", "Cramer", 3, 0}, {"Dora", "Dietz", 4, 0},  {"Emil", "Engel", 5, 0}};
    recipe.practiceLaps = {lapRecord(1, {0, 50000}), lapRecord(2, {0, 52000}), lapRecord(3, {0, 55000}),
                           lapRecord(4, {0, 51000})};
    recipe.hasRaceBlock = true;
    recipe.raceLaps = {lapRecord(1, {0, 40000, 80000, 110000}), lapRecord(2, {0, 41000, 82000}),
                       lapRecord(3, {0, 45000}), lapRecord(4, {0, 30000, 60000})};
    recipe.records.push_back(sessionRecord(0));  // the first stream record is never the start
    recipe.records.push_back(sessionRecord(1));  // race start: frame 0
    for (int f = 1; f <= 500; ++f) {
        std::vector<SampleSpec> samples;
        samples.push_back({1, 1000 + 300 * f});                 // leader, moving past the finish
        if (f <= 200) samples.push_back({2, 2000 + 112 * f});  // vanishes at frame 200 while moving
        if (f <= 250) samples.push_back({3, 3000 + 200 * std::min(f, 240)});  // stops, then vanishes
        if (f == 100) samples.push_back({4, 5000});  // a single sample, behind its shortest lap
        if (f <= 200) samples.push_back({5, 2000 + 111 * f});  // too slow to count as moving
        samples.push_back({25, 7 * f});                         // no row for slot 25
        recipe.records.push_back(frameRecord(samples));
    }
    return recipe;
}

Analysed<DropFindings> analysed(const ReplaySpec& recipe) {
    return analyse(findDisconnects, buildReplay(recipe), "oval", trackIniText(120.5, 3410.25, 95, 410));
}

// The console of the run is the end-to-end runs' to show.
TEST(Dropwatch, TheLastMovementBeforeTheClosingWindowDecides) {
    EXPECT_EQ(discoReport(analysed(raceWithDrops()).findings), "DISCOS OR FREEZES:\n\n 0:05\t Bert Brandt\n\n\n\n\n");
}

TEST(Dropwatch, WithoutLapRecordsNoClosingWindowApplies) {
    ReplaySpec recipe = raceWithDrops();
    recipe.hasRaceBlock = false;
    recipe.practiceLaps = {LapRecordSpec{9, {}, {}}};  // a record without entries
    EXPECT_EQ(discoReport(analysed(recipe).findings), "DISCOS OR FREEZES:\n\n 0:13\t Anna Arnold\n 0:05\t Bert Brandt\n\n\n\n\n");
}

}  // namespace
}  // namespace zr

#include <gtest/gtest.h>

#include <tuple>

#include "driver_table.h"
#include "lap_table.h"
#include "replay_builder.h"
#include "replay_header.h"

namespace zr {
namespace {

using writer::ByteVec;
using writer::ReplaySpec;

Bytes view(const ByteVec& v) { return Bytes{v.data(), v.size()}; }

ReplaySpec threeDrivers() {
    ReplaySpec recipe;
    recipe.drivers = {{"Anna", "Arnold", 0, 1}, {"Bert", "Brandt", 1, 2}, {"Carl", "Cramer", 2, 3}};
    recipe.practiceLaps = {writer::lapRecord(1, {1000, 61000}), writer::lapRecord(2, {2000, 65000})};
    return recipe;
}

TEST(ReplayHeader, FrameRateRulesDifferByProgram) {
    ReplaySpec recipe;
    for (auto [stored, chain, board] : {std::tuple{0, 36, 36}, {60, 60, 60}, {50, 50, 36}, {36, 36, 36}}) {
        recipe.frameRateByte = static_cast<std::uint8_t>(stored);
        ByteVec r = writer::buildReplay(recipe);
        EXPECT_EQ(readReplayHeader(view(r), FrameRateRule::zeroMeans36).frameRate, chain) << stored;
        EXPECT_EQ(readReplayHeader(view(r), FrameRateRule::only60Or36).frameRate, board) << stored;
    }
}

TEST(ReplayHeader, TextFieldsNeedNoNulAndShortFilesReadAsZero) {
    ReplaySpec recipe;
    recipe.trackName = "longname";
    recipe.localDriverSlot = 4;
    recipe.sessionLength = 3600.5f;
    ByteVec r = writer::buildReplay(recipe);
    ReplayHeader h = readReplayHeader(view(r), FrameRateRule::zeroMeans36);
    EXPECT_EQ(std::tuple(h.trackName, h.localDriverSlot, h.sessionLength), std::tuple("longname", 4, 3600.5f));
    r.resize(100);
    h = readReplayHeader(view(r), FrameRateRule::zeroMeans36);
    EXPECT_EQ(std::pair(h.trackName, h.sessionLength), std::pair(std::string(), 0.0f));
}

// Programs starting at the second record leave the first slot unnamed; names
// keep their halves, odd slots are skipped, the end of the file ends the table.
TEST(DriverTable, FromTheFirstOrTheSecondRecordToTheTag) {
    ReplaySpec recipe = threeDrivers();
    recipe.drivers[1].firstName = "Fifteen_chars_x";
    ByteVec r = writer::buildReplay(recipe);
    DriverTable all = readDriverTable(view(r), 320, true);
    EXPECT_EQ(std::tuple(all.driverRecordCount, all.lastName(0), all.firstName(1), all.lastName(1), all.carMake[2]),
              std::tuple(3, "Arnold", "Fifteen_chars_x", "Brandt", 3));
    EXPECT_EQ(all.stopTag, tagOrpl);
    DriverTable later = readDriverTable(view(r), 472, false);
    EXPECT_EQ(std::tuple(later.driverRecordCount, later.firstName(0), later.initial(0), later.firstName(2)),
              std::tuple(2, "", "", "Carl"));
    EXPECT_EQ(all.tagOffset, later.tagOffset);
    recipe.drivers[2].slot = 45;
    r = writer::buildReplay(recipe);
    DriverTable odd = readDriverTable(view(r), 320, true);
    EXPECT_EQ(std::pair(odd.driverRecordCount, odd.lastName(2)), std::pair(3, std::string()));
    r.resize(320 + 152 * 2 + 10);
    DriverTable cut = readDriverTable(view(r), 320, true);
    EXPECT_EQ(std::pair(cut.driverRecordCount, cut.stopTag), std::pair(2, 0u));
}

// The race samples' e2e runs read their race blocks through the probe.
TEST(LapTable, WithoutAProbeHitThePracticeRecordsAreRead) {
    ReplaySpec recipe = threeDrivers();
    ByteVec r = writer::buildReplay(recipe);
    DriverTable d = readDriverTable(view(r), 320, true);
    EXPECT_EQ(locateLapTable(view(r), d.tagOffset), d.tagOffset);
    LapTable t = readLapTable(view(r), d.tagOffset, d.driverRecordCount);
    EXPECT_EQ(t.recordSlots, (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(t.firstStreamRecord(), static_cast<std::int64_t>(writer::layoutOf(recipe).streamStart));
}

TEST(LapTable, RecordSizesAtTheLimits) {
    ReplaySpec recipe = threeDrivers();
    writer::LapRecordSpec empty{1, {}, {}};
    writer::LapRecordSpec full{2, {}, {}};
    for (int k = 0; k < 499; ++k) full.entries.push_back({static_cast<std::uint32_t>(k * 1000), 0});
    recipe.practiceLaps = {empty, full};
    ByteVec r = writer::buildReplay(recipe);
    std::int64_t first = static_cast<std::int64_t>(writer::layoutOf(recipe).driverTableEnd);
    LapTable t = readLapTable(view(r), first, 3);
    EXPECT_EQ(t.longestLapRecord, 2000);
    EXPECT_EQ(t.lapStamps[2][498], 498000);
    EXPECT_EQ(t.lapStamps[1][0], kNoStamp);
    EXPECT_EQ(t.leaderFinishStamp, 498000);

    // Over 2000 bytes ends the table; the records before it stay.
    recipe.practiceLaps = {writer::lapRecord(1, {1, 2}), writer::LapRecordSpec{2, {}, 2004}};
    r = writer::buildReplay(recipe);
    t = readLapTable(view(r), first, 3);
    EXPECT_EQ(t.recordSlots.size(), 1u);
    EXPECT_EQ(t.lapStamps[1][1], 2);
}

TEST(LapTable, HugeOrNegativeLengthsAndShortFilesEndCleanly) {
    ReplaySpec recipe = threeDrivers();
    recipe.practiceLaps = {writer::LapRecordSpec{1, {}, -400}, writer::lapRecord(45, {5, 9}), writer::lapRecord(2, {1, 3})};
    ByteVec r = writer::buildReplay(recipe);
    std::int64_t first = static_cast<std::int64_t>(writer::layoutOf(recipe).driverTableEnd);
    LapTable t = readLapTable(view(r), first, 3);
    EXPECT_EQ(t.recordSlots, (std::vector<std::int32_t>{1, 45, 2}));
    EXPECT_EQ(t.shortestLap[2], 2);
    EXPECT_EQ(t.longestLapRecord, 12);

    for (std::size_t cut = static_cast<std::size_t>(first); cut < static_cast<std::size_t>(first) + 48; ++cut) {
        ByteVec part(r.begin(), r.begin() + static_cast<std::ptrdiff_t>(cut));
        LapTable p = readLapTable(view(part), first, 3);
        EXPECT_LE(p.recordSlots.size(), 3u);
    }
}

}  // namespace
}  // namespace zr

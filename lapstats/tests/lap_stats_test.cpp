#include "lap_stats.h"

#include <gtest/gtest.h>

#include "lap_replays.h"
#include "value_format.h"

namespace zr {
namespace {

using namespace zr::test;
using Slots = std::vector<int>;

// Lap tables read from a replay with these practice and race records.
LapTables tablesOf(const std::vector<LapRecordSpec>& practice, const std::vector<LapRecordSpec>& race) {
    ReplaySpec recipe;
    recipe.drivers = {{"A", "A", 0, 0}, {"B", "B", 1, 0}, {"C", "C", 2, 0}};
    recipe.practiceLaps = practice;
    recipe.hasRaceBlock = !race.empty();
    recipe.raceLaps = race;
    return readReplay(recipe).tables;
}

TEST(Rankings, LapListsFloorTiesAndSlotZero) {
    LapTables t = tablesOf({lapRecord(0, {0, 40000}), lapRecord(3, {0, 50000}), lapRecord(1, {0, 50000}),
                            lapRecord(2, {0, 30000}), lapRecord(4, {0, 30001})},
                           {});
    Rankings r = buildRankings(t, FastestLapMeasure(), LapHistory(), {false, false, kReplaySlots});
    // Slot 0 (40 s) is never listed; 30.000 is not above the floor; equal
    // times keep slot order.
    EXPECT_EQ(r.fastestPracticeLaps.slots, (Slots{4, 1, 3}));
    EXPECT_TRUE(r.fastestRaceLaps.slots.empty());
    EXPECT_TRUE(r.sector[1].slots.empty());
}

TEST(Rankings, SectorListsNeedMeasuredMarks) {
    LapTables t = tablesOf({}, {lapRecord(1, {500, 40500}), lapRecord(2, {600, 41000}), lapRecord(3, {700, 41700})});
    FastestLapMeasure m;
    m.sectorMarks[1] = {0, 10000, 20000, 30000, 40010};
    m.sectorMarks[2] = {0, 9900, 20100, 0, 0};  // no third mark
    m.lapSpeeds[1].max[0] = m.lapSpeeds[2].max[0] = 25000;
    Rankings r = buildRankings(t, m, LapHistory(), {true, false, kReplaySlots});
    EXPECT_EQ(r.sector[1].slots, (Slots{2, 1}));
    EXPECT_EQ(r.sector[2].slots, (Slots{1, 2}));  // 10000 and 10200
    EXPECT_EQ(r.sector[3].slots, (Slots{1}));
    // Slot 2 lacks the third mark: its sector 4 would be its whole lap.
    EXPECT_EQ(r.sector[4].slots, (Slots{1}));
    EXPECT_EQ(sectorTime(m, t, 1, 4), 10000);
    EXPECT_EQ(r.maximumSpeed.slots, (Slots{1, 2}));
}

// The pages pin the classification, gaps, shades and position columns of
// their races; these are the shades' exact bounds and the column counts of
// other race lengths.
TEST(Classification, ShadeBoundsAndPositionColumns) {
    EXPECT_EQ(resultShade(ResultRow{1, 9}, 10, 0), RowShade::none);  // 90 % of the laps
    EXPECT_EQ(resultShade(ResultRow{1, 8}, 10, 0), RowShade::lightGrey);
    EXPECT_EQ(resultShade(ResultRow{1, 7}, 10, 0), RowShade::darkGrey);
    for (const auto& [laps, columns, lastColumnLap] :
         {std::tuple{25, 12, 22}, {10, 10, 9}, {20, 20, 19}, {21, 10, 18}, {0, 0, 0}, {-2, 0, 0}}) {
        EXPECT_EQ(positionColumns(laps), columns) << laps;
        EXPECT_EQ(columns > 0 ? columnLap(columns - 1, laps) : 0, lastColumnLap) << laps;
    }
}

TEST(PageValues, FormatsAndColourScale) {
    const std::pair<std::string, const char*> texts[] = {
        // Values of the golden pages' kind are pinned there; these are the edges.
        {raceTimeText(83 * 60000 + 5123), "83:05.123"}, {shortTimeText(65003), "1:05.003"},
        {gapText(61200), "-1:01.200"}, {gapText(62 * 60000 + 2345), "-62:02.345"}, {secondsText(63456), "3.456"},
        {carLogo(7), ""}, {colourByte(5), "05"},
        {pageText("A&B <i>\"x\"</i> M\xFCller"), "A&amp;B &lt;i&gt;&quot;x&quot;&lt;/i&gt; M\xC3\xBCller"},
    };
    for (const auto& [text, expected] : texts) EXPECT_EQ(text, expected);

    // Green within about 2 % of the best, red from about 3 % slower; 32-bit
    // products would overflow for laps over 268 s.
    const std::tuple<ScaleColour, ScaleColour::Kind, std::int64_t> colours[] = {
        {timeScale(60000, 60000), ScaleColour::green, 0x5f},  {timeScale(60600, 60000), ScaleColour::green, 175},
        {timeScale(61200, 60000), ScaleColour::none, 0},      {timeScale(62100, 60000), ScaleColour::red, 251},
        {timeScale(120000, 60000), ScaleColour::red, 0},      {timeScale(300000, 300000), ScaleColour::green, 0x5f},
        {timeScale(0, 60000), ScaleColour::none, 0},          {maxSpeedScale(25000, 25000), ScaleColour::green, 0x41},
        {minSpeedScale(8000, 8000), ScaleColour::green, 0x41}, {maxSpeedScale(18000, 25000), ScaleColour::red, 244},
        {minSpeedScale(kNoLap, 8000), ScaleColour::none, 0},  // never measured
    };
    for (const auto& [colour, kind, value] : colours) {
        EXPECT_EQ(colour.kind, kind);
        EXPECT_EQ(kind == ScaleColour::none ? 0 : colour.value, value);
    }
}

}  // namespace
}  // namespace zr

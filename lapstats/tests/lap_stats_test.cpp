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

TEST(Rankings, OnTrackLapsConsistencyAndFastestLapPoints) {
    constexpr std::uint8_t kOff = 64;
    LapTables t = tablesOf({}, {lapRecord(0, {500, 40500, 80500, 121000}),
                                flaggedLapRecord(1, {600, 41000, 82000, 123000}, {0, 0, kOff, 0}),
                                lapRecord(2, {700, 41200, 81700, 122200}), lapRecord(5, {800, 42000, 83000})});
    LapHistory h = computeLapHistory(t, t.maxRaceLaps + 1);
    Rankings r = buildRankings(t, FastestLapMeasure(), h, {false, false, kReplaySlots});
    // Slot 0 is never listed; 1 and 5 have 2 on-track laps each: the higher slot first.
    EXPECT_EQ(r.onTrackLaps.slots, (Slots{2, 5, 1}));
    // Consistency: (stamp n - stamp 1) / (n - 1) - best. Slot 2: 40500 - 40500;
    // slot 0: 40250 - 40000; slot 1: 41000 - 40400. Slot 5 has 2 laps only.
    EXPECT_EQ(r.consistency.slots, (Slots{2, 0, 1}));
    // Lap 1 and 2 go to slot 0, lap 3 to slots 0 and 2 (40500 each).
    EXPECT_EQ(r.numberOfFastestLaps.slots, (Slots{0, 2}));
    EXPECT_EQ(h.fastestLapCount[0], 3);
    // heatboard leaves slot 0 out of these lists too.
    Rankings all = buildRankings(t, FastestLapMeasure(), h, {false, true, kReplaySlots});
    EXPECT_EQ(all.consistency.slots, (Slots{2, 1}));
    EXPECT_EQ(all.numberOfFastestLaps.slots, (Slots{2}));

    const Consistency c = consistencyOf(t, 0);
    EXPECT_EQ(c.average, 40250);
    EXPECT_EQ(c.gap, 250);
    EXPECT_EQ(c.percent, 62);  // 40250 * 10000 / 40000 - 10000 = 62.5
    EXPECT_FALSE(consistencyOf(t, 5).has);
    EXPECT_EQ(onTrackPermille(t, 1), 666);
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

TEST(LapHistory, LeadersFastestLapDevelopmentAndPoints) {
    // Lap 1: slot 2 leads and is fastest; lap 2: slot 1 sets 39000 and leads
    // on an equal stamp by slot order.
    LapTables t = tablesOf({}, {lapRecord(1, {600, 41000, 80000, 119000}), lapRecord(2, {500, 40500, 80000}),
                                lapRecord(3, {900, 45000})});
    LapHistory h = computeLapHistory(t, t.maxRaceLaps + 1);
    EXPECT_EQ(h.lapLeader, (std::vector<int>{0, 2, 1, 1, 0, 0}));
    EXPECT_EQ(h.fastestLapHistory, (std::vector<std::pair<int, int>>{{2, 1}, {1, 2}}));
    EXPECT_EQ(h.fastestLapCount[1], 2);
    EXPECT_EQ(h.fastestLapCount[2], 1);
}

TEST(Classification, LevelsGapsShadesAndPositions) {
    LapTables t = tablesOf({}, {lapRecord(1, {600, 41000, 82000, 123000, 164000, 205000}),
                                lapRecord(2, {500, 40500, 81000, 122500, 163000, 204000}),
                                lapRecord(3, {900, 42000, 84000, 126000, 168000}),
                                lapRecord(4, {800, 43000, 86000, 129000, 172000}), lapRecord(5, {700, 45000}),
                                lapRecord(0, {400, 40000, 80000, 120000, 160000, 200000, 240000})});
    std::vector<bool> taken;
    std::vector<ResultRow> rows = classifyRace(t, kReplaySlots, taken);
    Slots order;
    for (const ResultRow& row : rows) order.push_back(row.slot);
    EXPECT_EQ(order, (Slots{2, 1, 3, 4, 5}));  // slot 0 is never classified, even with the most laps
    EXPECT_EQ(rows[0].level, 5);

    // Slot 0 drove 6 laps, so even the winner is a lap down.
    WinnerGap g = gapToWinner(t, rows[1], rows[0]);
    EXPECT_TRUE(g.lapsBehind);
    EXPECT_EQ(g.value, -1);
    std::int32_t before = 0;
    EXPECT_TRUE(gapToPrevious(t, rows[1], rows[0], before));
    EXPECT_EQ(before, 1000);
    EXPECT_FALSE(gapToPrevious(t, rows[2], rows[1], before));  // the row before drove more laps
    EXPECT_TRUE(gapToPrevious(t, rows[3], rows[2], before));
    EXPECT_EQ(before, 4000);

    EXPECT_EQ(resultShade(rows[0], 6, 0), RowShade::lightGrey);  // 500 < 6 * 90
    EXPECT_EQ(resultShade(rows[4], 6, 0), RowShade::darkGrey);
    EXPECT_EQ(resultShade(rows[2], 6, 3), RowShade::own);
    EXPECT_EQ(resultShade(ResultRow{0, 6}, 6, 0), RowShade::none);  // a server replay has no own car

    // After lap 1: 0 (40000), 2 (40500), 1 (41000), 3, 4, 5.
    EXPECT_EQ(positionAfterLap(t, 1, 1), 3);
    EXPECT_EQ(positionAfterLap(t, 5, 2), 0);  // no stamp there
    EXPECT_EQ(positionAfterLap(t, 5, 0), 4);  // the order of the first stamps

    // The position columns: C of them for laps c * maxRaceLaps / C.
    for (const auto& [laps, columns, lastColumnLap] :
         {std::tuple{25, 12, 22}, {10, 10, 9}, {20, 20, 19}, {21, 10, 18}, {0, 0, 0}, {-2, 0, 0}}) {
        EXPECT_EQ(positionColumns(laps), columns) << laps;
        if (columns > 0) {
            EXPECT_EQ(columnLap(columns - 1, laps), lastColumnLap) << laps;
        }
    }
}

TEST(PageValues, FormatsAndColourScale) {
    const std::pair<std::string, const char*> texts[] = {
        {raceTimeText(83 * 60000 + 5123), "83:05.123"}, {lapTimeText(65003), "1:05.003"},
        {shortTimeText(65003), "1:05.003"}, {lapTimeText(59870), "0:59.870"}, {shortTimeText(59870), "59.870"},
        {shortTimeText(5120), "05.120"}, {gapText(456), "-0.456"}, {gapText(12345), "-12.345"},
        {gapText(61200), "-1:01.200"}, {gapText(62 * 60000 + 2345), "-62:02.345"}, {secondsText(63456), "3.456"},
        {speed2Text(25407), "254.07"}, {speed1Text(25407), "254.0"}, {percent2Text(183), "1.83"},
        {percent1Text(965), "96.5"}, {carLogo(4), "<img src=\"images/logo_Ferrari.gif\" />"}, {carLogo(7), ""},
        {colourByte(175), "af"}, {colourByte(5), "05"},
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
        if (kind != ScaleColour::none) {
            EXPECT_EQ(colour.value, value);
        }
    }
}

}  // namespace
}  // namespace zr

#include "lap_stats.h"

#include <gtest/gtest.h>

#include "board_replays.h"
#include "value_format.h"

namespace zr {
namespace {

using namespace zr::test;

constexpr std::uint8_t kOff = 64;

// Lap tables read from a replay with these practice and race records.
LapTables tablesOf(const std::vector<LapRecordSpec>& practice, const std::vector<LapRecordSpec>& race) {
    ReplaySpec recipe;
    recipe.drivers = {{"A", "A", 0, 0}, {"B", "B", 1, 0}, {"C", "C", 2, 0}};
    recipe.practiceLaps = practice;
    recipe.hasRaceBlock = !race.empty();
    recipe.raceLaps = race;
    ByteVec bytes = buildReplay(recipe);
    Bytes view{bytes.data(), bytes.size()};
    LapTables t;
    takeRaceTable(t, readLapRecords(view, readDriverTable(view, 320, true), t, 0));
    return t;
}

std::vector<int> slotsOf(const Ranking& r) { return r.slots; }
using Slots = std::vector<int>;

TEST(Rankings, LapListsTiesFloorAndSlotZero) {
    LapTables t = tablesOf(
        {lapRecord(0, {0, 40000}), lapRecord(3, {0, 50000}), lapRecord(1, {0, 50000}), lapRecord(2, {0, 30000}),
         lapRecord(4, {0, 30001})},
        {});
    LapHistory none;
    Rankings r = buildRankings(t, FastestLapMeasure(), none, {false, false, kReplaySlots});
    // Slot 0 (40 s) is never listed; 30.000 is not above the floor; equal
    // times keep slot order.
    EXPECT_EQ(slotsOf(r.fastestPracticeLaps), (Slots{4, 1, 3}));
    EXPECT_EQ(slotsOf(r.fastestOnTrackPracticeLaps), (Slots{4, 1, 3}));
    EXPECT_TRUE(r.fastestRaceLaps.slots.empty());
    EXPECT_TRUE(r.sector[1].slots.empty());
}

TEST(Rankings, OnTrackLapsTiesGoToTheHigherSlotAndSlotZeroCountsInConsistency) {
    LapTables t = tablesOf({}, {lapRecord(0, {500, 40500, 80500, 121000}),
                                flaggedLapRecord(1, {600, 41000, 82000, 123000}, {0, 0, kOff, 0}),
                                lapRecord(2, {700, 41200, 81700, 122200}), lapRecord(5, {800, 42000, 83000})});
    LapHistory h = computeLapHistory(t, t.maxRaceLaps + 1);
    Rankings r = buildRankings(t, FastestLapMeasure(), h, {false, false, kReplaySlots});
    // Slot 0 is never listed; 1 and 5 have 2 on-track laps each: the higher slot first.
    EXPECT_EQ(slotsOf(r.onTrackLaps), (Slots{2, 5, 1}));
    // Consistency: (stamp n - stamp 1) / (n - 1) - best. Slot 2: 40500 - 40500;
    // slot 0: 40250 - 40000; slot 1: 41000 - 40400. Slot 5 has 2 laps only.
    EXPECT_EQ(slotsOf(r.consistency), (Slots{2, 0, 1}));
    // Fastest lap per lap: lap 1 slot 0 (40000), lap 2 slot 0 (40000),
    // lap 3 slot 0 (40500) and slot 2 (40500) both score.
    EXPECT_EQ(h.fastestLapCount[0], 3);
    EXPECT_EQ(h.fastestLapCount[2], 1);
    EXPECT_EQ(slotsOf(r.numberOfFastestLaps), (Slots{0, 2}));
    // A list that skips slot 0 everywhere (heatboard) loses it there too.
    Rankings all = buildRankings(t, FastestLapMeasure(), h, {false, true, kReplaySlots});
    EXPECT_EQ(slotsOf(all.consistency), (Slots{2, 1}));
    EXPECT_EQ(slotsOf(all.numberOfFastestLaps), (Slots{2}));

    Consistency c = consistencyOf(t, 0);
    EXPECT_TRUE(c.has);
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
    m.sectorMarks[3] = {0, 0, 0, 0, 0};
    m.lapSpeeds[1].max[0] = 25000;
    m.lapSpeeds[2].max[0] = 25000;
    Rankings r = buildRankings(t, m, LapHistory(), {true, false, kReplaySlots});
    EXPECT_EQ(slotsOf(r.sector[1]), (Slots{2, 1}));
    EXPECT_EQ(slotsOf(r.sector[2]), (Slots{1, 2}));  // 10000 and 10200
    EXPECT_EQ(slotsOf(r.sector[3]), (Slots{1}));
    // Slot 2 lacks the third mark: its sector 4 would be its whole lap.
    EXPECT_EQ(slotsOf(r.sector[4]), (Slots{1}));
    EXPECT_EQ(sectorTime(m, t, 1, 4), 10000);
    EXPECT_EQ(slotsOf(r.maximumSpeed), (Slots{1, 2}));
}

TEST(LapHistory, LeadersFastestLapDevelopmentAndPoints) {
    // Lap 1: slot 2 leads (stamp 40500) and is fastest; lap 2: slot 1 sets
    // 39000 (new fastest) and leads on equal stamps by slot order.
    LapTables t = tablesOf({}, {lapRecord(1, {600, 41000, 80000, 119000}), lapRecord(2, {500, 40500, 80000}),
                                lapRecord(3, {900, 45000})});
    LapHistory h = computeLapHistory(t, t.maxRaceLaps + 1);
    ASSERT_EQ(h.lapLeader.size(), 6u);
    EXPECT_EQ(h.lapLeader[1], 2);
    EXPECT_EQ(h.lapLeader[2], 1);
    EXPECT_EQ(h.lapLeader[3], 1);
    EXPECT_EQ(h.lapLeader[4], 0);
    ASSERT_EQ(h.fastestLapHistory.size(), 2u);
    EXPECT_EQ(h.fastestLapHistory[0], (std::pair<int, int>{2, 1}));
    EXPECT_EQ(h.fastestLapHistory[1], (std::pair<int, int>{1, 2}));
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
    ASSERT_EQ(rows.size(), 5u);  // slot 0 is never classified, even with the most laps
    EXPECT_EQ(rows[0].slot, 2);
    EXPECT_EQ(rows[0].level, 5);
    EXPECT_EQ(rows[1].slot, 1);
    EXPECT_EQ(rows[2].slot, 3);
    EXPECT_EQ(rows[3].slot, 4);
    EXPECT_EQ(rows[4].slot, 5);
    EXPECT_EQ(t.maxRaceLaps, 6);

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
    EXPECT_EQ(resultShade(ResultRow{1, 6}, 6, 0), RowShade::none);
    EXPECT_EQ(resultShade(ResultRow{0, 6}, 6, 0), RowShade::none);  // a server replay has no own car

    // After lap 1: 0 (40000), 2 (40500), 1 (41000), 3, 4, 5.
    EXPECT_EQ(positionAfterLap(t, 1, 1), 3);
    EXPECT_EQ(positionAfterLap(t, 5, 1), 6);
    EXPECT_EQ(positionAfterLap(t, 5, 2), 0);  // no stamp there
    EXPECT_EQ(positionAfterLap(t, 5, 0), 4);  // the order of the first stamps
}

TEST(Classification, PositionColumns) {
    EXPECT_EQ(positionColumns(25), 12);
    std::vector<int> laps;
    for (int c = 0; c < 12; ++c) laps.push_back(columnLap(c, 25));
    EXPECT_EQ(laps, (std::vector<int>{0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22}));
    EXPECT_EQ(positionColumns(10), 10);
    EXPECT_EQ(columnLap(9, 10), 9);
    EXPECT_EQ(positionColumns(20), 20);
    EXPECT_EQ(positionColumns(21), 10);
    EXPECT_EQ(positionColumns(0), 0);
    EXPECT_EQ(positionColumns(-2), 0);
}

TEST(ValueFormats, ExamplesOfThePage) {
    EXPECT_EQ(raceTimeText(83 * 60000 + 5123), "83:05.123");
    EXPECT_EQ(lapTimeText(65003), "1:05.003");
    EXPECT_EQ(shortTimeText(65003), "1:05.003");
    EXPECT_EQ(lapTimeText(59870), "0:59.870");
    EXPECT_EQ(shortTimeText(59870), "59.870");
    EXPECT_EQ(shortTimeText(5120), "05.120");
    EXPECT_EQ(gapText(456), "-0.456");
    EXPECT_EQ(gapText(12345), "-12.345");
    EXPECT_EQ(gapText(61200), "-1:01.200");
    EXPECT_EQ(gapText(62 * 60000 + 2345), "-62:02.345");  // whole minutes
    EXPECT_EQ(secondsText(63456), "3.456");
    EXPECT_EQ(speed2Text(25407), "254.07");
    EXPECT_EQ(speed1Text(25407), "254.0");
    EXPECT_EQ(percent2Text(183), "1.83");
    EXPECT_EQ(percent1Text(965), "96.5");
    EXPECT_EQ(pageText("A&B <i>\"x\"</i> M\xFCller"), "A&amp;B &lt;i&gt;&quot;x&quot;&lt;/i&gt; M\xC3\xBCller");
    EXPECT_EQ(carLogo(4), "<img src=\"images/logo_Ferrari.gif\" />");
    EXPECT_EQ(carLogo(7), "");
    EXPECT_EQ(colourByte(175), "af");
    EXPECT_EQ(colourByte(5), "05");
}

TEST(ColourScale, TimesAndSpeeds) {
    ScaleColour best = timeScale(60000, 60000);
    EXPECT_EQ(best.kind, ScaleColour::green);
    EXPECT_EQ(best.value, 0x5f);
    ScaleColour onePercent = timeScale(60600, 60000);  // g = 8080
    EXPECT_EQ(onePercent.kind, ScaleColour::green);
    EXPECT_EQ(onePercent.value, 175);
    EXPECT_EQ(timeScale(61200, 60000).kind, ScaleColour::none);  // g = 8160
    ScaleColour slow = timeScale(62100, 60000);                     // 3.5 %: r = 966 - 715 = 251
    EXPECT_EQ(slow.kind, ScaleColour::red);
    EXPECT_EQ(slow.value, 251);
    ScaleColour verySlow = timeScale(120000, 60000);
    EXPECT_EQ(verySlow.value, 0);  // raised to 0
    // Laps over 268 s would overflow 32-bit products.
    EXPECT_EQ(timeScale(300000, 300000).value, 0x5f);
    EXPECT_EQ(timeScale(0, 60000).kind, ScaleColour::none);

    ScaleColour top = maxSpeedScale(25000, 25000);
    EXPECT_EQ(top.kind, ScaleColour::green);
    EXPECT_EQ(top.value, 0x41);
    EXPECT_EQ(minSpeedScale(8000, 8000).value, 0x41);
    EXPECT_EQ(maxSpeedScale(18000, 25000).kind, ScaleColour::red);
    EXPECT_EQ(minSpeedScale(kNoLap, 8000).kind, ScaleColour::none);  // never measured
}

}  // namespace
}  // namespace zr

#include <gtest/gtest.h>

#include <sstream>

#include "golden.h"
#include "heat_event.h"
#include "heat_menu.h"
#include "heat_report.h"
#include "heat_stats.h"

namespace zr {
namespace {

using namespace zr::test;

// A race car with evenly spaced laps and no practice.
GridCar racer(const char* last, int slot, std::uint32_t start, int laps, std::uint32_t lapMs) {
    return GridCar{{"X", last, slot, 1}, {}, {}, evenLaps(start, laps, lapMs), {}};
}

// Reads the grids' lap records (no event stream) one after another.
struct Event {
    HeatData data;
    std::string console;
};
void readGrids(Event& e, const std::vector<std::vector<GridCar>>& grids, const MyName& me = {}) {
    std::ostringstream out;
    ConsoleSink sink{&out};
    for (const std::vector<GridCar>& cars : grids) {
        ByteVec bytes = buildReplay(gridReplay(cars, 0));
        EXPECT_EQ(readGrid(view(bytes), me, e.data, sink), GridOutcome::read);
    }
    finishGrids(e.data);
    e.console = out.str();
}

// A console text or page part against golden/NAME.
void expectText(const std::string& name, const std::string& text) {
    expectGolden(std::string(HEATBOARD_GOLDEN_DIR) + "/" + name, text, LineEnds::lf);
}

std::vector<int> slotsOf(const std::vector<HeatRow>& rows) {
    std::vector<int> slots;
    for (const HeatRow& r : rows) slots.push_back(r.slot);
    return slots;
}

TEST(GridReading, EachGridFillsItsOwnTwentySlotsAndShowsItsRecords) {
    Event e;
    readGrids(e, {{racer("Aa", 0, 3000, 2, 40000), racer("Ab", 1, 3500, 2, 41000), racer("Ac", 19, 3700, 2, 42000)},
                  {racer("Ba", 5, 9000, 3, 40000), racer("Bb", 7, 9400, 3, 39000)}});
    const HeatData& d = e.data;
    EXPECT_EQ(d.drivers[25].lastName, "Ba");
    EXPECT_EQ(d.tables.race[25].raceLapCount, 3);
    EXPECT_EQ(d.tables.race[27].raceStamps[1], 9400 + 39000);
    EXPECT_EQ(d.tables.race[19].raceLapCount, 2);
    EXPECT_EQ(d.gridOrigins()[19], 3000);  // the grid's last slot runs on its grid's clock
    EXPECT_EQ(d.tables.maxRaceLaps, 3);  // over all grids
    // Per record: last name, make and slot, and the word after the record;
    // each grid's start; with two drivers no track length search in grid B.
    expectText("two_grids_console.txt", e.console);
}

TEST(GridReading, CarSlotsOutsideTheGridNeverReachAnotherGrid) {
    Event e;
    // Slot 20, the first past the grid, would be grid B's slot 0.
    readGrids(e, {{racer("Aa", 1, 3000, 2, 40000), racer("Wide", 20, 3000, 4, 40000), racer("Neg", -3, 3000, 4, 400)},
                  {racer("Ba", 1, 9000, 2, 40000)}});
    const HeatData& d = e.data;
    EXPECT_EQ(d.drivers[20].lastName, "");
    EXPECT_EQ(d.tables.race[20].raceLapCount, 0);
    EXPECT_EQ(d.drivers[21].lastName, "Ba");
    EXPECT_EQ(d.tables.maxRaceLaps, 2);  // the records without a row do not count
    EXPECT_NE(e.console.find("Wide\nAuto=1  Welch=20\n"), std::string::npos);
}

TEST(GridReading, AGridWithoutRaceLapsKeepsTheEventsRaceValues) {
    Event e;
    GridCar practiser{{"P", "Practice", 1, 0}, evenLaps(1000, 2, 40000), {}, {}, {}};
    readGrids(e, {{racer("Aa", 1, 3000, 4, 40000), racer("Ab", 2, 3000, 4, 40000), racer("Ac", 3, 3000, 4, 40000)},
                  {practiser}});
    EXPECT_TRUE(e.data.tables.hasRaceTable);
    EXPECT_EQ(e.data.tables.maxRaceLaps, 4);
    EXPECT_NE(e.console.find("Zeit in Startaufstellung dieses Grids:100000.000s\n"), std::string::npos);  // no start
    EXPECT_EQ(e.data.tables.practice[21].practiceLapCount, 2);
}

// The first blank splits the name; line ends at the end are dropped.
TEST(MyNameFile, SplitsAtTheFirstBlankAndTheLastMatchingRecordMarksTheUser) {
    for (const auto& [text, name] : {std::pair{"Emil Engel\r\n", "Emil|Engel"}, {"Anna van Dijk", "Anna|van Dijk"},
                                     {"Solo\n", "Solo|"}})
        EXPECT_EQ(parseMyName(text).first + "|" + parseMyName(text).second, name);
    Event e;
    GridCar emil = racer("Engel", 4, 3000, 2, 40000);
    emil.driver.firstName = "Emil";
    readGrids(e, {{emil}, {racer("Other", 1, 3000, 2, 40000), emil}}, MyName{"Emil", "Engel"});
    EXPECT_TRUE(e.data.isUser(24));
    Event nobody;
    readGrids(nobody, {{racer("Other", 0, 3000, 2, 40000)}}, MyName{"Emil", "Engel"});
    EXPECT_FALSE(nobody.data.userFound);
    EXPECT_FALSE(nobody.data.isUser(0));  // slot 0 is not the user just because nobody matched
}

// The event's pages pin a finisher a lap down, projected with his average lap,
// and a retirement.
TEST(HeatClassification, AShorterGridComesAfterAllFinishersAndSlotZeroIsNeverListed) {
    Event e;
    readGrids(e, {{racer("A1", 1, 1000, 20, 50000), racer("A2", 2, 1000, 20, 51000)},
                  {racer("B1", 1, 1000, 15, 40000), racer("B2", 2, 1000, 15, 39000), racer("B3", 3, 1000, 14, 30000)}});
    std::vector<HeatRow> rows = classifyHeat(e.data);
    EXPECT_EQ(e.data.gridWinnerStamp[1], kNoWinner);  // nobody in grid B drove 20 laps
    ASSERT_EQ(slotsOf(rows), (std::vector<int>{1, 2, 22, 21, 23}));
    EXPECT_FALSE(rows[2].finished);
    EXPECT_EQ(rows[2].raceTime, 15 * 39000);
    // Slot 0 is never listed, but hides nobody.
    e = Event();
    readGrids(e, {{racer("Zero", 0, 1000, 5, 40000), racer("One", 1, 1000, 5, 41000), racer("Two", 2, 1000, 3, 1)}});
    EXPECT_EQ(slotsOf(classifyHeat(e.data)), (std::vector<int>{1, 2}));
    e.data.history.fastestLapCount.assign(kGridSlots, 0);
    e.data.history.fastestLapCount[0] = 3;
    e.data.history.fastestLapCount[1] = 2;
    e.data.rankings = buildRankings(e.data.tables, e.data.measure, e.data.history, {true, true, kGridSlots});
    EXPECT_EQ(fastestLapSummary(e.data), "\n\n             BESTE RUNDEN TABELLE\n\n            2 * X One\n");
    EXPECT_EQ(e.data.rankings.consistency.slots, (std::vector<int>{1, 2}));
}

TEST(HeatTenths, ColumnsLookAtTenthsOfTheRaceAndPlacesUseOwnClocks) {
    const int expected[] = {2, 5, 7, 10, 12, 15, 17, 20, 22};
    for (int j = 1; j <= 9; ++j) EXPECT_EQ(tenthLap(j, 25), expected[j - 1]);
    Event e;
    readGrids(e, {{racer("A", 1, 1000, 4, 40000), racer("A2", 2, 1000, 2, 39000)},
                  {racer("B", 1, 700000, 4, 39500)}});
    // Slot 2 has no stamp at lap 4: shown as "-".
    for (const auto& [slot, lap, place] : {std::tuple{2, 1, 1}, {21, 1, 2}, {1, 1, 3}, {1, 4, 2}, {2, 4, 0}})
        EXPECT_EQ(placeAtLap(e.data, slot, lap), place) << slot << " " << lap;
}

TEST(HeatLeaders, TheLeaderOfALapHasTheSmallestTimeSinceHisGridsStart) {
    Event e;
    GridCar c = racer("C", 3, 900000, 10, 40000);
    c.race[7] = c.race[6] + 30000;  // grid C's driver is fastest to lap 7 only
    // Grid A's driver in slot 0 leads the last lap: the lap after it, empty,
    // must not end his run.
    readGrids(e, {{racer("A", 0, 1000, 10, 39000)}, {racer("B", 1, 200000, 10, 39500)}, {c}});
    EXPECT_EQ(e.data.history.lapLeader[7], 43);
    std::vector<std::tuple<int, int, int>> runs;
    for (const LeaderRun& run : leaderRuns(e.data.history, e.data.tables.maxRaceLaps))
        runs.emplace_back(run.slot, run.firstLap, run.lastLap);
    EXPECT_EQ(runs, (std::vector<std::tuple<int, int, int>>{{0, 1, 6}, {43, 7, 7}, {0, 8, 10}}));
}

TEST(HeatLeaders, EightRunsMakeTwoRowsOfLeaderCells) {
    Event e;
    // Even laps: A leads on equal times; B is ahead in laps 3-4, 7-8, 11-12
    // and 15-20, seven changes of the lead in 20 laps.
    GridCar a = racer("A", 1, 1000, 20, 40000), b = racer("B", 2, 1000, 20, 40000);
    for (int lap : {3, 4, 7, 8, 11, 12, 15, 16, 17, 18, 19, 20}) b.race[lap] -= 100;
    readGrids(e, {{a, b, racer("C", 3, 1000, 20, 45000)}});
    std::string page = heatboardReport(e.data, "xAll", true);
    std::size_t from = page.find("LEADER </caption>");
    expectText("eight_leader_runs.html", page.substr(from, page.find("</border>", from) - from));
}

TEST(HeatMenu, RankLinesHoldEveryTenthLapAndTheScaleBelow) {
    Event e;
    GridCar slow = racer("Slow", 1, 1000, 35, 42000), fast = racer("Fast", 2, 1000, 35, 41000);
    readGrids(e, {{slow, fast}, {racer("Quick", 3, 1000, 34, 40000)}});
    // Slot 23 has no lap 35: from there its ranks stay empty.
    expectText("lap_rank_tables.txt", lapRankTable(e.data, 1) + lapRankTable(e.data, 23));
}

TEST(HeatMenu, DriversThreeToALineAndTheLastNumberChoosesTheVariant) {
    Event e;
    readGrids(e, {{racer("Zero", 0, 1000, 3, 40000), racer("One", 1, 1000, 3, 40000)},
                  {racer("Twentyone", 1, 1000, 3, 40000), racer("Averyverylongna", 5, 1000, 3, 40000)}});
    expectText("menu_driver_list.txt", menuDriverList(e.data));
    std::ostringstream out;
    // The end of the input and a word read as 0.
    for (const auto& [input, choice] : {std::pair{"7\n-2\n", -2}, {"1\n", 0}, {"x\n", 0}}) {
        std::istringstream in(input);
        EXPECT_EQ(runHeatMenu(e.data, in, out), choice) << input;
    }
    EXPECT_NE(out.str().find("\n \n\n"), std::string::npos);  // slot 7 has no name
}

// The footers of both variants are pinned by the event's pages.
TEST(HeatPage, WithoutRaceLapsThePracticeLapsOfSlotZeroFollowTheHead) {
    Event e;
    readGrids(e, {{GridCar{{"Hank", "<Host>", 0, 0}, {1000, 41000, 83000, 122500}, {0, 0, 16, 0}, {}, {}}}});
    expectText("practice_only.html", heatboardReport(e.data, "p&All", false));
}

}  // namespace
}  // namespace zr

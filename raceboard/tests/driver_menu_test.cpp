#include "driver_menu.h"

#include <gtest/gtest.h>

#include <sstream>

#include "golden.h"
#include "lap_replays.h"
#include "html_report.h"

namespace zr {
namespace {

using namespace zr::test;

struct Race {
    ReadReplay read;
    const LapTables& tables = read.tables;
    const DriverTable& drivers = read.drivers;
    LapHistory history;
};

// A server replay of four drivers with these race records.
void readRace(Race& r, const std::vector<LapRecordSpec>& race) {
    ReplaySpec recipe;
    recipe.drivers = {{"Race", "Server", 0, 0}, {"Anna", "Arnold", 1, 1}, {"Bert", "Brandt", 2, 2},
                      {"Carl", "Cramer", 3, 3}};
    recipe.hasRaceBlock = true;
    recipe.raceLaps = race;
    r.read = readReplay(recipe);
    r.history = computeLapHistory(r.tables, r.tables.maxRaceLaps + 1);
}

// Slot 1 is fastest in laps 1 and 3, second in laps 2 and 4 and has no lap
// 5; slot 2 is fastest in laps 2, 4 and 5; slot 3 ties slot 1 in lap 3.
std::vector<LapRecordSpec> fourLaps() {
    return {lapRecord(1, {500, 40500, 81500, 121000, 163000}),
            lapRecord(2, {600, 41000, 81500, 122000, 163000, 204000}),
            lapRecord(3, {700, 41700, 83000, 122500, 165000, 206500})};
}

// The dialogue's golden file pins slot 3's chart (a tie in lap 3) and the
// standings, where a tie gives both drivers a point.
TEST(DriverMenu, LapRanksAndTheirChart) {
    Race r;
    readRace(r, fourLaps());
    std::istringstream in("3\n0\n");
    std::ostringstream out;
    EXPECT_FALSE(runDriverMenu(r.tables, r.drivers, r.history, in, out));
    expectGolden(std::string(RACEBOARD_GOLDEN_DIR) + "/driver_menu_dialogue.txt", out.str(), LineEnds::lf);
    // Lap times: slot 1 40000 41000 39500 42000; slot 2 40400 40500 40500 41000
    // 41000; slot 3 41000 41300 39500 42500 41500.
    std::vector<int> ranks = lapRanks(r.tables, 1);
    EXPECT_EQ(ranks, (std::vector<int>{0, 1, 2, 1, 2, 0}));
    EXPECT_EQ(rankChart(ranks, r.tables.maxRaceLaps), "1 1  \n 2 2 \n");
    // Long races show 79 columns, and every row ends with a line end.
    ranks.assign(101, 1);
    ranks[80] = 2;
    EXPECT_EQ(rankChart(ranks, 100), std::string(79, '1') + "\n" + std::string(79, ' ') + "\n");
}

TEST(DriverMenu, TheLastNumberChoosesThePageWithoutSpeeds) {
    Race r;
    readRace(r, fourLaps());
    std::string nineteen;  // the menu ends by itself with its last choice
    for (int i = 0; i < 19; ++i) nineteen += "1\n";
    // The end of the input and a word read as 0.
    for (const auto& [input, withoutSpeeds] : {std::pair{std::string("0\n"), false}, {"99\n", true}, {"2\n-1\n", true},
                                               {"", false}, {"2\nabc\n", false}, {nineteen + "0\n", true}}) {
        std::istringstream in(input);
        std::ostringstream out;
        EXPECT_EQ(runDriverMenu(r.tables, r.drivers, r.history, in, out), withoutSpeeds) << input;
    }
}

TEST(ReportDate, DaysBelowTenKeepALeadingBlank) {
    EXPECT_EQ(reportDate("Fri DEC  5 14:30:00 2025\n"), " 5. DEC 2025");
    EXPECT_EQ(reportDate("Sat DEC 13 14:30:00 2025\n"), "13. DEC 2025");
}

}  // namespace
}  // namespace zr

// heatboard end to end: the built program in a working directory of its own,
// with scripted console input; the console, the exit code and the pages
// compared byte for byte with the reviewed runs in golden/CASE
// (ZR_UPDATE_GOLDEN=1 rewrites them).
#include <gtest/gtest.h>

#include <functional>

#include "golden.h"
#include "heat_event.h"
#include "run_dir.h"

namespace zr {
namespace {

using namespace zr::test;

// Practice laps only: the console shows no sector lists.
void practiceOnly(RunDir& dir) {
    dir.writeConfig();
    dir.writeFile("myname.ini", "Anna Arnold");
    dir.writeReplay("practice", buildReplay(gridReplay({{{"Anna", "Arnold", 1, 1}, evenLaps(1000, 1, 40000), {}, {}, {}},
                                                        {{"Bert", "Brandt", 2, 2}, evenLaps(1000, 1, 40000), {}, {}, {}}},
                                                       0)));
}

// Five grids fill the hundred slots; the user Eve Five wins from grid E, and
// nothing is measured without a stream.
void fiveGrids(RunDir& dir) {
    dir.writeConfig();
    dir.writeFile("myname.ini", "Eve Five");
    const char* names[] = {"g1", "g2", "g3", "g4", "g5"};
    for (int g = 0; g < 5; ++g) {
        std::vector<GridCar> cars;
        for (int c = 1; c <= 3; ++c) {
            const bool eve = g == 4 && c == 1;
            const std::uint32_t start = 2000 + 1000 * g, lapMs = eve ? 39000 : 40000 + 700 * c + 100 * g;
            cars.push_back({{eve ? "Eve" : "Driver", eve ? "Five" : names[g], c, c % 7},
                            evenLaps(start / 2, 1, 40000 + lapMs % 1000), {}, evenLaps(start, 4, lapMs), {}});
        }
        dir.writeReplay(names[g], buildReplay(gridReplay(cars, 0)));
    }
}

// A replay of a participant after two good grids ends the run without a page.
void clientAfterGoodGrids(RunDir& dir) {
    writeHeatEvent(dir);
    ReplaySpec client = gridBReplay();
    client.localDriverSlot = 2;
    client.records.clear();
    dir.writeReplay("client", buildReplay(client));
}

struct HeatRun {
    const char* name;  // the golden folder
    std::function<void(RunDir&)> setUp;
    std::string input;
};

void PrintTo(const HeatRun& run, std::ostream* out) { *out << run.name; }

const HeatRun kRuns[] = {
    {"heat_event", writeHeatEvent, heatEventInput("0")},
    {"heat_event_no_v", writeHeatEvent, heatEventInput("-1")},
    // Dora Dietz of grid B (21) is fastest in laps 3 to 5 only; the end of
    // the input writes the full page.
    {"menu_lap_ranks", writeHeatEvent, "heatA\nheatB\n0\n21\n"},
    // The second part of the name is "Engel " with its blank: nobody is marked.
    {"no_matching_name", [](RunDir& d) { writeHeatEvent(d); d.writeFile("myname.ini", "Emil Engel "); },
     heatEventInput("0")},
    {"grid_a_alone", writeHeatEvent, "heatA\n0\n0\n"},
    {"practice_only", practiceOnly, "practice\n0\n0\n"},
    {"five_grids", fiveGrids, "g1 g2 g3 g4 g5 -4\n"},
    {"client_after_good_grids", clientAfterGoodGrids, "heatA\nheatB\nclient\n0\n"},
    {"no_myname", [](RunDir&) {}, "heatA\n"},
    {"no_config", [](RunDir& d) { d.writeFile("myname.ini", "A B"); }, "heatA\n"},
    {"no_replay", [](RunDir& d) { d.writeFile("myname.ini", "A B"); d.writeConfig(); }, "missing\n"},
    {"zero_for_grid_a", [](RunDir& d) { d.writeFile("myname.ini", "A B"); d.writeConfig(); }, "0\n"},
};

class HeatboardRun : public ::testing::TestWithParam<HeatRun> {};

TEST_P(HeatboardRun, RunsAsTheGoldenFilesSay) {
    RunDir dir;
    GetParam().setUp(dir);
    expectRunAsGolden(HEATBOARD_EXE, dir, GetParam().input, std::string(HEATBOARD_GOLDEN_DIR) + "/" + GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(, HeatboardRun, ::testing::ValuesIn(kRuns),
                         [](const ::testing::TestParamInfo<HeatRun>& info) { return info.param.name; });

// The page is named after grid A's name and shows it in its head.
TEST(HeatboardRuns, NamesWithFolderPartsGiveThePageInTheWorkingDirectory) {
    RunDir dir;
    writeHeatEvent(dir);
    EXPECT_EQ(compareRunsWithFolderParts(HEATBOARD_EXE, dir,
                                         [](const std::string& f) { return f + "heatA\n" + f + "heatB\n0\n0\n"; }),
              "");
}

}  // namespace
}  // namespace zr

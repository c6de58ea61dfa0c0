// heatboard end to end: the built program in a working directory of its own,
// with scripted console input; pages compared byte for byte.
//
// The expected pages and console are in tests/golden; with
// ZR_UPDATE_GOLDEN=1 the tests write them instead of comparing.
#include <gtest/gtest.h>

#include "golden.h"
#include "heat_event.h"
#include "run_dir.h"

namespace zr {
namespace {

using namespace zr::test;

const std::string kPause = "Press any key to continue . . . \n";

std::string golden(const std::string& file) { return std::string(HEATBOARD_GOLDEN_DIR) + "/" + file; }

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

GridCar racer(const char* first, const char* last, int slot, std::uint32_t start, int laps, std::uint32_t lapMs) {
    return GridCar{{first, last, slot, slot % 7}, evenLaps(start / 2, 1, 40000 + lapMs % 1000), {},
                   evenLaps(start, laps, lapMs), {}};
}

// A grid's replay with lap records only.
ByteVec lapsOnly(const std::vector<GridCar>& cars) {
    ReplaySpec recipe = gridReplay(cars, 0);
    recipe.records.clear();
    return buildReplay(recipe);
}

TEST(HeatboardRun, TwoGridsGiveThePageInBothVariants) {
    RunDir dir;
    writeHeatEvent(dir);
    RunResult full = runProgram(HEATBOARD_EXE, dir, heatEventInput("0"));
    EXPECT_EQ(full.exitCode, 0);
    expectGolden(golden("heatAAll.html"), dir.read("heatAAll.html"));
    expectGolden(golden("heatAAll_console.txt"), full.console, LineEnds::lf);
    EXPECT_FALSE(dir.exists("heatAAllno_v.html"));

    RunResult plain = runProgram(HEATBOARD_EXE, dir, heatEventInput("-1"));
    EXPECT_EQ(plain.exitCode, 0);
    expectGolden(golden("heatAAllno_v.html"), dir.read("heatAAllno_v.html"));
    EXPECT_EQ(plain.console, full.console);
}

TEST(HeatboardRun, TheMenuShowsLapRanksAndTheEndOfInputWritesTheFullPage) {
    RunDir dir;
    writeHeatEvent(dir);
    RunResult r = runProgram(HEATBOARD_EXE, dir, "heatA\nheatB\n0\n21\n");
    EXPECT_EQ(r.exitCode, 0);
    // Dora Dietz of grid B: the fastest lap in laps 3 to 5 only.
    const std::string ranks = "\nDora Dietz\n\n 1 |  2  \n 2 |  2  \n 3 |  1  \n 4 |  1  \n 5 |  1  \n";
    EXPECT_NE(r.console.find(ranks), std::string::npos) << r.console;
    EXPECT_NE(r.console.find(" 5 |  1  \n \n \n \n \n \n   ******\n     10 \n" + kPause + " 0=Ends"),
              std::string::npos);
    EXPECT_EQ(count(r.console, "Please choice a number!\n"), 2u);
    expectGolden(golden("heatAAll.html"), dir.read("heatAAll.html"));
}

TEST(HeatboardRun, NoMatchingNameMarksNobody) {
    RunDir dir;
    writeHeatEvent(dir);
    dir.writeFile("myname.ini", "Emil Engel ");  // the second part is "Engel " with its blank
    ASSERT_EQ(runProgram(HEATBOARD_EXE, dir, heatEventInput("0")).exitCode, 0);
    const std::string page = dir.read("heatAAll.html");
    EXPECT_EQ(page.find("#FFFF00"), std::string::npos);
    EXPECT_NE(page.find("Emil Engel"), std::string::npos);
}

TEST(HeatboardRun, ZeroAtTheSecondPromptEvaluatesGridAAlone) {
    RunDir dir;
    writeHeatEvent(dir);
    RunResult r = runProgram(HEATBOARD_EXE, dir, "heatA\n0\n0\n");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.console.find("GridC"), std::string::npos);
    EXPECT_NE(r.console.find(" 0=Hank Host                 1=Anna Arnold               2=Bert Brandt\n"
                             " 3=Carl <Cramer>            \n"),
              std::string::npos);
    const std::string page = dir.read("heatAAll.html");
    EXPECT_EQ(page.find("grid_B"), std::string::npos);
    EXPECT_EQ(count(page, "grid_A.gif"), 3u * 5u);  // the result and the four lap tables
    EXPECT_NE(page.find("MOD:    GPMOD6 </PRE>"), std::string::npos);
}

TEST(HeatboardRun, WithoutRaceLapsTheConsoleShowsNoSectorLists) {
    RunDir dir;
    dir.writeConfig();
    dir.writeFile("myname.ini", "Anna Arnold");
    std::vector<GridCar> cars = {racer("Anna", "Arnold", 1, 2000, 0, 40000),
                                 racer("Bert", "Brandt", 2, 2000, 0, 41000)};
    for (GridCar& car : cars) car.race.clear();
    dir.writeReplay("practice", buildReplay(gridReplay(cars, 0)));
    RunResult r = runProgram(HEATBOARD_EXE, dir, "practice\n0\n0\n");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(dir.exists("practiceAll.html"));
    EXPECT_EQ(r.console.find("SECTOR"), std::string::npos) << r.console;
}

TEST(HeatboardRun, FiveGridsFillOneHundredSlots) {
    RunDir dir;
    dir.writeConfig();
    dir.writeFile("myname.ini", "Eve Five");
    const char* names[] = {"g1", "g2", "g3", "g4", "g5"};
    for (int g = 0; g < 5; ++g) {
        std::vector<GridCar> cars;
        for (int c = 1; c <= 3; ++c) {
            const bool eve = g == 4 && c == 1;
            cars.push_back(racer(eve ? "Eve" : "Driver", eve ? "Five" : names[g], c, 2000 + 1000 * g, 4,
                                 eve ? 39000 : 40000 + 700 * c + 100 * g));
        }
        dir.writeReplay(names[g], lapsOnly(cars));
    }
    RunResult r = runProgram(HEATBOARD_EXE, dir, "g1 g2 g3 g4 g5 -4\n");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.console.find("GridE replay-file"), std::string::npos);
    EXPECT_EQ(count(r.console, "Please put in the name"), 5u);
    EXPECT_NE(r.console.find("81=Eve Five" + std::string(17, ' ') + "82=Driver g5" + std::string(16, ' ') +
                             "83=Driver g5\n"),
              std::string::npos)
        << r.console;
    const std::string page = dir.read("g1Allno_v.html");
    const std::size_t winner = page.find("<b> 1 </b>  </td> <td> Eve Five");
    ASSERT_NE(winner, std::string::npos);
    const std::string yellow = "<tr bgcolor=\"#FFFF00\">";
    EXPECT_EQ(page.compare(page.rfind("<tr", winner), yellow.size(), yellow), 0);
    EXPECT_EQ(count(page, "grid_E.gif"), 3u * 5u);  // the result and the four lap tables; nothing was measured
    EXPECT_EQ(page.find("SPEED </caption>"), std::string::npos);
}

TEST(HeatboardRun, AClientReplayAfterGoodGridsEndsWithoutAPage) {
    RunDir dir;
    writeHeatEvent(dir);
    ReplaySpec client = gridBReplay();
    client.localDriverSlot = 2;
    client.records.clear();
    dir.writeReplay("client", buildReplay(client));
    RunResult r = runProgram(HEATBOARD_EXE, dir, "heatA\nheatB\nclient\n0\n");
    EXPECT_EQ(r.exitCode, 0);
    const std::string end = "If no GridC exist put in number 0!\nSorry! Zant_Heatboard is made for Server Replays "
                            "only.\nIf you would see the datas from ONE replay only\nplease use Zant_Raceboard!\n" +
                            kPause;
    ASSERT_GE(r.console.size(), end.size());
    EXPECT_EQ(r.console.substr(r.console.size() - end.size()), end);
    EXPECT_FALSE(dir.exists("heatAAll.html"));
}

// The page is named after grid A's name and shows it in its head.
TEST(HeatboardRun, NamesWithFolderPartsGiveThePageInTheWorkingDirectory) {
    RunDir dir;
    writeHeatEvent(dir);
    EXPECT_EQ(compareRunsWithFolderParts(HEATBOARD_EXE, dir,
                                         [](const std::string& f) { return f + "heatA\n" + f + "heatB\n0\n0\n"; }),
              "");
}

TEST(HeatboardRun, StartUpFailures) {
    RunDir dir;
    const std::string tip =
        "Tip: You can mark your datas especially if you edit the myname.txt. Change the\n"
        "drivername in this file to your name and you should see yellow lines in the html\n";
    RunResult noName = runProgram(HEATBOARD_EXE, dir, "heatA\n");
    EXPECT_EQ(noName.exitCode, 0);
    EXPECT_EQ(noName.console, tip + "Datei myname.ini existiert nicht" + kPause);

    dir.writeFile("myname.ini", "A B");
    RunResult noConfig = runProgram(HEATBOARD_EXE, dir, "heatA\n");
    EXPECT_EQ(noConfig.exitCode, 1);
    EXPECT_EQ(noConfig.console, tip + "Datei wrong!!!");

    dir.writeConfig();
    RunResult noGrid = runProgram(HEATBOARD_EXE, dir, "missing\n");
    EXPECT_EQ(noGrid.exitCode, 1);
    EXPECT_EQ(noGrid.console, tip +
                                  "\n\nPlease put in the name of the GridA replay-file (without .rpy)!\n"
                                  "If no GridA exist put in number 0!\n"
                                  "The tool find not the replay.\n"
                                  "Have you edit the path in Zant_Raceboard.ini to your zant directory?\n"
                                  "At the end of the path it must be a \"\\\"!\n" +
                                  kPause);
    RunResult zero = runProgram(HEATBOARD_EXE, dir, "0\n");
    EXPECT_EQ(zero.exitCode, 1);
    EXPECT_EQ(zero.console, noGrid.console);
    EXPECT_FALSE(dir.exists("missingAll.html"));
}

}  // namespace
}  // namespace zr

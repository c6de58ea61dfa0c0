// The written pages opened in headless Chromium with stand-ins for the style
// sheet and the logos they link: the tables must be in the document with
// their rows, and a screenshot of each page is written beside the test
// binary. Skips when Chromium is not installed.
#include <gtest/gtest.h>

#include <filesystem>

#include "board_replays.h"
#include "browser_page.h"

namespace zr {
namespace {

using namespace zr::test;
using Tables = std::vector<DomTable>;

// A 1x1 GIF for every logo the pages link.
const std::string kGif("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00!\xf9\x04\x01\x00\x00\x00\x00,"
                       "\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02D\x01\x00;",
                       43);

// Writes the page of `recipe` and opens it; the tables of its document.
Tables renderedTables(const ReplaySpec& recipe, const std::string& screenshot) {
    RunDir dir;
    dir.writeConfig();
    dir.writeReplay("race", buildReplay(recipe));
    RunResult r = runProgram(RACEBOARD_EXE, dir, "race\n0\n");
    EXPECT_EQ(r.exitCode, 0) << r.console;
    dir.writeFile("Zant_Raceboards.css", "td { border: 1px solid #888; font-family: sans-serif; }\n");
    std::filesystem::create_directories(dir.path() + "/images");
    for (const char* make : {"Brabham", "BRM", "Cooper", "Eagle", "Ferrari", "Lotus", "Honda"})
        dir.writeFile(std::string("images/logo_") + make + ".gif", kGif);

    const std::string document = browserDocument(dir, "race.html");
    EXPECT_FALSE(document.empty()) << "Chromium did not load the page";
    const std::string shot = std::string(RACEBOARD_SCREENSHOT_DIR) + "/" + screenshot;
    std::filesystem::remove(shot);
    EXPECT_TRUE(browserScreenshot(dir, "race.html", shot));
    EXPECT_EQ(readFile(shot).substr(0, 4), "\x89PNG") << "no screenshot at " << shot;
    return tablesOf(document);
}

TEST(Browser, ServerAndParticipantPagesRenderEveryTable) {
    if (chromiumCommand().empty()) GTEST_SKIP() << "Chromium is not installed (apt-get install chromium)";
    // RESULT: the header and five drivers; one leader cell, two fastest-lap
    // cells in one row each; the statistics: the head, then heading, column
    // and five data rows per section (sections 3 and 4 open one more row).
    EXPECT_EQ(renderedTables(serverRaceReplay(), "raceboard_server.png"),
              (Tables{{" <b>RESULT</b> ", 6}, {" <b>LEADER</b> ", 1}, {" <b>DEVELOPMENT FASTEST LAP</b> ", 1},
                      {"", 30}}));
    EXPECT_EQ(renderedTables(participantRaceReplay(), "raceboard_participant.png"),
              (Tables{{" <b>RESULT</b> ", 4},
                      {" <b>LEADER</b> ", 1},
                      {" <b>DEVELOPMENT FASTEST LAP</b> ", 1},
                      {"", 21},
                      {" PRACTISE LAPS of  Bert Brandt", 6},
                      {" RACE LAPS of  Bert Brandt", 5},
                      {" IDEAL LAPS", 3}}));
}

}  // namespace
}  // namespace zr

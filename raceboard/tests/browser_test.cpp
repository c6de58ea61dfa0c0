// The written pages opened in a real browser (headless Chromium) with stand-ins
// for the style sheet and the logos they link: the tables must be in the DOM
// with their rows, and a screenshot of each page is written beside the test
// binary. Skips when Chromium is not installed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <utility>

#include "board_replays.h"
#include "run_dir.h"

namespace zr {
namespace {

using namespace zr::test;

bool haveChromium() { return std::system("command -v chromium > /dev/null 2>&1") == 0; }

// A 1x1 GIF for every logo the pages link.
const std::string kGif("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00!\xf9\x04\x01\x00\x00\x00\x00,"
                       "\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02D\x01\x00;",
                       43);

// Runs Chromium in `dir`, its output to `output`; never waits longer than 90 seconds.
bool chromium(const RunDir& dir, const std::string& arguments, const std::string& output = "/dev/null") {
    std::string command = "cd '" + dir.path() + "' && timeout -k 5 90 chromium --headless --no-sandbox --disable-gpu "
                          "--user-data-dir='" + dir.path() + "/profile' " + arguments + " > " + output +
                          " 2> chromium.log";
    return std::system(command.c_str()) == 0;
}

// The caption and the number of rows of every table in the serialized DOM.
std::vector<std::pair<std::string, int>> tablesOf(const std::string& dom) {
    std::vector<std::pair<std::string, int>> tables;
    for (std::size_t at = dom.find("<table"); at != std::string::npos; at = dom.find("<table", at + 1)) {
        const std::size_t end = std::min(dom.find("</table>", at), dom.size());
        const std::string text = dom.substr(at, end - at);
        std::string name;
        const std::size_t open = text.find("<caption"), close = text.find("</caption>");
        if (open != std::string::npos && close != std::string::npos) {
            const std::size_t from = text.find('>', open) + 1;
            name = text.substr(from, close - from);
        }
        int rows = 0;
        for (std::size_t r = text.find("<tr"); r != std::string::npos; r = text.find("<tr", r + 1))
            if (r + 3 < text.size() && (text[r + 3] == '>' || text[r + 3] == ' ')) ++rows;
        tables.push_back({name, rows});
    }
    return tables;
}

// Writes the page of `recipe` and opens it; returns the tables of its DOM.
std::vector<std::pair<std::string, int>> renderedTables(const ReplaySpec& recipe, const std::string& screenshot) {
    RunDir dir;
    dir.writeConfig();
    dir.writeReplay("race", buildReplay(recipe));
    RunResult r = runProgram(RACEBOARD_EXE, dir, "race\n0\n");
    EXPECT_EQ(r.exitCode, 0) << r.console;
    dir.writeFile("Zant_Raceboards.css", "td { border: 1px solid #888; font-family: sans-serif; }\n");
    std::filesystem::create_directories(dir.path() + "/images");
    for (const char* make : {"Brabham", "BRM", "Cooper", "Eagle", "Ferrari", "Lotus", "Honda"})
        dir.writeFile(std::string("images/logo_") + make + ".gif", kGif);

    const std::string url = "file://" + dir.path() + "/race.html";
    EXPECT_TRUE(chromium(dir, "--dump-dom '" + url + "'", "dom.html")) << dir.read("chromium.log");
    const std::string shot = std::string(RACEBOARD_SCREENSHOT_DIR) + "/" + screenshot;
    std::filesystem::remove(shot);
    EXPECT_TRUE(chromium(dir, "--window-size=1600,2400 --screenshot='" + shot + "' '" + url + "'"))
        << dir.read("chromium.log");
    EXPECT_EQ(readFile(shot).substr(0, 4), "\x89PNG") << "no screenshot at " << shot;
    return tablesOf(dir.read("dom.html"));
}

using Tables = std::vector<std::pair<std::string, int>>;

TEST(Browser, ServerPageRendersEveryTable) {
    if (!haveChromium()) GTEST_SKIP() << "chromium is not installed (apt-get install chromium): page not rendered";
    Tables tables = renderedTables(serverRaceReplay(), "raceboard_server.png");
    // RESULT: the header and five drivers; one leader cell, two fastest-lap
    // cells in one row each; the statistics: the head, then heading, column
    // and five data rows per section (sections 3 and 4 open one more row).
    EXPECT_EQ(tables, (Tables{{" <b>RESULT</b> ", 6},
                              {" <b>LEADER</b> ", 1},
                              {" <b>DEVELOPMENT FASTEST LAP</b> ", 1},
                              {"", 30}}));
}

TEST(Browser, ParticipantPageRendersItsLapTables) {
    if (!haveChromium()) GTEST_SKIP() << "chromium is not installed (apt-get install chromium): page not rendered";
    Tables tables = renderedTables(participantRaceReplay(), "raceboard_participant.png");
    EXPECT_EQ(tables, (Tables{{" <b>RESULT</b> ", 4},
                              {" <b>LEADER</b> ", 1},
                              {" <b>DEVELOPMENT FASTEST LAP</b> ", 1},
                              {"", 21},
                              {" PRACTISE LAPS of  Bert Brandt", 6},
                              {" RACE LAPS of  Bert Brandt", 5},
                              {" IDEAL LAPS", 3}}));
}

}  // namespace
}  // namespace zr

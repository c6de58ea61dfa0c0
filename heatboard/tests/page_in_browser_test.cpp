// The page as a browser reads it: headless Chromium loads the page heatboard
// wrote and hands back the document it built. Every table must keep its rows
// and the names from the replay must stay text. Skipped, saying so, where
// Chromium is not installed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "heat_event.h"
#include "run_dir.h"

namespace zr {
namespace {

using namespace zr::test;

std::string browser() {
    for (const char* name : {"chromium", "chromium-browser", "google-chrome"}) {
        std::string probe = std::string("command -v ") + name + " > /dev/null 2>&1";
        if (std::system(probe.c_str()) == 0) return name;
    }
    return "";
}

// The document Chromium builds from the page, or empty when it failed or took
// longer than a minute.
std::string documentOf(const std::string& browserName, const RunDir& dir, const std::string& page) {
    const std::string out = dir.path() + "/.dom";
    const std::string command = "timeout -k 5 60 " + browserName +
                                " --headless --no-sandbox --disable-gpu --no-first-run --user-data-dir='" +
                                dir.path() + "/.browser' --dump-dom 'file://" + dir.path() + "/" + page + "' > '" +
                                out + "' 2> /dev/null < /dev/null";
    if (std::system(command.c_str()) != 0) return "";
    return readFile(out);
}

// The number of rows of every table, in document order.
std::vector<int> rowsPerTable(const std::string& document) {
    std::vector<int> rows;
    for (std::size_t at = document.find("<table"); at != std::string::npos; at = document.find("<table", at + 1)) {
        const std::string table = document.substr(at, document.find("</table>", at) - at);
        int n = 0;
        for (std::size_t tr = table.find("<tr"); tr != std::string::npos; tr = table.find("<tr", tr + 1)) ++n;
        rows.push_back(n);
    }
    return rows;
}

TEST(HeatboardInBrowser, BothVariantsKeepEveryTableAndRow) {
    const std::string name = browser();
    if (name.empty()) GTEST_SKIP() << "Chromium is not installed (apt-get install chromium): the page was not opened";
    RunDir dir;
    writeHeatEvent(dir);
    ASSERT_EQ(runProgram(HEATBOARD_EXE, dir, heatEventInput("0")).exitCode, 0);
    ASSERT_EQ(runProgram(HEATBOARD_EXE, dir, heatEventInput("-1")).exitCode, 0);

    const std::string full = documentOf(name, dir, "heatAAll.html");
    ASSERT_FALSE(full.empty()) << "Chromium did not load the page";
    // A header row and six drivers; one row of leader and of development
    // cells; three drivers with fastest laps.
    EXPECT_EQ(rowsPerTable(full), (std::vector<int>{7, 7, 1, 7, 7, 1, 7, 7, 7, 7, 4, 7, 7, 7, 7}));
    for (const char* caption : {"RESULT", "CONSISTENCY", "LEADER", "SPEED", "NUMBER OF FASTEST LAPS", "SECTOR 4"})
        EXPECT_NE(full.find(std::string("> ") + caption + " </caption>"), std::string::npos) << caption;
    EXPECT_NE(full.find("Carl &lt;Cramer&gt;"), std::string::npos);
    EXPECT_NE(full.find("Fritz &amp; Co"), std::string::npos);
    EXPECT_EQ(full.find("<cramer>"), std::string::npos);
    EXPECT_NE(full.find("All speed values are without warranty"), std::string::npos);

    const std::string plain = documentOf(name, dir, "heatAAllno_v.html");
    ASSERT_FALSE(plain.empty()) << "Chromium did not load the page";
    EXPECT_EQ(rowsPerTable(plain), (std::vector<int>{7, 7, 1, 7, 7, 1, 7, 7, 7, 4, 7, 7, 7, 7}));
    EXPECT_EQ(plain.find("SPEED </caption>"), std::string::npos);
}

}  // namespace
}  // namespace zr

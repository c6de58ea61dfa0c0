// The page as a browser reads it: headless Chromium loads the page heatboard
// wrote and hands back the document it built. Every table must keep its rows
// and the names from the replay must stay text. Skipped, saying so, where
// Chromium is not installed.
#include <gtest/gtest.h>

#include "browser_page.h"
#include "heat_event.h"

namespace zr {
namespace {

using namespace zr::test;

std::vector<int> rowsPerTable(const std::string& document) {
    std::vector<int> rows;
    for (const DomTable& table : tablesOf(document)) rows.push_back(table.rows);
    return rows;
}

TEST(HeatboardInBrowser, BothVariantsKeepEveryTableAndRow) {
    if (chromiumCommand().empty()) GTEST_SKIP() << "Chromium is not installed (apt-get install chromium)";
    RunDir dir;
    writeHeatEvent(dir);
    ASSERT_EQ(runProgram(HEATBOARD_EXE, dir, heatEventInput("0")).exitCode, 0);
    ASSERT_EQ(runProgram(HEATBOARD_EXE, dir, heatEventInput("-1")).exitCode, 0);

    const std::string full = browserDocument(dir, "heatAAll.html");
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

    const std::string plain = browserDocument(dir, "heatAAllno_v.html");
    ASSERT_FALSE(plain.empty()) << "Chromium did not load the page";
    EXPECT_EQ(rowsPerTable(plain), (std::vector<int>{7, 7, 1, 7, 7, 1, 7, 7, 7, 4, 7, 7, 7, 7}));
    EXPECT_EQ(plain.find("SPEED </caption>"), std::string::npos);
}

}  // namespace
}  // namespace zr

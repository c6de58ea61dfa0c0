// The overview page in a real browser (headless Chromium): it must load
// without a console message, and every chart must be drawn. A copy of the page
// with a small script appended measures the drawn lines and reports them on
// the console, its only message; a screenshot of the page is kept beside the
// test binary.
// Skips when Chromium is not installed or the Windows build is under test.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "browser_page.h"
#include "wine_mode.h"

namespace zr::night {
namespace {

using namespace zr::test;

// Counts the charts, the drivers' marks (lines and dots) and those of them
// that the browser lays out with a size and draws in a colour.
constexpr const char* kMeasure = R"(<script>
const charts = document.querySelectorAll("svg.chart");
let marks = 0, drawn = 0;
for (const chart of charts) {
  const box = chart.getBoundingClientRect();
  for (const mark of chart.querySelectorAll("path.line, circle.dot")) {
    ++marks;
    const r = mark.getBoundingClientRect(), style = getComputedStyle(mark);
    const ink = mark.tagName === "path" ? style.stroke !== "none" && parseFloat(style.strokeWidth) > 0
                                        : style.fill !== "none";
    if (box.width > 100 && box.height > 50 && r.width + r.height > 0 && ink) ++drawn;
  }
}
console.log("MEASURED charts=" + charts.length + " marks=" + marks + " drawn=" + drawn);
</script>
)";

TEST(RacenightBrowser, DrawsEveryChartWithoutAConsoleMessage) {
    if (!wineBin().empty()) GTEST_SKIP() << "the page is checked with the Linux build";
    if (chromiumCommand().empty())
        GTEST_SKIP() << "chromium is not installed (apt-get install chromium): page not rendered";
    RunDir dir;
    const std::string run = "cd '" + dir.path() + "' && '" + SAMPLER_EXE + "' samples sim > /dev/null && '" +
                            RACENIGHT_EXE + "' -q -o out sim/replay";
    ASSERT_EQ(std::system(run.c_str()), 0);

    const std::string page = dir.read("out/index.html");
    dir.writeFile("out/measure.html", page.substr(0, page.rfind("</body>")) + kMeasure + "</body></html>\n");
    // Chromium with a fresh profile, its log (console messages included) in chromium.log.
    const std::string chromium =
        "cd '" + dir.path() + "' && timeout -k 5 90 " + chromiumCommand() +
        " --headless --no-sandbox --disable-gpu --disable-quic --no-first-run --disable-background-networking "
        "--disable-component-update --disable-sync --enable-logging=stderr --v=0 --user-data-dir='" + dir.path() +
        "/profile' --dump-dom 'file://" + dir.path() + "/out/measure.html' > /dev/null 2> chromium.log";
    ASSERT_EQ(std::system(chromium.c_str()), 0) << dir.read("chromium.log");
    const std::string log = dir.read("chromium.log");
    std::vector<std::string> measured;
    static const std::regex console(":CONSOLE[^\\n]*");
    for (auto it = std::sregex_iterator(log.begin(), log.end(), console); it != std::sregex_iterator(); ++it)
        measured.push_back(it->str());
    ASSERT_EQ(measured.size(), 1u) << log;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(measured[0], m, std::regex("charts=(\\d+) marks=(\\d+) drawn=(\\d+)")))
        << measured[0];
    // Five races with a position and a lap-time chart each, the qualifying with lap times only.
    EXPECT_EQ(std::stoi(m[1]), 11);
    EXPECT_GT(std::stoi(m[2]), 40);
    EXPECT_EQ(m[3], m[2]) << "marks not drawn";

    const std::string shot = std::string(RACENIGHT_SCREENSHOT_DIR) + "/racenight_index.png";
    std::remove(shot.c_str());
    ASSERT_TRUE(browserScreenshot(dir, "out/index.html", shot));
    EXPECT_EQ(readFile(shot).substr(0, 4), "\x89PNG") << "no screenshot at " << shot;
}

}  // namespace
}  // namespace zr::night

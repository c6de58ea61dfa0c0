// The overview page's pieces: escaping, links and the charts' lines.
#include <gtest/gtest.h>

#include <regex>

#include "charts.h"
#include "index_page.h"
#include "page_text.h"
#include "platform.h"
#include "value_format.h"

namespace zr::night {
namespace {

TEST(PageText, EscapesMarkupAndReadsReplayTextAsWindows1252) {
    EXPECT_EQ(escapeMarkupStrict("<b a=\"1\">'&'</b>\x01\x7f"), "&lt;b a=&quot;1&quot;&gt;&#39;&amp;&#39;&lt;/b&gt;");
    EXPECT_EQ(replayTextHtml("J\xFCrgen <D\xF6rr>"), "J\xC3\xBCrgen &lt;D\xC3\xB6rr&gt;");
    // A file name is kept when it is UTF-8 already, and read as Windows-1252 when it is not.
    EXPECT_EQ(localTextHtml("K\xC3\xA4stner&"), "K\xC3\xA4stner&amp;");
    EXPECT_EQ(localTextHtml("K\xE4stner"), "K\xC3\xA4stner");
    EXPECT_FALSE(isUtf8("\xC3"));
    EXPECT_FALSE(isUtf8("\xE2\x82"));
    EXPECT_EQ(linkTo("event 300", "300rplyA&B \xE4.html"), "event%20300/300rplyA%26B%20%E4.html");
    EXPECT_EQ(linkTo("", "a\"b"), "a%22b");
}

// The marks of every driver in a chart: its line's path data, then its dots.
std::vector<std::string> marks(const std::string& svg) {
    std::vector<std::string> found;
    static const std::regex mark("<path d=\"([^\"]*)\"|<circle cx=\"(\\d+)\" cy=\"(\\d+)\"|</g>");
    std::string driver;
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), mark); it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        if (m[1].matched) driver += m[1].str();
        else if (m[2].matched) driver += " (" + m[2].str() + " " + m[3].str() + ")";
        else found.push_back(driver), driver.clear();
    }
    return found;
}

TEST(Charts, DrawOneLinePerDriverWithGapsAndClippedSlowLaps) {
    DriverSeries a{"Anna <A>", 0, {1, 1, 2}, {70000, 65000, 66000}};
    DriverSeries b{"Bernd", 1, {2, 0, 1}, {71000, 0, 400000}};  // no stamp after lap 2, a void lap, a pit stop
    const std::string positions = positionChart({a, b});
    // Places run down from 1 at the top; a lap without a place breaks the line, and a lap alone is a dot.
    EXPECT_EQ(marks(positions), (std::vector<std::string>{"M48 12 L338 12 L628 132", " (48 132) (628 12)"}));
    EXPECT_NE(positions.find("<title>Anna &lt;A&gt;</title>"), std::string::npos);
    // 65 s to the cap of 65 s + 25 %: whole 5-second bands from 1:05 to 1:25, the pit lap at the top edge.
    EXPECT_EQ(marks(lapTimeChart({a, b})),
              (std::vector<std::string>{"M48 177 L338 232 L628 221", " (48 166) (628 12)"}));

    EXPECT_EQ(positionChart({}), "");
    EXPECT_EQ(lapTimeChart({DriverSeries{"X", 0, {}, {0, 0}}}), "");
    EXPECT_NE(chartLegend({a, b}).find(driverColour(1)), std::string::npos);
    EXPECT_NE(chartLegend({a, DriverSeries{"Olaf", 0, {}, {0}}}).find("Olaf (no lap timed)"), std::string::npos);
}

}  // namespace
}  // namespace zr::night

#include "front_end.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <utime.h>

#include "platform.h"
#include "race_clock.h"
#include "run_dir.h"

namespace zr {
namespace {

TEST(FrontEnd, TimeDiffReadsTwoNumbersWith120ForAMissingSecond) {
    const std::tuple<const char*, int, int> rows[] = {{"5 30", 5, 30}, {"7\r\n", 7, 120}, {"", 0, 120}, {"-3 0", -3, 120}};
    for (const auto& [text, first, second] : rows) {
        TimeDiffSettings s = parseTimeDiff(text);
        EXPECT_EQ(std::pair(s.timeDiffFirst, s.timeDiffSecond), std::pair(first, second)) << text;
    }
}

// The paths as composed, glued to a folder line without its trailing
// backslash, and the names with folder parts run end to end; here the
// shortest line that can give a tracks folder, and a name without a last part.
TEST(FrontEnd, PathsAtTheirLimits) {
    EXPECT_FALSE(buildRunPaths("r", "C:\\r\\", "_Disco.txt"));  // too short to hold "replay\"
    auto p = buildRunPaths("300rplyB", "replay\\", "_PS.txt");
    ASSERT_TRUE(p);
    EXPECT_EQ(std::tuple(p->replayPath, p->tracksFolder, p->reportName),
              std::tuple("replay\\300rplyB.rpy", "tracks\\", "300rplyB_PS.txt"));
    EXPECT_EQ(replayNameInReports("race/"), "");
}

// The prompts are shown in the end-to-end runs; the name typed is its first word.
TEST(FrontEnd, PromptKeepsTheFirstWordOnly) {
    std::istringstream in("my race\n");
    std::ostringstream out;
    EXPECT_EQ(promptReplayName({.prompt = "?"}, in, out), "my");
}

TEST(RaceClock, MinutesAndHoursStyles) {
    EXPECT_EQ(formatRaceClock(4500, 36, ClockStyle::minutes), " 2:05");
    EXPECT_EQ(formatRaceClock(144000, 36, ClockStyle::minutes), "66:40");
    EXPECT_EQ(formatRaceClock(4500, 36, ClockStyle::hours), "   2:05");
    EXPECT_EQ(formatRaceClock(135000, 36, ClockStyle::hours), "1:02:30");
    EXPECT_EQ(formatRaceClock(36 * (3600 + 5 * 60 + 7), 36, ClockStyle::hours), "1:05:07");
    EXPECT_EQ(formatRaceClock(60 * 650, 60, ClockStyle::hours), "  10:50");
    EXPECT_EQ(formatLapTime(83456), "1:23.456");
    EXPECT_EQ(formatLapTime(5007), "0:05.007");
}

TEST(Platform, CompositePathsAreFoundWithoutRegardToCase) {
    test::RunDir dir;
    dir.writeTrack("Monza", "x");
    std::string composed = dir.path() + "/SIM/Tracks\\monza\\TRACK.INI";
    EXPECT_EQ(nativePath(composed), dir.path() + "/sim/tracks/Monza/track.ini");
    std::vector<std::uint8_t> bytes;
    EXPECT_TRUE(readWholeFile(composed, bytes));
    EXPECT_EQ(bytes.size(), 1u);
    EXPECT_FALSE(readWholeFile(dir.path() + "/sim/tracks/nowhere/track.ini", bytes));
    EXPECT_FALSE(readWholeFile(dir.path() + "/sim/tracks/Monza", bytes));  // a folder
}

TEST(Platform, MappedFilesHoldTheWholeFileAndMoveWithIt) {
    test::RunDir dir;
    dir.writeReplay("r", {1, 2, 3, 4, 5});
    dir.writeReplay("empty", {});
    MappedFile f;
    ASSERT_TRUE(f.open(dir.path() + "/SIM/replay\\R.rpy"));
    MappedFile g = std::move(f);
    ASSERT_EQ(std::pair(f.size(), g.size()), std::pair(std::size_t{0}, std::size_t{5}));
    EXPECT_EQ(std::pair(g.data()[0], g.data()[4]), std::pair(std::uint8_t{1}, std::uint8_t{5}));
    EXPECT_TRUE(f.open(dir.replayFolder() + "empty.rpy"));
    EXPECT_EQ(f.size(), 0u);
    EXPECT_FALSE(f.open(dir.replayFolder() + "missing.rpy"));
    EXPECT_FALSE(f.open(dir.replayFolder()));  // a folder is no replay
}

TEST(Platform, ALargeFileIsHeldWholePastItsLastWholeHugePage) {
    test::RunDir dir;
    std::vector<std::uint8_t> bytes((std::size_t{2} << 20) + 5);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 4096);
    dir.writeReplay("big", bytes);
    MappedFile f;
    ASSERT_TRUE(f.open(dir.replayFolder() + "big.rpy"));
    ASSERT_EQ(f.size(), bytes.size());
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), f.data()));
}

TEST(Platform, EnteringPagesKeepsWhatTheyHold) {
    std::vector<std::uint8_t> bytes(5 * 4096 + 100);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 13 + 1);
    const std::vector<std::uint8_t> held = bytes;
    enterFreshPages(bytes.data() + 3, bytes.size() - 3);
    EXPECT_EQ(bytes, held);
}

TEST(Platform, FileTimeHasTheCtimeLayout) {
    test::RunDir dir;
    dir.writeFile("t.rpy", "x");
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    struct utimbuf times {315626635, 315626635};  // 1980-01-02 02:03:55 UTC
    ASSERT_EQ(::utime((dir.path() + "/t.rpy").c_str(), &times), 0);
    auto text = fileTimeText(dir.path() + "/t.rpy");
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, "Wed Jan  2 02:03:55 1980\n");
    EXPECT_EQ(text->size(), 25u);
    EXPECT_FALSE(fileTimeText(dir.path() + "/none.rpy"));
}

TEST(Platform, ConsoleTextIsShownAsUtf8AndTypedUtf8IsTakenBack) {
    EXPECT_EQ(windows1252ToUtf8("ben\xF6tigt \x80"), "ben\xC3\xB6tigt \xE2\x82\xAC");
    EXPECT_EQ(utf8ToWindows1252("J\xC3\xBCrgen \xE2\x82\xAC \xC5\x93"), "J\xFCrgen \x80 \x9C");
    EXPECT_EQ(utf8ToWindows1252("\xE4\xF6 M\xFCller"), "\xE4\xF6 M\xFCller");  // already Windows-1252
    EXPECT_EQ(utf8ToWindows1252("cut \xC3"), "cut \xC3");
    EXPECT_EQ(utf8ToWindows1252("\xE2\x88\x9E"), "?");  // no such letter in the code page
}

}  // namespace
}  // namespace zr

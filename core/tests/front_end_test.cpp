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

TEST(FrontEnd, PathsComeFromTheConfiguredFolder) {
    auto p = buildRunPaths("300rplyB", "X:\\Sim\\replay\\", "_PS.txt");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->replayPath, "X:\\Sim\\replay\\300rplyB.rpy");
    EXPECT_EQ(p->tracksFolder, "X:\\Sim\\tracks\\");
    EXPECT_EQ(p->reportName, "300rplyB_PS.txt");

    // Without the trailing backslash the name is glued to the folder.
    auto glued = buildRunPaths("r", "X:\\Sim\\replay", "_Disco.txt");
    ASSERT_TRUE(glued);
    EXPECT_EQ(glued->replayPath, "X:\\Sim\\replayr.rpy");

    // A name with folder parts is opened as typed; the reports take its last part.
    for (const char* typed : {"../replay/300rplyB", "..\\replay\\300rplyB", "x\\y/300rplyB"}) {
        auto parts = buildRunPaths(typed, "X:\\Sim\\replay\\", "_PS.txt");
        ASSERT_TRUE(parts);
        EXPECT_EQ(parts->replayPath, "X:\\Sim\\replay\\" + std::string(typed) + ".rpy");
        EXPECT_EQ(parts->replayName, "300rplyB");
        EXPECT_EQ(parts->reportName, "300rplyB_PS.txt");
    }
    EXPECT_EQ(replayNameInReports("race"), "race");
    EXPECT_EQ(replayNameInReports("race/"), "");

    // A line too short to hold "replay\" cannot give a tracks folder.
    EXPECT_FALSE(buildRunPaths("r", "C:\\r\\", "_Disco.txt"));
    EXPECT_TRUE(buildRunPaths("r", "replay\\", "_Disco.txt"));
}

TEST(FrontEnd, PromptKeepsTheFirstWordOnly) {
    std::istringstream in("my race\n");
    std::ostringstream out;
    EXPECT_EQ(promptReplayName({.prompt = "Please put in name of replay (without .rpy) ", .emptyLineAfterPrompt = true}, in, out), "my");
    EXPECT_EQ(out.str(), "Please put in name of replay (without .rpy) \n\n");
    std::istringstream in2("x");
    std::ostringstream out2;
    promptReplayName({.prompt = "Put in name of replay (without .rpy)!"}, in2, out2);
    EXPECT_EQ(out2.str(), "Put in name of replay (without .rpy)!\n");
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
    ASSERT_EQ(f.size(), 5u);
    EXPECT_EQ(f.data()[4], 5);
    MappedFile g = std::move(f);
    EXPECT_EQ(f.size(), 0u);
    ASSERT_EQ(g.size(), 5u);
    EXPECT_EQ(g.data()[0], 1);
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

TEST(Platform, ReportsStoreLineFeedsAsCrLfAndKeepOtherBytes) {
    test::RunDir dir;
    std::string name = dir.path() + "/r_SR.txt";
    ASSERT_TRUE(writeReport(name, "  \xDC" "BERSICHT\n\na\n"));
    EXPECT_EQ(test::readFile(name), "  \xDC" "BERSICHT\r\n\r\na\r\n");
    EXPECT_FALSE(std::filesystem::exists(name + ".part"));
    EXPECT_FALSE(writeReport(dir.path() + "/missing/r.txt", "x"));
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

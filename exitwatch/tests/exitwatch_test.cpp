#include "exitwatch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

#include "damaged_replays.h"
#include "replay_builder.h"
#include "run_dir.h"
#include "scripted_frames.h"

namespace zr {
namespace {

using namespace zr::test;

// A car at `position` that moves `step` units per frame, missing during the gaps;
// after the last gap it stands at `after` when that is given.
CarScript car(int slot, std::int32_t position, std::vector<Span> gaps, std::int32_t step = 0,
              std::optional<std::int32_t> after = {}) {
    return [=](int u) -> std::optional<SampleSpec> {
        if (anyHolds(gaps, u)) return std::nullopt;
        if (after && u > gaps.back().to) return SampleSpec{slot, *after};
        return SampleSpec{slot, position + step * u};
    };
}

constexpr std::int32_t kOutside = 2000 * 2000;

// A car that stands just before the line until its last sample before the
// gaps, which lies just after it.
CarScript acrossTheLine(int slot, std::vector<Span> gaps) {
    return [=](int u) -> std::optional<SampleSpec> {
        if (anyHolds(gaps, u)) return std::nullopt;
        return SampleSpec{slot, u < gaps.front().from - 1 ? 5998500 : 1500};
    };
}

// A qualifying session of 130.3 s at 36 frames per second on a track whose pit
// lane runs from 4000 m across the line to 150 m. With "timediff.ini" 1 1 the
// walk visits frames 0 to 2530 (70.3 s × 36 = 2530.8) and an absence counts up
// to 2160 frames after the last sighting.
ReplaySpec qualifying() {
    ReplaySpec recipe;
    recipe.trackName = "quali";
    recipe.sessionLength = 130.3f;
    recipe.drivers = {{"Race", "Server", 0, 0},  {"Anna", "Arnold", 1, 0}, {"Bert", "Brandt", 2, 0},
                    {"Carl", "Cramer", 3, 0},  {"Dora", "Dietz", 4, 0},  {"Emil", "Engel", 5, 0},
                    {"Fritz", "Fuchs", 6, 0},  {"Gina", "Grimm", 7, 0},  {"Hans", "Huber", 8, 0},
                    {"Ida", "Imhof", 9, 0},    {"Jan", "Jung", 10, 0},   {"Karl", "Kunz", 11, 0},
                    {"Lena", "Lang", 12, 0},    {"Mia", "Mohr", 13, 0},   {"Nils", "Noll", 14, 0},
                    {"Zora", "Zander", 25, 0}};
    recipe.practiceLaps = {lapRecord(1, {0, 90000, 185000}), lapRecord(3, {0, 95000})};
    std::vector<CarScript> cars = {
        car(0, kOutside, {{100, 1179}}, 0, 2000 * 100),  // stands outside the lane, reappears in it: listed
        car(1, 2000 * 4100, {{100, 1179}}),         // stands in the lane beyond its start
        car(2, 2000 * 100, {{100, 1179}}),          // stands in the lane before its end
        car(3, kOutside, {{100, 1179}}, 5),         // creeps 5 units a frame: still standing
        car(4, kOutside, {{100, 1179}}, 6),         // moves 6 units a frame
        car(5, kOutside, {{200, 200}, {400, 401}}), // one frame missing, then two
        car(6, kOutside, {{101, 2263}}),            // back 2164 frames after the last sighting: too long
        car(7, kOutside, {{101, 2262}}),            // back after 2163 frames: still counts
        car(8, kOutside, {{400, 499}, {600, 700}}), // escapes twice
        car(9, kOutside, {{1000, 2529}}),           // back in the last frame walked
        car(10, kOutside, {{1000, 2530}}),          // back after the walk ended
        car(11, kOutside, {{0, 4}}),                // first seen in frame 5
        car(12, kOutside, {{300, 305}}),            // back in frame 306
        acrossTheLine(13, {{100, 1179}}),           // crossed the line before it vanished (in the lane)
        car(14, kOutside, {{100, 1179}}, -6),       // rolls backwards 6 units a frame
        car(25, kOutside, {{100, 1179}}),           // no row for slot 25
    };
    // The first stream record is never walked: a sighting there would make car 11's
    // late start an absence.
    recipe.records.push_back(frameRecord({{11, kOutside}}));
    for (RecordSpec& r : scriptedFrames(cars, 0, 2600)) recipe.records.push_back(r);
    return recipe;
}

const std::string kListing =
    "  ILLEGAL ECSs in QUALI\n\n"
    ".\t\t   2:07\t   1:37\t\n"
    "C.Cramer\t   2:07\t   1:37\t\n"
    "E.Engel\t\t   1:58\t   1:58\t\n"
    "G.Grimm\t\t   2:07\t   1:07\t\n"
    "H.Huber\t\t   1:58\t   1:56\t\n"
    "I.Imhof\t\t   1:42\t   0:59\t\n"
    "L.Lang\t\t   2:01\t   2:01\t\n"
    "\n\n";

TEST(Exitwatch, PitLaneMayCrossTheLine) {
    PitLaneBounds across{4000, 150};
    EXPECT_TRUE(inPitLane(2000 * 4100, across));
    EXPECT_TRUE(inPitLane(2000 * 100, across));
    EXPECT_FALSE(inPitLane(2000 * 2000, across));
    EXPECT_FALSE(inPitLane(2000 * 150, across));
    PitLaneBounds plain{150, 4000};
    EXPECT_TRUE(inPitLane(2000 * 2000, plain));
    EXPECT_FALSE(inPitLane(2000 * 4000, plain));
    EXPECT_FALSE(inPitLane(2000 * 100, plain));
    EXPECT_FALSE(inPitLane(0, PitLaneBounds{}));  // no track file: no lane
}

TEST(Exitwatch, SessionLimitInFloatAndSessionFrames) {
    EXPECT_EQ(sessionFrameLimit(3600.0f, 5, 36), 118800.0f);
    EXPECT_EQ(sessionFrameLimit(130.3f, 1, 36), (130.3f - 60.0f) * 36.0f);
    EXPECT_EQ(sessionFrames(130.9f, 36), 130 * 36);
    EXPECT_EQ(sessionFrames(std::numeric_limits<float>::quiet_NaN(), 36), 0);
    EXPECT_EQ(sessionFrames(1e20f, 36), std::int64_t{INT32_MAX} * 36);
    EXPECT_EQ(sessionFrames(-1e20f, 36), std::int64_t{INT32_MIN} * 36);
}

class ExitwatchRun : public ::testing::Test {
protected:
    RunDir dir;
    void SetUp() override {
        dir.writeConfig();
        dir.writeTimeDiff("1 1\r\n");
        dir.writeReplay("quali1", buildReplay(qualifying()));
        dir.writeTrack("quali", trackIniText(4000.0, 150.0, 95, 410));
    }
    RunResult run() { return runProgram(EXITWATCH_EXE, dir, "quali1\n"); }
};

const std::string kPrompt = "Please put in name of replay (without .rpy) \n\n";
const std::string kProgress = "\nWait a moment, please...\nYou will find a txt lile in programm folder.\n\n";
const std::string kPause = "Press any key to continue . . . \n";

TEST_F(ExitwatchRun, ListsTheEscapesOutsideThePitLane) {
    RunResult r = run();
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.console, kPrompt + "\nStart Pitlane= 4000  End Pitlane= 150\n  QUALI\n\n" + kProgress);
    EXPECT_EQ(dir.read("quali1_ESCinQ.txt"), crlf(kListing));
}

// Without the lane a car that crossed the line or rolled backwards still moved.
TEST_F(ExitwatchRun, WithoutTrackFileEveryStandingAbsenceCounts) {
    std::filesystem::remove_all(dir.path() + "/sim/tracks/quali");
    RunResult r = run();
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.console, kPrompt + "\nATTENTION!!!\nTrack not installed!\n\n  QUALI\n\n" + kProgress);
    std::string expected = kListing;
    expected.insert(expected.find("C.Cramer"), "A.Arnold\t   2:07\t   1:37\t\nB.Brandt\t   2:07\t   1:37\t\n");
    EXPECT_EQ(dir.read("quali1_ESCinQ.txt"), crlf(expected));
}

TEST_F(ExitwatchRun, TheSessionLimitAndTheLongestAbsenceFollowTimediff) {
    dir.writeTimeDiff("0 0");  // the whole session; absences up to 120 minutes
    run();
    std::string listing = dir.read("quali1_ESCinQ.txt");
    EXPECT_NE(listing.find("F.Fuchs"), std::string::npos);
    EXPECT_NE(listing.find("J.Jung"), std::string::npos);
}

TEST_F(ExitwatchRun, NoEscapeHoldsTheConsoleAndWritesNothing) {
    ReplaySpec recipe = qualifying();
    recipe.sessionLength = 8.5f;  // with no minutes cut off, frames 0 to 305: car 12 is not back yet
    dir.writeTimeDiff("0 1");
    dir.writeReplay("quali1", buildReplay(recipe));
    RunResult r = run();
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.console, kPrompt + "\nStart Pitlane= 4000  End Pitlane= 150\n  QUALI\n\n" + kProgress +
                             "No illegal ESC'S FOUND!\n" + kPause);
    EXPECT_FALSE(dir.exists("quali1_ESCinQ.txt"));
}

TEST_F(ExitwatchRun, ANameWithFolderPartsGivesTheReportInTheWorkingDirectory) {
    EXPECT_EQ(compareRunsWithFolderParts(EXITWATCH_EXE, dir, [](const std::string& f) { return f + "quali1\n"; }),
              "");
}

TEST_F(ExitwatchRun, StartUpFailures) {
    std::filesystem::remove(dir.path() + "/timediff.ini");
    RunResult r = run();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.console, kPrompt + "Datei falsch!!!");

    SetUp();
    std::filesystem::remove(dir.replayFolder() + "quali1.rpy");
    r = run();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.console, kPrompt + "Dateiname oder Pfadangabe falsch!!!" + kPause);
    EXPECT_FALSE(dir.exists("quali1_ESCinQ.txt"));
}

TEST_F(ExitwatchRun, DamagedReplaysEndCleanly) {
    ReplaySpec recipe = qualifying();
    ByteVec good = buildReplay(recipe);
    ReplayLayout layout = layoutOf(recipe);
    EXPECT_EQ(runEachWithoutReport(EXITWATCH_EXE, dir, "quali1", replaysWithoutFrames(good, layout),
                                   "No illegal ESC'S FOUND!\n", "quali1_ESCinQ.txt"),
              "");

    // Torn inside a record, or a record length of 0: what was found before is listed.
    const std::string found =
        "  ILLEGAL ECSs in QUALI\n\n"
        ".\t\t   2:07\t   1:37\t\n"
        "C.Cramer\t   2:07\t   1:37\t\n"
        "E.Engel\t\t   1:58\t   1:58\t\n"
        "H.Huber\t\t   1:58\t   1:56\t\n"
        "L.Lang\t\t   2:01\t   2:01\t\n"
        "\n\n";
    EXPECT_EQ(runEachWithReport(EXITWATCH_EXE, dir, "quali1", replaysBrokenAtRecord(good, layout, 1200),
                                "quali1_ESCinQ.txt", crlf(found)),
              "");
}

}  // namespace
}  // namespace zr

#include "boxlog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>

#include "damaged_replays.h"
#include "platform.h"
#include "replay_builder.h"
#include "run_dir.h"
#include "scripted_frames.h"

namespace zr {
namespace {

using namespace zr::test;

constexpr int kRate = 36;
constexpr std::int32_t kLap = 2000000;    // a 1000 m lap
constexpr std::int32_t kSpeed = 2000;     // 1 m a frame
constexpr std::int32_t kStall = 1200000;  // 600 m: between the pit-lane start (500 m) and end (700 m)
constexpr int kForever = 1 << 30;

// A car that drives 1 m a frame and stands during its rests, at the stall in
// the first one; the refuel bit is set in the `refuel` frames.
struct CarPlan {
    int slot = 0;
    std::vector<Span> rests;
    std::vector<Span> refuel = {};
    std::function<int(int)> gear = [](int) { return 0; };

    CarScript script() const {
        CarPlan plan = *this;
        LapDrive drive{rests, kStall, kSpeed, kLap};
        return [plan, drive](int g) -> std::optional<SampleSpec> {
            std::uint8_t flags = anyHolds(plan.refuel, g) ? 0x80 : 0;
            return SampleSpec{plan.slot, drive.position(g), flags, 0, 0, plan.gear(g)};
        };
    }
};

// A race at 36 frames per second whose leader finishes at 120 s (frame 4320).
// Frames up to 1368 (38 s) are not judged. Each stop's pit-lane entry lies 98
// frames before it comes to rest, the exit 98 frames after it drives off.
ReplaySpec raceWithStops() {
    ReplaySpec recipe;
    recipe.trackName = "pits";
    recipe.drivers = {{"Race", "Server", 0, 0}, {"Anna", "Arnold", 1, 0}, {"Bert", "Brandt", 2, 0},
                    {"Carl", "Cramer", 3, 0}, {"Dora", "Dietz", 4, 0},  {"Emil", "Engel", 5, 0}};
    recipe.practiceLaps = {lapRecord(1, {0, 60000})};
    recipe.hasRaceBlock = true;
    recipe.raceLaps = {lapRecord(1, {0, 40000, 80000, 120000}), lapRecord(2, {0, 41000, 82000})};
    std::vector<CarPlan> cars = {
        // Two refuel stops of 2.5 s, one lap apart; the first enters the pit lane in
        // frame 1369, the first frame judged.
        {0, {{1467, 1557}, {2557, 2647}}, {{1467, 1557}, {2557, 2647}}},
        // 30 s at rest without refuelling: marked at 14 s in neutral, at 28 s in gear.
        {1, {{2000, 3080}}, {}, [](int g) { return g <= 2600 ? 0 : 1; }},
        // 5 s refuelling; the bit is already set while it drives down the pit lane.
        {2, {{2100, 2280}}, {{2010, 2280}}},
        // 20 s refuelling in gear.
        {3, {{2200, 2920}}, {{2200, 2920}}, [](int) { return 2; }},
        // Comes to rest and stays until the finish.
        {4, {{2300, kForever}}},
        // Enters the pit lane by frame 1368, within the first 38 s, and refuels there;
        // later refuels beyond the pit lane and drives through it with the refuel bit.
        {5, {{1466, 1666}, {1916, 2636}}, {{1466, 1666}, {1916, 2636}, {3270, 3400}}},
        // Slots without a row.
        {31, {{2300, kForever}}},
        {63, {{2300, kForever}}},
    };
    std::vector<CarScript> scripts;
    for (const CarPlan& c : cars) scripts.push_back(c.script());
    recipe.records.push_back(sessionRecord(1));  // the first stream record starts the race: frame 1
    for (RecordSpec& r : scriptedFrames(scripts, 2, 4400)) recipe.records.push_back(r);
    return recipe;
}

const std::string kListing =
    "  PITSTOP LISTING\n\n"
    "   0:40\t 7.9s\t.\t\tRefuel\n"
    "   0:58\t 10.4s\tB.Brandt\tRefuel\n"
    "   1:01\t 25.4s\tC.Cramer\tTire change/Refuel\n"
    "   0:55\t 35.4s\tA.Arnold\tRepair/Tire change\n"
    "   1:11\t 7.9s\t.\t\tRefuel\n"
    "   1:03\t --.-\tD.Dietz\t\tPitstop not completed\n"
    "\n\n"
    "  2 * .\n"
    "  1 * A.Arnold\n"
    "  1 * B.Brandt\n"
    "  1 * C.Cramer\n"
    "  1 * D.Dietz\n";

const std::string kWalkLines =
    "GANG=0\n   1:09\tA.Arnold\n"
    "   1:15\tC.Cramer\n"
    "GANG=0\n   1:17\tD.Dietz\n"
    "   1:23\tA.Arnold\n"
    "   1:31\tD.Dietz\n"
    "   1:45\tD.Dietz\n";

TEST(Boxlog, ListingTexts) {
    DriverTable drivers;
    std::memcpy(drivers.driverName[3], "Carl", 4);
    std::memcpy(drivers.driverName[3] + 16, "Cramer", 6);
    std::memcpy(drivers.driverName[7], "Gina", 4);
    std::memcpy(drivers.driverName[7] + 16, "Grimm", 5);
    PitLog log;
    log.stops = {{4500, 3, 911, 1, 0, 1}, {135000, 7, 3600, 0, 0, 0}, {100, 7, 36, 1, 1, 1}};
    log.stopsPerCar[3] = 1;
    log.stopsPerCar[7] = 2;
    log.stopsPerCar[9] = 2;
    EXPECT_EQ(pitStopReport(log, drivers, kRate),
              "  PITSTOP LISTING\n\n"
              "   2:05\t 25.3s\tC.Cramer\tRepair/Refuel\n"
              "1:02:30\t100.0s\tG.Grimm\t\t\n"
              "   0:02\t 1.0s\tG.Grimm\t\tRepair/Tire change/Refuel\n"
              "\n\n"
              "  2 * G.Grimm\n"
              "  2 * .\n"
              "  1 * C.Cramer\n");
}

class BoxlogRun : public ::testing::Test {
protected:
    RunDir dir;
    void SetUp() override {
        dir.writeConfig();
        dir.writeReplay("race1", buildReplay(raceWithStops()));
        dir.writeTrack("pits", trackIniText(500.0, 700.0, 560, 640));
    }
    RunResult run() { return runProgram(BOXLOG_EXE, dir, "race1\n"); }

    // The console up to the walk.
    std::string preamble(const std::string& trackText) const {
        std::string replay = dir.replayFolder() + "race1.rpy";
        return "Bitte Name der Datei (ohne .rpy) eingeben\n\n" + dir.configuredFolder() + "race1.rpy\nLange=" +
               std::to_string(std::filesystem::file_size(replay)) + "\n" + dir.configuredTracksFolder() +
               "pits\\track.ini\n" + trackText + "  PITS\n\n" +
               windows1252ToUtf8(profileOf(Program::boxlog).progressText);
    }
};

TEST_F(BoxlogRun, ListsEveryStopAndTheRanking) {
    RunResult r = run();
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.console, preamble("\nAnfang Pitlane= 500  Ende Pitlane= 700\n") + kWalkLines);
    EXPECT_EQ(dir.read("race1_PS.txt"), crlf(kListing));
}

TEST_F(BoxlogRun, WithoutTrackFileTheRunGoesOn) {
    std::filesystem::remove_all(dir.path() + "/sim/tracks/pits");
    RunResult r = run();
    EXPECT_EQ(r.exitCode, 0);
    std::string expected = preamble(
        "\nACHTUNG!!!\nStrecke nicht installiert!\nDeshalb funktioniert die \"in Box-Anzeige\" nicht.\n\n");
    EXPECT_EQ(r.console.substr(0, expected.size()), expected);
}

TEST_F(BoxlogRun, NoStopHoldsTheConsoleAndWritesNothing) {
    ReplaySpec recipe = raceWithStops();
    recipe.raceLaps = {lapRecord(1, {0, 30000})};  // the leader finishes within the first 38 s
    dir.writeReplay("race1", buildReplay(recipe));
    RunResult r = run();
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.console, preamble("\nAnfang Pitlane= 500  Ende Pitlane= 700\n") +
                             "Keine Boxenstopps gefunden!\nPress any key to continue . . . \n");
    EXPECT_FALSE(dir.exists("race1_PS.txt"));
}

TEST_F(BoxlogRun, WithoutLapRecordsTheWalkRunsToTheEndOfTheFile) {
    ReplaySpec recipe = raceWithStops();
    recipe.hasRaceBlock = false;
    recipe.practiceLaps = {LapRecordSpec{1, {}, {}}};  // a record without entries
    dir.writeReplay("race1", buildReplay(recipe));
    RunResult r = run();
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.console.find("   2:00\tD.Dietz\n"), std::string::npos);  // frame 4320 is walked
}

TEST_F(BoxlogRun, StartUpFailures) {
    std::filesystem::remove(dir.path() + "/Zant_Raceboard.ini");
    RunResult r = run();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.console, "Bitte Name der Datei (ohne .rpy) eingeben\n\nDatei falsch!!!");

    SetUp();
    std::filesystem::remove(dir.replayFolder() + "race1.rpy");
    r = run();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.console, "Bitte Name der Datei (ohne .rpy) eingeben\n\n" + dir.configuredFolder() +
                             "race1.rpy\nDateiname oder Pfadangabe falsch!!!Press any key to continue . . . \n");
    EXPECT_FALSE(dir.exists("race1_PS.txt"));

    // A folder line too short for the tracks folder: the path is shown, then refused.
    SetUp();
    dir.writeConfigLine("C:\\r\\");
    r = run();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.console, "Bitte Name der Datei (ohne .rpy) eingeben\n\nC:\\r\\race1.rpy\n"
                         "Dateiname oder Pfadangabe falsch!!!Press any key to continue . . . \n");
    EXPECT_FALSE(dir.exists("race1_PS.txt"));
}

TEST_F(BoxlogRun, ANameWithFolderPartsGivesTheReportInTheWorkingDirectory) {
    EXPECT_EQ(compareRunsWithFolderParts(BOXLOG_EXE, dir, [](const std::string& f) { return f + "race1\n"; }), "");
}

TEST_F(BoxlogRun, AnUnwritableReportIsAFailure) {
    std::filesystem::create_directory(dir.path() + "/race1_PS.txt");
    RunResult r = run();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.console.find("Report file could not be written: race1_PS.txt\n"), std::string::npos);
}

TEST_F(BoxlogRun, DamagedReplaysEndCleanly) {
    ReplaySpec recipe = raceWithStops();
    ByteVec good = buildReplay(recipe);
    ReplayLayout layout = layoutOf(recipe);
    EXPECT_EQ(runEachWithoutReport(BOXLOG_EXE, dir, "race1", replaysWithoutFrames(good, layout),
                                   "Keine Boxenstopps gefunden!\n", "race1_PS.txt"),
              "");

    // Torn inside a record, or a record length of 0: what was found before is listed.
    const std::string found =
        "  PITSTOP LISTING\n\n"
        "   0:40\t 7.9s\t.\t\tRefuel\n"
        "   0:58\t 10.4s\tB.Brandt\tRefuel\n"
        "   1:01\t --.-\tC.Cramer\tPitstop not completed\n"
        "\n\n"
        "  1 * .\n"
        "  1 * B.Brandt\n"
        "  1 * C.Cramer\n";
    EXPECT_EQ(runEachWithReport(BOXLOG_EXE, dir, "race1", replaysBrokenAtRecord(good, layout, 2400), "race1_PS.txt",
                                crlf(found)),
              "");
}

}  // namespace
}  // namespace zr

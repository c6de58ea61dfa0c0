#include "resetlog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>

#include "front_end.h"
#include "platform.h"
#include "reset_race.h"
#include "run_dir.h"

namespace zr {
namespace {

using namespace zr::test;

TEST(ResetListing, EventsThenTheRankingByCount) {
    DriverTable drivers;
    std::memcpy(drivers.driverName[0], "Zoe\0", 4);
    std::memcpy(drivers.driverName[0] + 16, "Zimmer", 6);
    std::memcpy(drivers.driverName[2], "Bert", 4);
    std::memcpy(drivers.driverName[2] + 16, "Brandt", 6);
    ResetScan scan;
    scan.events = {{4500, 2, kInPits, 1}, {135000, 0, kNotInPits, 0}, {135100, 5, kNoVerdict, 0},
                   {140000, 0, kInPits, 1}, {150000, 5, kNotInPits, 1}};
    scan.resetsPerCar[0] = 2;
    scan.resetsPerCar[2] = 1;
    scan.resetsPerCar[5] = 2;
    EXPECT_EQ(resetListing(scan, drivers, 36),
              "  SHIFT R-LISTE\n\n"
              "  1\t   2:05\t B.Brandt   (in pits)\n"
              "  2\t1:02:30\t Z.Zimmer   (not in pits) ATTENTION: unsure if ShiftR correct\n"
              "  3\t1:02:32\t .   (pits ?\?\?) ATTENTION: unsure if ShiftR correct\n"
              "  4\t1:04:48\t Z.Zimmer   (in pits)\n"
              "  5\t1:09:26\t .   (not in pits)\n"
              "\n\n  \xDC" "BERSICHT\n\n"
              "  2 * Z.Zimmer\n"
              "  2 * .\n"
              "  1 * B.Brandt\n");
}

// Car 3's damage goes down at frames 20 and 410 while it stands at 100000;
// car 1 jumps sideways at frame 150 standing at 108000; car 2 turns at
// frame 250 standing at 183200.
ResetRace raceWithResets() {
    ResetRace race = teleportRace();
    race.put(1, 199, car(2, 5000, 3), 900);
    race.put(200, 249, car(2, 183200, 1));
    race.put(250, 600, car(2, 183200, 1, 0, 40));
    race.put(1, 600, car(3, 100000, 2));
    race.addBlock(10, damageBlock(3, 0x03, 20));
    race.addBlock(20, damageBlock(3, 0, 0));
    race.addBlock(400, damageBlock(3, 0, 5));
    race.addBlock(410, damageBlock(3, 0, 0));
    return race;
}

std::string listing(const std::string& first, const std::string& second, const std::string& third,
                    const std::string& fourth) {
    return std::string("  SHIFT R-LISTE\n\n") + "  1\t   0:02\t C.Cramer   " + first + "\n" + "  2\t   0:15\t A.Arnold   " +
           second + " ATTENTION: unsure if ShiftR correct\n" + "  3\t   0:25\t B.Brandt   " + third +
           " ATTENTION: unsure if ShiftR correct\n" + "  4\t   0:41\t C.Cramer   " + fourth + "\n" +
           "\n\n  \xDC" "BERSICHT\n\n  2 * C.Cramer\n  1 * A.Arnold\n  1 * B.Brandt\n";
}

// End to end: the built program in a working directory of its own.
class ResetlogRun : public ::testing::Test {
public:
    RunDir dir;
    const std::string prompt = "Bitte Name der Datei (ohne .rpy) eingeben\n\n";
    const std::string pause = "Press any key to continue . . . \n";

    void SetUp() override {
        dir.writeConfig();
        dir.writeReplay("race1", raceWithResets().build());
        dir.writeTrack("oval", trackIniText(100, 900, 60, 40));
    }
    RunResult run(const std::string& input = "race1\n") { return runProgram(RESETLOG_EXE, dir, input); }
    std::string replayPath() const { return dir.configuredFolder() + "race1.rpy"; }
    std::string trackPath() const { return dir.configuredTracksFolder() + "oval\\track.ini"; }
    std::string progress() const { return windows1252ToUtf8(profileOf(Program::resetlog).progressText); }
};

TEST_F(ResetlogRun, WritesTheListingWithStallsCountingDownTheLap) {
    RunResult r = run();
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.console, prompt + replayPath() + "\n" + trackPath() + "\n" + "\nerste Box= 60  letzte Box= 40\n" +
                             progress() +
                             "  1     0:02\tC.Cramer  0/0    0/0   0  1  RA\n"
                             "  2     0:15\tA.Arnold  0/500    0/0   0  0  (in pits)\n"
                             "  3     0:25\tB.Brandt  0/0    0/0   40  0  (not  in pits)\n"
                             "  4     0:41\tC.Cramer  0/0    0/0   0  1  RA\n");
    EXPECT_EQ(dir.read("race1_SR.txt"), crlf(listing("(in pits)", "(in pits)", "(not in pits)", "(in pits)")));
}

TEST_F(ResetlogRun, StallsCountingUpTheLapTurnTheVerdictsRound) {
    dir.writeTrack("oval", trackIniText(100, 900, 40, 60));
    RunResult r = run();
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.console.find("  2     0:15\tA.Arnold  0/500    0/0   0  0  (not  in pits)\n"), std::string::npos);
    EXPECT_EQ(dir.read("race1_SR.txt"),
              crlf(listing("(not in pits)", "(not in pits)", "(in pits)", "(not in pits)")));
}

TEST_F(ResetlogRun, WithoutTheTrackFileOrWithEqualStallsNoVerdictIsGiven) {
    std::filesystem::remove_all(dir.path() + "/sim/tracks/oval");
    RunResult r = run();
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.console.find(trackPath() +
                             "\n\nACHTUNG!!!\nStrecke nicht installiert!\n"
                             "Deshalb funktioniert die \"in Box-Anzeige\" nicht.\n\n" +
                             progress()),
              std::string::npos);
    const std::string unknown = "(pits ?\?\?)";
    EXPECT_NE(r.console.find("  2     0:15\tA.Arnold  0/500    0/0   0  0  " + unknown + "\n"), std::string::npos);
    EXPECT_EQ(dir.read("race1_SR.txt"), crlf(listing(unknown, unknown, unknown, unknown)));

    dir.writeTrack("oval", trackIniText(100, 900, 50, 50));
    r = run();
    EXPECT_NE(r.console.find("  2     0:15\tA.Arnold  0/500    0/0   0  0  " + unknown + "\n"), std::string::npos);
    EXPECT_EQ(dir.read("race1_SR.txt"), crlf(listing(unknown, unknown, unknown, unknown)));
}

TEST_F(ResetlogRun, NoResetWritesNothingAndHoldsTheConsole) {
    dir.writeReplay("race1", ResetRace(100).build());
    RunResult r = run();
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.console, prompt + replayPath() + "\n" + trackPath() + "\n" + "\nerste Box= 60  letzte Box= 40\n" +
                             progress() + "KEINE SHIFTR'S GEFUNDEN!\n" + pause);
    EXPECT_FALSE(dir.exists("race1_SR.txt"));
}

TEST_F(ResetlogRun, StartUpFailuresLeaveNoReport) {
    struct Case {
        const char* what;
        std::function<void(RunDir&)> spoil;
        std::function<std::string(const ResetlogRun&)> console;
    };
    std::vector<Case> cases = {
        {"no Zant_Raceboard.ini", [](RunDir& d) { std::filesystem::remove(d.path() + "/Zant_Raceboard.ini"); },
         [](const ResetlogRun& t) { return t.prompt + "Datei falsch!!!"; }},
        {"no replay", [](RunDir& d) { std::filesystem::remove(d.replayFolder() + "race1.rpy"); },
         [](const ResetlogRun& t) {
             return t.prompt + t.replayPath() + "\n" + "Dateiname oder Pfadangabe falsch!!!" + t.pause;
         }},
        {"folder line too short", [](RunDir& d) { d.writeConfigLine("C:\\r\\"); },
         [](const ResetlogRun& t) {
             return t.prompt + "C:\\r\\race1.rpy\n" + "Dateiname oder Pfadangabe falsch!!!" + t.pause;
         }},
    };
    for (const Case& c : cases) {
        SetUp();
        c.spoil(dir);
        RunResult r = run();
        EXPECT_EQ(r.exitCode, 1) << c.what;
        EXPECT_EQ(r.console, c.console(*this)) << c.what;
        EXPECT_FALSE(dir.exists("race1_SR.txt")) << c.what;
    }
}

TEST_F(ResetlogRun, ANameWithFolderPartsGivesTheReportInTheWorkingDirectory) {
    EXPECT_EQ(compareRunsWithFolderParts(RESETLOG_EXE, dir, [](const std::string& f) { return f + "race1\n"; }), "");
}

TEST_F(ResetlogRun, AnUnwritableReportIsAFailure) {
    std::filesystem::create_directory(dir.path() + "/race1_SR.txt");
    RunResult r = run();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.console.find("Report file could not be written: race1_SR.txt\n"), std::string::npos);
}

TEST_F(ResetlogRun, AWalkCutShortListsWhatItFound) {
    ResetRace race = raceWithResets();
    ByteVec bytes = race.build();
    bytes.resize(race.recordOffset(300) + 7);
    dir.writeReplay("race1", bytes);
    RunResult r = run();
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(dir.read("race1_SR.txt"),
              crlf("  SHIFT R-LISTE\n\n"
                   "  1\t   0:02\t C.Cramer   (in pits)\n"
                   "  2\t   0:15\t A.Arnold   (in pits) ATTENTION: unsure if ShiftR correct\n"
                   "  3\t   0:25\t B.Brandt   (not in pits) ATTENTION: unsure if ShiftR correct\n"
                   "\n\n  \xDC" "BERSICHT\n\n  1 * A.Arnold\n  1 * B.Brandt\n  1 * C.Cramer\n"));
}

TEST_F(ResetlogRun, DamagedReplaysEndCleanly) {
    ResetRace race = raceWithResets();
    ReplaySpec recipe = race.recipe;
    ByteVec good = race.build();
    std::vector<ByteVec> damaged;
    // Cut short in the header, the driver table, the lap records and the stream.
    for (std::size_t cut : {std::size_t{0}, std::size_t{100}, std::size_t{400}, std::size_t{320 + 152 * 5 + 2},
                            race.recordOffset(1) - 20, race.recordOffset(1) + 5, race.recordOffset(100) + 30})
        damaged.emplace_back(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
    ByteVec zeroLength = good;  // a record length of 0 in the middle of the race
    setLe(zeroLength, race.recordOffset(50), 0, 2);
    damaged.push_back(zeroLength);
    ByteVec longRecord = good;  // a record claiming to run past the end of the file
    setLe(longRecord, race.recordOffset(60), 0xFFFF, 2);
    damaged.push_back(longRecord);
    ByteVec longBlocks = good;  // block lengths pointing past their record and the file
    setLe(longBlocks, race.recordOffset(20) + 8 + 2, 0xFFF0, 2);
    setLe(longBlocks, race.recordOffset(21) + 8 + 8 + 12 + 2, 0xFFFF, 2);
    damaged.push_back(longBlocks);
    ByteVec oddSlots = good;  // slots up to 63 in the driver records, lap records and samples
    setLe(oddSlots, 320 + 152 * 2 + 124, 63, 4);
    setLe(oddSlots, layoutOf(recipe).raceBlock + 12 + 12, 63, 4);
    for (int f = 140; f <= 160; ++f) setLe(oddSlots, race.recordOffset(f) + 8 + 8 + 12 + 4 + 7, 0xFF, 1);
    damaged.push_back(oddSlots);
    for (std::size_t i = 0; i < damaged.size(); ++i) {
        dir.writeReplay("race1", damaged[i]);
        std::filesystem::remove(dir.path() + "/race1_SR.txt");
        RunResult r = run();
        EXPECT_EQ(r.exitCode, 0) << "case " << i;
        bool listed = r.console.find("KEINE SHIFTR'S GEFUNDEN!\n") == std::string::npos;
        EXPECT_EQ(dir.exists("race1_SR.txt"), listed) << "case " << i;
    }
}

}  // namespace
}  // namespace zr

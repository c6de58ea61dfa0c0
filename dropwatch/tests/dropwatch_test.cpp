#include "dropwatch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>

#include "chain_replay.h"
#include "event_stream.h"
#include "replay_builder.h"
#include "run_dir.h"

namespace zr {
namespace {

using namespace zr::test;

// A race at 36 frames per second whose leader finishes at 110 s, so that the
// closing window begins after frame 360.
ReplaySpec raceWithDrops() {
    ReplaySpec recipe;
    recipe.trackName = "oval";
    recipe.drivers = {{"Race", "Server", 0, 0}, {"Anna", "Arnold", 1, 0}, {"Bert", "Brandt", 2, 0},
                    {"Carl", "Cramer", 3, 0}, {"Dora", "Dietz", 4, 0}};
    recipe.practiceLaps = {lapRecord(1, {0, 50000}), lapRecord(2, {0, 52000}), lapRecord(3, {0, 55000}),
                         lapRecord(4, {0, 51000})};
    recipe.hasRaceBlock = true;
    recipe.raceLaps = {lapRecord(1, {0, 40000, 80000, 110000}), lapRecord(2, {0, 41000, 82000}),
                     lapRecord(3, {0, 45000}), lapRecord(4, {0, 30000, 60000})};
    recipe.records.push_back(sessionRecord(0));  // the first stream record is never the start
    recipe.records.push_back(sessionRecord(1));  // race start: frame 0
    for (int f = 1; f <= 500; ++f) {
        std::vector<SampleSpec> samples;
        samples.push_back({1, 1000 + 300 * f});           // leader, moving past the finish
        if (f <= 200) samples.push_back({2, 2000 + 500 * f});  // vanishes at frame 200 while moving
        if (f <= 250) samples.push_back({3, f < 240 ? 3000 + 200 * f : 3000 + 200 * 240});  // stops, then vanishes
        if (f == 100) samples.push_back({4, 5000});       // a single sample, behind its shortest lap
        samples.push_back({25, 7 * f});                   // no row for slot 25
        recipe.records.push_back(frameRecord(samples));
    }
    return recipe;
}

Bytes view(const ByteVec& v) { return Bytes{v.data(), v.size()}; }

DropState analyse(const ByteVec& bytes) {
    ChainTables tables;
    readChainTables(view(bytes), profileOf(Program::dropwatch), tables);
    std::int64_t start = findRaceStartRecord(view(bytes), tables.laps.firstStreamRecord(), true);
    return findDrops(view(bytes), start, 36, tables.laps);
}

TEST(Dropwatch, LastMovementDecidesAndTheClosingWindowClearsIt) {
    ByteVec bytes = buildReplay(raceWithDrops());
    DropState st = analyse(bytes);
    EXPECT_EQ(st.lastMove[1], 0);  // its last sample lies after the closing window began
    EXPECT_EQ(st.lastSampleFrame[1], 500);
    EXPECT_EQ(st.lastMove[2], 500);
    EXPECT_EQ(st.lastSampleFrame[2], 200);
    EXPECT_EQ(st.lastMove[3], 0);
    EXPECT_EQ(st.lastMove[4], 5000 - 30000);  // position minus its shortest lap
    EXPECT_TRUE(isDrop(st, 2, 36));
    EXPECT_FALSE(isDrop(st, 1, 36));
    EXPECT_FALSE(isDrop(st, 4, 36));
}

TEST(Dropwatch, ThresholdIs4000OverTheFrameRate) {
    DropState st;
    st.lastMove[5] = 112;
    st.lastMove[6] = 111;
    EXPECT_TRUE(isDrop(st, 5, 36));
    EXPECT_FALSE(isDrop(st, 6, 36));
    EXPECT_FALSE(isDrop(st, 5, 30));  // 133 at 30 frames per second
}

TEST(Dropwatch, WithoutLapRecordsNoClosingWindowApplies) {
    ReplaySpec recipe = raceWithDrops();
    recipe.hasRaceBlock = false;
    recipe.practiceLaps = {LapRecordSpec{9, {}, {}}};  // a record without entries
    DropState st = analyse(buildReplay(recipe));
    EXPECT_EQ(st.lastMove[1], 300);
    EXPECT_EQ(st.lastMove[2], 500);
}

TEST(Dropwatch, ReportListsDropsInSlotOrderOrSaysThereAreNone) {
    DriverTable drivers;
    std::memcpy(drivers.driverName[3], "Carl\0", 5);
    std::memcpy(drivers.driverName[3] + 16, "Cramer", 6);
    DropState st;
    st.lastMove[3] = 500;
    st.lastSampleFrame[3] = 144000;
    st.lastMove[0] = 200;
    st.lastSampleFrame[0] = 4500;
    EXPECT_EQ(discoReport(st, drivers, 36), "DISCOS OR FREEZES:\n\n 2:05\t  \n66:40\t Carl Cramer\n\n\n\n\n");
    EXPECT_EQ(discoReport(DropState{}, drivers, 36), "DISCOS OR FREEZES:\n\nNo discos or freezes found.\n\n\n\n");
}

// End to end: the built program in a working directory of its own.
class DropwatchRun : public ::testing::Test {
protected:
    RunDir dir;
    void SetUp() override {
        dir.writeConfig();
        dir.writeTimeDiff("5 30\r\n");
        dir.writeReplay("race1", buildReplay(raceWithDrops()));
        dir.writeTrack("oval", trackIniText(120.5, 3410.25, 95, 410));
    }
    RunResult run(const std::string& input = "race1\n") { return runProgram(DROPWATCH_EXE, dir, input); }
};

TEST_F(DropwatchRun, WritesTheDiscoListing) {
    RunResult r = run();
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.console,
              "Please put in name of replay (without .rpy) \n\n"
              "\nStart Pitlane= 120  End Pitlane= 3410\n"
              "  OVAL\n\n"
              "\nWait a moment, please...\nYou will find a txt file in programm folder.\n\n");
    EXPECT_EQ(dir.read("race1_Disco.txt"), crlf("DISCOS OR FREEZES:\n\n 0:05\t Bert Brandt\n\n\n\n\n"));
}

TEST_F(DropwatchRun, MissingTrackChangesOnlyTheConsole) {
    dir.writeConfigLine(dir.replayFolder());
    std::filesystem::remove_all(dir.path() + "/sim/tracks/oval");
    RunResult r = run();
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.console.find("\nATTENTION!!!\nTrack not installed!\n\n  OVAL\n\n"), std::string::npos);
    EXPECT_EQ(dir.read("race1_Disco.txt"), crlf("DISCOS OR FREEZES:\n\n 0:05\t Bert Brandt\n\n\n\n\n"));
}

TEST_F(DropwatchRun, FoldersAreFoundWithBackslashesAndAnyCase) {
    std::string folder = dir.path() + "\\SIM\\Replay\\";
    dir.writeConfigLine(folder);
    RunResult r = run();
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.console.find("Start Pitlane= 120"), std::string::npos);
    EXPECT_TRUE(dir.exists("race1_Disco.txt"));
}

TEST_F(DropwatchRun, StartUpFailuresLeaveNoReport) {
    struct Case {
        const char* what;
        std::function<void(RunDir&)> spoil;
        std::string console;
    };
    const std::string prompt = "Please put in name of replay (without .rpy) \n\n";
    const std::string pause = "Press any key to continue . . . \n";
    std::vector<Case> cases = {
        {"no timediff.ini", [](RunDir& d) { std::filesystem::remove(d.path() + "/timediff.ini"); },
         prompt + "Datei falsch!!!"},
        {"no Zant_Raceboard.ini", [](RunDir& d) { std::filesystem::remove(d.path() + "/Zant_Raceboard.ini"); },
         prompt + "Datei falsch!!!"},
        {"no replay", [](RunDir& d) { std::filesystem::remove(d.replayFolder() + "race1.rpy"); },
         prompt + "Dateiname oder Pfadangabe falsch!!!" + pause},
        {"folder line too short", [](RunDir& d) { d.writeConfigLine("rep/"); },
         prompt + "Dateiname oder Pfadangabe falsch!!!" + pause},
        {"no trailing separator", [](RunDir& d) { d.writeConfigLine(d.path() + "/sim/replay"); },
         prompt + "Dateiname oder Pfadangabe falsch!!!" + pause},
    };
    for (const Case& c : cases) {
        SetUp();
        c.spoil(dir);
        RunResult r = run();
        EXPECT_EQ(r.exitCode, 1) << c.what;
        EXPECT_EQ(r.console, c.console) << c.what;
        EXPECT_FALSE(dir.exists("race1_Disco.txt")) << c.what;
    }
}

TEST_F(DropwatchRun, ANameWithFolderPartsGivesTheReportInTheWorkingDirectory) {
    EXPECT_EQ(compareRunsWithFolderParts(DROPWATCH_EXE, dir, [](const std::string& f) { return f + "race1\n"; }), "");
}

TEST_F(DropwatchRun, AnUnwritableReportIsAFailure) {
    std::filesystem::create_directory(dir.path() + "/race1_Disco.txt");  // a folder in the report's place
    RunResult r = run();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.console.find("Report file could not be written: race1_Disco.txt\n"), std::string::npos);
}

TEST_F(DropwatchRun, DamagedReplaysEndCleanly) {
    ReplaySpec recipe = raceWithDrops();
    ByteVec good = buildReplay(recipe);
    ReplayLayout layout = layoutOf(recipe);
    std::vector<ByteVec> damaged;
    // Cut short in every region: header, driver table, lap records, event stream.
    for (std::size_t cut : {std::size_t{0}, std::size_t{100}, std::size_t{400}, layout.driverTableEnd + 2,
                            layout.lapRecordsEnd - 3, layout.streamStart + 5, layout.recordOffsets[300] + 7})
        damaged.emplace_back(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
    ByteVec zeroLength = good;  // a record length of 0 in the middle of the race
    setLe(zeroLength, layout.recordOffsets[50], 0, 2);
    damaged.push_back(zeroLength);
    ByteVec hugeLap = good;  // a lap record claiming more bytes than the file has
    setLe(hugeLap, layout.raceBlock + 12 + 8, 0x7FFFFFF0, 4);
    damaged.push_back(hugeLap);
    ByteVec oddSlots = good;  // slots up to 63 in the driver and lap records
    setLe(oddSlots, 320 + 152 * 2 + 124, 63, 4);
    setLe(oddSlots, layout.raceBlock + 12 + 12, 63, 4);
    damaged.push_back(oddSlots);
    for (std::size_t i = 0; i < damaged.size(); ++i) {
        dir.writeReplay("race1", damaged[i]);
        RunResult r = run();
        EXPECT_EQ(r.exitCode, 0) << "case " << i;
        EXPECT_TRUE(dir.exists("race1_Disco.txt")) << "case " << i;
    }
}

}  // namespace
}  // namespace zr

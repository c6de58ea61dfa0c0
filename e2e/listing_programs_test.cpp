// What every listing program does alike, one row per program: its reports on
// the bundled samples against their ground truth, its run on one sample and
// the start-up failures as golden files (golden/PROGRAM/CASE), a report that
// cannot be written, a replay name typed with folder parts, damaged replays.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "chain_tables.h"
#include "golden.h"
#include "report_checks.h"
#include "run_dir.h"

namespace zr {
namespace {

using namespace zr::test;

struct ListingProgram {
    const char* name;
    const char* exe;
    const char* answers;       // typed before the replay name
    const char* sample;        // the bundled sample it lists
    const char* report;        // the first report it writes
    const char* nothingFound;  // the closing text when nothing was found; null where the report is written anyway
    bool readsTimeDiff;
    bool readsTrackFile;
    const char* kind;  // of the samples it is made for: "race" or "qualifying"
    sampler::ReportCheck* check;
};

const ListingProgram kPrograms[] = {
    {"dropwatch", DROPWATCH_EXE, "", "race_server", "race_server_Disco.txt", nullptr, true, true, "race",
     sampler::checkDiscoReport},
    {"exitwatch", EXITWATCH_EXE, "", "quali", "quali_ESCinQ.txt", "No illegal ESC'S FOUND!\n", true, true,
     "qualifying", sampler::checkEscapeReport},
    {"boxlog", BOXLOG_EXE, "", "race_server", "race_server_PS.txt", "Keine Boxenstopps gefunden!\n", false, true,
     "race", sampler::checkPitStopReport},
    {"resetlog", RESETLOG_EXE, "", "race_server", "race_server_SR.txt", "KEINE SHIFTR'S GEFUNDEN!\n", false, true,
     "race", sampler::checkResetReport},
    {"contactscan", CONTACTSCAN_EXE, "1\n", "300rplyC", "300rplyC.txt", nullptr, false, false, "race",
     sampler::checkProtestList},
};

void PrintTo(const ListingProgram& program, std::ostream* out) { *out << program.name; }

class ListingRun : public ::testing::TestWithParam<ListingProgram> {
protected:
    RunDir dir;
    const ListingProgram& program = GetParam();

    void SetUp() override {
        dir.writeConfig();
        dir.copySamples(ZR_SAMPLES_DIR, program.sample);
    }
    std::string input() const { return std::string(program.answers) + program.sample + "\n"; }
    std::string golden(const std::string& scenario) const {
        return std::string(ZR_GOLDEN_DIR) + "/" + program.name + "/" + scenario;
    }
};

// On every bundled sample of its kind the program lists what the sampler's
// ground truth says happened there.
TEST_P(ListingRun, ListsWhatTheGroundTruthSays) {
    dir.copySamples(ZR_SAMPLES_DIR);
    const std::string suffix = std::string(program.report).substr(std::string(program.sample).size());
    int checked = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(ZR_SAMPLES_DIR) + "/replay")) {
        if (entry.path().extension() != ".truth") continue;
        sampler::GroundTruth truth;
        std::string error;
        ASSERT_TRUE(sampler::parseGroundTruth(readFile(entry.path().string()), truth, error)) << error;
        if (truth.kind != program.kind) continue;
        const std::string name = entry.path().stem().string();
        RunResult r = runProgram(program.exe, dir, program.answers + name + "\n");
        EXPECT_EQ(r.exitCode, 0) << name << "\n" << r.console;
        EXPECT_EQ(program.check(truth, dir.exists(name + suffix) ? dir.read(name + suffix) : ""), "") << name;
        ++checked;
    }
    EXPECT_GT(checked, 0);
}

// The whole run, and the runs whose start-up fails, each as its golden files.
TEST_P(ListingRun, RunsAsTheGoldenFilesSay) {
    // A program runs as on the sample without a file it does not read.
    const char* withoutTrack = program.readsTrackFile ? "no_track_file" : "sample";
    const char* withoutTimeDiff = program.readsTimeDiff ? "no_timediff" : "sample";
    const std::vector<std::pair<const char*, std::function<void(RunDir&)>>> scenarios = {
        {"sample", [](RunDir&) {}},
        {withoutTrack, [](RunDir& d) { std::filesystem::remove_all(d.path() + "/sim/tracks"); }},
        {withoutTimeDiff, [](RunDir& d) { std::filesystem::remove(d.path() + "/timediff.ini"); }},
        {"no_config", [](RunDir& d) { std::filesystem::remove(d.path() + "/Zant_Raceboard.ini"); }},
        {"no_replay", [](RunDir& d) { std::filesystem::remove_all(d.replayFolder()); }},
        {"folder_line_too_short", [](RunDir& d) { d.writeConfigLine("C:\\r\\"); }},
        {"folder_without_separator", [](RunDir& d) { d.writeConfigLine(d.path() + "/sim/replay"); }},
    };
    for (const auto& [scenario, spoil] : scenarios) {
        SCOPED_TRACE(scenario);
        RunDir fresh;
        fresh.writeConfig();
        fresh.copySamples(ZR_SAMPLES_DIR, program.sample);
        spoil(fresh);
        expectRunAsGolden(program.exe, fresh, input(), golden(scenario));
    }
}

// A name typed with folder parts gives the reports in the working directory;
// a report that cannot be written is a failure.
TEST_P(ListingRun, FolderPartsAndAnUnwritableReport) {
    auto input = [&](const std::string& folderPart) { return program.answers + folderPart + program.sample + "\n"; };
    EXPECT_EQ(compareRunsWithFolderParts(program.exe, dir, input), "");
    std::filesystem::create_directory(dir.path() + "/" + program.report);  // a folder in the report's place
    RunResult r = runProgram(program.exe, dir, input(""));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.console.find("Report file could not be written: " + std::string(program.report) + "\n"),
              std::string::npos) << r.console;
}

// The offsets of a replay's regions, as the core reads them.
struct Regions {
    std::size_t driverTableEnd, streamStart, secondRecord, lateRecord;
};
Regions regionsOf(const ByteVec& replay) {
    const Bytes bytes{replay.data(), replay.size()};
    const ChainTables tables = readChainTables(bytes, driver::secondRecord, false);
    std::vector<std::size_t> records;
    std::uint32_t length = 0;
    for (std::int64_t at = tables.laps.firstStreamRecord(); readU16(bytes, at, length) && length != 0; at += length)
        records.push_back(static_cast<std::size_t>(at));
    return {static_cast<std::size_t>(tables.drivers.tagOffset), records.at(0), records.at(1),
            records.at(records.size() * 3 / 4)};
}

// Cut short or broken anywhere, a replay ends the run with exit code 0. One
// without a frame to walk is found empty; one torn late in the race lists
// what was found before.
TEST_P(ListingRun, DamagedReplaysEndCleanly) {
    const std::string sample = readFile(std::string(ZR_SAMPLES_DIR) + "/replay/" + program.sample + ".rpy");
    const ByteVec good(sample.begin(), sample.end());
    const Regions at = regionsOf(good);
    auto cut = [&](std::size_t size) { return ByteVec(good.begin(), good.begin() + std::ptrdiff_t(size)); };
    auto changed = [&](std::size_t offset, std::uint64_t value, int width) {
        ByteVec copy = good;
        setLe(copy, offset, value, width);
        return copy;
    };
    // Slot 63 in a driver record and a lap record.
    ByteVec oddSlots = changed(driver::firstRecord + 2 * driver::recordBytes + driver::carSlot, 63, 4);
    setLe(oddSlots, at.driverTableEnd + orpl::carSlot, 63, 4);
    const std::vector<std::pair<ByteVec, bool>> damaged = {  // each with whether it has no frame to walk
        {cut(0), true},
        {cut(100), true},
        {cut(400), true},
        {cut(at.driverTableEnd - 50), true},
        {cut(at.streamStart - 3), true},
        {cut(at.streamStart + 5), true},
        {cut(at.secondRecord + 7), true},
        {changed(at.streamStart, 0, 2), true},
        {changed(at.lateRecord, 0, 2), false},
        {changed(at.driverTableEnd + orpl::lapRecordBytes, 0x7FFFFFF0, 4), false},  // longer than the file
        {oddSlots, false},
    };
    for (std::size_t i = 0; i < damaged.size(); ++i) {
        SCOPED_TRACE("damaged copy " + std::to_string(i));
        std::filesystem::remove(dir.path() + "/" + program.report);
        dir.writeReplay(program.sample, damaged[i].first);
        RunResult r = runProgram(program.exe, dir, input());
        EXPECT_EQ(r.exitCode, 0);
        if (!damaged[i].second) continue;
        if (program.nothingFound) {
            const std::string closing = std::string(program.nothingFound) + "Press any key to continue . . . \n";
            EXPECT_TRUE(r.console.ends_with(closing)) << r.console;
        }
        EXPECT_EQ(dir.exists(program.report), program.nothingFound == nullptr);
    }
    dir.writeReplay(program.sample, cut(at.lateRecord + 30));
    expectRunAsGolden(program.exe, dir, input(), golden("torn_late_in_the_race"));
}

INSTANTIATE_TEST_SUITE_P(, ListingRun, ::testing::ValuesIn(kPrograms),
                         [](const ::testing::TestParamInfo<ListingProgram>& info) { return info.param.name; });

}  // namespace
}  // namespace zr

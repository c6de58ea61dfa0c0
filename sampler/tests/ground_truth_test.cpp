// The programs on the bundled samples, each in a working directory laid out
// as a user's: every program has to find the incidents of the ground truth
// beside each replay. A program joins here with its run and its check, once
// it is built (the build names its executable).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "ground_truth.h"
#include "report_checks.h"
#include "run_dir.h"
#include "sample_set.h"

namespace zr::sampler {
namespace {

struct Sample {
    std::string name;
    GroundTruth truth;
};

std::vector<Sample> samples(const std::string& kind) {
    namespace fs = std::filesystem;
    std::vector<Sample> all;
    for (const auto& entry : fs::directory_iterator(std::string(ZR_SAMPLES_DIR) + "/replay")) {
        if (entry.path().extension() != ".truth") continue;
        Sample s{entry.path().stem().string(), {}};
        std::string error;
        EXPECT_TRUE(parseGroundTruth(test::readFile(entry.path().string()), s.truth, error)) << error;
        if (s.truth.kind == kind) all.push_back(std::move(s));
    }
    std::sort(all.begin(), all.end(), [](const Sample& a, const Sample& b) { return a.name < b.name; });
    return all;
}

class SampleRun : public ::testing::Test {
protected:
    test::RunDir dir;

    void SetUp() override {
        namespace fs = std::filesystem;
        dir.writeConfig();
        dir.writeTimeDiff(kSampleTimeDiff);
        for (const auto& entry : fs::directory_iterator(std::string(ZR_SAMPLES_DIR) + "/replay"))
            if (entry.path().extension() == ".rpy")
                dir.writeFile("sim/replay/" + entry.path().filename().string(), test::readFile(entry.path().string()));
        for (const auto& track : fs::directory_iterator(std::string(ZR_SAMPLES_DIR) + "/tracks"))
            dir.writeTrack(track.path().filename().string(), test::readFile((track.path() / "track.ini").string()));
    }

    // Runs `exe` on every sample of `kind` and checks its report.
    template <class Check>
    void checkAll(const char* exe, const std::string& kind, const std::string& inputBefore, const std::string& suffix,
                  Check check) {
        std::vector<Sample> all = samples(kind);
        ASSERT_FALSE(all.empty());
        for (const Sample& s : all) {
            test::RunResult r = test::runProgram(exe, dir, inputBefore + s.name + "\n");
            EXPECT_EQ(r.exitCode, 0) << s.name << "\n" << r.console;
            std::string report = dir.exists(s.name + suffix) ? dir.read(s.name + suffix) : "";
            EXPECT_EQ(check(s.truth, report), "") << s.name << suffix;
        }
    }
};

#ifdef DROPWATCH_EXE
TEST_F(SampleRun, DropwatchListsEveryDisconnect) {
    checkAll(DROPWATCH_EXE, "race", "", "_Disco.txt", checkDiscoReport);
}
#endif

#ifdef BOXLOG_EXE
TEST_F(SampleRun, BoxlogListsEveryPitStop) { checkAll(BOXLOG_EXE, "race", "", "_PS.txt", checkPitStopReport); }
#endif

#ifdef RESETLOG_EXE
TEST_F(SampleRun, ResetlogListsEveryResetAndRepair) {
    checkAll(RESETLOG_EXE, "race", "", "_SR.txt", checkResetReport);
}
#endif

#ifdef EXITWATCH_EXE
TEST_F(SampleRun, ExitwatchListsEveryEscapeOutsideThePitLane) {
    checkAll(EXITWATCH_EXE, "qualifying", "", "_ESCinQ.txt", checkEscapeReport);
}
#endif

#ifdef CONTACTSCAN_EXE
TEST_F(SampleRun, ContactscanListsContactsThatCostTimeLostWheelsAndEngineDamage) {
    checkAll(CONTACTSCAN_EXE, "race", "1\n", ".txt", checkProtestList);
}
#endif

}  // namespace
}  // namespace zr::sampler

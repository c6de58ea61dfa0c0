// Every program, on every bundled sample replay cut short at many lengths and
// with bytes flipped at many places, must end by itself with exit code 0 or 1
// and without a sanitizer report.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "run_dir.h"

namespace zr {
namespace {

using namespace zr::test;

struct ProgramUnderTest {
    const char* name;
    const char* exe;
    const char* input;  // scripted console input; the replay is named "f"
};

const ProgramUnderTest kPrograms[] = {ZR_PROGRAMS_UNDER_TEST};

TEST(DamagedReplays, EveryProgramEndsCleanly) {
    std::vector<std::string> replays;
    for (const auto& e : std::filesystem::recursive_directory_iterator(ZR_SAMPLES_DIR))
        if (e.path().extension() == ".rpy") replays.push_back(e.path().string());
    std::sort(replays.begin(), replays.end());
    ASSERT_FALSE(replays.empty());
    RunDir dir;
    dir.writeConfig();
    dir.writeTimeDiff("0 120\r\n");
    dir.writeFile("myname.ini", "Anna Arnold");  // heatboard reads it before any replay
    for (const std::string& path : replays) {
        std::string good = readFile(path);
        // Cut lengths: the header region in coarse steps, then spread over the whole file.
        std::vector<std::string> variants;
        for (std::size_t cut : {0, 1, 5, 6, 52, 120, 236, 320, 400, 472, 624})
            if (cut <= good.size()) variants.push_back(good.substr(0, cut));
        for (std::size_t i = 1; i < 24; ++i) variants.push_back(good.substr(0, good.size() * i / 24));
        // Flipped bytes: in the header and tables, and spread over the stream.
        for (int i = 0; i < 24; ++i) {
            std::string bad = good;
            std::size_t at = i < 8 ? static_cast<std::size_t>(300 + 97 * i) : good.size() * static_cast<std::size_t>(i) / 25;
            for (std::size_t k = 0; k < 4 && at + k < bad.size(); ++k) bad[at + k] = static_cast<char>(bad[at + k] ^ 0xA5);
            variants.push_back(bad);
        }
        for (const ProgramUnderTest& program : kPrograms) {
            for (std::size_t v = 0; v < variants.size(); ++v) {
                dir.writeReplay("f", ByteVec(variants[v].begin(), variants[v].end()));
                // A hang is caught by the test's time limit in CTest.
                RunResult r = runProgram(program.exe, dir, program.input);
                std::string what = std::string(program.name) + " on " + path + " variant " + std::to_string(v);
                EXPECT_TRUE(r.exitCode == 0 || r.exitCode == 1) << what << " exit " << r.exitCode;
                EXPECT_EQ(r.console.find("Sanitizer"), std::string::npos) << what << "\n" << r.console;
                EXPECT_EQ(r.console.find("runtime error"), std::string::npos) << what << "\n" << r.console;
            }
        }
    }
}

}  // namespace
}  // namespace zr

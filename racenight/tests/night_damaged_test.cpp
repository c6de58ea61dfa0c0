// racenight over a folder of damaged copies of a sample race (cut short at
// many lengths, bytes flipped at many places): the run must end by itself
// with exit code 0 or 1, and every copy must be either analysed or named with
// its error.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sys/wait.h>

#include "run_dir.h"
#include "wine_mode.h"

namespace zr::night {
namespace {

using namespace zr::test;

TEST(RacenightDamaged, EveryCopyIsAnalysedOrNamedWithItsError) {
    if (!wineBin().empty()) GTEST_SKIP() << "the damaged copies are run with the Linux build";
    RunDir dir;
    ASSERT_EQ(std::system(("'" + std::string(SAMPLER_EXE) + "' samples '" + dir.path() + "/sim' > /dev/null").c_str()),
              0);
    std::filesystem::create_directories(dir.path() + "/sim/damaged");
    int copies = 0;
    for (const char* sample : {"race_server", "quali"}) {
        const std::string good = readFile(dir.replayFolder() + sample + ".rpy");
        std::vector<std::string> variants;
        for (std::size_t cut : {0, 1, 5, 52, 120, 236, 320, 400, 472, 624}) variants.push_back(good.substr(0, cut));
        for (std::size_t i = 1; i < 12; ++i) variants.push_back(good.substr(0, good.size() * i / 12));
        for (std::size_t i = 0; i < 12; ++i) {
            std::string bad = good;
            const std::size_t at = i < 4 ? 300 + 97 * i : good.size() * i / 13;
            for (std::size_t k = 0; k < 4; ++k) bad[at + k] = static_cast<char>(bad[at + k] ^ 0xA5);
            variants.push_back(bad);
        }
        for (const std::string& v : variants)
            dir.writeFile("sim/damaged/" + std::string(sample) + "_" + std::to_string(copies++) + ".rpy", v);
    }

    const std::string command =
        "cd '" + dir.path() + "' && timeout 600 '" + RACENIGHT_EXE + "' --json -o out sim/damaged > .out 2> .err";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status)) << dir.read(".err");
    EXPECT_EQ(WEXITSTATUS(status), 1) << dir.read(".err");  // the empty copies at least cannot be analysed
    EXPECT_EQ(dir.read(".err").find("Sanitizer"), std::string::npos) << dir.read(".err");
    EXPECT_EQ(dir.read(".err").find("runtime error"), std::string::npos) << dir.read(".err");

    const nlohmann::json summary = nlohmann::json::parse(dir.read("out/summary.json"));
    int seen = 0;
    for (const auto& job : summary["jobs"])
        for (const auto& replay : job["replays"]) {
            ++seen;
            EXPECT_TRUE(replay["analysed"].get<bool>() || replay["error"].is_string()) << replay.dump();
        }
    EXPECT_EQ(seen, copies);
}

}  // namespace
}  // namespace zr::night

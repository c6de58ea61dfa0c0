// racenight over a race night made by the sampler: the bundled samples (event
// 300 in three grids, a server race, a participant's race, a qualifying
// session), a second event 412 of two grids, a replay cut short and a damaged
// one. Every report must be byte for byte what the single program writes in
// its dialogue for the same replay; the overview's links must resolve, the
// summary must validate against its schema, and the bytes must not depend on
// the number of jobs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <tuple>

#include "run_dir.h"
#include "wine_mode.h"

namespace zr::night {
namespace {

using namespace zr::test;
namespace fs = std::filesystem;

// Runs racenight in `dir` with `args` (paths relative to it), its standard error apart.
RunResult runNight(const RunDir& dir, const std::vector<std::string>& args) {
    return runProgram(RACENIGHT_EXE, dir, "", args, true);
}

// The night: built once for all tests of the suite, racenight run once on it.
struct Night {
    RunDir dir;
    RunResult run;
    std::map<std::string, std::string> written;  // below out/, by relative path
    std::set<std::string> reports() const {      // in a replay's folder, not its style sheet or logos
        std::set<std::string> paths;
        for (const auto& [path, bytes] : written)
            if (path.find('/') != std::string::npos && path.find("/images/") == std::string::npos &&
                path.find("Zant_Raceboards.css") == std::string::npos)
                paths.insert(path);
        return paths;
    }
};

std::unique_ptr<Night> night;

class RacenightRun : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        night = std::make_unique<Night>();
        RunDir& dir = night->dir;
        const std::string sampler = "'" + std::string(SAMPLER_EXE) + "' ", sim = " '" + dir.path() + "/sim'";
        const std::string make = "{ " + sampler + "samples" + sim + " && " + sampler + "race" + sim +
                                 " 412rplyA 6 4 11 && " + sampler + "race" + sim + " 412rplyB 5 4 12; } > /dev/null";
        ASSERT_EQ(std::system(make.c_str()), 0) << make;
        const std::string driver = readFile(dir.replayFolder() + "race_driver.rpy");
        const std::string server = readFile(dir.replayFolder() + "race_server.rpy");
        dir.writeFile("sim/replay/cut.rpy", driver.substr(0, driver.size() * 3 / 5));
        dir.writeFile("sim/replay/bad.rpy", server.substr(0, 600));  // ends inside the driver table
        // The single programs read these in the working directory, and so does racenight.
        dir.writeConfig();
        dir.writeFile("timediff.ini", readFile(dir.path() + "/sim/timediff.ini"));
        dir.writeFile("myname.ini", readFile(dir.path() + "/sim/myname.ini"));
        night->run = runNight(dir, {"--json", "-j", "2", "-o", "out", "sim/replay"});
        night->written = filesBelow(dir.path() + "/out");
    }
    static void TearDownTestSuite() { night.reset(); }
};

// What the user would run by hand: each replay's programs with their dialogue answers.
struct SingleRun {
    const char* exe;
    std::string input;
    std::string folder;  // where racenight puts the reports
};

std::vector<SingleRun> singleRuns() {
    std::vector<SingleRun> runs = {{RACEBOARD_EXE, "quali\n0\n", "quali"},
                                   {EXITWATCH_EXE, "quali\n", "quali"},
                                   {HEATBOARD_EXE, "300rplyA\n300rplyB\n300rplyC\n0\n0\n", "event_300"},
                                   {HEATBOARD_EXE, "412rplyA\n412rplyB\n0\n0\n", "event_412"}};
    const std::vector<std::pair<std::string, std::string>> races = {
        {"300rplyA", "event_300"}, {"300rplyB", "event_300"}, {"300rplyC", "event_300"}, {"412rplyA", "event_412"},
        {"412rplyB", "event_412"}, {"race_server", "race_server"}, {"race_driver", "race_driver"}, {"cut", "cut"}};
    for (const auto& [name, folder] : races)
        for (const auto& [exe, before, after] : {std::tuple{RACEBOARD_EXE, "", "\n0\n"}, {CONTACTSCAN_EXE, "1\n", "\n"},
                                                 {BOXLOG_EXE, "", "\n"}, {RESETLOG_EXE, "", "\n"},
                                                 {DROPWATCH_EXE, "", "\n"}})
            runs.push_back({exe, before + name + after, folder});
    return runs;
}

TEST_F(RacenightRun, WritesEveryReportAsTheSingleProgramDoes) {
    RunDir& dir = night->dir;
    EXPECT_EQ(night->run.exitCode, 1) << night->run.errors;  // the damaged replay
    std::set<std::string> expected;
    std::set<std::string> before;
    for (const auto& entry : fs::directory_iterator(dir.path())) before.insert(entry.path().filename().string());
    for (const SingleRun& single : singleRuns()) {
        const RunResult r = runProgram(single.exe, dir, single.input);
        EXPECT_EQ(r.exitCode, 0) << single.exe << " " << single.input;
        for (const auto& entry : fs::directory_iterator(dir.path())) {
            const std::string name = entry.path().filename().string();
            if (before.count(name) || !entry.is_regular_file()) continue;
            const std::string path = single.folder + "/" + name;
            expected.insert(path);
            ASSERT_TRUE(night->written.count(path)) << path << " is missing";
            EXPECT_TRUE(night->written.at(path) == readFile(entry.path().string())) << path << " differs";
            fs::remove(entry.path());
        }
    }
    EXPECT_EQ(night->reports(), expected);
    EXPECT_EQ(night->written.count("index.html") + night->written.count("summary.json"), 2u);
    // The damaged replay: named with its error; no folder of its own; no progress line off a terminal.
    EXPECT_NE(night->run.errors.find("bad.rpy: damaged: the file ends inside the driver table"), std::string::npos)
        << night->run.errors;
    EXPECT_EQ(night->run.errors.find(" replays"), std::string::npos) << night->run.errors;
    EXPECT_FALSE(fs::exists(dir.path() + "/out/bad"));
}

TEST_F(RacenightRun, IndexLinksEveryReportAndNamesTheDamagedReplay) {
    const std::string& index = night->written.at("index.html");
    std::set<std::string> linked;
    static const std::regex href("href=\"([^\"]*)\"");
    for (auto it = std::sregex_iterator(index.begin(), index.end(), href); it != std::sregex_iterator(); ++it) {
        std::string link = (*it)[1], target;  // percent-decoded
        for (std::size_t i = 0; i < link.size(); ++i) {
            const bool escaped = link[i] == '%' && i + 2 < link.size();
            target += escaped ? static_cast<char>(std::stoi(link.substr(i + 1, 2), nullptr, 16)) : link[i];
            i += escaped ? 2 : 0;
        }
        EXPECT_TRUE(fs::exists(night->dir.path() + "/out/" + target)) << "a link leads nowhere: " << target;
        linked.insert(target);
    }
    for (const std::string& path : night->reports()) EXPECT_TRUE(linked.count(path)) << path << " is not linked";
    EXPECT_NE(index.find("bad.rpy: damaged: the file ends inside the driver table"), std::string::npos);
    EXPECT_NE(index.find("The replay is cut short"), std::string::npos);
    EXPECT_NE(index.find("No race table"), std::string::npos);
    EXPECT_NE(index.find("<meta charset=\"utf-8\">"), std::string::npos);
    // The participant's race names Jürgen Jansen: Windows-1252 in the replay, UTF-8 here.
    EXPECT_NE(index.find("J\xC3\xBCrgen Jansen"), std::string::npos);
}

TEST_F(RacenightRun, SummaryValidatesAgainstItsSchema) {
    if (std::system("python3 -c 'import jsonschema' > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "python3 with jsonschema is missing (apt-get install python3-jsonschema)";
    const std::string script =
        "import json, sys, jsonschema\n"
        "schema = json.load(open(sys.argv[1]))\n"
        "jsonschema.Draft202012Validator.check_schema(schema)\n"
        "summary = json.load(open(sys.argv[2], encoding='utf-8'))\n"
        "jsonschema.Draft202012Validator(schema).validate(summary)\n"
        "jobs = {j['folder']: [r['name'] for r in j['replays']] for j in summary['jobs']}\n"
        "assert jobs['event_300'] == ['300rplyA', '300rplyB', '300rplyC'], jobs\n"
        "assert jobs['event_412'] == ['412rplyA', '412rplyB'], jobs\n"
        "assert summary['exitCode'] == 1\n";
    night->dir.writeFile("validate.py", script);
    const std::string command = "cd '" + night->dir.path() + "' && python3 validate.py '" +
                                std::string(RACENIGHT_SCHEMA) + "' out/summary.json > validate.log 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << night->dir.read("validate.log");
}

TEST_F(RacenightRun, WritesTheSameBytesWithOneJobAndWithEight) {
    for (const char* jobs : {"1", "8"}) {
        const std::string out = std::string("out_j") + jobs;
        const RunResult r = runNight(night->dir, {"--json", "-q", "-j", jobs, "-o", out, "sim/replay"});
        EXPECT_EQ(r.exitCode, 1) << r.errors;
        EXPECT_EQ(r.console, "");
        EXPECT_EQ(r.errors.find("ThreadSanitizer"), std::string::npos) << r.errors;
        const std::map<std::string, std::string> files = filesBelow(night->dir.path() + "/" + out);
        EXPECT_EQ(files.size(), night->written.size()) << "-j " << jobs;
        for (const auto& [path, bytes] : night->written)
            EXPECT_TRUE(files.count(path) && files.at(path) == bytes) << path << " with -j " << jobs;
    }
}

TEST_F(RacenightRun, KeepsTheLeaguesOwnStyleSheetAndLogos) {
    RunDir& dir = night->dir;
    fs::create_directories(dir.path() + "/own/quali/images");
    dir.writeFile("own/quali/Zant_Raceboards.css", "league");
    dir.writeFile("own/quali/images/logo_BRM.gif", "league");
    const RunResult r = runNight(dir, {"-q", "-o", "own", "sim/replay/quali.rpy"});
    EXPECT_EQ(r.exitCode, 0) << r.errors;
    EXPECT_EQ(dir.read("own/quali/Zant_Raceboards.css"), "league");
    EXPECT_EQ(dir.read("own/quali/images/logo_BRM.gif"), "league");
    EXPECT_EQ(dir.read("own/quali/images/logo_Lotus.gif"), night->written.at("quali/images/logo_Lotus.gif"));
}

TEST_F(RacenightRun, ShowsItsProgressOnATerminalOnly) {
    if (!wineBin().empty() || std::system("command -v script > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "needs script(1) for a terminal, and the Linux build";
    // script(1) gives racenight a terminal; the line is rewritten in place and
    // cleared at the end, and -q keeps the terminal quiet.
    for (const std::string quiet : {"", "-q "}) {
        const std::string command = "cd '" + night->dir.path() + "' && script -qec \"'" + RACENIGHT_EXE + "' " +
                                    quiet + "-o tty sim/replay/quali.rpy\" /dev/null > tty.log 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << night->dir.read("tty.log");
        const std::string shown = night->dir.read("tty.log");
        if (!quiet.empty()) {
            EXPECT_EQ(shown, "");
            continue;
        }
        EXPECT_NE(shown.find("\rracenight: 0 of 1 replays | quali exitwatch"), std::string::npos) << shown;
        EXPECT_NE(shown.find("\rracenight: 1 of 1 replays"), std::string::npos) << shown;
    }
}

TEST_F(RacenightRun, TellsWrongUsageApart) {
    // The arguments after "-o usage", the exit code and a text in what the run printed.
    const std::tuple<std::vector<std::string>, int, const char*> cases[] = {
        {{"--help"}, 0, "--session-cut"},
        {{"--version"}, 0, "racenight "},
        {{}, 2, "PATH is required"},
        {{"--jobs", "0", "sim/replay"}, 2, "--jobs"},
        {{"--frobnicate", "sim/replay"}, 2, "--frobnicate"},
        {{"sim/nothing"}, 2, "sim/nothing: no such file or folder"},
        {{"sim/tracks"}, 1, "no replays (*.rpy) found; -r searches subfolders too"},
    };
    for (auto [args, exitCode, text] : cases) {
        args.insert(args.begin(), {"-o", "usage"});
        const RunResult r = runNight(night->dir, args);
        const std::string printed = r.console + r.errors;
        EXPECT_EQ(r.exitCode, exitCode) << text << "\n" << printed;
        EXPECT_NE(printed.find(text), std::string::npos) << printed;
    }
}

}  // namespace
}  // namespace zr::night

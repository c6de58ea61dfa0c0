// The programs with arguments, one table: each row runs a built
// program in a fresh working directory and checks its exit code, the first
// words of its standard error, the paths it prints and the files it writes.
// A report must hold the bytes the dialogue writes for the same answers; every
// JSON file must satisfy its program's schema.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sys/wait.h>

#include "run_dir.h"
#include "wine_mode.h"

namespace zr {
namespace {

using namespace zr::test;
namespace fs = std::filesystem;

const std::string kSamples = ZR_SAMPLES_DIR;
const std::string kSampleReplays = kSamples + "/replay/";

const std::map<std::string, std::string> kExe = {
    {"boxlog", BOXLOG_EXE},       {"contactscan", CONTACTSCAN_EXE}, {"dropwatch", DROPWATCH_EXE},
    {"exitwatch", EXITWATCH_EXE}, {"heatboard", HEATBOARD_EXE},     {"raceboard", RACEBOARD_EXE},
    {"resetlog", RESETLOG_EXE}};

// What the working directory holds before a run.
enum Setup : unsigned {
    kNothing = 0,
    kConfig = 1,    // Zant_Raceboard.ini naming the samples' replay folder
    kTimeDiff = 2,  // the samples' timediff.ini
    kTracks = 4,    // a copy of the samples' tracks folder in mytracks/
    kMyName = 8,    // the samples' myname.ini
};

struct Case {
    const char* name;
    std::string program;
    unsigned setup;
    std::vector<std::string> args;  // "@" stands for the samples' replay folder
    int exitCode;
    std::string errorStart;           // what standard error starts with; "" means it stays empty
    std::vector<std::string> files;   // the paths printed, one a line, and written
    std::string dialogue;             // the dialogue's answers for the same reports; "" when none
    bool quiet = false;               // nothing on standard output
};

std::ostream& operator<<(std::ostream& os, const Case& c) { return os << c.name; }

std::vector<std::string> withSamples(std::vector<std::string> args) {
    for (std::string& arg : args)
        if (arg[0] == '@') arg = kSampleReplays + arg.substr(1);
    return args;
}

void prepare(RunDir& dir, unsigned setup) {
    if (setup & kConfig) dir.writeConfigLine(kSampleReplays);
    if (setup & kTimeDiff) dir.writeTimeDiff(readFile(kSamples + "/timediff.ini"));
    if (setup & kMyName) dir.writeFile("myname.ini", readFile(kSamples + "/myname.ini"));
    if (setup & kTracks) fs::copy(kSamples + "/tracks", dir.path() + "/mytracks", fs::copy_options::recursive);
}

// Runs python3 on the validator, whose exit code 3 means the jsonschema module is missing.
void expectValid(const std::string& program, const std::vector<std::string>& jsonFiles) {
    std::string command = "python3 '" ZR_VALIDATE_JSON "' '" ZR_SCHEMAS_DIR "/" + program + ".schema.json'";
    for (const std::string& file : jsonFiles) command += " '" + file + "'";
    const int status = jsonFiles.empty() ? 0 : std::system(command.c_str());
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (code == 3) GTEST_SKIP() << "python3-jsonschema is missing: the JSON files were not checked";
    EXPECT_EQ(code, 0) << program << ": a JSON file does not satisfy schemas/" << program << ".schema.json";
}

const Case kCases[] = {
    {"UnknownOption", "dropwatch", kConfig, {"--fast"}, 2, "dropwatch: the following argument was not expected: --fast", {}, ""},
    {"TwoReplays", "boxlog", kConfig, {"race_server", "quali"}, 2, "boxlog: one REPLAY only, but 2 were given", {}, ""},
    {"NoReplay", "exitwatch", kTimeDiff, {"--json"}, 2, "exitwatch: no REPLAY given", {}, ""},
    {"ModeOutOfRange", "contactscan", kConfig, {"--mode", "3", "race_server"}, 2, "contactscan: --mode", {}, ""},
    {"MissingReplay", "boxlog", kConfig, {"nosuch"}, 1, "boxlog: the replay " + kSampleReplays + "nosuch.rpy does not exist", {}, ""},
    {"MissingConfig", "resetlog", kNothing, {"race_server"}, 1, "resetlog: Zant_Raceboard.ini is not in the working directory", {}, ""},
    {"ReplayDirIntoNewFolder", "boxlog", kNothing, {"--replay-dir", "@", "-o", "out/night", "race_server"}, 0, "",
     {"out/night/race_server_PS.txt"}, "race_server\n"},
    {"TracksDir", "resetlog", kTracks, {"--replay-dir", "@", "--tracks-dir", "mytracks", "race_driver"}, 0, "",
     {"race_driver_SR.txt"}, "race_driver\n"},
    {"NoTrackFile", "resetlog", kNothing, {"--tracks-dir", "mytracks", "--json", "@race_server.rpy"}, 0,
     "resetlog: warning: cannot read the track file", {"race_server_SR.txt", "race_server_resetlog.json"}, ""},
    {"Quiet", "dropwatch", kConfig | kTimeDiff, {"-q", "--json", "race_server"}, 0, "",
     {"race_server_Disco.txt", "race_server_dropwatch.json"}, "race_server\n", true},
    {"DropwatchWithoutTimeDiff", "dropwatch", kConfig, {"race_server"}, 1,
     "dropwatch: timediff.ini is not in the working directory", {}, ""},
    {"ExitwatchWithoutTimeDiff", "exitwatch", kConfig, {"--session-cut", "2", "quali"}, 1,
     "exitwatch: timediff.ini is not in the working directory", {}, ""},
    {"ExitwatchOptionsForTimeDiff", "exitwatch", kConfig, {"--session-cut", "0", "--absence-limit", "120", "--json", "quali"}, 0, "",
     {"quali_ESCinQ.txt", "quali_exitwatch.json"}, "quali\n"},
    {"ExitwatchCutNotANumber", "exitwatch", kConfig, {"--session-cut", "two", "quali"}, 2,
     "exitwatch: --session-cut takes a whole number", {}, ""},
    {"ContactsOnly", "contactscan", kConfig, {"--mode", "0", "--json", "race_server"}, 0,
     "contactscan: No protest script: the replay's name carries no race number and grid letter",
     {"race_server.txt", "race_server_contactscan.json"}, "0\nrace_server\n"},
    {"RaceboardPage", "raceboard", kConfig, {"--json", "race_server"}, 0, "",
     {"race_server.html", "race_server_raceboard.json"}, "race_server\n\n0\n"},
    {"RaceboardNoSpeeds", "raceboard", kNothing, {"--no-speeds", "--json", "-o", "out", "@race_server.rpy"}, 0, "",
     {"out/race_serverno_v.html", "out/race_server_raceboard.json"}, "race_server\n\n99\n"},
    {"RaceboardMissingReplay", "raceboard", kNothing, {"--replay-dir", "@", "nosuch"}, 1,
     "raceboard: the replay " + kSampleReplays + "nosuch.rpy does not exist", {}, ""},
    {"HeatboardThreeGrids", "heatboard", kConfig | kMyName, {"--json", "300rplyA", "300rplyB", "300rplyC"}, 0, "",
     {"300rplyAAll.html", "300rplyAAll_heatboard.json"}, "300rplyA\n300rplyB\n300rplyC\n0\n\n0\n"},
    {"HeatboardMyNameNoSpeeds", "heatboard", kNothing,
     {"--myname", "Sabine Schulte", "--no-speeds", "@300rplyA.rpy", "@300rplyB.rpy"}, 0, "",
     {"300rplyAAllno_v.html"}, "300rplyA\n300rplyB\n0\n\n-1\n"},
    {"HeatboardWithoutName", "heatboard", kConfig, {"-q", "300rplyA"}, 0,
     "heatboard: warning: neither --myname nor myname.ini: no row is marked as yours", {"300rplyAAll.html"}, "", true},
    {"HeatboardSixReplays", "heatboard", kConfig, {"a", "b", "c", "d", "e", "f"}, 2,
     "heatboard: at most 5 replays, but 6 were given", {}, ""},
    {"HeatboardUnreadableGrid", "heatboard", kConfig, {"300rplyA", "nosuch"}, 1,
     "heatboard: the replay " + kSampleReplays + "nosuch.rpy does not exist", {}, ""},
    {"HeatboardDriversReplay", "heatboard", kConfig, {"300rplyA", "race_driver"}, 1,
     "heatboard: the replay " + kSampleReplays + "race_driver.rpy was recorded by a driver", {}, ""},
    {"DamageOnlyWithScript", "contactscan", kConfig, {"--mode", "2", "--json", "-o", "out", "300rplyB"}, 0, "",
     {"out/300rplyB.txt", "out/Protest_B.php", "out/300rplyB_contactscan.json"}, "2\n300rplyB\n"},
};

class CliRun : public ::testing::TestWithParam<Case> {};

TEST_P(CliRun, ExitCodeMessagesAndFiles) {
    const Case& c = GetParam();
    if (!wineBin().empty()) GTEST_SKIP() << "the arguments are checked on the Linux build";
    RunDir dir;
    prepare(dir, c.setup);
    const RunResult r = runProgram(kExe.at(c.program), dir, "", withSamples(c.args), true);
    EXPECT_EQ(r.exitCode, c.exitCode) << r.errors;
    EXPECT_EQ(r.errors.substr(0, c.errorStart.empty() ? std::string::npos : c.errorStart.size()), c.errorStart)
        << r.errors;
    EXPECT_LE(std::count(r.errors.begin(), r.errors.end(), '\n'), 1) << "more than one line: " << r.errors;

    std::string printed;
    for (const std::string& file : c.files) printed += file + "\n";
    EXPECT_EQ(r.console, c.quiet ? "" : printed);

    RunDir talked;
    if (!c.dialogue.empty()) {
        prepare(talked, c.setup | kConfig | kTimeDiff | kMyName);
        EXPECT_EQ(runProgram(kExe.at(c.program), talked, c.dialogue).exitCode, c.exitCode);
    }
    std::vector<std::string> jsonFiles;
    for (const std::string& file : c.files) {
        ASSERT_TRUE(dir.exists(file)) << file;
        const std::string name = fs::path(file).filename().string();
        if (name.ends_with(".json")) {
            jsonFiles.push_back(dir.path() + "/" + file);
        } else if (!c.dialogue.empty()) {
            EXPECT_TRUE(dir.read(file) == talked.read(name)) << file << " differs from the dialogue's";
        }
    }
    expectValid(c.program, jsonFiles);
}

INSTANTIATE_TEST_SUITE_P(Cases, CliRun, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Every program explains its arguments and exit codes, tells its version, and
// its JSON on every bundled sample satisfies its schema.
class CliProgram : public ::testing::TestWithParam<std::string> {};

TEST_P(CliProgram, HelpVersionAndJsonOfEverySample) {
    const std::string program = GetParam();
    if (!wineBin().empty()) GTEST_SKIP() << "the arguments are checked on the Linux build";
    RunDir dir;
    const RunResult help = runProgram(kExe.at(program), dir, "", {"--help"}, true);
    EXPECT_EQ(help.exitCode, 0);
    for (const char* word : {"Usage: ", "REPLAY", "--replay-dir", "--tracks-dir", "--out", "--json", "--quiet",
                             "--version", "Exit codes: 0 done"})
        EXPECT_NE(help.console.find(word), std::string::npos) << word << " missing in\n" << help.console;
    EXPECT_EQ(runProgram(kExe.at(program), dir, "", {"--version"}, true).console, program + " " ZR_VERSION "\n");

    std::vector<std::string> jsonFiles;
    for (const auto& entry : fs::directory_iterator(kSampleReplays)) {
        // heatboard reads server replays only; a row above checks its refusal.
        if (entry.path().extension() != ".rpy" || (program == "heatboard" && entry.path().stem() == "race_driver"))
            continue;
        std::vector<std::string> args = {"--json", "-q", entry.path().string()};
        if (program == "exitwatch" || program == "dropwatch")
            args.insert(args.begin(), {"--session-cut", "0", "--absence-limit", "120"});
        const RunResult r = runProgram(kExe.at(program), dir, "", args, true);
        EXPECT_EQ(r.exitCode, 0) << entry.path() << ": " << r.errors;
        const std::string name = entry.path().stem().string() + (program == "heatboard" ? "All" : "");
        const std::string json = dir.path() + "/" + name + "_" + program + ".json";
        EXPECT_TRUE(fs::exists(json)) << json;
        jsonFiles.push_back(json);
    }
    expectValid(program, jsonFiles);
}

INSTANTIATE_TEST_SUITE_P(Programs, CliProgram,
                         ::testing::Values("boxlog", "contactscan", "dropwatch", "exitwatch", "heatboard", "raceboard",
                                           "resetlog"));

}  // namespace
}  // namespace zr

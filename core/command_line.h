// The programs' second face: run with arguments, a program asks nothing and
// never pauses. It takes the replay (a name in the replay folder or the path
// of a .rpy file) and its answers as options, writes the same report bytes as
// the dialogue would, prints the path of every file it wrote and its errors
// in plain English on standard error, and ends with one of three exit codes.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "front_end.h"
#include "listing_run.h"
#include "track_file.h"

namespace zr {

constexpr int kExitDone = 0;      // also when nothing was found
constexpr int kExitFailed = 1;    // a replay or a needed file could not be read, or a report not written
constexpr int kExitUsage = 2;     // wrong usage

// The project's version, as --version prints it.
extern const char* const kVersion;

// The options every program has.
struct CommandLine {
    std::string program;  // the name errors start with
    int maxReplays = 1;
    std::vector<std::string> replays;
    std::string replayDir;  // instead of the folder named by "Zant_Raceboard.ini"
    std::string tracksDir;  // instead of the folder "tracks" beside the replay folder
    std::string outDir;     // where reports go; empty: the working directory
    bool json = false;
    bool quiet = false;
};

// A program's command: its name, what it does (the first line of --help) and
// the options every program has. `maxReplays` is 1 but for heatboard.
CLI::App& declareCommand(CLI::App& app, const char* program, CommandLine& line, int maxReplays = 1);

// Parses the arguments. Nothing when the run goes on; else the exit code:
// 0 after --help or --version, 2 after a one-line error on standard error.
std::optional<int> parseCommand(CLI::App& app, int argc, const char* const* argv);

// Prints "PROGRAM: message" on standard error; returns exit code 1.
[[nodiscard]] int commandFailed(const CommandLine& line, const std::string& message);

// Adds the two numbers of "timediff.ini" as options; `readTimeDiffOptions`
// takes them, or the file where an option is not given, and fails with a
// message when neither the options nor the file are there.
struct TimeDiffOptions {
    std::optional<std::int32_t> sessionCut;
    std::optional<std::int32_t> absenceLimit;
};
void declareTimeDiffOptions(CLI::App& app, TimeDiffOptions& options);
std::optional<TimeDiffSettings> readTimeDiffOptions(const TimeDiffOptions& options, std::string& error);

// Opens a replay given on the command line: a path ending in ".rpy" is used
// as it is (its folder is the replay folder), any other word is a name in the
// replay folder. The paths are those the dialogue would build: the report name
// is the replay's name and `reportSuffix`; the tracks folder is --tracks-dir
// or the folder "tracks" beside the replay folder. Nothing, and a message
// naming the file at fault, when it cannot be opened.
std::optional<StartedRun> openCommandReplay(const CommandLine& line, const std::string& replay,
                                            const std::string& reportSuffix, std::string& error);

// What one run with arguments made: the reports, the findings as JSON text
// (written as NAME_PROGRAM.json with --json), a plain-English line for the
// user where a report is missing (nothing found, no protest script; on
// standard error, left out with -q) and warnings about what the findings may
// lack (standard error, exit code 0).
struct CommandOutcome {
    std::vector<ReportFile> reports;
    std::string jsonName;  // the file name of the JSON findings
    std::string json;
    std::string note;
    std::vector<std::string> warnings;
};

// Without its track file a program takes the pit lane and stalls as 0, as the
// dialogue does; with arguments that is said on standard error.
void warnWithoutTrackFile(CommandOutcome& outcome, const TrackFile& track);

// Writes the outcome into the output folder (made when missing), prints each
// path written and the warnings; returns the exit code.
[[nodiscard]] int writeCommandOutcome(const CommandLine& line, const CommandOutcome& outcome);

// The whole run of a listing program with arguments: the numbers of
// "timediff.ini" where the program reads them, one replay opened and analysed
// (its console lines go nowhere), the outcome written.
using CommandAnalysis = std::function<CommandOutcome(const StartedRun&)>;
[[nodiscard]] int runListingCommand(const CommandLine& line, const std::string& reportSuffix,
                                    const CommandAnalysis& analyse, const TimeDiffOptions* timeDiff = nullptr);

// The JSON file name of a replay's findings: NAME_PROGRAM.json.
std::string jsonFileName(const std::string& replayName, const char* program);

// A listing's outcome with arguments: the reports of the dialogue's outcome,
// the note when there are none, and the findings as JSON.
CommandOutcome commandOutcome(ListingOutcome listing, std::string noReportNote, const char* program,
                              const RunPaths& paths, std::string json);

}  // namespace zr

#include "command_line.h"

#include <filesystem>
#include <iostream>
#include <utility>

#include "platform.h"

namespace zr {

const char* const kVersion = ZR_VERSION;

namespace {

const char* const kFooter =
    "Prints the path of every file it writes, one a line, and nothing else. Errors, warnings and notes (such\n"
    "as nothing found) go to standard error, naming the file or value at fault.\n"
    "Exit codes: 0 done (also when nothing was found), 1 the replay or a needed file could not be read or a\n"
    "report not written, 2 wrong usage.\n"
    "Run without arguments, the program asks its questions instead.";

// The separator put between an output folder and a file name: the paths the
// program prints are then the system's own.
#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

bool endsWithRpy(const std::string& word) {
    if (word.size() < 4) return false;
    std::string end = word.substr(word.size() - 4);
    for (char& c : end) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return end == ".rpy";
}

// The folder "tracks" beside a replay folder.
std::string tracksBeside(const std::string& replayFolder) {
    std::filesystem::path folder(nativePath(replayFolder.empty() ? "." : replayFolder));
    if (!folder.has_filename()) folder = folder.parent_path();  // a trailing separator
    return (std::filesystem::absolute(folder).parent_path() / "tracks").string() + kSeparator;
}

std::string withSeparator(std::string folder) {
    if (!folder.empty() && folder.back() != '/' && folder.back() != '\\') folder += kSeparator;
    return folder;
}

// What a replay that cannot be opened looks like from outside.
std::string replayFailure(const std::string& composedPath, bool fromConfiguration) {
    const std::string path = nativePath(composedPath);
    std::error_code ec;
    std::string text = std::filesystem::exists(path, ec) ? "cannot read the replay " + path
                                                         : "the replay " + path + " does not exist";
    if (fromConfiguration) text += " (its folder is the first line of Zant_Raceboard.ini)";
    return text;
}

// CLI11's messages in the words of the rest of the program.
std::string usageMessage(const CLI::ParseError& e, const CLI::App& app) {
    std::string text = e.what();
    const std::string subject = text.substr(0, text.find(':'));
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&e)) {
        if (subject == "REPLAY") {
            // "REPLAY: At Most 1 required but received 3"
            const int most = app.get_option("REPLAY")->get_items_expected_max();
            const std::size_t received = text.rfind(' ');
            const std::string given = received == std::string::npos ? "more" : text.substr(received + 1);
            return (most == 1 ? std::string("one REPLAY only") : "at most " + std::to_string(most) + " replays") +
                   ", but " + given + " were given";
        }
        return subject + " needs a value";
    }
    if (dynamic_cast<const CLI::ConversionError*>(&e)) {
        // "Could not convert: --session-cut = abc"
        const std::size_t is = text.find(" = ");
        const std::size_t name = text.find(": ");
        if (is != std::string::npos && name != std::string::npos)
            return text.substr(name + 2, is - name - 2) + " takes a whole number, not \"" + text.substr(is + 3) + "\"";
    }
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z') text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

int usageError(const CLI::App& app, const std::string& message) {
    const std::string name = app.get_name();
    std::cerr << name << ": " << message << " (" << name << " --help lists the arguments)\n";
    return kExitUsage;
}

}  // namespace

CLI::App& declareCommand(CLI::App& app, const char* program, CommandLine& line, int maxReplays) {
    line.program = program;
    line.maxReplays = maxReplays;
    app.name(program);
    app.footer(kFooter);
    app.set_help_flag("-h,--help", "show this help and exit");
    app.set_version_flag("--version", std::string(program) + " " + kVersion, "show the program's version and exit");
    // An option given twice takes its last value, as in most programs.
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    auto* replays = app.add_option(
        "REPLAY", line.replays,
        maxReplays > 1 ? "the replays of grids A to E in order: each the name of a replay in the replay folder\n"
                         "(without .rpy) or the path of a .rpy file"
                       : "the name of a replay in the replay folder (without .rpy), or the path of a .rpy\n"
                         "file, whose folder is then the replay folder");
    // Not required() for CLI11: it would report a missing REPLAY before an unknown option.
    replays->expected(1, maxReplays)->type_name("")->multi_option_policy(CLI::MultiOptionPolicy::Throw);
    app.add_option("--replay-dir", line.replayDir,
                   "the replay folder, instead of the one named by Zant_Raceboard.ini in the working\n"
                   "directory")
        ->type_name("DIR");
    app.add_option("--tracks-dir", line.tracksDir,
                   "the simulator's tracks folder, which holds TRACK/track.ini (default: the folder tracks\n"
                   "beside the replay folder)")
        ->type_name("DIR");
    app.add_option("-o,--out", line.outDir,
                   "the folder the reports are written to, made when missing (default: the working\n"
                   "directory)")
        ->type_name("DIR");
    app.add_flag("--json", line.json,
                 "also write the findings as JSON beside the reports: NAME_" + std::string(program) + ".json");
    app.add_flag("-q,--quiet", line.quiet, "print nothing but errors and warnings");
    return app;
}

std::optional<int> parseCommand(CLI::App& app, int argc, const char* const* argv) {
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::cout << app.help();
        return kExitDone;
    } catch (const CLI::CallForVersion& version) {
        std::cout << version.what() << "\n";
        return kExitDone;
    } catch (const CLI::ParseError& e) {
        return usageError(app, usageMessage(e, app));
    }
    if (app.get_option("REPLAY")->count() == 0)
        return usageError(app, "no REPLAY given: the name of a replay in the replay folder (without .rpy) or the "
                               "path of a .rpy file");
    return std::nullopt;
}

int commandFailed(const CommandLine& line, const std::string& message) {
    std::cerr << line.program << ": " << message << "\n";
    return kExitFailed;
}

void declareTimeDiffOptions(CLI::App& app, TimeDiffOptions& options) {
    app.add_option("--session-cut", options.sessionCut,
                   "minutes cut off the end of a qualifying session (else the first number of\n"
                   "timediff.ini in the working directory)")
        ->type_name("MIN");
    app.add_option("--absence-limit", options.absenceLimit,
                   "the longest absence in minutes that still counts as an escape; 0 means 120 (else the\n"
                   "second number of timediff.ini)")
        ->type_name("MIN");
}

std::optional<TimeDiffSettings> readTimeDiffOptions(const TimeDiffOptions& options, std::string& error) {
    TimeDiffSettings settings;
    if (!options.sessionCut || !options.absenceLimit) {
        std::optional<TimeDiffSettings> file = readTimeDiff();
        if (!file) {
            error = "timediff.ini is not in the working directory; give --session-cut and --absence-limit instead";
            return std::nullopt;
        }
        settings = *file;
    }
    if (options.sessionCut) settings.timeDiffFirst = *options.sessionCut;
    if (options.absenceLimit) settings.timeDiffSecond = *options.absenceLimit == 0 ? 120 : *options.absenceLimit;
    return settings;
}

std::optional<StartedRun> openCommandReplay(const CommandLine& line, const std::string& replay,
                                            const std::string& reportSuffix, std::string& error) {
    StartedRun run;
    RunPaths& p = run.paths;
    bool configured = false;
    if (endsWithRpy(replay)) {
        p.replayPath = replay;
        p.replayName = replayNameInReports(replay.substr(0, replay.size() - 4));
        std::filesystem::path folder = std::filesystem::path(replay).parent_path();
        p.replayFolder = withSeparator(folder.empty() ? "." : folder.string());
    } else {
        if (!line.replayDir.empty()) {
            p.replayFolder = withSeparator(line.replayDir);
        } else {
            std::optional<std::string> folder = readSimulatorFolder();
            if (!folder) {
                error = "Zant_Raceboard.ini is not in the working directory; give --replay-dir or the path of "
                        "the .rpy file";
                return std::nullopt;
            }
            if (folder->empty()) {
                error = "the first line of Zant_Raceboard.ini names no replay folder; give --replay-dir or the "
                        "path of the .rpy file";
                return std::nullopt;
            }
            p.replayFolder = *folder;
            configured = true;
        }
        p.replayPath = p.replayFolder + replay + ".rpy";
        p.replayName = replayNameInReports(replay);
    }
    if (!line.tracksDir.empty()) {
        p.tracksFolder = withSeparator(line.tracksDir);
    } else if (!configured || p.replayFolder.size() < 7) {
        p.tracksFolder = tracksBeside(p.replayFolder);
    } else {
        // As the dialogue: the configured folder's last 7 characters, "replay\", become "tracks\".
        p.tracksFolder = p.replayFolder.substr(0, p.replayFolder.size() - 7) + "tracks\\";
    }
    p.reportName = p.replayName + reportSuffix;

    std::optional<Replay> opened = openReplay(p.replayPath);
    if (!opened) {
        error = replayFailure(p.replayPath, configured);
        return std::nullopt;
    }
    run.replay = std::move(*opened);
    return run;
}

std::string jsonFileName(const std::string& replayName, const char* program) {
    return replayName + "_" + program + ".json";
}

CommandOutcome commandOutcome(ListingOutcome listing, std::string noReportNote, const char* program,
                              const RunPaths& paths, std::string json) {
    CommandOutcome outcome;
    outcome.reports = std::move(listing.reports);
    if (outcome.reports.empty()) outcome.note = std::move(noReportNote);
    outcome.jsonName = jsonFileName(paths.replayName, program);
    outcome.json = std::move(json);
    return outcome;
}

void warnWithoutTrackFile(CommandOutcome& outcome, const TrackFile& track) {
    if (track.found) return;
    outcome.warnings.push_back("warning: cannot read the track file " + nativePath(track.path) +
                               "; the pit lane and stalls are taken as 0, so the findings may be incomplete");
}

int writeCommandOutcome(const CommandLine& line, const CommandOutcome& outcome) {
    const std::string folder = withSeparator(line.outDir);
    if (!folder.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(nativePath(folder), ec);
        if (ec || !std::filesystem::is_directory(nativePath(folder), ec))
            return commandFailed(line, "cannot make the output folder " + line.outDir);
    }
    for (const std::string& warning : outcome.warnings) std::cerr << line.program << ": " << warning << "\n";
    auto written = [&](const std::string& name, bool done) {
        if (!done) std::cerr << line.program << ": cannot write " << folder + name << "\n";
        else if (!line.quiet) std::cout << folder + name << "\n";
        return done;
    };
    for (const ReportFile& report : outcome.reports)
        if (!written(report.name, writeReport(folder + report.name, report.text))) return kExitFailed;
    // JSON is ours, not the simulator's: plain line feeds.
    if (line.json && !written(outcome.jsonName, writeFileAtomically(folder + outcome.jsonName, outcome.json)))
        return kExitFailed;
    // Standard output holds only the paths written, for scripts to read.
    if (!line.quiet && !outcome.note.empty()) std::cerr << line.program << ": " << outcome.note << "\n";
    return kExitDone;
}

int runListingCommand(const CommandLine& line, const std::string& reportSuffix, const CommandAnalysis& analyse,
                      const TimeDiffOptions* timeDiffOptions) {
    std::string error;
    TimeDiffSettings timeDiff;
    if (timeDiffOptions) {
        std::optional<TimeDiffSettings> read = readTimeDiffOptions(*timeDiffOptions, error);
        if (!read) return commandFailed(line, error);
        timeDiff = *read;
    }
    std::optional<StartedRun> run = openCommandReplay(line, line.replays.front(), reportSuffix, error);
    if (!run) return commandFailed(line, error);
    run->timeDiff = timeDiff;
    return writeCommandOutcome(line, analyse(*run));
}

}  // namespace zr

#include "command_line.h"

#include <filesystem>
#include <iostream>
#include <utility>

#include "platform.h"

namespace zr {

const char* const kVersion = ZR_VERSION;

namespace {

const char* const kExitCodes =
    "Exit codes: 0 done (also when nothing was found), 1 the replay or a needed file could not be read or a\n"
    "report not written, 2 wrong usage. Run without arguments, the program asks its questions instead.";

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
    return (std::filesystem::absolute(folder).parent_path() / "tracks").string() + "/";
}

std::string withSeparator(std::string folder) {
    if (!folder.empty() && folder.back() != '/' && folder.back() != '\\') folder += '/';
    return folder;
}

}  // namespace

CLI::App& declareCommand(CLI::App& app, const char* program, CommandLine& line, int maxReplays) {
    app.name(program);
    app.footer(kExitCodes);
    app.set_version_flag("--version", std::string(program) + " " + kVersion);
    auto* replays = app.add_option("REPLAY", line.replays,
                                   maxReplays > 1 ? "the replays of grids A to E in order: names in the replay "
                                                    "folder (without .rpy) or paths to .rpy files"
                                                  : "a replay name in the replay folder (without .rpy) or the "
                                                    "path to a .rpy file");
    replays->required()->expected(1, maxReplays);
    app.add_option("--replay-dir", line.replayDir, "the replay folder, instead of the one named by Zant_Raceboard.ini");
    app.add_option("--tracks-dir", line.tracksDir, "the simulator's tracks folder, instead of the one beside the replay folder");
    app.add_option("-o,--out", line.outDir, "the folder the reports are written to (default: the working directory)");
    app.add_flag("--json", line.json, "also write the findings as JSON: NAME_" + std::string(program) + ".json");
    app.add_flag("-q,--quiet", line.quiet, "print nothing but errors");
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
        std::cerr << app.get_name() << ": " << e.what() << "\nRun '" << app.get_name() << " --help' for the options.\n";
        return kExitUsage;
    }
    return std::nullopt;
}

void declareTimeDiffOptions(CLI::App& app, TimeDiffOptions& options) {
    app.add_option("--session-cut", options.sessionCut,
                   "minutes cut off the end of a qualifying session (the first number of timediff.ini)");
    app.add_option("--absence-limit", options.absenceLimit,
                   "the longest absence in minutes that still counts as an escape (the second number of "
                   "timediff.ini; 0 means 120)");
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
    if (endsWithRpy(replay)) {
        p.replayPath = replay;
        p.replayName = replayNameInReports(replay.substr(0, replay.size() - 4));
        std::filesystem::path folder = std::filesystem::path(replay).parent_path();
        p.replayFolder = withSeparator(folder.empty() ? "." : folder.string());
    } else {
        if (!line.replayDir.empty()) {
            p.replayFolder = withSeparator(line.replayDir);
        } else {
            std::optional<std::string> configured = readSimulatorFolder();
            if (!configured) {
                error = "Zant_Raceboard.ini is not in the working directory; give --replay-dir or the path to "
                        "the .rpy file";
                return std::nullopt;
            }
            p.replayFolder = *configured;
        }
        p.replayPath = p.replayFolder + replay + ".rpy";
        p.replayName = replayNameInReports(replay);
    }
    if (!line.tracksDir.empty()) {
        p.tracksFolder = withSeparator(line.tracksDir);
    } else if (endsWithRpy(replay) || !line.replayDir.empty() || p.replayFolder.size() < 7) {
        p.tracksFolder = tracksBeside(p.replayFolder);
    } else {
        // As the dialogue: the configured folder's last 7 characters, "replay\", become "tracks\".
        p.tracksFolder = p.replayFolder.substr(0, p.replayFolder.size() - 7) + "tracks\\";
    }
    p.reportName = p.replayName + reportSuffix;

    std::optional<Replay> opened = openReplay(p.replayPath);
    if (!opened) {
        error = "cannot read the replay " + nativePath(p.replayPath);
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

int writeCommandOutcome(const CommandLine& line, const CommandOutcome& outcome) {
    const std::string folder = line.outDir.empty() ? "" : withSeparator(line.outDir);
    if (!folder.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(nativePath(folder), ec);
    }
    auto write = [&](const std::string& name, bool written) {
        if (!written) std::cerr << "cannot write the report " << folder + name << "\n";
        else if (!line.quiet) std::cout << folder + name << "\n";
        return written;
    };
    for (const ReportFile& report : outcome.reports)
        if (!write(report.name, writeReport(folder + report.name, report.text))) return kExitFailed;
    // JSON is ours, not the simulator's: plain line feeds.
    if (line.json && !write(outcome.jsonName, writeFileAtomically(folder + outcome.jsonName, outcome.json)))
        return kExitFailed;
    if (!line.quiet && !outcome.note.empty()) std::cout << outcome.note << "\n";
    return kExitDone;
}

int runListingCommand(const CommandLine& line, const std::string& reportSuffix, const CommandAnalysis& analyse,
                      const TimeDiffSettings& timeDiff) {
    std::string error;
    std::optional<StartedRun> run = openCommandReplay(line, line.replays.front(), reportSuffix, error);
    if (!run) {
        std::cerr << error << "\n";
        return kExitFailed;
    }
    run->timeDiff = timeDiff;
    return writeCommandOutcome(line, analyse(*run));
}

}  // namespace zr

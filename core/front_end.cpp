#include "front_end.h"

#include <fstream>
#include <istream>
#include <ostream>
#include <sstream>

namespace zr {

namespace {
// The folder is used as configured: the name is appended to it directly.
std::string composeReplayPath(const std::string& folder, const std::string& name) { return folder + name + ".rpy"; }
}  // namespace

std::string promptReplayName(const ProgramDialogue& dialogue, std::istream& in, std::ostream& out) {
    out << dialogue.prompt << "\n" << std::flush;
    std::string name;
    in >> name;
    if (dialogue.emptyLineAfterPrompt) out << "\n" << std::flush;
    return name;
}

TimeDiffSettings parseTimeDiff(const std::string& text) {
    // Ordinary formatted input: a number that is missing or unreadable reads
    // as 0, and after a failure nothing more is read.
    std::istringstream in(text);
    TimeDiffSettings s;
    in >> s.timeDiffFirst >> s.timeDiffSecond;
    if (s.timeDiffSecond == 0) s.timeDiffSecond = 120;
    return s;
}

std::optional<TimeDiffSettings> readTimeDiff() {
    std::ifstream in("timediff.ini", std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return parseTimeDiff(text.str());
}

std::optional<std::string> readSimulatorFolder() {
    std::ifstream in("Zant_Raceboard.ini", std::ios::binary);
    if (!in) return std::nullopt;
    std::string line;
    std::getline(in, line);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

std::string replayNameInReports(const std::string& typedName) {
    const std::size_t separator = typedName.find_last_of("/\\");
    return separator == std::string::npos ? typedName : typedName.substr(separator + 1);
}

std::optional<RunPaths> buildRunPaths(const std::string& name, const std::string& folder,
                                      const std::string& reportSuffix) {
    if (folder.size() < 7) return std::nullopt;
    RunPaths p;
    p.replayName = replayNameInReports(name);
    p.replayFolder = folder;
    p.tracksFolder = folder.substr(0, folder.size() - 7) + "tracks\\";
    p.replayPath = composeReplayPath(folder, name);
    p.reportName = p.replayName + reportSuffix;
    return p;
}

std::optional<Replay> openReplay(const std::string& path) {
    Replay r;
    if (!r.file.open(path)) return std::nullopt;
    return r;
}

StartResult startRun(const ProgramDialogue& dialogue, std::istream& in, std::ostream& out) {
    StartedRun run;
    const std::string name = promptReplayName(dialogue, in, out);
    auto fail = [&](const char* message, bool pause) {
        out << message << std::flush;
        if (pause) pauseConsole(in, out);
        return StartResult{std::nullopt, 1};
    };

    if (dialogue.readsTimeDiff) {
        auto timeDiff = readTimeDiff();
        if (!timeDiff) return fail(dialogue.configFailure, false);
        run.timeDiff = *timeDiff;
    }
    auto folder = readSimulatorFolder();
    if (!folder) return fail(dialogue.configFailure, false);

    // The path is shown as composed, also when the folder line is too short
    // to be used; the refusal then comes where the replay would be opened.
    if (dialogue.echoesReplayPath) out << composeReplayPath(*folder, name) << "\n";
    auto paths = buildRunPaths(name, *folder, dialogue.reportSuffix);
    if (!paths) return fail(dialogue.replayFailure, true);
    auto replay = openReplay(paths->replayPath);
    if (!replay) return fail(dialogue.replayFailure, true);
    if (dialogue.showsFileSize) out << "Lange=" << replay->size() << "\n";

    run.paths = std::move(*paths);
    run.replay = std::move(*replay);
    return StartResult{std::move(run), 0};
}

}  // namespace zr

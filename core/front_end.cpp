#include "front_end.h"

#include <cctype>
#include <fstream>
#include <istream>
#include <ostream>
#include <sstream>

#include "platform.h"

namespace zr {

namespace {

const char* const kChainProgress =
    "\nIm Programmordner wird eine .txt-Datei mit der folgenden Tabelle erstellt.\n"
    "Diese hat den gleichen Namen wie die .rpy-Datei.\n\n"
    "Das Programm ben\xF6tigt etwas Zeit...\n\n";

// One row per program, in the order of `Program`.
const FrontEndProfile kProfiles[] = {
    {Program::raceboard, "raceboard", "Please put in a name of a replay-file (without .rpy)!", false, false,
     "", MessageSet::mixed, "", FrameRateRule::only60Or36, 320, true, false, false, TrackTexts::none, false},
    {Program::heatboard, "heatboard", "", false, false, "", MessageSet::mixed, "", FrameRateRule::only60Or36,
     320, true, false, false, TrackTexts::none, false},
    {Program::contactscan, "contactscan", "Put in name of replay (without .rpy)!", false, false, ".txt",
     MessageSet::german,
     "\nYou'll find a txt file in programm folder,\nbut tool is working...and needs some time...\n\n",
     FrameRateRule::zeroMeans36, 320, true, false, false, TrackTexts::none, true},
    {Program::boxlog, "boxlog", "Bitte Name der Datei (ohne .rpy) eingeben", true, false, "_PS.txt",
     MessageSet::german, kChainProgress, FrameRateRule::zeroMeans36, 472, false, true, true, TrackTexts::boxlog,
     true},
    {Program::resetlog, "resetlog", "Bitte Name der Datei (ohne .rpy) eingeben", true, false, "_SR.txt",
     MessageSet::german, kChainProgress, FrameRateRule::zeroMeans36, 472, false, true, false,
     TrackTexts::resetlog, false},
    {Program::exitwatch, "exitwatch", "Please put in name of replay (without .rpy) ", true, true, "_ESCinQ.txt",
     MessageSet::german, "\nWait a moment, please...\nYou will find a txt lile in programm folder.\n\n",
     FrameRateRule::zeroMeans36, 472, false, false, false, TrackTexts::exitDrop, true},
    {Program::dropwatch, "dropwatch", "Please put in name of replay (without .rpy) ", true, true, "_Disco.txt",
     MessageSet::german, "\nWait a moment, please...\nYou will find a txt file in programm folder.\n\n",
     FrameRateRule::zeroMeans36, 472, false, false, false, TrackTexts::exitDrop, true},
};

// The folder is used as configured: the name is appended to it directly.
std::string composeReplayPath(const std::string& folder, const std::string& name) { return folder + name + ".rpy"; }

}  // namespace

const FrontEndProfile& profileOf(Program program) { return kProfiles[static_cast<int>(program)]; }

const char* configFailureText(MessageSet set) {
    return set == MessageSet::mixed ? "Datei wrong!!!" : "Datei falsch!!!";
}

const char* replayFailureText(Program program) {
    if (program == Program::raceboard) return "Dateiname or Pfad false!!!";
    if (program == Program::heatboard) return "Dateiname or Pfad false!!!";
    return "Dateiname oder Pfadangabe falsch!!!";
}

std::string promptReplayName(const FrontEndProfile& profile, std::istream& in, std::ostream& out) {
    out << profile.prompt << "\n" << std::flush;
    std::string name;
    in >> name;
    if (profile.emptyLineAfterPrompt) out << "\n" << std::flush;
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
                                      const FrontEndProfile& profile) {
    if (folder.size() < 7) return std::nullopt;
    RunPaths p;
    p.replayName = replayNameInReports(name);
    p.replayFolder = folder;
    p.tracksFolder = folder.substr(0, folder.size() - 7) + "tracks\\";
    p.replayPath = composeReplayPath(folder, name);
    p.reportName = p.replayName + profile.reportSuffix;
    return p;
}

std::optional<Replay> openReplay(const RunPaths& paths) {
    Replay r;
    if (!r.file.open(paths.replayPath)) return std::nullopt;
    return r;
}

std::string upperAscii(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

StartResult startRun(const FrontEndProfile& profile, std::istream& in, std::ostream& out) {
    StartResult result;
    StartedRun run;
    std::string name = promptReplayName(profile, in, out);

    if (profile.readsTimeDiff) {
        auto timeDiff = readTimeDiff();
        if (!timeDiff) {
            out << configFailureText(profile.messages) << std::flush;
            result.exitCode = 1;
            return result;
        }
        run.timeDiff = *timeDiff;
    }

    auto folder = readSimulatorFolder();
    if (!folder) {
        out << configFailureText(profile.messages) << std::flush;
        result.exitCode = 1;
        return result;
    }

    auto refuse = [&] {
        out << replayFailureText(profile.program) << std::flush;
        pauseConsole(in, out);
        StartResult failed;
        failed.exitCode = 1;
        return failed;
    };

    // The path is shown as composed, also when the folder line is too short
    // to be used; the refusal then comes where the replay would be opened.
    if (profile.echoesReplayPath) out << composeReplayPath(*folder, name) << "\n";
    auto paths = buildRunPaths(name, *folder, profile);
    if (!paths) return refuse();

    auto replay = openReplay(*paths);
    if (!replay) return refuse();
    if (profile.showsFileSize) out << "Lange=" << replay->size() << "\n";

    run.paths = std::move(*paths);
    run.replay = std::move(*replay);
    result.run = std::move(run);
    return result;
}

}  // namespace zr

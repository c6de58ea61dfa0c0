#include "run_dir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/wait.h>

#include "wine_mode.h"

namespace zr::test {

namespace fs = std::filesystem;

RunDir::RunDir() {
    std::string pattern = (fs::temp_directory_path() / "zrtest-XXXXXX").string();
    char* made = ::mkdtemp(pattern.data());
    path_ = made ? made : pattern;
    fs::create_directories(path_ + "/sim/replay");
    fs::create_directories(path_ + "/sim/tracks");
}

RunDir::~RunDir() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

std::string RunDir::configuredFolder() const {
    return wineBin().empty() ? replayFolder() : wineDrivePath(replayFolder());
}
std::string RunDir::configuredTracksFolder() const {
    std::string folder = configuredFolder();
    return folder.substr(0, folder.size() - 7) + "tracks\\";
}

void RunDir::writeConfig() { writeConfigLine(replayFolder()); }
void RunDir::writeConfigLine(const std::string& line) {
    writeFile("Zant_Raceboard.ini", (wineBin().empty() ? line : wineDrivePath(line)) + "\r\n");
}
void RunDir::writeTimeDiff(const std::string& text) { writeFile("timediff.ini", text); }

void RunDir::writeReplay(const std::string& name, const ByteVec& bytes) {
    writeFile("sim/replay/" + name + ".rpy", std::string(bytes.begin(), bytes.end()));
}

void RunDir::writeTrack(const std::string& trackFolder, const std::string& iniText) {
    fs::create_directories(path_ + "/sim/tracks/" + trackFolder);
    writeFile("sim/tracks/" + trackFolder + "/track.ini", iniText);
}

void RunDir::writeFile(const std::string& relative, const std::string& bytes) {
    std::ofstream out(path_ + "/" + relative, std::ios::binary);
    out << bytes;
}

void RunDir::copySamples(const std::string& samplesFolder, const std::string& replay) {
    writeTimeDiff(readFile(samplesFolder + "/timediff.ini"));
    for (const auto& entry : fs::directory_iterator(samplesFolder + "/replay"))
        if (entry.path().extension() == ".rpy" && (replay.empty() || entry.path().stem() == replay))
            writeFile("sim/replay/" + entry.path().filename().string(), readFile(entry.path().string()));
    for (const auto& track : fs::directory_iterator(samplesFolder + "/tracks"))
        writeTrack(track.path().filename().string(), readFile((track.path() / "track.ini").string()));
}

bool RunDir::exists(const std::string& relative) const { return fs::exists(path_ + "/" + relative); }
std::string RunDir::read(const std::string& relative) const { return readFile(path_ + "/" + relative); }

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

StartedRun startedRun(RunDir& dir, const ByteVec& replay, TimeDiffSettings timeDiff, const std::string& name) {
    dir.writeReplay(name, replay);
    StartedRun run;
    run.paths = *buildRunPaths(name, dir.replayFolder(), "");
    run.timeDiff = timeDiff;
    run.replay = *openReplay(run.paths.replayPath);
    return run;
}

RunResult runProgram(const std::string& exe, const RunDir& dir, const std::string& input,
                     const std::vector<std::string>& args, bool errorsApart) {
    auto quoted = [](const std::string& word) { return "'" + replaceAll(word, "'", "'\\''") + "'"; };
    const std::string in = dir.path() + "/.stdin", out = dir.path() + "/.stdout", err = dir.path() + "/.stderr";
    std::ofstream(in, std::ios::binary) << input;
    std::string command = "cd " + quoted(dir.path()) + " && " +
                          (wineBin().empty() ? std::string("timeout 600 ") + quoted(exe) : wineCommand(exe));
    for (const std::string& arg : args) command += " " + quoted(arg);
    // Wine's own notices go to standard error.
    command += " < " + quoted(in) + " > " + quoted(out) +
               (errorsApart ? " 2> " + quoted(err) : wineBin().empty() ? " 2>&1" : " 2> /dev/null");
    const int status = std::system(command.c_str());
    RunResult r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.console = wineBin().empty() ? readFile(out) : consoleAsOnLinux(readFile(out));
    if (errorsApart) r.errors = readFile(err);
    std::error_code ec;
    for (const std::string& file : {in, out, err}) fs::remove(file, ec);
    return r;
}

std::map<std::string, std::string> filesBelow(const std::string& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), root).generic_string()] = readFile(entry.path().string());
    return files;
}

namespace {

std::string namesOf(const std::map<std::string, std::string>& files) {
    std::string names;
    for (const auto& [name, bytes] : files) names += " " + name;
    return names.empty() ? " none" : names;
}

}  // namespace

std::string compareRunsWithFolderParts(const std::string& exe, const RunDir& dir,
                                       const std::function<std::string(const std::string& folderPart)>& input) {
    const std::map<std::string, std::string> before = filesBelow(dir.path());
    std::map<std::string, std::string> reports;
    int exitCode = 0;
    std::string problems;
    for (const std::string folderPart : {"", "../replay/", "..\\replay\\"}) {
        RunResult r = runProgram(exe, dir, input(folderPart));
        std::map<std::string, std::string> added;
        for (const auto& [name, bytes] : filesBelow(dir.path())) {
            if (before.count(name) && before.at(name) == bytes) continue;
            added[name] = bytes;
            fs::remove(dir.path() + "/" + name);
        }
        if (folderPart.empty()) {
            reports = added;
            exitCode = r.exitCode;
            if (reports.empty()) problems += "the run with the plain name wrote nothing\n";
            continue;
        }
        if (r.exitCode != exitCode)
            problems += "typed with " + folderPart + ": exit code " + std::to_string(r.exitCode) + "\n";
        if (added != reports)
            problems += "typed with " + folderPart + ": new files" + namesOf(added) + " instead of" +
                        namesOf(reports) + (namesOf(added) == namesOf(reports) ? " (other bytes)" : "") + "\n";
    }
    return problems;
}

std::string crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

}  // namespace zr::test

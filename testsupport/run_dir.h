// A temporary working directory laid out like a user's: the configuration
// files, the simulator's replay and tracks folders, and the built programs
// run in it with scripted standard input (the Windows build under Wine when
// ZR_WINE_BIN is set, see wine_mode.h).
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "front_end.h"
#include "replay_builder.h"

namespace zr::test {

using namespace zr::writer;  // the tests describe their replays in the writer's terms

class RunDir {
public:
    RunDir();
    ~RunDir();
    RunDir(const RunDir&) = delete;
    RunDir& operator=(const RunDir&) = delete;

    const std::string& path() const { return path_; }
    std::string replayFolder() const { return path_ + "/sim/replay/"; }
    // The replay folder and the tracks folder as the programs compose and
    // show them: in the Windows mode a drive path with backslashes.
    std::string configuredFolder() const;
    std::string configuredTracksFolder() const;

    // "Zant_Raceboard.ini" naming the replay folder (or any first line).
    void writeConfig();
    void writeConfigLine(const std::string& line);
    void writeTimeDiff(const std::string& text);
    void writeReplay(const std::string& name, const ByteVec& bytes);
    void writeTrack(const std::string& trackFolder, const std::string& iniText);
    void writeFile(const std::string& relative, const std::string& bytes);
    // The bundled samples in `samplesFolder`: "timediff.ini", the tracks and
    // the replay `replay` (every replay when it is empty).
    void copySamples(const std::string& samplesFolder, const std::string& replay = "");

    bool exists(const std::string& relative) const;
    std::string read(const std::string& relative) const;

private:
    std::string path_;
};

struct RunResult {
    int exitCode = -1;
    std::string console;  // standard output, and standard error unless kept apart
    std::string errors;   // standard error when kept apart
};

// Runs `exe` in `dir` with `args` and `input` on standard input (closed after
// it); in the Wine mode the Windows build, its console as Linux shows it.
RunResult runProgram(const std::string& exe, const RunDir& dir, const std::string& input,
                     const std::vector<std::string>& args = {}, bool errorsApart = false);

// Runs `exe` with the replay names typed plainly, then with the folder parts
// "../replay/" and "..\replay\" before them (`input` gives the console input
// for such a prefix; the configured folder ends in "replay"). Every run must
// end with the plain run's exit code and leave the plain run's new files,
// byte for byte, in the working directory, and nothing else new below it.
// The new files are removed after each run. Returns what differed; empty when
// nothing did.
std::string compareRunsWithFolderParts(const std::string& exe, const RunDir& dir,
                                       const std::function<std::string(const std::string& folderPart)>& input);

// What the start-up hands to an analysis, for the tests that run one in
// process: `replay` written to and opened from `dir`'s replay folder as NAME,
// the tracks folder beside it.
StartedRun startedRun(RunDir& dir, const ByteVec& replay, TimeDiffSettings timeDiff = {},
                      const std::string& name = "race1");

std::string readFile(const std::string& path);

// Every file below `root` by its path relative to it (with slashes), with its bytes.
std::map<std::string, std::string> filesBelow(const std::string& root);

// Line feeds to CR LF, as the reports store them.
std::string crlf(const std::string& text);

std::string replaceAll(std::string text, const std::string& from, const std::string& to);

}  // namespace zr::test

// A temporary working directory laid out like a user's: the configuration
// files, the simulator's replay and tracks folders, and the built programs
// run in it with scripted standard input (the Windows build under Wine when
// ZR_WINE_BIN is set, see wine_mode.h).
#pragma once

#include <string>

#include "replay_builder.h"

namespace zr::test {

class RunDir {
public:
    RunDir();
    ~RunDir();
    RunDir(const RunDir&) = delete;
    RunDir& operator=(const RunDir&) = delete;

    const std::string& path() const { return path_; }
    std::string replayFolder() const { return path_ + "/sim/replay/"; }

    // "Zant_Raceboard.ini" naming the replay folder (or any first line).
    void writeConfig();
    void writeConfigLine(const std::string& line);
    void writeTimeDiff(const std::string& text);
    void writeReplay(const std::string& name, const ByteVec& bytes);
    void writeTrack(const std::string& trackFolder, const std::string& iniText);
    void writeFile(const std::string& relative, const std::string& bytes);

    bool exists(const std::string& relative) const;
    std::string read(const std::string& relative) const;

private:
    std::string path_;
};

struct RunResult {
    int exitCode = -1;
    std::string console;
};

// Runs `exe` in `dir` with `input` on standard input (closed after it).
RunResult runProgram(const std::string& exe, const RunDir& dir, const std::string& input);

std::string readFile(const std::string& path);

// Line feeds to CR LF, as the reports store them.
std::string crlf(const std::string& text);

}  // namespace zr::test

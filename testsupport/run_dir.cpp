#include "run_dir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
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

bool RunDir::exists(const std::string& relative) const { return fs::exists(path_ + "/" + relative); }
std::string RunDir::read(const std::string& relative) const { return readFile(path_ + "/" + relative); }

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

RunResult runProgram(const std::string& exe, const RunDir& dir, const std::string& input) {
    std::string in = dir.path() + "/.stdin";
    std::string out = dir.path() + "/.stdout";
    {
        std::ofstream f(in, std::ios::binary);
        f << input;
    }
    std::string redirect = " < '" + in + "' > '" + out + "'";
    std::string command = "cd '" + dir.path() + "' && " +
                          (wineBin().empty() ? "timeout 20 '" + exe + "'" + redirect + " 2>&1"
                                             : wineCommand(exe) + redirect + " 2> /dev/null");  // Wine's own notices
    int status = std::system(command.c_str());
    RunResult r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.console = wineBin().empty() ? readFile(out) : consoleAsOnLinux(readFile(out));
    std::error_code ec;
    fs::remove(in, ec);
    fs::remove(out, ec);
    return r;
}

std::string crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

}  // namespace zr::test

#include "program_fuzz.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace zr::fuzz {

namespace {

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

// A working directory of its own, made once: the programs read their
// configuration from it and write their reports into it.
void prepareWorkingDirectory() {
    static bool ready = false;
    if (ready) return;
    ready = true;
    char pattern[] = "/tmp/zrfuzz-XXXXXX";
    const char* dir = ::mkdtemp(pattern);
    if (!dir || ::chdir(dir) != 0) std::abort();
    std::filesystem::create_directories("sim/replay");
    std::filesystem::create_directories("sim/tracks/fuzzring");
    writeFile("Zant_Raceboard.ini", std::string(dir) + "/sim/replay/\r\n");
    writeFile("timediff.ini", "1 2\r\n");
    writeFile("myname.ini", "Anna Arnold");
    writeFile("sim/tracks/fuzzring/track.ini",
              "[ pit_lane_0 ]\r\nlane_bounds_dlong = 1.5 2.5 \r\nstall_0 = 1.0\r\nstall_19 = 2.0\r\n");
}

}  // namespace

int runOnReplay(RunFunction run, const std::string& input, const std::uint8_t* data, std::size_t size) {
    prepareWorkingDirectory();
    writeFile("sim/replay/f.rpy", std::string(reinterpret_cast<const char*>(data), size));
    std::istringstream in(input);
    std::ostringstream out;
    return run(in, out);
}

}  // namespace zr::fuzz

#include "golden.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

namespace zr::test {

namespace fs = std::filesystem;

namespace {
bool updating() {
    const char* update = std::getenv("ZR_UPDATE_GOLDEN");
    return update && std::string(update) == "1";
}

// The files directly in `folder`, by name, with the time each was last written.
std::map<std::string, fs::file_time_type> filesIn(const std::string& folder) {
    std::map<std::string, fs::file_time_type> files;
    if (fs::is_directory(folder))
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.is_regular_file()) files[entry.path().filename().string()] = entry.last_write_time();
    return files;
}
}  // namespace

void expectGolden(const std::string& goldenFile, const std::string& actual, LineEnds written) {
    std::string lf;
    for (char c : actual)
        if (written == LineEnds::lf || c != '\r') lf += c;
    if (written == LineEnds::crlf) {
        EXPECT_EQ(crlf(lf), actual) << "every line of " << goldenFile << " ends in CR LF";
    }
    if (updating()) {
        fs::create_directories(fs::path(goldenFile).parent_path());
        std::ofstream(goldenFile, std::ios::binary) << lf;
        return;
    }
    EXPECT_EQ(lf, readFile(goldenFile)) << "differs from " << goldenFile << " (ZR_UPDATE_GOLDEN=1 rewrites it)";
}

void expectRunAsGolden(const std::string& exe, RunDir& dir, const std::string& input, const std::string& folder) {
    const std::map<std::string, fs::file_time_type> before = filesIn(dir.path());
    const RunResult r = runProgram(exe, dir, input);
    std::map<std::string, std::string> written;
    for (const auto& [name, time] : filesIn(dir.path())) {
        if (before.count(name) && before.at(name) == time) continue;
        written[name] = dir.read(name);
        fs::remove(dir.path() + "/" + name);
    }
    if (updating()) {
        fs::remove_all(folder);
    } else {
        std::set<std::string> expected, found;
        for (const auto& [name, time] : filesIn(folder))
            if (name != "console.txt") expected.insert(name);
        for (const auto& [name, bytes] : written) found.insert(name);
        EXPECT_EQ(found, expected) << "the files written differ from those in " << folder;
    }
    // The folders as the Linux and the Windows build show them alike; a path
    // composed on a folder line without its last separator as well.
    const std::string replayFolder = dir.configuredFolder();
    std::string console = replaceAll(r.console, replayFolder, "<replay folder>/");
    console = replaceAll(console, replayFolder.substr(0, replayFolder.size() - 1), "<replay folder>");
    console = replaceAll(console, dir.configuredTracksFolder(), "<tracks folder>/");
    expectGolden(folder + "/console.txt", console + "\n--- exit code " + std::to_string(r.exitCode) + "\n",
                 LineEnds::lf);
    for (const auto& [name, bytes] : written) expectGolden(folder + "/" + name, bytes);
}

}  // namespace zr::test

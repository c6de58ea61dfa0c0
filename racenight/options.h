// racenight's command line, parsed with CLI11; the usage text comes from the
// same declarations.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace zr::night {

struct NightOptions {
    std::vector<std::string> paths;
    bool recursive = false;
    std::string outDir = "racenight";
    int jobs = 1;
    std::string tracksDir;                 // empty: beside each replay's folder
    std::optional<std::string> myName;
    std::optional<int> sessionCut;         // minutes
    std::optional<int> absenceLimit;       // minutes
    bool json = false;
    bool quiet = false;
};

// The exit codes: 0 done, 1 a replay or report failed, 2 wrong usage.
constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// The options; or, for --help, --version and wrong usage, the exit code after
// the text has been printed (help and version to `out`, errors to `err`).
struct ParsedOptions {
    std::optional<NightOptions> options;
    int exitCode = kExitDone;
};
ParsedOptions parseOptions(int argc, const char* const* argv, const std::string& version, std::ostream& out,
                           std::ostream& err);

}  // namespace zr::night

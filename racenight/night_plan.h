// Which replays a race night holds and how they group: the grids of one event
// (names that share a race number and end in A to E: 300rplyA to 300rplyE)
// and lone replays (qualifying, practice, anything else).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zr::night {

struct ReplayInput {
    std::string path;
    std::string name;  // the file name without ".rpy": what the reports are named after
    std::uintmax_t bytes = 0;
    char grid = 0;     // 'A' to 'E' in an event, 0 for a lone replay
};

// One unit of work: an event's grids in order A to E, or one lone replay.
// Its reports go into `folder` under the output folder.
struct NightJob {
    std::string folder;
    std::string raceNumber;  // empty for a lone replay
    std::vector<ReplayInput> replays;
    bool isEvent() const { return !raceNumber.empty(); }
    std::uintmax_t bytes() const;
};

struct NightPlan {
    std::vector<NightJob> jobs;       // events by race number, then lone replays by name
    std::vector<std::string> notes;   // how a replay was placed where it might surprise
};

// The replay files that `paths` name: a file as given, a folder searched for
// *.rpy (the extension in any case), below it too when `recursive`. Each file
// once, sorted by path; `errors` names the paths that do not exist.
struct FoundReplays {
    std::vector<ReplayInput> replays;
    std::vector<std::string> errors;
};
FoundReplays findReplays(const std::vector<std::string>& paths, bool recursive);

// Groups the replays. The grid letter of a replay whose event already has
// that grid (the same name in two folders) makes it a lone replay.
NightPlan planNight(std::vector<ReplayInput> replays);

}  // namespace zr::night

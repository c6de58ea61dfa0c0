#include "night_plan.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <system_error>

#include "analyses.h"

namespace zr::night {

namespace fs = std::filesystem;

namespace {

bool isReplayFile(const fs::directory_entry& entry) {
    std::error_code ec;
    if (!entry.is_regular_file(ec)) return false;
    std::string ext = entry.path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".rpy";
}

ReplayInput inputOf(const fs::path& path) {
    ReplayInput in;
    in.path = path.string();
    in.name = path.stem().string();
    std::error_code ec;
    in.bytes = fs::file_size(path, ec);
    if (ec) in.bytes = 0;
    return in;
}

// Race numbers in numeric order: they carry no leading zeros.
bool raceNumberBefore(const std::string& a, const std::string& b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

std::uintmax_t NightJob::bytes() const {
    std::uintmax_t sum = 0;
    for (const ReplayInput& r : replays) sum += r.bytes;
    return sum;
}

FoundReplays findReplays(const std::vector<std::string>& paths, bool recursive) {
    FoundReplays found;
    std::vector<fs::path> files;
    for (const std::string& given : paths) {
        const fs::path path(given);
        std::error_code ec;
        if (fs::is_directory(path, ec)) {
            // Unreadable folders below are passed over rather than ending the search.
            const auto options = fs::directory_options::skip_permission_denied;
            if (recursive) {
                for (fs::recursive_directory_iterator it(path, options, ec), end; !ec && it != end; it.increment(ec))
                    if (isReplayFile(*it)) files.push_back(it->path());
            } else {
                for (fs::directory_iterator it(path, options, ec), end; !ec && it != end; it.increment(ec))
                    if (isReplayFile(*it)) files.push_back(it->path());
            }
            if (ec) found.errors.push_back(given + ": the folder cannot be read (" + ec.message() + ")");
        } else if (fs::exists(path, ec)) {
            files.push_back(path);
        } else {
            found.errors.push_back(given + ": no such file or folder");
        }
    }
    // The same file named twice (a folder and a file in it) is taken once.
    std::set<fs::path> seen;
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        std::error_code ec;
        const fs::path key = fs::weakly_canonical(file, ec);
        if (seen.insert(ec ? file : key).second) found.replays.push_back(inputOf(file));
    }
    return found;
}

NightPlan planNight(std::vector<ReplayInput> replays) {
    NightPlan plan;
    std::stable_sort(replays.begin(), replays.end(),
                     [](const ReplayInput& a, const ReplayInput& b) { return a.name < b.name; });
    std::map<std::string, NightJob, decltype(&raceNumberBefore)> events(&raceNumberBefore);
    std::vector<NightJob> lone;
    for (ReplayInput& replay : replays) {
        const std::string race = raceNumberOfName(replay.name);
        const int grid = gridOfName(replay.name);
        if (!race.empty() && grid > 0) {
            NightJob& event = events[race];
            const char letter = static_cast<char>('A' + grid - 1);
            const bool taken = std::any_of(event.replays.begin(), event.replays.end(),
                                           [&](const ReplayInput& r) { return r.grid == letter; });
            if (!taken) {
                event.raceNumber = race;
                replay.grid = letter;
                event.replays.push_back(replay);
                continue;
            }
            plan.notes.push_back(replay.path + ": event " + race + " has a grid " + letter +
                                 " already, so this replay is analysed on its own");
        }
        NightJob job;
        job.replays.push_back(replay);
        lone.push_back(std::move(job));
    }

    std::set<std::string> folders;  // compared without case, as Windows names them
    auto claim = [&](const std::string& wanted) {
        std::string folder = wanted;
        for (int n = 2; !folders.insert(lowered(folder)).second; ++n) folder = wanted + "_" + std::to_string(n);
        return folder;
    };
    for (auto& [race, event] : events) {
        std::sort(event.replays.begin(), event.replays.end(),
                  [](const ReplayInput& a, const ReplayInput& b) { return a.grid < b.grid; });
        event.folder = claim("event_" + race);
        plan.jobs.push_back(std::move(event));
    }
    for (NightJob& job : lone) {
        const std::string& name = job.replays.front().name;
        job.folder = claim(name.empty() ? "replay" : name);
        plan.jobs.push_back(std::move(job));
    }
    return plan;
}

}  // namespace zr::night

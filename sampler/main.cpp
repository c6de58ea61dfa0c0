// sampler: writes sample replays with their ground truth.
//
//   sampler samples FOLDER
//       the bundled samples: FOLDER/replay, FOLDER/tracks, timediff.ini, myname.ini
//   sampler race FOLDER NAME [CARS [LAPS [SEED [FPS [long]]]]]
//       one race of 3 to 20 cars (default 10 cars, 8 laps, seed 1, 36 fps, the short track)
//   sampler bench FOLDER [MEGABYTES [CARS [FPS]]]
//       the benchmark's race on the long track, about MEGABYTES (default 100) of
//       CARS cars (default 20) at FPS frames per second (36 or 60, default 36)
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "replay_file.h"
#include "sample_set.h"

namespace {

using namespace zr::sampler;

int usage() {
    std::fprintf(stderr,
                 "usage: sampler samples FOLDER\n"
                 "       sampler race FOLDER NAME [CARS [LAPS [SEED [FPS [long]]]]]\n"
                 "       sampler bench FOLDER [MEGABYTES [CARS [FPS]]]\n");
    return 2;
}

bool write(const ReplayPlan& plan, const std::string& folder) {
    SimulationResult r;
    std::uint64_t bytes = 0;
    std::string error;
    if (!writeReplayFiles(plan, folder, r, bytes, error)) {
        std::fprintf(stderr, "sampler: cannot write %s\n", error.c_str());
        return false;
    }
    std::printf("%s/replay/%s.rpy: %llu bytes\n", folder.c_str(), plan.name.c_str(),
                static_cast<unsigned long long>(bytes));
    if (r.nearMisses > 0)
        std::printf("  %d frames with cars as close as a contact needs, outside the planned ones:\n%s", r.nearMisses,
                    r.nearMissText.c_str());
    for (const std::string& u : r.unplayed) std::printf("  planned but not come about: %s\n", u.c_str());
    return true;
}

bool writeText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out);
}

int number(const std::vector<std::string>& args, std::size_t i, int fallback) {
    return i < args.size() ? std::atoi(args[i].c_str()) : fallback;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() < 2) return usage();
    const std::string& folder = args[1];
    if (args[0] == "samples") {
        for (const ReplayPlan& plan : bundledSamples())
            if (!write(plan, folder)) return 1;
        // The settings of exitwatch and dropwatch, and heatboard's user.
        if (!writeText(folder + "/timediff.ini", kSampleTimeDiff) || !writeText(folder + "/myname.ini", kSampleUserName)) {
            std::fprintf(stderr, "sampler: cannot write the settings in %s\n", folder.c_str());
            return 1;
        }
        return 0;
    }
    if (args[0] == "race" && args.size() >= 3) {
        ReplayPlan plan = randomRace(args[2], number(args, 3, 10), number(args, 4, 8),
                                     static_cast<std::uint64_t>(number(args, 5, 1)), number(args, 6, 36),
                                     args.size() > 7 && args[7] == "long");
        return write(plan, folder) ? 0 : 1;
    }
    if (args[0] == "bench")
        return write(benchmarkRace(number(args, 2, 100), number(args, 3, 20), number(args, 4, 36)), folder) ? 0 : 1;
    return usage();
}

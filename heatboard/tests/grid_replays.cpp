#include "grid_replays.h"

#include <algorithm>

namespace zr::test {

namespace {

constexpr int kFrameRate = 36;

// The car's position at `ms`: between two stamps it covers the track once;
// before its first stamp it approaches the line at its first lap's pace;
// after its last stamp it keeps its last pace and stops short of the line.
std::int32_t positionAt(const std::vector<std::uint32_t>& stamps, double ms) {
    const std::size_t n = stamps.size();
    auto pace = [&](std::size_t lap) { return static_cast<double>(stamps[lap] - stamps[lap - 1]); };
    double u;
    if (ms < stamps[0]) u = 1.0 - (stamps[0] - ms) / pace(1);
    else if (ms >= stamps[n - 1]) u = std::min((ms - stamps[n - 1]) / pace(n - 1), 0.999);
    else {
        std::size_t k = 1;
        while (stamps[k] <= ms) ++k;
        u = (ms - stamps[k - 1]) / pace(k);
    }
    u = std::max(u, 0.0);
    return static_cast<std::int32_t>(u * kGridTrack);
}

}  // namespace

LapRecordSpec flaggedLaps(std::int32_t slot, const std::vector<std::uint32_t>& stamps,
                          const std::vector<std::uint8_t>& flags) {
    LapRecordSpec r = lapRecord(slot, stamps);
    for (std::size_t i = 0; i < flags.size() && i < r.entries.size(); ++i) r.entries[i].flags = flags[i];
    return r;
}

std::vector<std::uint32_t> evenLaps(std::uint32_t start, int laps, std::uint32_t lapMs) {
    std::vector<std::uint32_t> stamps;
    for (int i = 0; i <= laps; ++i) stamps.push_back(start + static_cast<std::uint32_t>(i) * lapMs);
    return stamps;
}

ReplaySpec gridReplay(const std::vector<GridCar>& cars, std::uint32_t raceMs) {
    ReplaySpec recipe;
    recipe.frameRateByte = 36;
    recipe.reportTrackName = "hillring";
    recipe.modName = "GPMOD66";
    for (const GridCar& c : cars) {
        recipe.drivers.push_back(c.driver);
        if (!c.practice.empty()) recipe.practiceLaps.push_back(flaggedLaps(c.driver.slot, c.practice, c.practiceFlags));
        if (!c.race.empty()) {
            recipe.hasRaceBlock = true;
            recipe.raceLaps.push_back(flaggedLaps(c.driver.slot, c.race, c.raceFlags));
        }
    }
    if (!recipe.hasRaceBlock) return recipe;
    recipe.records.push_back(sessionRecord(0));
    recipe.records.push_back(sessionRecord(1));
    const int frames = static_cast<int>(static_cast<std::int64_t>(raceMs) * kFrameRate / 1000);
    for (int f = 0; f <= frames; ++f) {
        const double ms = f * 1000.0 / kFrameRate;
        std::vector<SampleSpec> samples;
        for (const GridCar& c : cars)
            if (c.race.size() >= 2) samples.push_back({c.driver.slot, positionAt(c.race, ms)});
        recipe.records.push_back(frameRecord(samples));
    }
    return recipe;
}

}  // namespace zr::test

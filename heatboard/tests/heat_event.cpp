#include "heat_event.h"

namespace zr::test {

namespace {

// Cumulative stamps from a start stamp and lap times.
std::vector<std::uint32_t> laps(std::uint32_t start, const std::vector<std::uint32_t>& times) {
    std::vector<std::uint32_t> stamps{start};
    for (std::uint32_t t : times) stamps.push_back(stamps.back() + t);
    return stamps;
}

constexpr std::uint8_t kVoid = 16;
constexpr std::uint8_t kOff = 64;

}  // namespace

ReplaySpec gridReplay(const std::vector<GridCar>& cars, std::uint32_t raceMs) {
    ReplaySpec recipe;
    recipe.reportTrackName = "hillring";
    recipe.modName = "GPMOD66";
    std::vector<CarRun> runs;
    for (const GridCar& c : cars) {
        recipe.drivers.push_back(c.driver);
        if (!c.practice.empty())
            recipe.practiceLaps.push_back(flaggedLapRecord(c.driver.slot, c.practice, c.practiceFlags));
        if (!c.race.empty()) {
            recipe.hasRaceBlock = true;
            recipe.raceLaps.push_back(flaggedLapRecord(c.driver.slot, c.race, c.raceFlags));
        }
        if (c.race.size() >= 2) runs.push_back({c.driver.slot, c.race, 0.0});
    }
    const int frames = static_cast<int>(static_cast<std::int64_t>(raceMs) * 36 / 1000);
    if (recipe.hasRaceBlock && raceMs > 0)
        recipe.records = serverRaceStream(tracesOf(runs, kGridTrack), 36, frames + 1, false);
    return recipe;
}

ReplaySpec gridAReplay() {
    return gridReplay({{{"Hank", "Host", 0, 0}, laps(1000, {36000, 34500}), {}, evenLaps(5400, 5, 34000), {}},
                       {{"Anna", "Arnold", 1, 1}, laps(1000, {35000, 33100, 90000, 33900}), {0, 0, kOff, kVoid, 0},
                        laps(5000, {32000, 33000, 33000, 33500, 33500}), {}},
                       {{"Bert", "Brandt", 2, 2}, laps(2000, {34800, 34700}), {}, evenLaps(5800, 3, 34000), {}},
                       {{"Carl", "<Cramer>", 3, 7}, laps(3000, {41000}), {}, evenLaps(6200, 4, 42250), {}}},
                      178000);
}

ReplaySpec gridBReplay() {
    ReplaySpec recipe = gridReplay(
        {{{"Dora", "Dietz", 1, 3}, laps(800, {34200, 32950}), {}, laps(12000, {33000, 32900, 32900, 32900, 32800}), {}},
         {{"Emil", "Engel", 2, 4}, laps(900, {33050, 34000}), {0, kOff, 0}, evenLaps(12300, 5, 33500), {}},
         {{"Fritz", "& Co", 5, 5}, laps(950, {35500}), {}, laps(12600, {33800, 31500, 33800, 33800, 33800}),
          {0, 0, kOff, 0, 0, 0}}},
        182000);
    recipe.modName = "GPMOD67";  // the page shows the last grid's header
    return recipe;
}

void writeHeatEvent(RunDir& dir) {
    dir.writeConfig();
    dir.writeFile("myname.ini", "Emil Engel\r\n");
    dir.writeReplay("heatA", buildReplay(gridAReplay()));
    dir.writeReplay("heatB", buildReplay(gridBReplay()));
}

std::string heatEventInput(const std::string& choice) { return "heatA\nheatB\n0\n" + choice + "\n"; }

}  // namespace zr::test

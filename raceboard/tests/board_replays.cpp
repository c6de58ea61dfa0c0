#include "board_replays.h"

namespace zr::test {

namespace {
constexpr std::uint8_t kOffTrack = 64, kVoid = 16;
}  // namespace

ReplaySpec serverRaceReplay() {
    ReplaySpec recipe;
    recipe.reportTrackName = "Smplring";
    recipe.modName = "F1 \xB4" "67";
    recipe.drivers = {{"Race", "Server", 0, 0},       {"Anna", "Arnold", 1, 1}, {"Bert", "M\xFCller & <Co>", 2, 4},
                    {"Carl", "Cramer", 3, 3},       {"Dora", "Dietz", 4, 9},  {"Emil", "Engel", 5, 5}};
    recipe.practiceLaps = {flaggedLapRecord(1, {2000, 63000, 121500, 182000}, {0, 0, kOffTrack, 0}),
                         lapRecord(2, {1000, 60500, 121000}), lapRecord(3, {3000, 65000}),
                         lapRecord(4, {1500, 64000, 125000})};
    recipe.hasRaceBlock = true;
    std::vector<CarRun> cars = {{1, {1200, 41200, 80700, 120400, 160500, 200300}, 0.2},
                                {2, {1000, 40800, 80000, 119800, 159900, 199500}, 0.4},
                                {3, {1400, 42000, 83000}, 0.3},
                                {4, {1600, 42600, 83800, 125000, 166500}, 0.5},
                                {5, {1800, 43000, 84300, 125700, 167000, 208500}, 0.1}};
    for (const CarRun& car : cars)
        recipe.raceLaps.push_back(car.slot == 2 ? flaggedLapRecord(2, car.stamps, {0, 0, kOffTrack, 0, 0, 0})
                                              : lapRecord(car.slot, car.stamps));
    recipe.records = serverRaceStream(tracesOf(cars, kBoardTrack), 36, 36 * 211);
    return recipe;
}

ReplaySpec participantRaceReplay() {
    ReplaySpec recipe;
    recipe.frameRateByte = 60;
    recipe.localDriverSlot = 2;
    recipe.reportTrackName = "Smplring";
    recipe.modName = "F1-67";
    recipe.drivers = {{"Anna", "Arnold", 1, 1}, {"Bert", "Brandt", 2, 2}, {"Carl", "Cramer", 3, 3}};
    CarRun own{2, {3000, 34000, 65500, 96000, 127500, 158000, 181000, 212000, 243500, 274000, 305000}, 0.3};
    recipe.practiceLaps = {flaggedLapRecord(2, {3000, 34000, 65500, 96000, 127500, 158000}, {0, 0, 0, kVoid, kOffTrack, 0}),
                         lapRecord(1, {5000, 36500, 67800}), lapRecord(3, {4000, 36000})};
    recipe.hasRaceBlock = true;
    recipe.raceLaps = {lapRecord(1, {181500, 213000, 244000, 276000, 308000}),
                     flaggedLapRecord(2, {181000, 212000, 243500, 274000, 305000}, {0, 0, kOffTrack, 0, 0}),
                     lapRecord(3, {181800, 214000, 246500})};
    recipe.records = participantStream(traceOf(own, kBoardTrack), {}, 60, 60 * 312, 60 * 180);
    return recipe;
}

ReplaySpec practiceOnlyReplay() {
    ReplaySpec recipe;
    recipe.reportTrackName = "Smplring";
    recipe.modName = "F1-67";
    recipe.drivers = {{"Race", "Server", 0, 0}, {"Anna", "Arnold", 1, 1}, {"Bert", "Brandt", 2, 2}};
    recipe.practiceLaps = {lapRecord(1, {2000, 63000, 121500}), lapRecord(2, {1000, 60500})};
    std::vector<CarRun> cars = {{1, {2000, 63000, 121500}, 0.2}, {2, {1000, 60500}, 0.2}};
    recipe.records = serverRaceStream(tracesOf(cars, kBoardTrack), 36, 36 * 20);
    return recipe;
}

}  // namespace zr::test

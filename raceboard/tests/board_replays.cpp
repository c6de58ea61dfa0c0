#include "board_replays.h"

#include <algorithm>
#include <cmath>

namespace zr::test {

LapRecordSpec flaggedLapRecord(std::int32_t slot, const std::vector<std::uint32_t>& stamps,
                               const std::vector<std::uint8_t>& flags) {
    LapRecordSpec r = lapRecord(slot, stamps);
    for (std::size_t i = 0; i < r.entries.size() && i < flags.size(); ++i) r.entries[i].flags = flags[i];
    return r;
}

std::int32_t runPosition(const CarRun& run, double ms, std::int32_t trackLength) {
    const std::vector<std::uint32_t>& st = run.stamps;
    auto shape = [&](double u) {
        const double tau = 6.283185307179586;
        return trackLength * (u - run.wobble * std::sin(tau * u) / tau);
    };
    if (st.size() < 2) return trackLength / 2;
    if (ms < st[0]) {
        double u = 1.0 - (st[0] - ms) / (st[1] - st[0]);
        return static_cast<std::int32_t>(shape(std::max(u, 0.5)));
    }
    for (std::size_t i = 0; i + 1 < st.size(); ++i)
        if (ms < st[i + 1]) return static_cast<std::int32_t>(shape((ms - st[i]) / (st[i + 1] - st[i])));
    const double lap = st[st.size() - 1] - st[st.size() - 2];
    return static_cast<std::int32_t>(shape(std::min((ms - st.back()) / lap, 0.999)));
}

CarTrace traceOf(const CarRun& run, std::int32_t trackLength) {
    return {run.slot, [run, trackLength](double ms) { return runPosition(run, ms, trackLength); }};
}

namespace {

std::vector<SampleSpec> samplesAt(const std::vector<CarTrace>& cars, double ms) {
    std::vector<SampleSpec> samples;
    for (const CarTrace& car : cars) samples.push_back({car.slot, car.positionAt(ms)});
    return samples;
}

std::vector<CarTrace> tracesOf(const std::vector<CarRun>& runs, std::int32_t trackLength) {
    std::vector<CarTrace> traces;
    for (const CarRun& run : runs) traces.push_back(traceOf(run, trackLength));
    return traces;
}

}  // namespace

std::vector<RecordSpec> serverRaceStream(const std::vector<CarTrace>& cars, int frameRate, int frames) {
    std::vector<RecordSpec> records;
    records.push_back(sessionRecord(0, samplesAt(cars, 0)));
    records.push_back(sessionRecord(1, samplesAt(cars, 0)));
    for (int j = 0; j < frames; ++j) records.push_back(frameRecord(samplesAt(cars, j * 1000.0 / frameRate)));
    return records;
}

std::vector<RecordSpec> serverRaceStream(const std::vector<CarRun>& cars, int frameRate, std::int32_t trackLength,
                                         int frames) {
    return serverRaceStream(tracesOf(cars, trackLength), frameRate, frames);
}

std::vector<RecordSpec> participantStream(const CarTrace& own, const std::vector<CarTrace>& others, int frameRate,
                                          int frames, int raceStartFrame) {
    std::vector<RecordSpec> records;
    for (int j = 0; j < frames; ++j) {
        const double ms = j * 1000.0 / frameRate;
        const std::int32_t clock = static_cast<std::int32_t>(ms / 10) * 256 + (j >= raceStartFrame ? 1 : 0);
        RecordSpec r;
        r.blocks.push_back(sessionBlock(clock));
        r.blocks.push_back(fillerBlock(3, 6));
        r.blocks.push_back(ownCarBlock(own.positionAt(ms)));
        r.blocks.push_back(sampleBlock(samplesAt(others, ms)));
        records.push_back(r);
    }
    return records;
}

std::vector<RecordSpec> participantStream(const CarRun& own, const std::vector<CarRun>& others, int frameRate,
                                          std::int32_t trackLength, int frames, int raceStartFrame) {
    return participantStream(traceOf(own, trackLength), tracesOf(others, trackLength), frameRate, frames,
                             raceStartFrame);
}

}  // namespace zr::test

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
    recipe.records = serverRaceStream(cars, 36, kBoardTrack, 36 * 211);
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
    recipe.records = participantStream(own, {}, 60, kBoardTrack, 60 * 312, 60 * 180);
    return recipe;
}

ReplaySpec practiceOnlyReplay() {
    ReplaySpec recipe;
    recipe.reportTrackName = "Smplring";
    recipe.modName = "F1-67";
    recipe.drivers = {{"Race", "Server", 0, 0}, {"Anna", "Arnold", 1, 1}, {"Bert", "Brandt", 2, 2}};
    recipe.practiceLaps = {lapRecord(1, {2000, 63000, 121500}), lapRecord(2, {1000, 60500})};
    std::vector<CarRun> cars = {{1, {2000, 63000, 121500}, 0.2}, {2, {1000, 60500}, 0.2}};
    recipe.records = serverRaceStream(cars, 36, kBoardTrack, 36 * 20);
    return recipe;
}

}  // namespace zr::test

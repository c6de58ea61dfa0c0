#include "sample_sessions.h"

#include "scripted_frames.h"

namespace zr::test {

namespace {

// The sample ring as its track.ini describes it: 2 km long, the pit lane from
// 1850 m across the line to 120 m, the stalls from 1900 m to 1960 m.
constexpr int kRate = 36;
constexpr std::int32_t kLap = 4000000;
constexpr std::int32_t kSpeed = 4000;        // 2 m a frame: a lap in 1000 frames
constexpr std::int32_t kStall = 2000 * 1930;
constexpr int kForever = 1 << 30;

const std::vector<DriverSpec> kDrivers = {
    {"Race", "Server", 0, 0}, {"Anna", "Arnold", 1, 1}, {"Bert", "Brandt", 2, 2}, {"Carl", "Cramer", 3, 3}};

// A car that stands at its stall for `frames` frames, `laps` laps after it
// stood at `grid` in frame 1.
Span restAfter(int laps, std::int32_t grid, int frames) {
    int from = 1 + static_cast<int>((std::int64_t{laps} * kLap + kStall - grid) / kSpeed);
    return Span{from, from + frames};
}

// Six laps; Anna refuels and changes tyres, Bert refuels, Carl has his car repaired.
ReplaySpec pitStops() {
    ReplaySpec spec;
    spec.trackName = "smplring";
    spec.reportTrackName = "SmplRing";
    spec.drivers = kDrivers;
    spec.practiceLaps = {lapRecord(1, {0, 29000}), lapRecord(2, {0, 29500}), lapRecord(3, {0, 30000})};
    spec.hasRaceBlock = true;

    struct Car {
        int slot;
        std::int32_t grid;
        Span rest;
        Span refuel;
        int gear;
    };
    const Car cars[] = {
        {1, 40000, restAfter(1, 40000, 16 * kRate), {-1, -1}, 3},
        {2, 20000, restAfter(2, 20000, 6 * kRate), {-1, -1}, 0},
        {3, 0, restAfter(3, 0, 20 * kRate), {-1, -1}, 0},
    };
    std::vector<CarScript> scripts;
    for (Car car : cars) {
        if (car.slot != 3) car.refuel = Span{car.rest.from, car.rest.from + (car.rest.to - car.rest.from) / 2};
        LapDrive drive{{car.rest}, kStall, kSpeed, kLap};
        spec.raceLaps.push_back(lapRecord(car.slot, drive.lapStamps(1, 6, kRate)));
        scripts.push_back([car, drive](int g) -> std::optional<SampleSpec> {
            std::uint8_t flags = car.refuel.holds(g) ? 0x80 : 0;
            return SampleSpec{car.slot, drive.position(g), flags, 0, 0, car.gear};
        });
    }
    spec.records.push_back(sessionRecord(0));
    spec.records.push_back(sessionRecord(1));  // the start: frame 1
    for (RecordSpec& r : scriptedFrames(scripts, 2, 7000)) spec.records.push_back(r);
    return spec;
}

// A qualifying session of 150 s. Bert escapes to the pits from his stall, which
// is allowed; Carl stops on the track and escapes from there.
ReplaySpec qualifying() {
    ReplaySpec spec;
    spec.trackName = "smplring";
    spec.reportTrackName = "SmplRing";
    spec.sessionLength = 150.0f;
    spec.drivers = kDrivers;
    spec.practiceLaps = {lapRecord(1, {0, 28000, 56000}), lapRecord(2, {0, 28500}), lapRecord(3, {0, 29000})};

    struct Car {
        int slot;
        LapDrive drive;
        Span absent;
    };
    const Car cars[] = {
        {1, LapDrive{{{kForever, kForever}}, 0, kSpeed, kLap}, {-1, -1}},
        // Stands at his stall from 40 s to 50 s, then is gone for 30 s.
        {2, LapDrive{{{40 * kRate, kForever}}, kStall, kSpeed, kLap}, {50 * kRate, 80 * kRate}},
        // Stops at 800 m at 70 s and is gone from 72 s to 97 s; then stands at his stall.
        {3, LapDrive{{{70 * kRate, kForever}}, 2000 * 800, kSpeed, kLap}, {72 * kRate, 97 * kRate}},
    };
    std::vector<CarScript> scripts;
    for (const Car& car : cars) {
        scripts.push_back([car](int u) -> std::optional<SampleSpec> {
            if (car.absent.holds(u)) return std::nullopt;
            std::int32_t p = car.slot == 3 && u > car.absent.to ? kStall : car.drive.position(u);
            return SampleSpec{car.slot, p, 0, 0, 0, 3};
        });
    }
    spec.records.push_back(sessionRecord(0));
    for (RecordSpec& r : scriptedFrames(scripts, 0, 150 * kRate)) spec.records.push_back(r);
    return spec;
}

}  // namespace

std::vector<std::pair<std::string, ReplaySpec>> sessionSamples() {
    return {{"sample_pits", pitStops()}, {"sample_quali", qualifying()}};
}

}  // namespace zr::test

#include "boxlog.h"

#include <gtest/gtest.h>

#include <cstring>

#include "analysed_run.h"
#include "golden.h"
#include "listing_text.h"
#include "replay_builder.h"
#include "scripted_frames.h"

namespace zr {
namespace {

using namespace zr::test;

constexpr int kRate = 36;
constexpr std::int32_t kLap = 2000000;    // a 1000 m lap
constexpr std::int32_t kSpeed = 2000;     // 1 m a frame
constexpr std::int32_t kStall = 1200000;  // 600 m: between the pit-lane start (500 m) and end (700 m)
constexpr int kForever = 1 << 30;

// A car that drives 1 m a frame and stands during its rests, at the stall in
// the first one; the refuel bit is set in the `refuel` frames.
struct CarPlan {
    int slot = 0;
    std::vector<Span> rests;
    std::vector<Span> refuel = {};
    std::function<int(int)> gear = [](int) { return 0; };

    CarScript script() const {
        CarPlan plan = *this;
        LapDrive drive{rests, kStall, kSpeed, kLap};
        return [plan, drive](int g) -> std::optional<SampleSpec> {
            std::uint8_t flags = anyHolds(plan.refuel, g) ? 0x80 : 0;
            return SampleSpec{plan.slot, drive.position(g), flags, 0, 0, plan.gear(g)};
        };
    }
};

// A race at 36 frames per second whose leader finishes at 120 s (frame 4320).
// Frames up to 1368 (38 s) are not judged. Each stop's pit-lane entry lies 98
// frames before it comes to rest, the exit 98 frames after it drives off.
ReplaySpec raceWithStops() {
    ReplaySpec recipe;
    recipe.trackName = "pits";
    recipe.drivers = {{"Race", "Server", 0, 0}, {"Anna", "Arnold", 1, 0}, {"Bert", "Brandt", 2, 0},
                    {"Carl", "Cramer", 3, 0}, {"Dora", "Dietz", 4, 0},  {"Emil", "Engel", 5, 0}};
    recipe.practiceLaps = {lapRecord(1, {0, 60000})};
    recipe.hasRaceBlock = true;
    recipe.raceLaps = {lapRecord(1, {0, 40000, 80000, 120000}), lapRecord(2, {0, 41000, 82000})};
    std::vector<CarPlan> cars = {
        // Two refuel stops of 2.5 s, one lap apart; the first enters the pit lane in
        // frame 1369, the first frame judged.
        {0, {{1467, 1557}, {2557, 2647}}, {{1467, 1557}, {2557, 2647}}},
        // 30 s at rest without refuelling: marked at 14 s in neutral, at 28 s in gear.
        {1, {{2000, 3080}}, {}, [](int g) { return g <= 2600 ? 0 : 1; }},
        // 5 s refuelling; the bit is already set while it drives down the pit lane.
        {2, {{2100, 2280}}, {{2010, 2280}}},
        // 20 s refuelling in gear.
        {3, {{2200, 2920}}, {{2200, 2920}}, [](int) { return 2; }},
        // Comes to rest and stays until the finish.
        {4, {{2300, kForever}}},
        // Enters the pit lane by frame 1368, within the first 38 s, and refuels there;
        // later refuels beyond the pit lane and drives through it with the refuel bit.
        {5, {{1466, 1666}, {1916, 2636}}, {{1466, 1666}, {1916, 2636}, {3270, 3400}}},
        // Slots without a row.
        {31, {{2300, kForever}}},
        {63, {{2300, kForever}}},
    };
    std::vector<CarScript> scripts;
    for (const CarPlan& c : cars) scripts.push_back(c.script());
    recipe.records.push_back(sessionRecord(1));  // the first stream record starts the race: frame 1
    for (RecordSpec& r : scriptedFrames(scripts, 2, 4400)) recipe.records.push_back(r);
    return recipe;
}

Analysed<PitStopFindings> analysed(const ReplaySpec& recipe) {
    return analyse(findPitStops, buildReplay(recipe), "pits", trackIniText(500.0, 700.0, 560, 640));
}

// The console shows a line per 14 seconds at rest, with the gear when that
// opens the stop.
TEST(Boxlog, ListsEveryStopAndTheRanking) {
    Analysed<PitStopFindings> a = analysed(raceWithStops());
    expectGolden(ZR_GOLDEN_DIR "/stops_console.txt", a.consoleAfter(kGermanProgressText), LineEnds::lf);
    expectGolden(ZR_GOLDEN_DIR "/stops.txt", pitStopReport(a.findings), LineEnds::lf);
}

TEST(Boxlog, TheWalkEndsAtTheLeadersFinishOrTheEndOfTheFile) {
    ReplaySpec early = raceWithStops();
    early.raceLaps = {lapRecord(1, {0, 30000})};  // the leader finishes within the first 38 s
    EXPECT_TRUE(analysed(early).findings.log.stops.empty());
    ReplaySpec noLaps = raceWithStops();
    noLaps.hasRaceBlock = false;
    noLaps.practiceLaps = {LapRecordSpec{1, {}, {}}};  // a record without entries
    EXPECT_NE(analysed(noLaps).console.find("   2:00\tD.Dietz\n"), std::string::npos);  // frame 4320 is walked
}

TEST(Boxlog, ListingTexts) {
    PitStopFindings findings;
    std::memcpy(findings.drivers.driverName[3], "Carl\0\0\0\0\0\0\0\0\0\0\0\0Cramer", 22);
    std::memcpy(findings.drivers.driverName[7], "Gina\0\0\0\0\0\0\0\0\0\0\0\0Grimm", 21);
    PitLog& log = findings.log;
    log.stops = {{4500, 3, 911, 1, 0, 1}, {135000, 7, 3600, 0, 0, 0}, {100, 7, 36, 1, 1, 1}};
    log.stopsPerCar[3] = 1;
    log.stopsPerCar[7] = 2;
    log.stopsPerCar[9] = 2;
    EXPECT_EQ(pitStopReport(findings),
              "  PITSTOP LISTING\n\n"
              "   2:05\t 25.3s\tC.Cramer\tRepair/Refuel\n"
              "1:02:30\t100.0s\tG.Grimm\t\t\n"
              "   0:02\t 1.0s\tG.Grimm\t\tRepair/Tire change/Refuel\n"
              "\n\n"
              "  2 * G.Grimm\n"
              "  2 * .\n"
              "  1 * C.Cramer\n");
}

}  // namespace
}  // namespace zr

#include "resetlog.h"

#include <gtest/gtest.h>

#include <cstring>

#include "golden.h"
#include "reset_race.h"

namespace zr {
namespace {

using namespace zr::test;

// Times past the hour, an empty name, the warning of a teleport, and the
// ranking by count (ties in slot order).
TEST(ResetListing, EventsThenTheRankingByCount) {
    ResetFindings findings;
    std::memcpy(findings.drivers.driverName[0], "Zoe\0", 4);
    std::memcpy(findings.drivers.driverName[0] + 16, "Zimmer", 6);
    std::memcpy(findings.drivers.driverName[2], "Bert", 4);
    std::memcpy(findings.drivers.driverName[2] + 16, "Brandt", 6);
    ResetScan& scan = findings.scan;
    scan.events = {{4500, 2, kInPits, 1}, {135000, 0, kNotInPits, 0}, {135100, 5, kNoVerdict, 0},
                   {140000, 0, kInPits, 1}, {150000, 5, kNotInPits, 1}};
    scan.resetsPerCar[0] = scan.resetsPerCar[5] = 2;
    scan.resetsPerCar[2] = 1;
    expectGolden(ZR_GOLDEN_DIR "/hand_made_findings.txt", resetListing(findings), LineEnds::lf);
}

// Car 3's damage goes down at frames 20 and 410 while it stands at 100000;
// car 1 jumps sideways at frame 150 standing at 108000 (slot 63 has no row:
// its same jump is not looked at); car 2 turns at frame 250 standing at 183200.
ResetRace raceWithResets() {
    ResetRace race = teleportRace();
    race.put(100, 149, car(63, 50000, 1));
    race.put(150, 600, car(63, 50000, 1, 500));
    race.put(1, 199, car(2, 5000, 3), 900);
    race.put(200, 249, car(2, 183200, 1));
    race.put(250, 600, car(2, 183200, 1, 0, 40));
    race.put(1, 600, car(3, 100000, 2));
    race.addBlock(10, damageBlock(3, 0x03, 20));
    race.addBlock(20, damageBlock(3, 0, 0));
    race.addBlock(400, damageBlock(3, 0, 5));
    race.addBlock(410, damageBlock(3, 0, 0));
    return race;
}

// Stalls counting down the lap put the pits between them; counting up, the
// pits lie round the line. Without a verdict (no file, or equal stalls) the
// listing says so.
TEST(Resetlog, TheVerdictsFollowTheStalls) {
    const std::pair<const char*, StallBounds> rows[] = {
        {"stalls_down", {60, 40}}, {"stalls_up", {40, 60}}, {"no_track_file", {}}, {"no_track_file", {50, 50}}};
    for (const auto& [name, stalls] : rows)
        expectGolden(ZR_GOLDEN_DIR "/" + std::string(name) + ".txt", resetsText(raceWithResets().build(), stalls),
                     LineEnds::lf);
}

}  // namespace
}  // namespace zr

#include "resetlog.h"

#include <gtest/gtest.h>

#include "golden.h"
#include "reset_race.h"

namespace zr {
namespace {

using namespace zr::test;

// Car 3's damage goes down at frames 20 and 410 while it stands at 100000;
// car 1 jumps sideways at frame 150 standing at 108000 (slot 63 has no row:
// its same jump is not looked at); car 2 turns at frame 250 standing at
// 183200; the damage of slot 5, which has no driver, goes down at frame 310.
FrameRace raceWithResets() {
    FrameRace race = teleportRace();
    race.put(100, 149, car(63, 50000, 1));
    race.put(150, 600, car(63, 50000, 1, 500));
    race.put(1, 199, car(2, 5000, 3), 900);
    race.put(200, 249, car(2, 183200, 1));
    race.put(250, 600, car(2, 183200, 1, 0, 40));
    race.put(1, 600, car(3, 100000, 2));
    race.addBlock(10, damageBlock(3, 0x03, 20));
    race.addBlock(20, damageBlock(3, 0, 0));
    race.addBlock(300, damageBlock(5, 0, 5));
    race.addBlock(310, damageBlock(5, 0, 0));
    race.addBlock(400, damageBlock(3, 0, 5));
    race.addBlock(410, damageBlock(3, 0, 0));
    return race;
}

// Stalls counting down the lap put the pits between them; counting up, the
// pits lie round the line. Without a verdict (no file, or equal stalls) the
// listing says so. Then the ranking by count, ties in slot order.
TEST(Resetlog, TheVerdictsFollowTheStalls) {
    const std::pair<const char*, StallBounds> rows[] = {
        {"stalls_down", {60, 40}}, {"stalls_up", {40, 60}}, {"no_track_file", {}}, {"no_track_file", {50, 50}}};
    for (const auto& [name, stalls] : rows)
        expectGolden(ZR_GOLDEN_DIR "/" + std::string(name) + ".txt", resetsText(raceWithResets().replay(), stalls),
                     LineEnds::lf);
}

}  // namespace
}  // namespace zr

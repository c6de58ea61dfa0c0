#include "resetlog.h"

#include <gtest/gtest.h>

#include <cstring>

#include "golden.h"
#include "listing_text.h"
#include "reset_race.h"

namespace zr {
namespace {

using namespace zr::test;

TEST(ResetListing, EventsThenTheRankingByCount) {
    DriverTable drivers;
    std::memcpy(drivers.driverName[0], "Zoe\0", 4);
    std::memcpy(drivers.driverName[0] + 16, "Zimmer", 6);
    std::memcpy(drivers.driverName[2], "Bert", 4);
    std::memcpy(drivers.driverName[2] + 16, "Brandt", 6);
    ResetFindings findings;
    findings.drivers = drivers;
    ResetScan& scan = findings.scan;
    scan.events = {{4500, 2, kInPits, 1}, {135000, 0, kNotInPits, 0}, {135100, 5, kNoVerdict, 0},
                   {140000, 0, kInPits, 1}, {150000, 5, kNotInPits, 1}};
    scan.resetsPerCar[0] = 2;
    scan.resetsPerCar[2] = 1;
    scan.resetsPerCar[5] = 2;
    EXPECT_EQ(resetListing(findings),
              "  SHIFT R-LISTE\n\n"
              "  1\t   2:05\t B.Brandt   (in pits)\n"
              "  2\t1:02:30\t Z.Zimmer   (not in pits) ATTENTION: unsure if ShiftR correct\n"
              "  3\t1:02:32\t .   (pits ?\?\?) ATTENTION: unsure if ShiftR correct\n"
              "  4\t1:04:48\t Z.Zimmer   (in pits)\n"
              "  5\t1:09:26\t .   (not in pits)\n"
              "\n\n  \xDC" "BERSICHT\n\n"
              "  2 * Z.Zimmer\n"
              "  2 * .\n"
              "  1 * B.Brandt\n");
}

// Car 3's damage goes down at frames 20 and 410 while it stands at 100000;
// car 1 jumps sideways at frame 150 standing at 108000; car 2 turns at
// frame 250 standing at 183200.
ResetRace raceWithResets() {
    ResetRace race = teleportRace();
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
// pits lie round the line. Without a verdict the listing says so.
TEST(Resetlog, TheVerdictsFollowTheStalls) {
    const std::pair<const char*, StallBounds> rows[] = {{"stalls_down", {60, 40}}, {"stalls_up", {40, 60}},
                                                        {"no_track_file", {}}};
    for (const auto& [name, stalls] : rows) {
        Analysed<ResetFindings> a = resetsOf(raceWithResets().build(), stalls);
        expectGolden(ZR_GOLDEN_DIR "/" + std::string(name) + "_console.txt", a.console, LineEnds::lf);
        expectGolden(ZR_GOLDEN_DIR "/" + std::string(name) + ".txt", resetListing(a.findings), LineEnds::lf);
    }
    Analysed<ResetFindings> equal = resetsOf(raceWithResets().build(), {50, 50});
    Analysed<ResetFindings> none = resetsOf(raceWithResets().build());
    EXPECT_EQ(resetListing(equal.findings), resetListing(none.findings));
    EXPECT_EQ(equal.console, none.console);
}

}  // namespace
}  // namespace zr

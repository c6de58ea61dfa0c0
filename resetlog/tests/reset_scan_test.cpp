#include "reset_scan.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "chain_tables.h"
#include "reset_race.h"

namespace zr {
namespace {

using namespace zr::test;

struct Seen {
    int frame;
    int slot;
    int verdict;
    int repair;
    bool operator==(const Seen&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Seen& s) {
    return o << "{" << s.frame << ", " << s.slot << ", " << s.verdict << ", " << s.repair << "}";
}

std::vector<Seen> seen(const ResetScan& scan) {
    std::vector<Seen> out;
    for (const ResetEvent& e : scan.events) out.push_back({e.frame, e.carSlot, e.pitsVerdict, e.repairSeen});
    return out;
}

TEST(ResetVerdict, StallOrderDecidesWhichSideIsThePits) {
    StallBounds descending{60, 40};  // the stall area runs from 80000 to 120000
    EXPECT_EQ(pitsVerdictAt(descending, 80000), kNotInPits);
    EXPECT_EQ(pitsVerdictAt(descending, 80001), kInPits);
    EXPECT_EQ(pitsVerdictAt(descending, 119999), kInPits);
    EXPECT_EQ(pitsVerdictAt(descending, 120000), kNotInPits);

    StallBounds ascending{40, 60};  // the stall area wraps round the start line
    EXPECT_EQ(pitsVerdictAt(ascending, 80000), kNotInPits);
    EXPECT_EQ(pitsVerdictAt(ascending, 120000), kNotInPits);
    EXPECT_EQ(pitsVerdictAt(ascending, 79999), kInPits);
    EXPECT_EQ(pitsVerdictAt(ascending, 120001), kInPits);

    EXPECT_EQ(pitsVerdictAt(StallBounds{}, 0), kNoVerdict);
    EXPECT_EQ(pitsVerdictAt(StallBounds{50, 50}, 100000), kNoVerdict);
    // Distances up to the largest 32-bit value do not overflow.
    EXPECT_EQ(pitsVerdictAt(StallBounds{2147483647, 0}, 67108863), kInPits);
}

TEST(ResetVerdict, HeadingChangeTakesTheShortWayRound) {
    EXPECT_EQ(headingChange(40, 0), 40);
    EXPECT_EQ(headingChange(0, 40), -40);
    EXPECT_EQ(headingChange(10, 500), 22);
    EXPECT_EQ(headingChange(500, 10), 22);  // 512 - 490: the sign is not kept
    EXPECT_EQ(headingChange(256, 0), 256);
    EXPECT_EQ(headingChange(0, 300), 212);
}

TEST(ResetVerdict, EventNumbersAreRightAligned) {
    EXPECT_EQ(eventNumberColumn(9), "  9");
    EXPECT_EQ(eventNumberColumn(10), " 10");
    EXPECT_EQ(eventNumberColumn(99), " 99");
    EXPECT_EQ(eventNumberColumn(100), "100");
    EXPECT_EQ(eventNumberColumn(1000), "1000");
}

TEST(ResetTeleport, SidewaysJumpOfAStandingCarInGearOne) {
    std::string console;
    ResetScan scan = scanOf(teleportRace().build(), StallBounds{}, &console);
    EXPECT_EQ(seen(scan), (std::vector<Seen>{{150, 1, kNoVerdict, 0}}));
    EXPECT_EQ(scan.resetsPerCar[1], 1);
    EXPECT_EQ(console, "  1     0:15\tA.Arnold  0/500    0/0   0  0  (pits ?\?\?)\n");
}

TEST(ResetTeleport, EachTestCanRefuseIt) {
    struct Case {
        const char* what;
        std::function<void(ResetRace&)> change;
        std::size_t events;
    };
    const std::vector<Case> cases = {
        {"gear 2", [](ResetRace& r) { r.put(150, 150, car(1, 108000, 2, 500)); }, 0},
        {"moves 600 along the lap", [](ResetRace& r) { r.put(150, 499, car(1, 108600, 1, 500)); }, 0},
        {"moves 599 along the lap", [](ResetRace& r) { r.put(150, 499, car(1, 108599, 1, 500)); }, 1},
        {"moves 599 back", [](ResetRace& r) { r.put(150, 499, car(1, 107401, 1, 500)); }, 1},
        {"position step 200",
         [](ResetRace& r) {
             r.put(149, 149, car(1, 108200, 1));
             r.put(150, 499, car(1, 108200, 1, 500));
         },
         0},
        {"position step 199",
         [](ResetRace& r) {
             r.put(149, 149, car(1, 107801, 1));
             r.put(150, 499, car(1, 107801, 1, 500));
         },
         1},
        {"lateral step 64",
         [](ResetRace& r) {
             r.put(149, 149, car(1, 108000, 1, 64));
             r.put(150, 499, car(1, 108000, 1, 64 + 351));
         },
         0},
        {"lateral step -63",
         [](ResetRace& r) {
             r.put(149, 149, car(1, 108000, 1, -63));
             r.put(150, 499, car(1, 108000, 1, -63 + 351));
         },
         1},
        {"sideways 350", [](ResetRace& r) { r.put(150, 499, car(1, 108000, 1, 350)); }, 0},
        {"sideways -351", [](ResetRace& r) { r.put(150, 499, car(1, 108000, 1, -351)); }, 1},
        {"turn 30", [](ResetRace& r) { r.put(150, 499, car(1, 108000, 1, 0, 30)); }, 0},
        {"turn -31", [](ResetRace& r) { r.put(150, 499, car(1, 108000, 1, 0, 512 - 31)); }, 1},
        {"turn 31 across north",
         [](ResetRace& r) {
             r.put(100, 149, car(1, 108000, 1, 0, 500));
             r.put(150, 499, car(1, 108000, 1, 0, 19));
         },
         1},
    };
    for (const Case& c : cases) {
        ResetRace race = teleportRace();
        c.change(race);
        ResetScan scan = scanOf(race.build());
        ASSERT_EQ(scan.events.size(), c.events) << c.what;
        if (c.events) {
            EXPECT_EQ(scan.events[0].frame, 150) << c.what;
        }
    }
}

TEST(ResetTeleport, RepeatsWithin300FramesAmongTheFiveNewestEventsAreDropped) {
    auto framesOf = [](const ResetScan& scan, int slot) {
        std::vector<int> frames;
        for (const ResetEvent& e : scan.events)
            if (e.carSlot == slot) frames.push_back(e.frame);
        return frames;
    };
    for (int back : {449, 450}) {  // the car jumps back to where it stood
        ResetRace race = teleportRace();
        race.put(back, 499, car(1, 108000, 1, 0));
        ResetScan scan = scanOf(race.build());
        std::vector<int> expected = back == 449 ? std::vector<int>{150} : std::vector<int>{150, 450};
        EXPECT_EQ(framesOf(scan, 1), expected);
    }
    // Between the car's two jumps car 2's damage goes down four or five times.
    for (int between : {4, 5}) {
        ResetRace race = teleportRace();
        race.put(200, 499, car(1, 108000, 1, 0));
        for (int k = 0; k < between; ++k) {
            race.addBlock(151 + 10 * k, damageBlock(2, 0, 5));
            race.addBlock(156 + 10 * k, damageBlock(2, 0, 0));
        }
        ResetScan scan = scanOf(race.build());
        EXPECT_EQ(scan.events.size(), 1u + between + (between == 5 ? 1u : 0u)) << between;
        std::vector<int> expected = between == 5 ? std::vector<int>{150, 200} : std::vector<int>{150};
        EXPECT_EQ(framesOf(scan, 1), expected);
    }
}

TEST(ResetTeleport, NotInALapBegunAtTheLeadersFinishUnlikeADamageDecrease) {
    struct Case {
        int slot;
        int frame;
        bool listed;
    };
    // The leader finishes at 120 s, frame 1200.
    for (Case c : {Case{1, 1199, true}, Case{1, 1200, false}, Case{2, 1349, true}, Case{2, 1350, false},
                   Case{4, 500, false}}) {
        ResetRace race(1400);
        race.put(1, c.frame - 1, car(c.slot, 50000, 1));
        race.put(c.frame, 1400, car(c.slot, 50000, 1, 400));
        race.addBlock(1390, damageBlock(c.slot, 3, 0));
        race.addBlock(1395, damageBlock(c.slot, 0, 0));
        ResetScan scan = scanOf(race.build());
        std::vector<Seen> expected;
        if (c.listed) expected.push_back({c.frame, c.slot, kNoVerdict, 0});
        expected.push_back({1395, c.slot, kNoVerdict, 1});
        EXPECT_EQ(seen(scan), expected) << c.slot << " at " << c.frame;
    }
}

TEST(ResetTeleport, ACarsFirstSamplesAreMeasuredFromItsShortestLap) {
    // Before its first sample a car stands at its shortest lap, with lateral
    // value and heading 0, and has not moved.
    ResetRace probe = teleportRace();
    const ByteVec bytes = probe.build();
    const ChainTables tables = readChainTables(Bytes{bytes.data(), bytes.size()}, driver::secondRecord, false);
    const int start = tables.laps.shortestLap[3];
    ASSERT_LT(start, 1 << 26);
    // The first sample jumps sideways: a teleport.
    ResetRace first = teleportRace();
    first.put(250, 250, car(3, start + 100, 1, 400));
    EXPECT_EQ(seen(scanOf(first.build())), (std::vector<Seen>{{150, 1, kNoVerdict, 0}, {250, 3, kNoVerdict, 0}}));
    // The second sample after a first one where the car stood: a teleport too.
    ResetRace second = teleportRace();
    second.put(250, 250, car(3, start, 3));
    second.put(251, 251, car(3, start + 50, 1, 400));
    EXPECT_EQ(seen(scanOf(second.build())), (std::vector<Seen>{{150, 1, kNoVerdict, 0}, {251, 3, kNoVerdict, 0}}));
}

TEST(ResetDamage, ListedAndJudgedByThePreviousPosition) {
    ResetRace race(120);
    race.put(1, 120, car(3, 100000, 2));                // in the stall area
    for (int f = 1; f <= 120; ++f) race.put(f, f, car(4, 150000, 3, 0, 2 * f));  // outside it, turning
    race.addBlock(10, damageBlock(3, 0x03, 10));        // a first block never counts
    race.addBlock(20, damageBlock(3, 0x03, 4));         // engine damage down
    race.addBlock(30, damageBlock(3, 0x00, 4));         // wheel refitted
    race.addBlock(40, damageBlock(3, 0x00, 9, 0, 1));   // up: byte 15 is the word's high byte
    race.addBlock(50, damageBlock(3, 0xFF, 9, 0xFF, 0));
    race.addBlock(60, damageBlock(20, 3, 10));          // slots 20 and above are ignored
    race.addBlock(70, damageBlock(20, 0, 0));
    race.addBlock(70, damageBlock(63, 0, 0));
    race.addBlock(80, damageBlock(4, 0, 7));
    race.addBlock(85, damageBlock(4, 0, 6));            // no sample of the car in this frame
    race.drop(85, 4);
    race.addBlock(90, damageBlock(3, 0, 0));            // two cars in one frame
    race.addBlock(90, damageBlock(4, 0, 0));
    std::string console;
    ResetScan scan = scanOf(race.build(), StallBounds{60, 40}, &console);
    EXPECT_EQ(seen(scan), (std::vector<Seen>{{20, 3, kInPits, 1},
                                              {30, 3, kInPits, 1},
                                              {50, 3, kInPits, 1},
                                              {85, 4, kNoVerdict, 1},
                                              {90, 3, kInPits, 1},
                                              {90, 4, kNotInPits, 1}}));
    EXPECT_EQ(scan.resetsPerCar[3], 4);
    EXPECT_EQ(scan.resetsPerCar[4], 2);
    // The car's steps, and the heading change and gear of the sample read last (car 4's).
    EXPECT_EQ(console.substr(0, console.find('\n', 0) + 1), "  1     0:02\tC.Cramer  0/0    0/0   2  2  RA\n");
}

TEST(ResetDamage, TheRaceStartMayBeTheFirstStreamRecord) {
    ResetRace race(30);
    race.idleFirstRecord = false;
    race.addBlock(1, damageBlock(3, 3, 0));
    race.addBlock(2, damageBlock(3, 0, 0));
    EXPECT_EQ(seen(scanOf(race.build())), (std::vector<Seen>{{2, 3, kNoVerdict, 1}}));
}

}  // namespace
}  // namespace zr

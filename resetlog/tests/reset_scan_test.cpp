#include "reset_scan.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "chain_tables.h"
#include "golden.h"
#include "reset_race.h"

namespace zr {
namespace {

using namespace zr::test;

using Seen = std::tuple<int, int, int, int>;  // frame, car, verdict, repair seen

std::vector<Seen> seen(const ByteVec& replay) {
    std::vector<Seen> out;
    for (const ResetEvent& e : resetsOf(replay).findings.scan.events)
        out.emplace_back(e.frame, e.carSlot, e.pitsVerdict, e.repairSeen);
    return out;
}

TEST(ResetVerdict, StallsHeadingsAndNumbers) {
    // Stalls counting down (60 m, 40 m: 120000 to 80000) put the pits between
    // them; counting up, round the start line. Up to the largest 32-bit value.
    const StallBounds down{60, 40}, up{40, 60};
    for (auto [stalls, position, verdict] :
         {std::tuple{down, std::int64_t{80000}, kNotInPits}, {down, 80001, kInPits}, {down, 119999, kInPits},
          {down, 120000, kNotInPits}, {up, 80000, kNotInPits}, {up, 120000, kNotInPits}, {up, 79999, kInPits},
          {up, 120001, kInPits}, {StallBounds{}, 0, kNoVerdict}, {StallBounds{50, 50}, 100000, kNoVerdict},
          {StallBounds{2147483647, 0}, 67108863, kInPits}})
        EXPECT_EQ(pitsVerdictAt(stalls, position), verdict) << position;
    // The short way round; beyond half a turn the sign is not kept.
    for (auto [now, before, change] : {std::tuple{40, 0, 40}, {0, 40, -40}, {10, 500, 22}, {500, 10, 22},
                                       {256, 0, 256}, {0, 300, 212}})
        EXPECT_EQ(headingChange(now, before), change) << now << " after " << before;
    EXPECT_EQ(eventNumberColumn(9) + eventNumberColumn(99) + eventNumberColumn(1000), "  9 991000");
}

// Car 1 stands at 108000 in gear 1 from frame 100 (`stands` replaces its
// samples from frame `from` to 149) and jumps at frame 150 (`jumps`, to frame 499).
TEST(ResetTeleport, EachTestCanRefuseIt) {
    struct Row {
        const char* what;
        int from;
        SampleSpec stands;
        SampleSpec jumps;
        bool listed;
    };
    const SampleSpec still = car(1, 108000, 1);
    const Row rows[] = {
        {"gear 2", 149, still, car(1, 108000, 2, 500), false},
        {"moves 600 along the lap", 149, still, car(1, 108600, 1, 500), false},
        {"moves 599 along the lap", 149, still, car(1, 108599, 1, 500), true},
        {"moves 599 back", 149, still, car(1, 107401, 1, 500), true},
        {"position step 200", 149, car(1, 108200, 1), car(1, 108200, 1, 500), false},
        {"position step 199", 149, car(1, 107801, 1), car(1, 107801, 1, 500), true},
        {"lateral step 64", 149, car(1, 108000, 1, 64), car(1, 108000, 1, 64 + 351), false},
        {"lateral step -63", 149, car(1, 108000, 1, -63), car(1, 108000, 1, -63 + 351), true},
        {"sideways 350", 149, still, car(1, 108000, 1, 350), false},
        {"sideways -351", 149, still, car(1, 108000, 1, -351), true},
        {"turn 30", 149, still, car(1, 108000, 1, 0, 30), false},
        {"turn -31", 149, still, car(1, 108000, 1, 0, 512 - 31), true},
        {"turn 31 across north", 100, car(1, 108000, 1, 0, 500), car(1, 108000, 1, 0, 19), true},
    };
    for (const Row& r : rows) {
        FrameRace race = teleportRace();
        race.put(r.from, 149, r.stands);
        race.put(150, 499, r.jumps);
        const std::vector<Seen> listed{{150, 1, kNoVerdict, 0}};
        EXPECT_EQ(seen(race.replay()), r.listed ? listed : std::vector<Seen>{}) << r.what;
    }
}

TEST(ResetTeleport, RepeatsWithin300FramesAmongTheFiveNewestEventsAreDropped) {
    auto framesOf = [](const ByteVec& replay, int slot) {
        std::vector<int> frames;
        for (const Seen& e : seen(replay))
            if (std::get<1>(e) == slot) frames.push_back(std::get<0>(e));
        return frames;
    };
    for (int back : {449, 450}) {  // the car jumps back to where it stood
        FrameRace race = teleportRace();
        race.put(back, 499, car(1, 108000, 1, 0));
        EXPECT_EQ(framesOf(race.replay(), 1), (back == 449 ? std::vector<int>{150} : std::vector<int>{150, 450}));
    }
    // Between the car's two jumps car 2's damage goes down four or five times.
    for (int between : {4, 5}) {
        FrameRace race = teleportRace();
        race.put(200, 499, car(1, 108000, 1, 0));
        for (int k = 0; k < between; ++k) {
            race.addBlock(151 + 10 * k, damageBlock(2, 0, 5));
            race.addBlock(156 + 10 * k, damageBlock(2, 0, 0));
        }
        EXPECT_EQ(framesOf(race.replay(), 2).size(), static_cast<std::size_t>(between));
        EXPECT_EQ(framesOf(race.replay(), 1), (between == 5 ? std::vector<int>{150, 200} : std::vector<int>{150}));
    }
}

TEST(ResetTeleport, NotInALapBegunAtTheLeadersFinishUnlikeADamageDecrease) {
    // The leader finishes at 120 s, frame 1200.
    for (auto [slot, frame, listed] : {std::tuple{1, 1199, true}, {1, 1200, false}, {2, 1349, true}, {2, 1350, false},
                                       {4, 500, false}}) {
        FrameRace race = resetRace(1400);
        race.put(1, frame - 1, car(slot, 50000, 1));
        race.put(frame, 1400, car(slot, 50000, 1, 400));
        race.addBlock(1390, damageBlock(slot, 3, 0));
        race.addBlock(1395, damageBlock(slot, 0, 0));
        std::vector<Seen> expected{{1395, slot, kNoVerdict, 1}};
        if (listed) expected.insert(expected.begin(), {frame, slot, kNoVerdict, 0});
        EXPECT_EQ(seen(race.replay()), expected) << slot << " at " << frame;
    }
}

// Before its first sample a car stands at its shortest lap, with lateral
// value and heading 0, and has not moved: its first sample, or the second
// after one where it stood, can be a teleport.
TEST(ResetTeleport, ACarsFirstSamplesAreMeasuredFromItsShortestLap) {
    const ByteVec bytes = teleportRace().replay();
    const int start = readChainTables(Bytes{bytes.data(), bytes.size()}, driver::secondRecord, false)
                          .laps.shortestLap[3];
    ASSERT_LT(start, 1 << 26);
    FrameRace first = teleportRace();
    first.put(250, 250, car(3, start + 100, 1, 400));
    EXPECT_EQ(seen(first.replay()), (std::vector<Seen>{{150, 1, kNoVerdict, 0}, {250, 3, kNoVerdict, 0}}));
    FrameRace second = teleportRace();
    second.put(250, 250, car(3, start, 3));
    second.put(251, 251, car(3, start + 50, 1, 400));
    EXPECT_EQ(seen(second.replay()), (std::vector<Seen>{{150, 1, kNoVerdict, 0}, {251, 3, kNoVerdict, 0}}));
}

// Damage decreases are judged by the car's previous position; a damage line
// shows the car's steps and the heading change and gear of the sample read
// last (car 4's).
TEST(ResetDamage, ListedAndJudgedByThePreviousPosition) {
    FrameRace race = resetRace(120);
    race.put(1, 120, car(3, 100000, 2));                                          // in the stall area
    for (int f = 1; f <= 120; ++f) race.put(f, f, car(4, 150000, 3, 0, 2 * f));  // outside it, turning
    race.addBlock(10, damageBlock(3, 0x03, 10));       // a first block never counts
    race.addBlock(20, damageBlock(3, 0x03, 4));        // engine damage down
    race.addBlock(30, damageBlock(3, 0x00, 4));        // wheel refitted
    race.addBlock(40, damageBlock(3, 0x00, 9, 0, 1));  // up: byte 15 is the word's high byte
    race.addBlock(50, damageBlock(3, 0xFF, 9, 0xFF, 0));
    race.addBlock(60, damageBlock(20, 3, 10));  // slots 20 and above are ignored
    race.addBlock(70, damageBlock(20, 0, 0));
    race.addBlock(70, damageBlock(63, 0, 0));
    race.addBlock(80, damageBlock(4, 0, 7));
    race.addBlock(85, damageBlock(4, 0, 6));  // no sample of the car in this frame
    race.drop(85, 4);
    race.addBlock(90, damageBlock(3, 0, 0));  // two cars in one frame
    race.addBlock(90, damageBlock(4, 0, 0));
    expectGolden(ZR_GOLDEN_DIR "/damage.txt", resetsText(race.replay(), StallBounds{60, 40}), LineEnds::lf);

    FrameRace atStart = resetRace(30);  // the race start may be the first stream record
    atStart.idleFirstRecord = false;
    atStart.addBlock(1, damageBlock(3, 3, 0));
    atStart.addBlock(2, damageBlock(3, 0, 0));
    EXPECT_EQ(seen(atStart.replay()), (std::vector<Seen>{{2, 3, kNoVerdict, 1}}));
}

}  // namespace
}  // namespace zr

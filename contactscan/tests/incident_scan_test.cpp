#include "incident_scan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <sstream>
#include <tuple>

#include "analysed_run.h"
#include "chain_tables.h"
#include "contactscan.h"
#include "golden.h"
#include "replay_builder.h"
#include "scripted_frames.h"

namespace zr {
namespace {

using namespace zr::writer;
using test::expectGolden;
using test::LineEnds;
using Event = std::tuple<int, int, int>;  // frame, car, code

Bytes view(const ByteVec& v) { return Bytes{v.data(), v.size()}; }

std::vector<Event> eventsOf(const IncidentList& list) {
    std::vector<Event> out;
    for (int i = 1; i <= list.count(); ++i)
        out.emplace_back(list.events[i].frame, list.events[i].carSlot, list.events[i].incidentCode);
    return out;
}

// A race at 10 frames per second, so that frame F is F × 100 ms, with laps of
// 10 s. Car 3 has a slow second lap (frames 100 to 259), car 4 retires after
// two laps, the leader finishes at 40 s (frame 400).
test::FrameRace race() {
    test::FrameRace race;
    race.recipe.frameRateByte = 10;
    race.recipe.drivers = {{"Anna", "Arnold", 1, 0}, {"Bert", "Brandt", 2, 0}, {"Carl", "Cramer", 3, 0},
                           {"Dora", "Dietz", 4, 0},  {"Emil", "Ernst", 21, 0}};
    race.recipe.practiceLaps = {lapRecord(1, {0, 50000})};
    race.recipe.hasRaceBlock = true;
    race.recipe.raceLaps = {lapRecord(1, {0, 10000, 20000, 30000, 40000}),
                            lapRecord(2, {0, 10000, 20000, 30000, 40000}),
                            lapRecord(3, {0, 10000, 26000, 36000, 46000}), lapRecord(4, {0, 10000, 20000}),
                            lapRecord(21, {0, 10000, 20000, 30000, 40000})};
    return race;
}

// Two cars 1000 units apart, side by side.
void touch(test::FrameRace& race, int frame, int a, int b) {
    race.samples[frame].push_back({a, 1000});
    race.samples[frame].push_back({b, 2000});
}

struct Scanned {
    std::string console;  // the lines of the scan
    IncidentList list;
    std::vector<Event> events;
};

Scanned scan(const test::FrameRace& race, ScanMode mode) {
    auto find = [mode](const StartedRun& run, ConsoleSink& out) { return findIncidents(run, mode, out); };
    test::Analysed<IncidentFindings> a = test::analyse(find, race.replay(), "", "");
    return {a.consoleAfter("needs some time...\n\n"), a.findings.list, eventsOf(a.findings.list)};
}

TEST(ContactRule, OnlyContactsThatCostOneOfTheCarsTimeAreListed) {
    test::FrameRace r = race();
    touch(r, 150, 1, 2);  // both on ordinary laps
    touch(r, 160, 3, 1);  // car 3 on its slow lap
    r.samples[170] = {{1, 1000}, {2, 9600}, {4, 1500}};  // 4 is on its last recorded lap
    r.samples[180] = {{40, 1000}, {4, 1500}};           // slot 40 has no row
    r.samples[190] = {{2, 1000, 0, 300, 372}, {4, 1500, 0, -200}};  // 98 degrees apart, contact angle 81
    Scanned s = scan(r, ScanMode::contactsOnly);
    EXPECT_EQ(s.events, (std::vector<Event>{{160, 3, 1}, {170, 1, 4}, {190, 2, 4}}));
    expectGolden(ZR_GOLDEN_DIR "/contact_lines.txt", s.console, LineEnds::lf);
}

TEST(ContactRule, APairIsListedAgainOnlyAfterSixSeconds) {
    test::FrameRace r = race();
    for (int f = 110; f <= 235; ++f) touch(r, f, 1, 3);
    EXPECT_EQ(scan(r, ScanMode::contactsOnly).events, (std::vector<Event>{{110, 1, 3}, {170, 1, 3}, {230, 1, 3}}));
}

TEST(ContactRule, PairsAreJudgedInFrameOrderAndARepeatEndsTheFirstCarsSearch) {
    const std::pair<std::map<int, std::vector<SampleSpec>>, std::vector<Event>> rows[] = {
        // 3/4 would be new in frame 111, but the repeat 3/1 comes first.
        {{{110, {{3, 1000}, {1, 2000}, {4, 50000}}}, {111, {{3, 1000}, {1, 2000}, {4, 3000}}}},
         {{110, 3, 1}, {111, 1, 4}}},
        // In frame order 4, 2, 1, 3; on the track 3, 1, 4 close together, 2 far
        // away. Then the order on the track kept from frame to frame no longer fits.
        {{{130, {{4, 3000}, {2, 500000}, {1, 2000}, {3, 1000}}},
          {131, {{1, 700000}, {2, 100}, {3, 800000}, {4, 600000}}},
          {132, {{3, 9000}, {1, 900000}, {2, 9500}, {4, 300000}}}},
         {{130, 4, 1}, {130, 4, 3}, {130, 1, 3}, {132, 3, 2}}},
    };
    for (const auto& [samples, events] : rows) {
        test::FrameRace r = race();
        r.samples = samples;
        EXPECT_EQ(scan(r, ScanMode::contactsOnly).events, events);
    }
}

TEST(ContactRule, JunkSlotsAreDroppedBeforeTheFirst64CarSamplesArePaired) {
    test::FrameRace r = race();
    r.samples[110] = std::vector<SampleSpec>(64, SampleSpec{63, 1000});  // slot 63 has no row
    touch(r, 110, 1, 3);  // a contact behind the junk
    r.samples[111] = std::vector<SampleSpec>(4000, SampleSpec{3, 1000});  // 8 million pairs unbounded
    // A damaged record: many samples of one car before a contact, whose second
    // car is the 64th car sample (paired) or the 65th (not).
    for (auto [frame, crowd] : {std::pair{180, 62}, {250, 63}}) {
        r.samples[frame] = std::vector<SampleSpec>(crowd, SampleSpec{2, 50000});
        touch(r, frame, 1, 3);
    }
    EXPECT_EQ(scan(r, ScanMode::contactsOnly).events, (std::vector<Event>{{110, 1, 3}, {111, 3, 3}, {180, 1, 3}}));
}

TEST(ContactRule, TheRepeatTestLooksAtTheLastSixEventsOnly) {
    for (int others : {5, 6}) {
        test::FrameRace r = race();
        touch(r, 110, 3, 1);
        for (int i = 1; i <= others; ++i) r.addBlock(110 + i, damageBlock(2, 0, static_cast<std::uint8_t>(i)));
        touch(r, 120, 1, 3);  // the same pair, the other way round
        std::vector<Event> events = scan(r, ScanMode::everything).events;
        ASSERT_EQ(events.size(), 1u + others + (others == 6 ? 1 : 0)) << others;
        if (others == 6) { EXPECT_EQ(events.back(), (Event{120, 1, 3})); }
    }
}

TEST(IncidentScan, ModesChooseTheRules) {
    const std::pair<ScanMode, std::vector<Event>> modes[] = {
        {ScanMode::everything,
         {{150, 2, 1007}, {150, 2, -3}, {155, 1, 1003}, {160, 1, 3}, {170, 2, 1009}, {170, 2, 4}}},
        {ScanMode::contactsOnly, {{160, 1, 3}, {170, 2, 4}}},
        {ScanMode::damageOnly, {{150, 2, 1007}, {150, 2, -3}, {155, 1, 1003}, {170, 2, 1009}}},
    };
    for (const auto& [mode, events] : modes) {
        test::FrameRace r = race();
        r.addBlock(150, damageBlock(2, 0x0C, 7));  // wheel field 1 lost, engine level 7
        r.records[155] = RecordSpec{{damageBlock(1, 0, 3), sampleBlock({})}, {}, 0};  // in the first block
        touch(r, 160, 1, 3);
        r.addBlock(170, damageBlock(2, 0x0C, 9));
        touch(r, 170, 2, 4);
        Scanned s = scan(r, mode);
        EXPECT_EQ(s.events, events);
        if (mode == ScanMode::damageOnly) expectGolden(ZR_GOLDEN_DIR "/damage_lines.txt", s.console, LineEnds::lf);
    }
}

// The damage and lap rules on a hand-made lap table.
struct Tables {
    LapTable laps;
    DriverTable drivers;
    std::ostringstream console;
    ConsoleSink sink{&console};
    IncidentScan scan;
    Tables() {
        scan.laps = &laps;
        scan.drivers = &drivers;
        scan.console = &sink;
        scan.frameRate = 10;
    }
    void stamps(int slot, const std::vector<std::int32_t>& s) {
        for (std::size_t k = 0; k < s.size(); ++k) laps.lapStamps[slot][k] = s[k];
    }
    void damage(int frame, int slot, std::uint32_t wheels, std::uint32_t engine) {
        DamageBlock b;
        b.carSlot = slot;
        b.wheelState = wheels;
        b.engineDamage = engine;
        applyDamageRule(scan, b, frame);
    }
};

TEST(DamageRule, EachNewEngineLevelAndEachWheelAsItComesOff) {
    Tables t;
    t.laps.leaderFinishStamp = 400000;
    t.stamps(5, {0, 100000, 200000});
    std::memcpy(t.drivers.driverName[5], "Fritz\0\0\0\0\0\0\0\0\0\0\0Fuchs", 21);
    t.damage(10, 5, 0, 0);
    t.damage(20, 5, 0x03, 5);   // field 0 lost, level 5
    t.damage(30, 5, 0x00, 5);   // wheel back on, same level
    t.damage(40, 5, 0xFF, 9);   // all four off, level 9
    t.damage(50, 5, 0xFF, 4);   // a lower level is no event, but is remembered
    t.damage(60, 5, 0xFF, 6);
    EXPECT_EQ(eventsOf(t.scan.list), (std::vector<Event>{{20, 5, 1005}, {20, 5, -2}, {40, 5, 1009}, {40, 5, -2},
                                                         {40, 5, -3}, {40, 5, -4}, {40, 5, -5}, {60, 5, 1006}}));
    expectGolden(ZR_GOLDEN_DIR "/wheel_and_engine_lines.txt", t.console.str(), LineEnds::lf);
    EXPECT_EQ(t.scan.damage[5].lastFrame, 60);
}

TEST(DamageRule, IgnoredForHighSlotsAndLapsBegunAfterTheLeadersFinish) {
    Tables t;
    t.laps.leaderFinishStamp = 20000;
    t.stamps(3, {0, 10000, 20000, 30000});
    t.stamps(4, {0, 10000, 25000, 30000});
    t.damage(250, 3, 0, 1);   // lap begun at the finish: counts
    t.damage(260, 4, 0, 1);   // lap begun after it: ignored, state included
    t.damage(10, 63, 0, 1);   // no damage row, nor lap stamps, for slot 63
    t.damage(10, 9, 0, 1);    // no lap stamps: begun "after" the finish
    EXPECT_EQ(eventsOf(t.scan.list), (std::vector<Event>{{250, 3, 1001}}));
    EXPECT_EQ(std::pair(t.scan.damage[4].engineDamage, t.scan.damage[4].lastFrame), std::pair(0, 0));
}

// Car 1's best lap is 10000 ms: a lap is slow beyond 14500 ms, the
// standing-start lap beyond 18500 ms.
TEST(LapLossTest, SlowLapsLastLapsSlowNextLapsAndOnlyLapsBegunBeforeTheFinish) {
    struct Row {
        std::vector<std::int32_t> stamps;
        std::int32_t finish;
        std::int32_t time;
        bool lost;
    };
    const std::vector<std::int32_t> slowSecond{0, 10000, 24600, 34600, 44600}, slowThird{0, 10000, 20000, 34600, 44600};
    const Row rows[] = {
        {slowSecond, 100000, 0, false},     {slowSecond, 100000, 15000, true},  // 14600 in lap 2
        {slowSecond, 100000, 9500, true},   // lap 1 near its end, lap 2 slow
        {slowSecond, 100000, 30000, false}, {slowSecond, 100000, 40000, true},  // the last recorded lap
        {slowSecond, 100000, 50000, true},  // beyond it
        {slowThird, 100000, 10001, true},   // 9999 ms before a slow lap
        {slowThird, 100000, 10000, false},  // 10000 ms before it
        {{0, 18500, 28500, 38500}, 100000, 1000, false}, {{0, 18501, 28501, 38501}, 100000, 1000, true},
        {{}, 100000, 1000, false},  // a car without stamps
        // Only laps begun before the leader's finish count.
        {{0, 10000, 20000}, 20000, 19999, true}, {{0, 10000, 20000}, 20000, 20000, false},  // begun at the finish
    };
    for (const Row& r : rows) {
        LapTable laps;
        laps.leaderFinishStamp = r.finish;
        for (std::size_t k = 0; k < r.stamps.size(); ++k) laps.lapStamps[1][k] = r.stamps[k];
        if (!r.stamps.empty()) laps.shortestLap[1] = 10000;
        EXPECT_EQ(lostTimeInLap(laps, 1, r.time), r.lost) << r.time << " with " << r.stamps.size() << " stamps";
    }
}

TEST(LapListing, NameFieldsBestLapsAndTheCap) {
    ReplaySpec recipe;
    // As many lap records are read as there are drivers. Anna's first record
    // is overwritten by her second; her first line shows the best lap as it
    // stood after the first.
    recipe.drivers = {{"Anna", "Arnold", 1, 0}, {"Bert", "Brandt", 2, 0}, {"Carl", "Cramer", 3, 0},
                      {"Dora", "Dietz", 4, 0}, {"Emil", "Ernst", 5, 0}};
    recipe.raceLaps = {lapRecord(1, {0, 90000}), lapRecord(1, {0, 83456, 160000}), lapRecord(2, {0, 92000}),
                     lapRecord(3, {0, 1000000}), lapRecord(45, {0, 1000})};
    recipe.hasRaceBlock = true;
    ByteVec bytes = buildReplay(recipe);
    ChainTables tables = readChainTables(view(bytes), driver::firstRecord, true);
    std::ostringstream out;
    ConsoleSink sink{&out};
    listLaps(sink, tables.drivers, tables.laps);
    // Each byte of the 32-byte name field is shown with a blank after it (NULs too).
    expectGolden(ZR_GOLDEN_DIR "/lap_listing.txt", out.str(), LineEnds::lf);
    EXPECT_EQ(std::tuple(tables.laps.shortestLap[1], tables.laps.shortestLap[2], tables.laps.shortestLap[0]),
              std::tuple(76544, 84544, kNoLap));
}

}  // namespace
}  // namespace zr

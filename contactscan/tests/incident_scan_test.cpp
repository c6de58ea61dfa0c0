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
struct Race {
    ReplaySpec recipe;
    std::map<int, std::vector<SampleSpec>> samples;
    std::map<int, std::vector<Block>> extra;
    std::map<int, RecordSpec> records;  // whole records where a frame needs its own layout
    std::string console;                 // the lines of the scan
    IncidentList list;

    Race() {
        recipe.frameRateByte = 10;
        recipe.drivers = {{"Anna", "Arnold", 1, 0}, {"Bert", "Brandt", 2, 0}, {"Carl", "Cramer", 3, 0},
                        {"Dora", "Dietz", 4, 0},  {"Emil", "Ernst", 21, 0}};
        recipe.practiceLaps = {lapRecord(1, {0, 50000})};
        recipe.hasRaceBlock = true;
        recipe.raceLaps = {lapRecord(1, {0, 10000, 20000, 30000, 40000}),
                         lapRecord(2, {0, 10000, 20000, 30000, 40000}),
                         lapRecord(3, {0, 10000, 26000, 36000, 46000}), lapRecord(4, {0, 10000, 20000}),
                         lapRecord(21, {0, 10000, 20000, 30000, 40000})};
    }

    // Two cars 1000 units apart, side by side.
    void touch(int frame, int a, int b) {
        samples[frame].push_back({a, 1000});
        samples[frame].push_back({b, 2000});
    }

    void run(ScanMode mode) {
        int last = 1;
        if (!samples.empty()) last = std::max(last, samples.rbegin()->first);
        if (!extra.empty()) last = std::max(last, extra.rbegin()->first);
        if (!records.empty()) last = std::max(last, records.rbegin()->first);
        recipe.records = {sessionRecord(0), sessionRecord(1)};  // the second one starts the race: frame 1
        for (int f = 2; f <= last + 1; ++f)
            recipe.records.push_back(records.count(f) ? records[f] : frameRecord(samples[f], 2, extra[f]));
        auto find = [mode](const StartedRun& run, ConsoleSink& out) { return findIncidents(run, mode, out); };
        test::Analysed<IncidentFindings> a = test::analyse(find, buildReplay(recipe), "", "");
        console = a.consoleAfter("needs some time...\n\n");
        list = a.findings.list;
    }
    std::vector<Event> events() const { return eventsOf(list); }
};

TEST(ContactRule, OnlyContactsThatCostOneOfTheCarsTimeAreListed) {
    Race race;
    race.touch(150, 1, 2);  // both on ordinary laps
    race.touch(160, 3, 1);  // car 3 on its slow lap
    race.samples[170] = {{1, 1000}, {2, 9600}, {4, 1500}};  // 4 is on its last recorded lap
    race.samples[180] = {{40, 1000}, {4, 1500}};           // slot 40 has no row
    race.samples[190] = {{2, 1000, 0, 300, 372}, {4, 1500, 0, -200}};  // 98 degrees apart, contact angle 81
    race.run(ScanMode::contactsOnly);
    EXPECT_EQ(race.events(), (std::vector<Event>{{160, 3, 1}, {170, 1, 4}, {190, 2, 4}}));
    expectGolden(ZR_GOLDEN_DIR "/contact_lines.txt", race.console, LineEnds::lf);
}

TEST(ContactRule, APairIsListedAgainOnlyAfterSixSeconds) {
    Race race;
    for (int f = 110; f <= 235; ++f) race.touch(f, 1, 3);
    race.run(ScanMode::contactsOnly);
    EXPECT_EQ(race.events(), (std::vector<Event>{{110, 1, 3}, {170, 1, 3}, {230, 1, 3}}));
}

TEST(ContactRule, TheRepeatTestLooksAtTheLastSixEventsOnly) {
    for (int others : {5, 6}) {
        Race race;
        race.touch(110, 3, 1);
        for (int i = 1; i <= others; ++i)
            race.extra[110 + i].push_back(damageBlock(2, 0, static_cast<std::uint8_t>(i)));
        race.touch(120, 1, 3);  // the same pair, the other way round
        race.run(ScanMode::everything);
        ASSERT_EQ(race.list.count(), 1 + others + (others == 6 ? 1 : 0)) << others;
        if (others == 6) {
            EXPECT_EQ(race.events().back(), (Event{120, 1, 3}));
        }
    }
}

TEST(ContactRule, ARepeatEndsThePartnerSearchOfTheFirstCar) {
    Race race;
    race.samples[110] = {{3, 1000}, {1, 2000}, {4, 50000}};
    race.samples[111] = {{3, 1000}, {1, 2000}, {4, 3000}};  // 3/4 would be new, but 3/1 comes first
    race.run(ScanMode::contactsOnly);
    EXPECT_EQ(race.events(), (std::vector<Event>{{110, 3, 1}, {111, 1, 4}}));
}

TEST(ContactRule, PairsAreJudgedInFrameOrderWhateverTheOrderOnTheTrack) {
    Race race;
    // In frame order 4, 2, 1, 3; on the track 3, 1, 4 close together, 2 far away.
    race.samples[130] = {{4, 3000}, {2, 500000}, {1, 2000}, {3, 1000}};
    // The order on the track kept from frame to frame no longer fits.
    race.samples[131] = {{1, 700000}, {2, 100}, {3, 800000}, {4, 600000}};
    race.samples[132] = {{3, 9000}, {1, 900000}, {2, 9500}, {4, 300000}};
    race.run(ScanMode::contactsOnly);
    EXPECT_EQ(race.events(), (std::vector<Event>{{130, 4, 1}, {130, 4, 3}, {130, 1, 3}, {132, 3, 2}}));
}

TEST(ContactRule, JunkSlotsAreDroppedBeforeTheFirst64CarSamplesArePaired) {
    Race race;
    std::vector<SampleSpec> junk(64, SampleSpec{63, 1000});  // slot 63 has no row
    junk.push_back({1, 1000});
    junk.push_back({3, 1000});  // a contact behind the junk
    race.samples[110] = junk;
    race.samples[111] = std::vector<SampleSpec>(4000, SampleSpec{3, 1000});  // 8 million pairs unbounded
    // A damaged record: many samples of one car before a contact, whose second
    // car is the 64th car sample (paired) or the 65th (not).
    for (auto [frame, crowd] : {std::pair{180, 62}, {250, 63}}) {
        race.samples[frame] = std::vector<SampleSpec>(crowd, SampleSpec{2, 50000});
        race.samples[frame].push_back({1, 1000});
        race.samples[frame].push_back({3, 1000});
    }
    race.run(ScanMode::contactsOnly);
    EXPECT_EQ(race.events(), (std::vector<Event>{{110, 1, 3}, {111, 3, 3}, {180, 1, 3}}));
}

TEST(IncidentScan, ModesChooseTheRules) {
    const std::pair<ScanMode, std::vector<Event>> modes[] = {
        {ScanMode::everything,
         {{150, 2, 1007}, {150, 2, -3}, {155, 1, 1003}, {160, 1, 3}, {170, 2, 1009}, {170, 2, 4}}},
        {ScanMode::contactsOnly, {{160, 1, 3}, {170, 2, 4}}},
        {ScanMode::damageOnly, {{150, 2, 1007}, {150, 2, -3}, {155, 1, 1003}, {170, 2, 1009}}},
    };
    for (const auto& [mode, events] : modes) {
        Race race;
        race.extra[150] = {damageBlock(2, 0x0C, 7)};  // wheel field 1 lost, engine level 7
        race.records[155] = RecordSpec{{damageBlock(1, 0, 3), sampleBlock({})}, {}, 0};  // in the first block
        race.touch(160, 1, 3);
        race.extra[170] = {damageBlock(2, 0x0C, 9)};
        race.touch(170, 2, 4);
        race.run(mode);
        EXPECT_EQ(race.events(), events);
        if (mode == ScanMode::damageOnly) expectGolden(ZR_GOLDEN_DIR "/damage_lines.txt", race.console, LineEnds::lf);
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
    EXPECT_EQ(t.scan.damage[4].engineDamage, 0);
    EXPECT_EQ(t.scan.damage[4].lastFrame, 0);
}

TEST(LapLossTest, SlowLapsLastLapsSlowNextLapsAndOnlyLapsBegunBeforeTheFinish) {
    Tables t;
    LapTable& laps = t.laps;
    laps.leaderFinishStamp = 100000;
    t.stamps(1, {0, 10000, 24600, 34600, 44600});  // best 10000: allowance 14500
    laps.shortestLap[1] = 10000;
    EXPECT_FALSE(lostTimeInLap(laps, 1, 0));
    EXPECT_TRUE(lostTimeInLap(laps, 1, 15000));    // 14600 in lap 2
    EXPECT_TRUE(lostTimeInLap(laps, 1, 9500));     // lap 1 near its end, lap 2 slow
    EXPECT_FALSE(lostTimeInLap(laps, 1, 30000));
    EXPECT_TRUE(lostTimeInLap(laps, 1, 40000));    // the last recorded lap
    EXPECT_TRUE(lostTimeInLap(laps, 1, 50000));    // beyond it

    t.stamps(2, {0, 10000, 20000, 34600, 44600});
    laps.shortestLap[2] = 10000;
    EXPECT_TRUE(lostTimeInLap(laps, 2, 10001));    // 9999 ms before a slow lap
    EXPECT_FALSE(lostTimeInLap(laps, 2, 10000));   // 10000 ms before it

    // The standing-start lap is granted 4 s.
    t.stamps(3, {0, 18500, 28500, 38500});
    laps.shortestLap[3] = 10000;
    EXPECT_FALSE(lostTimeInLap(laps, 3, 1000));
    t.stamps(3, {0, 18501, 28501, 38501});
    EXPECT_TRUE(lostTimeInLap(laps, 3, 1000));

    EXPECT_FALSE(lostTimeInLap(laps, 9, 1000));  // a car without stamps

    // Only laps begun before the leader's finish count.
    laps.leaderFinishStamp = 20000;
    t.stamps(4, {0, 10000, 20000});
    laps.shortestLap[4] = 10000;
    EXPECT_TRUE(lostTimeInLap(laps, 4, 19999));
    EXPECT_FALSE(lostTimeInLap(laps, 4, 20000));  // its last lap begins at the finish
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
    EXPECT_EQ(tables.laps.shortestLap[1], 76544);
    EXPECT_EQ(tables.laps.shortestLap[2], 84544);
    EXPECT_EQ(tables.laps.shortestLap[0], kNoLap);
}

}  // namespace
}  // namespace zr

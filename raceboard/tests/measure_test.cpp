#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "board_replays.h"
#include "lap_measure.h"
#include "own_laps.h"
#include "record_walk.h"

namespace zr {
namespace {

using namespace zr::test;

constexpr std::int32_t kTrack = 2400000;  // 1.2 km

Bytes view(const ByteVec& v) { return Bytes{v.data(), v.size()}; }

struct Read {
    ByteVec bytes;
    DriverTable drivers;
    LapTables tables;
    std::int64_t streamStart = 0;
};

void readAll(const ReplaySpec& recipe, Read& r) {
    r.bytes = buildReplay(recipe);
    r.drivers = readDriverTable(view(r.bytes), 320, true);
    LapReading reading = readLapRecords(view(r.bytes), r.drivers, r.tables, 0);
    takeRaceTable(r.tables, reading);
    r.streamStart = reading.streamStart;
}

// Race laps of a server replay at 36 fps: slot 1 at an even pace, slot 2
// slowest at the line and fastest at half distance.
ReplaySpec serverRace() {
    ReplaySpec recipe;
    recipe.drivers = {{"Race", "Server", 0, 0}, {"Anna", "Arnold", 1, 1}, {"Bert", "Brandt", 2, 2}};
    recipe.hasRaceBlock = true;
    CarRun a{1, {1000, 41000, 80000, 120500}, 0.0};
    CarRun b{2, {1500, 42500, 83000, 124000}, 0.5};
    recipe.raceLaps = {lapRecord(1, a.stamps), lapRecord(2, b.stamps)};
    recipe.records = serverRaceStream({a, b}, 36, kTrack, 36 * 128);
    return recipe;
}

TEST(TrackLength, ServerReplaysTakeEveryCarParticipantReplaysTheOwnCar) {
    Read r;
    readAll(serverRace(), r);
    std::int32_t length = scanTrackLength(view(r.bytes), r.streamStart, 0, 0);
    EXPECT_GT(length, kTrack - 2000);
    EXPECT_LT(length, kTrack);
    EXPECT_EQ(scanTrackLength(view(r.bytes), r.streamStart, 0, kTrack + 5), kTrack + 5);  // keeps a larger one

    ReplaySpec recipe;
    recipe.drivers = {{"Anna", "Arnold", 1, 1}};
    recipe.practiceLaps = {lapRecord(1, {1000, 61000})};
    recipe.localDriverSlot = 1;
    for (int f = 0; f < 10; ++f)
        recipe.records.push_back(frameRecord({{3, 900000 + f}}, 2, {ownCarBlock(500000 + 10 * f)}));
    Read p;
    readAll(recipe, p);
    EXPECT_EQ(scanTrackLength(view(p.bytes), p.streamStart, 1, 0), 500090);
    EXPECT_EQ(scanTrackLength(view(p.bytes), p.streamStart, 0, 0), 900009);
    // Fewer than 10000 bytes of stream: nothing is measured.
    recipe.fillerBytes = 100;
    readAll(recipe, p);
    EXPECT_EQ(scanTrackLength(view(p.bytes), p.streamStart, 1, 0), 0);
}

TEST(FastestLap, MarksAndSpeedsOfTheFastestRaceLap) {
    Read r;
    readAll(serverRace(), r);
    const std::int32_t length = scanTrackLength(view(r.bytes), r.streamStart, 0, 0);
    FastestLapMeasure m;
    std::ostringstream out;
    measureFastestRaceLaps(view(r.bytes), r.streamStart, 36, length, r.tables, 0, r.drivers, kRaceboardWalk, m, out);
    EXPECT_EQ(out.str(),
              "\nWait a moment, please... The tool is looking for sector times\nand max.speed of A.Arnold"
              "\nWait a moment, please... The tool is looking for sector times\nand max.speed of B.Brandt");

    // Slot 1's fastest lap is lap 2 (39 s at an even pace). The quarters are
    // quarters of the largest position seen, one frame's distance short of
    // the line.
    for (int k = 1; k <= 3; ++k) EXPECT_NEAR(m.sectorMarks[1][k], 39000.0 * k * length / 4 / kTrack, 2) << k;
    EXPECT_EQ(sectorTime(m, r.tables, 1, 4), 39000 - m.sectorMarks[1][3]);
    EXPECT_EQ(m.sectorMarks[1][0], 0);
    // 2400000 units in 39 s: 1709.4 units a frame, 110.79 km/h. The sample
    // that closes the lap already lies in lap 3 (40.5 s: 106.66 km/h).
    EXPECT_NEAR(m.lapSpeeds[1].max[0], 11079, 8);
    EXPECT_NEAR(m.lapSpeeds[1].min[0], 10666, 8);

    // Slot 2 (lap 2, 40.5 s): slowest at the line, fastest at half distance,
    // so sectors 1 and 4 are the slow ones.
    EXPECT_GT(sectorTime(m, r.tables, 2, 1), sectorTime(m, r.tables, 2, 2));
    EXPECT_GT(sectorTime(m, r.tables, 2, 4), sectorTime(m, r.tables, 2, 3));
    const LapSpeeds& s = m.lapSpeeds[2];
    EXPECT_GT(s.max[0], 15000);
    EXPECT_LT(s.min[0], 6000);
    EXPECT_EQ(s.max[0], std::max(s.max[2], s.max[3]));
    EXPECT_EQ(s.min[0], std::min(s.min[1], s.min[4]));
}

// A car at one steady speed: it passes the line at firstLineMs + i * lapMs,
// between two frames and never on a whole millisecond, so every quarter mark
// and line crossing falls at a known time between frames.
struct SteadyCar {
    int slot = 1;
    double firstLineMs = 1005.3;
    double lapMs = 36000.4;

    std::int32_t positionAt(double ms) const {
        const double u = (ms - firstLineMs) / lapMs;
        return static_cast<std::int32_t>((u - std::floor(u)) * kTrack);
    }
    CarTrace trace() const {
        return {slot, [car = *this](double ms) { return car.positionAt(ms); }};
    }
    // Lap stamps: the crossings truncated to the millisecond.
    std::vector<std::uint32_t> stamps(int laps) const {
        std::vector<std::uint32_t> out;
        for (int i = 0; i <= laps; ++i) out.push_back(static_cast<std::uint32_t>(firstLineMs + i * lapMs));
        return out;
    }
    // The sector marks as they really are: ms from the line to each quarter of
    // the measured track length, and to the next line, truncated.
    std::int32_t trueMark(int m, std::int32_t measuredLength) const {
        const double units = m == 4 ? kTrack : m * (measuredLength / 4.0);
        return static_cast<std::int32_t>(std::floor(units / kTrack * lapMs));
    }
};

TEST(SectorMarks, LieOnTheTrueCrossingsToTheMillisecond) {
    const SteadyCar car;
    constexpr int kLaps = 3;
    // A server replay at 36 frames per second.
    ReplaySpec server;
    server.drivers = {{"Race", "Server", 0, 0}, {"Anna", "Arnold", 1, 1}, {"Bert", "Brandt", 2, 2}};
    server.hasRaceBlock = true;
    server.raceLaps = {lapRecord(1, car.stamps(kLaps))};
    server.records = serverRaceStream({car.trace()}, 36, 36 * 112);
    Read r;
    readAll(server, r);
    const std::int32_t length = scanTrackLength(view(r.bytes), r.streamStart, 0, 0);
    ASSERT_EQ(r.tables.race[1].bestRaceLap.lap, 1);
    FastestLapMeasure m;
    std::ostringstream out;
    measureFastestRaceLaps(view(r.bytes), r.streamStart, 36, length, r.tables, 0, r.drivers, kRaceboardWalk, m, out);
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(m.sectorMarks[1][k], car.trueMark(k, length)) << k;
    EXPECT_EQ(sectorTime(m, r.tables, 1, 1) + sectorTime(m, r.tables, 1, 2) + sectorTime(m, r.tables, 1, 3) +
                  sectorTime(m, r.tables, 1, 4),
              r.tables.race[1].bestRaceLap.time);

    // The same car recorded by its driver at 60 frames per second: every lap
    // of the race is measured from the own-car block.
    ReplaySpec own;
    own.frameRateByte = 60;
    own.localDriverSlot = 1;
    own.drivers = {{"Anna", "Arnold", 1, 1}, {"Bert", "Brandt", 2, 2}, {"Carl", "Cramer", 3, 3}};
    own.hasRaceBlock = true;
    own.raceLaps = {lapRecord(1, car.stamps(kLaps))};
    own.records = participantStream(car.trace(), {}, 60, 60 * 112, 0);
    Read p;
    readAll(own, p);
    const std::int32_t ownLength = scanTrackLength(view(p.bytes), p.streamStart, 1, 0);
    auto table = std::make_unique<OwnSectorTable>();
    measureOwnLaps(view(p.bytes), p.streamStart, 60, ownLength, p.tables, 1, *table, out);
    for (int l = 1; l <= kLaps; ++l)
        for (int k = 1; k <= 4; ++k)
            EXPECT_EQ(table->mark[l][k][kRaceSession], car.trueMark(k, ownLength)) << l << " " << k;
    finishOwnSectorTable(*table, p.tables, 1);
    // Sector 4 runs to the lap's end: the closing crossing in lap 1, the
    // lap time from the stamps afterwards.
    for (int l = 1; l <= kLaps; ++l) {
        std::int32_t sum = 0;
        for (int k = 1; k <= 4; ++k) sum += table->mark[l][k][kRaceSession];
        EXPECT_EQ(sum, l == 1 ? car.trueMark(4, ownLength) : p.tables.race[1].raceLapTimes[l]) << l;
    }
}

TEST(FastestLap, SpeedSpikesAndSpeedsOver360DoNotCount) {
    ReplaySpec recipe;
    recipe.drivers = {{"Race", "Server", 0, 0}, {"Anna", "Arnold", 1, 1}, {"Bert", "Brandt", 2, 2}};
    recipe.hasRaceBlock = true;
    recipe.raceLaps = {lapRecord(1, {1000, 31000}), lapRecord(2, {1000, 31000})};
    recipe.records.push_back(sessionRecord(1));
    // Slot 1 moves 1000 units a frame (64.80 km/h) with one jump of 3000 units;
    // slot 2 moves 6000 units a frame (388.80 km/h), too fast to count.
    std::int32_t p1 = kTrack - 20000, p2 = kTrack - 120000;
    for (int f = 0; f < 400; ++f) {
        p1 = (p1 + (f == 100 ? 3000 : 1000)) % kTrack;
        p2 = (p2 + 6000) % kTrack;
        recipe.records.push_back(frameRecord({{1, p1}, {2, p2}}));
    }
    Read r;
    readAll(recipe, r);
    FastestLapMeasure m;
    std::ostringstream out;
    measureFastestRaceLaps(view(r.bytes), r.streamStart, 36, kTrack, r.tables, 0, r.drivers, kRaceboardWalk, m, out);
    EXPECT_EQ(m.lapSpeeds[1].max[0], 6480);
    EXPECT_EQ(m.lapSpeeds[1].min[0], 6480);
    EXPECT_EQ(m.lapSpeeds[2].max[0], 0);
    EXPECT_EQ(m.lapSpeeds[2].min[0], 38880);  // minima have no upper limit
}

void expectSameMeasure(const FastestLapMeasure& a, const FastestLapMeasure& b, const char* what) {
    for (int slot = 0; slot < kReplaySlots; ++slot) {
        EXPECT_EQ(a.sectorMarks[slot], b.sectorMarks[slot]) << what << " " << slot;
        for (int k = 0; k < kLapPoints; ++k) {
            EXPECT_EQ(a.lapSpeeds[slot].max[k], b.lapSpeeds[slot].max[k]) << what << " " << slot;
            EXPECT_EQ(a.lapSpeeds[slot].min[k], b.lapSpeeds[slot].min[k]) << what << " " << slot;
        }
    }
}

TEST(FastestLap, AMeasurementEndsWhereTheCarsSamplesEndWithTheSameResult) {
    // Slot 2 leaves the race at 65 s, halfway through its fastest lap (lap 2).
    ReplaySpec recipe = serverRace();
    const std::vector<RecordSpec> alone = serverRaceStream({{1, {1000, 41000, 80000, 120500}, 0.0}}, 36, kTrack, 36 * 128);
    const std::size_t leaves = 2 + 36 * 65;
    for (std::size_t i = leaves; i < recipe.records.size(); ++i) recipe.records[i] = alone[i];
    Read r;
    readAll(recipe, r);
    const std::vector<std::size_t> at = layoutOf(recipe).recordOffsets;
    for (const char* what : {"sound", "damaged"}) {
        if (std::string(what) == "damaged") {
            // A record length before slot 2's fastest lap that points into the
            // record before: the walk back goes astray there.
            const std::size_t record = at[2 + 1530 - 40];
            r.bytes[record + 2] = 6;
            r.bytes[record + 3] = 0;
        }
        SampleReach reach;
        const std::int32_t length = scanTrackLength(view(r.bytes), r.streamStart, 0, 0, &reach);
        EXPECT_EQ(reach.lastRecord[2], static_cast<std::int64_t>(at[leaves - 1])) << what;
        EXPECT_EQ(reach.lastRecord[3], -1) << what;
        FastestLapMeasure ended, walked;
        std::ostringstream out;
        measureFastestRaceLaps(view(r.bytes), r.streamStart, 36, length, r.tables, 0, r.drivers, kRaceboardWalk,
                               ended, out, &reach);
        measureFastestRaceLaps(view(r.bytes), r.streamStart, 36, length, r.tables, 0, r.drivers, kRaceboardWalk,
                               walked, out);
        expectSameMeasure(ended, walked, what);
        if (std::string(what) == "sound") {
            EXPECT_GT(ended.sectorMarks[2][2], 0);  // measured up to half distance
            EXPECT_EQ(ended.sectorMarks[2][3], 0);
        }
    }
}

// A participant (slot 2) at 60 fps: five practice laps, lap 3 void and lap
// 4 off track, then four race laps from 180 s on.
struct Participant {
    CarRun own{2, {3000, 34000, 65500, 96000, 127500, 158000, 181000, 212000, 243500, 274000, 305000}, 0.3};
    std::vector<std::uint32_t> practice() const { return {own.stamps.begin(), own.stamps.begin() + 6}; }
    std::vector<std::uint32_t> race() const { return {own.stamps.begin() + 6, own.stamps.end()}; }
};

ReplaySpec participantReplay(const Participant& p) {
    ReplaySpec recipe;
    recipe.frameRateByte = 60;
    recipe.localDriverSlot = 2;
    recipe.drivers = {{"Anna", "Arnold", 1, 1}, {"Bert", "Brandt", 2, 2}, {"Carl", "Cramer", 3, 3}};
    recipe.practiceLaps = {flaggedLapRecord(2, p.practice(), {0, 0, 0, 16, 64, 0})};
    recipe.hasRaceBlock = true;
    recipe.raceLaps = {lapRecord(2, p.race()), lapRecord(1, {181500, 213000, 244000, 276000, 308000})};
    recipe.records = participantStream(p.own, {}, 60, kTrack, 60 * 312, 60 * 180);
    return recipe;
}

TEST(OwnLaps, EveryMeasuredLapGetsItsSectorsAndTheBestsGoToRowZero) {
    Participant p;
    Read r;
    readAll(participantReplay(p), r);
    const std::int32_t length = scanTrackLength(view(r.bytes), r.streamStart, 2, 0);
    EXPECT_GT(length, kTrack - 2000);
    auto table = std::make_unique<OwnSectorTable>();
    std::ostringstream out;
    measureOwnLaps(view(r.bytes), r.streamStart, 60, length, r.tables, 2, *table, out);
    EXPECT_EQ(out.str(),
              "\nWait a moment, please... The tool is searching for sector times\nand max.speed of practice\n"
              "\nWait a moment, please... The tool is searching for sector times\nand max.speed of race\n");
    finishOwnSectorTable(*table, r.tables, 2);

    const int practice = kPracticeSession, race = kRaceSession;
    // Laps 1, 2, 4 and 5 of practice are measured, the void lap 3 is not.
    for (int l : {1, 2, 4, 5}) EXPECT_GT(table->maxSpeed[l][4][practice], 0) << l;
    EXPECT_EQ(table->maxSpeed[3][4][practice], 0);
    EXPECT_EQ(table->maxSpeed[6][0][practice], 0);
    for (int l = 1; l <= 4; ++l) EXPECT_GT(table->maxSpeed[l][4][race], 0) << l;

    // The four sectors add up to the lap time.
    for (int l : {1, 2, 4, 5}) {
        const std::int32_t* sum[] = {&table->mark[l][1][practice], &table->mark[l][2][practice],
                                     &table->mark[l][3][practice], &table->mark[l][4][practice]};
        EXPECT_EQ(*sum[0] + *sum[1] + *sum[2] + *sum[3], r.tables.practice[2].practiceLapTimes[l]) << l;
        EXPECT_GT(*sum[0], *sum[1]);  // slow through the line, fast at half distance
    }
    // Race lap 1's sector 4 runs to the measured crossing, not to the lap time.
    const std::int32_t lap1 = table->mark[1][1][race] + table->mark[1][2][race] + table->mark[1][3][race] +
                              table->mark[1][4][race];
    EXPECT_NEAR(lap1, 31000, 3);

    for (int k = 1; k <= 4; ++k) {
        std::int32_t best = kNoLap;
        for (int l : {1, 2, 4, 5}) best = std::min(best, table->mark[l][k][practice]);
        EXPECT_EQ(table->mark[0][k][practice], best) << k;
    }
    EXPECT_GT(table->maxSpeed[0][0][race], 0);
    EXPECT_GT(table->minSpeed[0][0][race], 0);
    EXPECT_LT(table->minSpeed[0][0][race], table->maxSpeed[0][0][race]);
}

TEST(OwnLaps, AReplayThatEndsEarlyStopsTheSearches) {
    Participant p;
    ReplaySpec recipe = participantReplay(p);
    recipe.records.resize(60 * 200);  // ends in race lap 1
    recipe.fillerBytes = 0;
    Read r;
    readAll(recipe, r);
    auto table = std::make_unique<OwnSectorTable>();
    std::ostringstream out;
    measureOwnLaps(view(r.bytes), r.streamStart, 60, kTrack, r.tables, 2, *table, out);
    EXPECT_GT(table->maxSpeed[5][4][kPracticeSession], 0);
    EXPECT_EQ(table->maxSpeed[2][4][kRaceSession], 0);
}

TEST(RecordWalk, SkipsAndStepsBackStayInsideTheStream) {
    ReplaySpec recipe = serverRace();
    recipe.records.resize(20);
    Read r;
    readAll(recipe, r);
    std::vector<std::size_t> at = layoutOf(recipe).recordOffsets;
    Bytes b = view(r.bytes);
    EXPECT_EQ(skipFrames(b, static_cast<std::int64_t>(at[2]), 5), static_cast<std::int64_t>(at[7]));
    EXPECT_EQ(stepBackFrames(b, static_cast<std::int64_t>(at[7]), 5, r.streamStart), static_cast<std::int64_t>(at[2]));
    EXPECT_EQ(stepBackFrames(b, static_cast<std::int64_t>(at[7]), 100, r.streamStart), r.streamStart);
    EXPECT_EQ(skipFrames(b, static_cast<std::int64_t>(at[2]), 1000000), static_cast<std::int64_t>(at.back()) +
                                                                          static_cast<std::int64_t>(at[3] - at[2]));
    EXPECT_EQ(nextSessionRecord(b, static_cast<std::int64_t>(at[1])), static_cast<std::int64_t>(at[1]));

    // The index of every 256th record gives what walking from its first
    // record gives, asked in any order, and past the end of the records.
    Read full;
    readAll(serverRace(), full);
    const std::vector<std::size_t> starts = layoutOf(serverRace()).recordOffsets;
    const Bytes fb = view(full.bytes);
    const auto first = static_cast<std::int64_t>(starts[2]);
    RecordIndex index(fb, first);
    for (std::int64_t k : {300, 0, 1, 255, 256, 257, 4000, 4606, 4607, 4608, 100000, 3})
        EXPECT_EQ(index.skip(k), skipFrames(fb, first, k)) << k;
    EXPECT_EQ(nextSessionRecord(b, static_cast<std::int64_t>(at[2])), static_cast<std::int64_t>(b.size));
}

}  // namespace
}  // namespace zr

#include "lap_measure.h"

#include <gtest/gtest.h>

#include "lap_replays.h"
#include "stream_records.h"

namespace zr {
namespace {

using namespace zr::test;

constexpr std::int32_t kTrack = 2400000;  // 1.2 km

ReplaySpec serverRace(const std::vector<LapRecordSpec>& laps, std::vector<RecordSpec> records) {
    ReplaySpec recipe;
    recipe.drivers = {{"Race", "Server", 0, 0}, {"Anna", "Arnold", 1, 1}, {"Bert", "Brandt", 2, 2}};
    recipe.hasRaceBlock = true;
    recipe.raceLaps = laps;
    recipe.records = std::move(records);
    return recipe;
}

// Slot 1 at an even pace, slot 2 slowest at the line and fastest at half
// distance, for 128 s at 36 frames per second.
const CarRun kEven{1, {1000, 41000, 80000, 120500}, 0.0}, kWobbly{2, {1500, 42500, 83000, 124000}, 0.5};
ReplaySpec twoCarRace() {
    return serverRace({lapRecord(1, kEven.stamps), lapRecord(2, kWobbly.stamps)},
                      serverRaceStream(tracesOf({kEven, kWobbly}, kTrack), 36, 36 * 128));
}

FastestLapMeasure measure(const ReadReplay& r, std::int32_t trackLength, const SampleReach* reach = nullptr) {
    FastestLapMeasure m;
    ConsoleSink quiet;
    measureFastestRaceLaps(view(r.bytes), r.streamStart, 36, trackLength, r.tables, 0, r.drivers, kRaceboardWalk, m,
                           quiet, reach);
    return m;
}

// The golden consoles pin the lengths measured on server and participant replays.
TEST(TrackLength, ALargerLengthIsKeptAndTheFilesLast10000BytesAreNotMeasured) {
    const ReadReplay server = readReplay(twoCarRace());
    EXPECT_EQ(scanTrackLength(view(server.bytes), server.streamStart, 0, kTrack + 5), kTrack + 5);
    ReplaySpec recipe = serverRace({}, {});
    for (int f = 0; f < 10; ++f) recipe.records.push_back(frameRecord({{3, 900000 + f}}));
    for (const auto& [filler, length] : {std::pair{recipe.fillerBytes, 900009}, {100, 0}}) {
        recipe.fillerBytes = filler;  // the last 10000 bytes of a file are not measured
        const ReadReplay r = readReplay(recipe);
        EXPECT_EQ(scanTrackLength(view(r.bytes), r.streamStart, 0, 0), length) << filler;
    }
}

TEST(FastestLap, SectorMarksLieOnTheTrueCrossingsToTheMillisecond) {
    const SteadyCar car;
    const ReadReplay r = readReplay(serverRace({lapRecord(1, car.stamps(3))}, serverRaceStream({car.trace()}, 36, 36 * 112)));
    const std::int32_t length = scanTrackLength(view(r.bytes), r.streamStart, 0, 0);
    ASSERT_EQ(r.tables.race[1].bestRaceLap.lap, 1);
    const FastestLapMeasure m = measure(r, length);
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(m.sectorMarks[1][k], car.trueMark(k, length)) << k;
    EXPECT_EQ(sectorTime(m, r.tables, 1, 1) + sectorTime(m, r.tables, 1, 2) + sectorTime(m, r.tables, 1, 3) +
                  sectorTime(m, r.tables, 1, 4),
              r.tables.race[1].bestRaceLap.time);
    // 2400000 units in 36000.4 ms: about 1851.8 units a frame, 120.00 km/h.
    EXPECT_NEAR(m.lapSpeeds[1].max[0], 12000, 8);
    EXPECT_NEAR(m.lapSpeeds[1].min[0], 12000, 8);
}

TEST(FastestLap, SpeedSpikesAndSpeedsOver360DoNotCount) {
    // Slot 1 moves 1000 units a frame (64.80 km/h) with one jump of 3000 units;
    // slot 2 moves 6000 units a frame (388.80 km/h), too fast to count.
    std::vector<RecordSpec> records = {sessionRecord(1)};
    std::int32_t p1 = kTrack - 20000, p2 = kTrack - 120000;
    for (int f = 0; f < 400; ++f) {
        p1 = (p1 + (f == 100 ? 3000 : 1000)) % kTrack;
        p2 = (p2 + 6000) % kTrack;
        records.push_back(frameRecord({{1, p1}, {2, p2}}));
    }
    const FastestLapMeasure m =
        measure(readReplay(serverRace({lapRecord(1, {1000, 31000}), lapRecord(2, {1000, 31000})}, records)), kTrack);
    // Minima have no upper limit.
    EXPECT_EQ((std::vector<std::int32_t>{m.lapSpeeds[1].max[0], m.lapSpeeds[1].min[0], m.lapSpeeds[2].max[0],
                                         m.lapSpeeds[2].min[0]}),
              (std::vector<std::int32_t>{6480, 6480, 0, 38880}));
}

TEST(FastestLap, AMeasurementEndsWhereTheCarsSamplesEndWithTheSameResult) {
    // Slot 2 leaves the race at 65 s, halfway through its fastest lap (lap 2).
    ReplaySpec recipe = twoCarRace();
    const std::vector<RecordSpec> alone = serverRaceStream(tracesOf({kEven}, kTrack), 36, 36 * 128);
    const std::size_t leaves = 2 + 36 * 65;
    for (std::size_t i = leaves; i < recipe.records.size(); ++i) recipe.records[i] = alone[i];
    ReadReplay r = readReplay(recipe);
    const std::vector<std::size_t> at = layoutOf(recipe).recordOffsets;
    enum Variant { whole, shortWindows, damaged };
    for (const Variant variant : {whole, shortWindows, damaged}) {
        if (variant == damaged) {
            // A record length before slot 2's fastest lap that points into the
            // record before: the walk back goes astray there.
            const std::size_t record = at[2 + 1530 - 40];
            r.bytes[record + 2] = 6;
            r.bytes[record + 3] = 0;
        }
        SampleReach reach;
        planLapWindows(reach, r.tables, 0, 36, kRaceboardWalk);
        if (variant == shortWindows)
            for (LapWindow& w : reach.windows) w.records = std::min<std::int64_t>(w.records, 150);
        const std::int32_t length = scanTrackLength(view(r.bytes), r.streamStart, 0, 0, &reach);
        EXPECT_EQ(reach.lastRecord[2], static_cast<std::int64_t>(at[leaves - 1])) << variant;
        EXPECT_EQ(reach.lastRecord[3], -1) << variant;
        EXPECT_EQ(reach.windows[1].positions.size(), static_cast<std::size_t>(reach.windows[1].records)) << variant;
        // Every 256th record start of the race, as a walk of the records finds them.
        std::int64_t race = findRaceStartRecord(view(r.bytes), r.streamStart, false);
        ASSERT_TRUE(nextRecord(view(r.bytes), race));
        RecordIndex records(view(r.bytes), race);
        ASSERT_GT(reach.raceRecordStarts.size(), 10u);
        for (std::size_t j = 0; j < reach.raceRecordStarts.size(); ++j)
            EXPECT_EQ(reach.raceRecordStarts[j], records.skip(static_cast<std::int64_t>(j) * RecordIndex::kEvery)) << j;
        const FastestLapMeasure ended = measure(r, length, &reach), walked = measure(r, length);
        auto values = [](const std::int32_t(&v)[kLapPoints]) { return std::vector<std::int32_t>(v, v + kLapPoints); };
        for (int slot : {1, 2}) {
            EXPECT_EQ(ended.sectorMarks[slot], walked.sectorMarks[slot]) << variant << slot;
            EXPECT_EQ(values(ended.lapSpeeds[slot].max), values(walked.lapSpeeds[slot].max)) << variant << slot;
            EXPECT_EQ(values(ended.lapSpeeds[slot].min), values(walked.lapSpeeds[slot].min)) << variant << slot;
        }
        if (variant == whole) {
            EXPECT_GT(ended.sectorMarks[2][2], 0);  // measured up to half distance
            EXPECT_EQ(ended.sectorMarks[2][3], 0);
        }
    }
}

TEST(RecordWalk, SkipsStepsBackAndSessionRecordsStayInsideTheStream) {
    const CarRun a{1, {1000, 41000}, 0.0};
    const ReplaySpec recipe = serverRace({}, serverRaceStream(tracesOf({a}, kTrack), 36, 18));
    const ReadReplay r = readReplay(recipe);
    std::vector<std::int64_t> at;
    for (std::size_t offset : layoutOf(recipe).recordOffsets) at.push_back(static_cast<std::int64_t>(offset));
    const Bytes b = view(r.bytes);
    const std::int64_t pastLast = at.back() + (at[3] - at[2]);
    EXPECT_EQ(skipFrames(b, at[2], 5), at[7]);
    EXPECT_EQ(skipFrames(b, at[2], 1000000), pastLast);  // the filler's zero length ends the records
    EXPECT_EQ(stepBackFrames(b, at[7], 5, r.streamStart), at[2]);
    EXPECT_EQ(stepBackFrames(b, at[7], 100, r.streamStart), r.streamStart);
    EXPECT_EQ(nextSessionRecord(b, at[1]), at[1]);
    EXPECT_EQ(nextSessionRecord(b, at[2]), static_cast<std::int64_t>(b.size));

    // The index keeps every 256th record start and gives what walking from
    // its first record gives, asked in any order, and past the end.
    const ReadReplay full = readReplay(twoCarRace());
    const Bytes fb = view(full.bytes);
    const auto first = static_cast<std::int64_t>(layoutOf(twoCarRace()).recordOffsets[2]);
    RecordIndex sparse(fb, first);
    for (std::int64_t k : {300, 0, 1, 255, 256, 257, 4000, 4606, 4607, 4608, 100000, 3})
        EXPECT_EQ(sparse.skip(k), skipFrames(fb, first, k)) << k;
}

}  // namespace
}  // namespace zr

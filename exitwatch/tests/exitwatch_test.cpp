#include "exitwatch.h"

#include <gtest/gtest.h>

#include <limits>

#include "analysed_run.h"
#include "golden.h"
#include "replay_builder.h"
#include "scripted_frames.h"

namespace zr {
namespace {

using namespace zr::test;

// A car at `position` that moves `step` units per frame, missing during the gaps;
// after the last gap it stands at `after` when that is given.
CarScript car(int slot, std::int32_t position, std::vector<Span> gaps, std::int32_t step = 0,
              std::optional<std::int32_t> after = {}) {
    return [=](int u) -> std::optional<SampleSpec> {
        if (anyHolds(gaps, u)) return std::nullopt;
        if (after && u > gaps.back().to) return SampleSpec{slot, *after};
        return SampleSpec{slot, position + step * u};
    };
}

constexpr std::int32_t kOutside = 2000 * 2000;

// A car that stands just before the line until its last sample before the
// gaps, which lies just after it.
CarScript acrossTheLine(int slot, std::vector<Span> gaps) {
    return [=](int u) -> std::optional<SampleSpec> {
        if (anyHolds(gaps, u)) return std::nullopt;
        return SampleSpec{slot, u < gaps.front().from - 1 ? 5998500 : 1500};
    };
}

// A qualifying session of 130.3 s at 36 frames per second on a track whose pit
// lane runs from 4000 m across the line to 150 m. With "timediff.ini" 1 1 the
// walk visits frames 0 to 2530 (70.3 s × 36 = 2530.8) and an absence counts up
// to 2160 frames after the last sighting.
ReplaySpec qualifying() {
    ReplaySpec recipe;
    recipe.trackName = "quali";
    recipe.sessionLength = 130.3f;
    recipe.drivers = {{"Race", "Server", 0, 0}, {"Anna", "Arnold", 1, 0}, {"Bert", "Brandt", 2, 0},
                      {"Carl", "Cramer", 3, 0}, {"Dora", "Dietz", 4, 0},  {"Emil", "Engel", 5, 0},
                      {"Fritz", "Fuchs", 6, 0}, {"Gina", "Grimm", 7, 0},  {"Hans", "Huber", 8, 0},
                      {"Ida", "Imhof", 9, 0},   {"Jan", "Jung", 10, 0},   {"Karl", "Kunz", 11, 0},
                      {"Lena", "Lang", 12, 0},  {"Mia", "Mohr", 13, 0},   {"Nils", "Noll", 14, 0},
                      {"Zora", "Zander", 25, 0}};
    recipe.practiceLaps = {lapRecord(1, {0, 90000, 185000}), lapRecord(3, {0, 95000})};
    std::vector<CarScript> cars = {
        car(0, kOutside, {{100, 1179}}, 0, 2000 * 100),  // stands outside the lane, reappears in it: listed
        car(1, 2000 * 4100, {{100, 1179}}),          // stands in the lane beyond its start
        car(2, 2000 * 100, {{100, 1179}}),           // stands in the lane before its end
        car(3, kOutside, {{100, 1179}}, 5),          // creeps 5 units a frame: still standing
        car(4, kOutside, {{100, 1179}}, 6),          // moves 6 units a frame
        car(5, kOutside, {{200, 200}, {400, 401}}),  // one frame missing, then two
        car(6, kOutside, {{101, 2263}}),             // back 2164 frames after the last sighting: too long
        car(7, kOutside, {{101, 2262}}),             // back after 2163 frames: still counts
        car(8, kOutside, {{400, 499}, {600, 700}}),  // escapes twice
        car(9, kOutside, {{1000, 2529}}),            // back in the last frame walked
        car(10, kOutside, {{1000, 2530}}),           // back after the walk ended
        car(11, kOutside, {{0, 4}}),                 // first seen in frame 5
        car(12, kOutside, {{300, 305}}),             // back in frame 306
        acrossTheLine(13, {{100, 1179}}),            // crossed the line before it vanished (in the lane)
        car(14, kOutside, {{100, 1179}}, -6),        // rolls backwards 6 units a frame
        car(25, kOutside, {{100, 1179}}),            // no row for slot 25
    };
    // The first stream record is never walked: a sighting there would make car 11's
    // late start an absence.
    recipe.records.push_back(frameRecord({{11, kOutside}}));
    for (RecordSpec& r : scriptedFrames(cars, 0, 2600)) recipe.records.push_back(r);
    return recipe;
}

Analysed<EscapeFindings> analysed(const ReplaySpec& recipe, TimeDiffSettings timeDiff, bool withTrack = true) {
    const std::string ini = withTrack ? trackIniText(4000.0, 150.0, 95, 410) : "";
    return analyse(findEscapes, buildReplay(recipe), "quali", ini, timeDiff);
}

// The console of the run is the end-to-end runs' to show.
TEST(Exitwatch, ListsTheCarsThatLeftStandingOutsideThePitLane) {
    expectGolden(ZR_GOLDEN_DIR "/escapes.txt", escapeReport(analysed(qualifying(), {1, 1}).findings), LineEnds::lf);
}

// Without the lane a car that crossed the line or rolled backwards still moved.
TEST(Exitwatch, WithoutTrackFileEveryStandingAbsenceCounts) {
    expectGolden(ZR_GOLDEN_DIR "/escapes_without_track.txt",
                 escapeReport(analysed(qualifying(), {1, 1}, false).findings), LineEnds::lf);
}

TEST(Exitwatch, TheSessionLimitAndTheLongestAbsenceFollowTimediff) {
    // "0 0": the whole session, absences up to 120 minutes.
    const std::string all = escapeReport(analysed(qualifying(), parseTimeDiff("0 0")).findings);
    EXPECT_NE(all.find("F.Fuchs"), std::string::npos);
    EXPECT_NE(all.find("J.Jung"), std::string::npos);
    ReplaySpec shortSession = qualifying();
    shortSession.sessionLength = 8.5f;  // frames 0 to 305: car 12 is not back yet
    EXPECT_EQ(analysed(shortSession, {0, 1}).findings.watch.escapeCount, 0);
}

TEST(Exitwatch, PitLaneMayCrossTheLine) {
    const PitLaneBounds across{4000, 150}, plain{150, 4000}, none{};  // no track file: no lane
    for (auto [metres, lane, in] : {std::tuple{4100, across, true}, {100, across, true}, {2000, across, false},
                                    {150, across, false}, {2000, plain, true}, {4000, plain, false},
                                    {100, plain, false}, {0, none, false}})
        EXPECT_EQ(inPitLane(2000 * metres, lane), in) << metres << " m in " << lane.pitLaneStart;
}

TEST(Exitwatch, SessionLengthsOutsideA32BitCountAreClamped) {
    EXPECT_EQ(sessionFrames(std::numeric_limits<float>::quiet_NaN(), 36), 0);
    EXPECT_EQ(sessionFrames(1e20f, 36), std::int64_t{INT32_MAX} * 36);
    EXPECT_EQ(sessionFrames(-1e20f, 36), std::int64_t{INT32_MIN} * 36);
}

}  // namespace
}  // namespace zr

#include "track_file.h"
#include "track_ini.h"

#include <gtest/gtest.h>

#include <sstream>

#include "run_dir.h"

namespace zr {
namespace {

TEST(TrackIni, LaneBoundsInEitherSpelling) {
    auto a = parsePitLaneBounds("[ pit_lane_0 ]\r\nlane_bounds_dlong = 120.5 3410.25 \r\n");
    EXPECT_EQ(a.pitLaneStart, 120);
    EXPECT_EQ(a.pitLaneEnd, 3410);
    auto b = parsePitLaneBounds("x\n[ pit_lane_0 ]\nlane_bounds_dlong  = 120.5 3410.25\nnext = 1");
    EXPECT_EQ(b.pitLaneStart, 120);
    EXPECT_EQ(b.pitLaneEnd, 3410);  // the last number of a line runs on to the next blank
    auto neg = parsePitLaneBounds("[ pit_lane_0 ]\nlane_bounds_dlong = -5.5  7 ");
    EXPECT_EQ(neg.pitLaneStart, -5);
    EXPECT_EQ(neg.pitLaneEnd, 7);
}

TEST(TrackIni, TheSectionNameStandsOneCharacterAfterTheBracket) {
    EXPECT_EQ(parsePitLaneBounds("[pit_lane_0]\nlane_bounds_dlong = 1 2 ").pitLaneStart, 0);
    EXPECT_EQ(parsePitLaneBounds("[ pit_lane_1 ]\nlane_bounds_dlong = 1 2 ").pitLaneStart, 0);
    // A key missing from the section is taken from a later one.
    auto later = parsePitLaneBounds("[ pit_lane_0 ]\nx = 1\n[ other ]\nlane_bounds_dlong = 9.9 8.8 ");
    EXPECT_EQ(later.pitLaneStart, 9);
    EXPECT_EQ(later.pitLaneEnd, 8);
}

TEST(TrackIni, StallsEndAtAFullStop) {
    auto a = parseStallBounds("[ pit_lane_0 ]\nstall_0 = 95.0\nstall_1 = 100.0\nstall_19  = 410.7\n");
    EXPECT_EQ(a.firstStall, 95);
    EXPECT_EQ(a.lastStall, 410);
    auto b = parseStallBounds("[ pit_lane_0 ]\r\nstall_0  = 12.5\r\nstall_19 = 3.25\r\n");
    EXPECT_EQ(b.firstStall, 12);
    EXPECT_EQ(b.lastStall, 3);
    auto partial = parseStallBounds("[ pit_lane_0 ]\nstall_0 = 77.0\n");
    EXPECT_EQ(partial.firstStall, 77);
    EXPECT_EQ(partial.lastStall, 0);
}

TEST(TrackIni, LongTokensAndMissingPiecesStopAtTheEnd) {
    EXPECT_EQ(parsePitLaneBounds("").pitLaneStart, 0);
    EXPECT_EQ(parsePitLaneBounds("[").pitLaneStart, 0);
    EXPECT_EQ(parsePitLaneBounds("[ pit_lane_0").pitLaneStart, 0);
    std::string digits(200, '7');
    auto big = parsePitLaneBounds("[ pit_lane_0 ]\nlane_bounds_dlong = " + digits);
    EXPECT_EQ(big.pitLaneStart, 2147483647);
    EXPECT_EQ(big.pitLaneEnd, 0);
}

TEST(TrackIni, ConsoleTextsOfBothVocabularies) {
    test::RunDir dir;
    dir.writeTrack("ring", "[ pit_lane_0 ]\nlane_bounds_dlong = 100.0 200.0 \nstall_0 = 110.0\nstall_19 = 150.0\n");
    const std::string folder = dir.path() + "/sim/tracks\\";
    auto shown = [](auto show) {
        std::ostringstream text;
        ConsoleSink console{&text};
        show(console);
        return text.str();
    };
    const TrackFile ring = readTrackFile(folder, "ring");
    const std::string path = folder + "ring\\track.ini";
    EXPECT_EQ(ring.path, path);
    EXPECT_EQ(shown([&](ConsoleSink& c) { showPitLane(ring, TrackTexts::english, c); }),
              "\nStart Pitlane= 100  End Pitlane= 200\n");
    EXPECT_EQ(shown([&](ConsoleSink& c) { showPitLane(ring, TrackTexts::german, c); }),
              path + "\n\nAnfang Pitlane= 100  Ende Pitlane= 200\n");
    EXPECT_EQ(shown([&](ConsoleSink& c) { showStalls(ring, c); }), path + "\n\nerste Box= 110  letzte Box= 150\n");

    const TrackFile none = readTrackFile(folder, "none");
    EXPECT_FALSE(none.found);
    EXPECT_EQ(none.lane.pitLaneEnd, 0);
    EXPECT_EQ(shown([&](ConsoleSink& c) { showPitLane(none, TrackTexts::english, c); }),
              "\nATTENTION!!!\nTrack not installed!\n\n");
    EXPECT_EQ(shown([&](ConsoleSink& c) { showPitLane(none, TrackTexts::german, c); }),
              none.path + "\n\nACHTUNG!!!\nStrecke nicht installiert!\nDeshalb funktioniert die \"in Box-Anzeige\" nicht.\n\n");
}

}  // namespace
}  // namespace zr

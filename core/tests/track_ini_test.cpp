#include "track_ini.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace zr {
namespace {

// The numbers of "lane_bounds_dlong" in the section "[ pit_lane_0 ]", cut to
// whole metres; the console texts of the track file are shown in the
// programs' end-to-end runs.
TEST(TrackIni, LaneBounds) {
    const std::tuple<std::string, int, int> rows[] = {
        {"[ pit_lane_0 ]\r\nlane_bounds_dlong = 120.5 3410.25 \r\n", 120, 3410},
        // The last number of a line runs on to the next blank.
        {"x\n[ pit_lane_0 ]\nlane_bounds_dlong  = 120.5 3410.25\nnext = 1", 120, 3410},
        {"[ pit_lane_0 ]\nlane_bounds_dlong = -5.5  7 ", -5, 7},
        // The section name stands one character after the bracket.
        {"[pit_lane_0]\nlane_bounds_dlong = 1 2 ", 0, 0},
        {"[ pit_lane_1 ]\nlane_bounds_dlong = 1 2 ", 0, 0},
        // A key missing from the section is taken from a later one.
        {"[ pit_lane_0 ]\nx = 1\n[ other ]\nlane_bounds_dlong = 9.9 8.8 ", 9, 8},
        // Long tokens and missing pieces stop at the end.
        {"", 0, 0},
        {"[", 0, 0},
        {"[ pit_lane_0", 0, 0},
        {"[ pit_lane_0 ]\nlane_bounds_dlong = " + std::string(200, '7'), 2147483647, 0},
    };
    for (const auto& [text, start, end] : rows) {
        PitLaneBounds b = parsePitLaneBounds(text);
        EXPECT_EQ(std::pair(b.pitLaneStart, b.pitLaneEnd), std::pair(start, end)) << text;
    }
}

// "stall_0" and "stall_19", each number ending at its full stop.
TEST(TrackIni, StallsEndAtAFullStop) {
    const std::tuple<std::string, int, int> rows[] = {
        {"[ pit_lane_0 ]\nstall_0 = 95.0\nstall_1 = 100.0\nstall_19  = 410.7\n", 95, 410},
        {"[ pit_lane_0 ]\r\nstall_0  = 12.5\r\nstall_19 = 3.25\r\n", 12, 3},
        {"[ pit_lane_0 ]\nstall_0 = 77.0\n", 77, 0},
    };
    for (const auto& [text, first, last] : rows) {
        StallBounds b = parseStallBounds(text);
        EXPECT_EQ(std::pair(b.firstStall, b.lastStall), std::pair(first, last)) << text;
    }
}

}  // namespace
}  // namespace zr

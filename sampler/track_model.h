// The track a sample race is driven on: its length, corners, pit lane and
// stalls, the reference speed and heading at every metre, and its track.ini.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zr::sampler {

// Positions along the lap in the replay's unit: 2000 per metre (0.5 mm).
constexpr std::int64_t kUnitsPerMetre = 2000;
constexpr int kHeadingTurn = 512;  // heading units in a full turn

struct Corner {
    int startM = 0;    // metres from the start/finish line
    int lengthM = 0;
    int turn = 0;      // heading units over the whole corner; negative turns right
    int speedKmh = 0;  // cornering speed of the reference car
};

struct TrackModel {
    std::string folder;   // the folder under tracks\, at most 8 characters
    std::string title;    // the name the reports show, at most 8 characters
    int lengthM = 0;
    // The pit lane along the lap; it runs across the line when it ends at a
    // smaller distance than it starts. Stall k stands stallStepM metres
    // before stall k - 1, so stall 0 is the one nearest the pit exit.
    int pitLaneStartM = 0;
    int pitLaneEndM = 0;
    int firstStallM = 0;
    int stallStepM = 6;
    int topSpeedKmh = 0;
    int pitSpeedKmh = 80;
    int startHeading = 0;
    std::vector<Corner> corners{};  // in lap order; their turns add up to one full turn

    // Per metre of the lap, filled by prepareTrack.
    std::vector<std::int32_t> speedAt{};  // reference speed, position units per second
    std::vector<std::int16_t> headingAt{};
};

constexpr int kStalls = 20;

// The integer square root (the largest r with r * r <= v), for speeds from
// distances without floating point.
std::int64_t isqrt(std::int64_t v);

// Fills the per-metre tables: corner speeds, braking before and accelerating
// after each corner, and the heading.
void prepareTrack(TrackModel& track);

std::int64_t lapUnits(const TrackModel& track);
std::int32_t referenceSpeed(const TrackModel& track, std::int64_t position);
int trackHeading(const TrackModel& track, std::int64_t position);
int stallMetres(const TrackModel& track, int stall);
// Where a car stands in its stall: half a metre short of the stall's mark.
std::int64_t stallStop(const TrackModel& track, int stall);
// Between the first and the last stall, both marks excluded.
bool betweenStalls(const TrackModel& track, std::int64_t position);
// Inside the pit lane bounds along the lap, both excluded.
bool inPitLaneBounds(const TrackModel& track, std::int64_t position);
// The reference car's lap time in milliseconds, from a flying start.
std::int64_t referenceLapMs(const TrackModel& track);

// The simulator's track.ini for the track: a [ track ] section and the
// [ pit_lane_0 ] section with the lane bounds and the twenty stalls.
std::string trackIni(const TrackModel& track);

// The tracks the samples and the benchmark are driven on.
TrackModel shortTrack();   // under a kilometre, for the tests' small races
TrackModel mediumTrack();  // about three kilometres (laps of 65 seconds), for the bundled samples
TrackModel longTrack();    // about five kilometres, for the benchmark

}  // namespace zr::sampler

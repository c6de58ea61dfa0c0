// The replays the sampler makes: the bundled samples, a race of any size and
// the benchmark's long race.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scenario.h"

namespace zr::sampler {

// The settings beside the bundled samples: "timediff.ini" and heatboard's
// "myname.ini" (one of the drivers of grid A, without a line end).
constexpr const char* kSampleTimeDiff = "0 120\r\n";
constexpr const char* kSampleUserName = "Sabine Schulte";

// A server race, a participant's race with the own-car block, a qualifying
// session and the three grids of one event (300rplyA to 300rplyC), each with
// its planned incidents.
std::vector<ReplayPlan> bundledSamples();

// A race of `cars` cars (3 to 20, in slots 1 to 20) over `laps` laps with a
// short practice before it, random pace and a random mix of incidents drawn
// from `seed`. The programs whose tables have twenty rows (slots 0 to 19)
// leave a car in slot 20 out.
ReplayPlan randomRace(const std::string& name, int cars, int laps, std::uint64_t seed, int frameRate,
                      bool longTrack);

// The benchmark's race: `cars` cars (3 to 20) on the long track at
// `frameRate` (36 or 60) frames per second, enough laps for about
// `megabytes` of replay. Named "bench" with 20 cars at 36 frames per second,
// otherwise "benchCARSxFPS" (bench19x60).
ReplayPlan benchmarkRace(int megabytes, int cars = 20, int frameRate = 36);

}  // namespace zr::sampler

// Frame counts printed as race clocks.
#pragma once

#include <string>

namespace zr {

enum class ClockStyle {
    minutes,  // " 2:05", "66:40": minutes not reduced to hours
    hours     // "   2:05", "1:02:30"
};

std::string formatRaceClock(long long frames, int frameRate, ClockStyle style);

// Minutes, ":", two-digit seconds, ".", three-digit milliseconds ("1:23.456").
std::string formatLapTime(long long ms);

}  // namespace zr

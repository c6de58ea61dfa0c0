// The units of the replay's numbers.
//
// Positions along the lap count 0.5 mm from the start/finish line in 26 bits;
// track.ini gives distances in metres. Times are milliseconds, the event
// stream counts frames at the header's frame rate. Speeds are 1/100 km/h.
#pragma once

#include <cstdint>

namespace zr {

constexpr std::int64_t kPositionUnitsPerMetre = 2000;
constexpr std::int64_t kPositionUnitsPerCentimetre = 20;
constexpr std::int64_t kPositionUnitsPerMillimetre = 2;
constexpr std::uint32_t kPositionMask = 0x03FFFFFF;  // the 26 position bits of a stored word

// A track.ini distance in position units.
constexpr std::int64_t metresToPosition(std::int64_t metres) { return metres * kPositionUnitsPerMetre; }

}  // namespace zr

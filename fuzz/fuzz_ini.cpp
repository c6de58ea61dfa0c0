// Fuzz target: the text readers: track.ini's pit lane and stalls, and
// "timediff.ini".
#include <cstddef>
#include <cstdint>
#include <string>

#include "front_end.h"
#include "track_ini.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    volatile long long sink = 0;
    zr::PitLaneBounds lane = zr::parsePitLaneBounds(text);
    zr::StallBounds stalls = zr::parseStallBounds(text);
    zr::TimeDiffSettings diff = zr::parseTimeDiff(text);
    sink += static_cast<long long>(lane.pitLaneStart) + lane.pitLaneEnd + stalls.firstStall + stalls.lastStall +
            diff.timeDiffFirst;
    return 0;
}

// The replay's header fields at fixed offsets, and the four-byte chunk tags.
#pragma once

#include <cstdint>
#include <string>

#include "byte_reader.h"

namespace zr {

// Four ASCII bytes compared as one little-endian word.
enum ChunkTag : std::uint32_t {
    tagOrpl = 0x4C50524F,  // "ORPL": a lap record
    tagBtpl = 0x4C505442,  // "BTPL": the race lap block
};

namespace header {
constexpr std::int64_t frameRate = 5;
constexpr std::int64_t reportTrackName = 24;
constexpr std::int64_t localDriverSlot = 52;
constexpr std::int64_t trackName = 112;
constexpr std::int64_t modName = 128;
constexpr std::int64_t sessionLength = 233;
constexpr std::int64_t firstDriverRecord = 320;
}  // namespace header

// How the header's frame-rate byte is taken.
enum class FrameRateRule {
    zeroMeans36,  // the listings: 0 gives 36, anything else as stored
    only60Or36    // the lap-statistics pages: 60 if the byte is 60, else 36
};

struct ReplayHeader {
    int frameRate = 36;
    std::string reportTrackName;  // as stored, up to its first NUL (8 bytes at most)
    std::int32_t localDriverSlot = 0;
    std::string trackName;        // as stored: it names the track's folder
    std::string modName;
    float sessionLength = 0.0f;
};

int frameRateOf(std::uint32_t storedByte, FrameRateRule rule);

// Reads every header field; a field past the end of a short file reads as 0.
ReplayHeader readReplayHeader(Bytes replay, FrameRateRule rule);

}  // namespace zr

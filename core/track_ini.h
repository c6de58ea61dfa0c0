// The pit lane and the stalls from the simulator's "track.ini".
//
// The file is not parsed as an ini file: the programs look for the section
// name "pit_lane_0" one character after a "[", then slide a window of the
// key's width through the rest of the file until it holds one of the key's
// two spellings, and take the integer part of the number that follows.
#pragma once

#include <cstdint>
#include <string>


namespace zr {

struct PitLaneBounds {
    std::int32_t pitLaneStart = 0;
    std::int32_t pitLaneEnd = 0;
};

struct StallBounds {
    std::int32_t firstStall = 0;
    std::int32_t lastStall = 0;
};

// tracks folder + track name + "\track.ini"
std::string trackIniPath(const std::string& tracksFolder, const std::string& trackName);

// The searches on the file's text; values not found stay 0.
PitLaneBounds parsePitLaneBounds(const std::string& text);
StallBounds parseStallBounds(const std::string& text);

}  // namespace zr

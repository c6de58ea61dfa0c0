// Runs one whole program on arbitrary replay bytes: the bytes become the
// replay of a working directory laid out once per process (configuration
// files, a track.ini), and the program runs its full dialogue, analysis and
// report writing with scripted input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>

namespace zr::fuzz {

using RunFunction = int (*)(std::istream& in, std::ostream& out);

// `input` is the scripted console input; the replay is named "f".
int runOnReplay(RunFunction run, const std::string& input, const std::uint8_t* data, std::size_t size);

}  // namespace zr::fuzz

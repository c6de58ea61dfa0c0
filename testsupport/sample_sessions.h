// The bundled samples beside the race replay: a race with pit stops and a
// qualifying session with escapes, both on the sample ring.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "replay_builder.h"

namespace zr::test {

// Replay names (without ".rpy") and their descriptions.
std::vector<std::pair<std::string, ReplaySpec>> sessionSamples();

}  // namespace zr::test

// Turns a plan into replay bytes: the simulation runs twice with the same
// seed, first to learn the lap records that stand before the event stream,
// then to write the frames. Long replays go to the file in pieces.
#pragma once

#include <cstdint>
#include <string>

#include "race_sim.h"
#include "replay_builder.h"
#include "scenario.h"

namespace zr::sampler {

// The replay's name for the host's driver record (slot 0, no car).
constexpr const char* kHostFirstName = "Dedicated";
constexpr const char* kHostLastName = "Server";

// The whole replay in memory.
writer::ByteVec replayBytes(const ReplayPlan& plan, SimulationResult* result = nullptr);

// FOLDER/replay/NAME.rpy with its ground truth FOLDER/replay/NAME.truth, and
// the track's FOLDER/tracks/TRACK/track.ini. False when a file cannot be
// written; `error` then names it.
bool writeReplayFiles(const ReplayPlan& plan, const std::string& folder, SimulationResult& result,
                      std::uint64_t& bytes, std::string& error);

}  // namespace zr::sampler

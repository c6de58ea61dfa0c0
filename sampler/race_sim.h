// The race simulation behind the sample replays: cars of different pace on a
// track with a pit lane, frame by frame, playing out the incidents of a plan.
// Integer arithmetic throughout, so a plan and its seed always give the same
// frames.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ground_truth.h"
#include "replay_builder.h"
#include "scenario.h"

namespace zr::sampler {

struct DamageReport {
    int slot = 0;
    std::uint8_t wheels = 0;  // four 2-bit fields, 3 = wheel lost
    std::uint8_t body = 0;
    std::uint8_t engine = 0;  // of 63
};

// One frame as the simulator records it.
struct FrameView {
    SessionKind session = SessionKind::practice;
    int frame = 0;                  // within the session; -1 for the record before a qualifying session
    bool sessionState = false;      // a session-state record (once a second)
    std::int32_t sessionClock = 0;  // hundredths of a second times 256, plus the start flag
    std::vector<writer::SampleSpec> samples;  // the cars present, in slot order
    std::vector<DamageReport> damage;       // the cars whose damage changed
    bool hasOwnCar = false;
    std::int32_t ownPosition = 0;
};

struct SimulationResult {
    GroundTruth truth;
    // Pairs of cars that came as close as a contact needs outside the planned
    // contacts; the bundled samples have none.
    int nearMisses = 0;
    std::string nearMissText;           // the first few
    std::vector<std::string> unplayed;  // planned incidents that never came about
};

using FrameSink = std::function<void(const FrameView&)>;

// Runs every session of the plan; `sink` gets each frame (it may be empty).
SimulationResult simulate(const ReplayPlan& plan, const FrameSink& sink);

}  // namespace zr::sampler

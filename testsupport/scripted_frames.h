// Event records from per-car scripts: each script says where its car is in a
// frame, or that the car is missing from it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "replay_builder.h"

namespace zr::test {

using namespace zr::writer;  // the tests describe their replays in the writer's terms

using CarScript = std::function<std::optional<SampleSpec>(int frame)>;

// One frame record for each frame from `first` to `last`, holding the samples
// of the cars present, in the order of `cars`.
std::vector<RecordSpec> scriptedFrames(const std::vector<CarScript>& cars, int first, int last);

// The frames from `from` to `to`, both included.
struct Span {
    int from = 0;
    int to = 0;
    bool holds(int frame) const { return frame >= from && frame <= to; }
};
bool anyHolds(const std::vector<Span>& spans, int frame);

// A car that drives `speed` units a frame round a lap of `lap` units and stands
// still during its rests: it reaches `restPosition` in the first frame of its
// first rest. Its position in `frame`, from 0 to lap - 1.
struct LapDrive {
    std::vector<Span> rests;
    std::int32_t restPosition = 0;
    std::int32_t speed = 0;
    std::int32_t lap = 0;

    std::int32_t position(int frame) const;
};

}  // namespace zr::test

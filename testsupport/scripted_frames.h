// Event records from per-car scripts: each script says where its car is in a
// frame, or that the car is missing from it; or from a race described frame by
// frame.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
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

// A race described frame by frame. The race-start record (a session record
// with its start flag) is frame 1, after an idle first record unless
// `idleFirstRecord` is false; frame G is the G-th record of the walk, a frame
// record of type 2 holding the frame's blocks and then its samples.
struct FrameRace {
    ReplaySpec recipe;  // header, drivers and laps; replay() adds the records
    bool idleFirstRecord = true;
    int lastFrame = 0;  // 0: the last frame described, and one empty frame after it
    std::map<int, std::vector<SampleSpec>> samples;  // in the record's order
    std::map<int, std::vector<Block>> blocks;
    std::map<int, RecordSpec> records;  // whole records where a frame needs its own layout

    // The car's sample in frames `from` to `to` (at most lastFrame), moving
    // `speed` per frame; it takes the place of the car's sample there, or
    // stands in slot order.
    void put(int from, int to, SampleSpec sample, int speed = 0);
    void drop(int frame, int slot);  // no sample of the car in that frame
    void addBlock(int frame, const Block& block) { blocks[frame].push_back(block); }
    ByteVec replay() const;
};

}  // namespace zr::test

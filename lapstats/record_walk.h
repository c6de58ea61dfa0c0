// Moving back and forth through the event stream by records, as the lap
// measurements do: raceboard and heatboard jump close to a lap by counting
// records (one per frame, stream_records.h), walk back a little and look for
// the line crossing.
//
// The block chain is walked from the first block at record offset 8, at most
// 79 blocks (99 in the own-lap measuring loop); the last block walked is the
// car-sample area.
#pragma once

#include <cstdint>

#include "event_stream.h"

namespace zr {

constexpr ChainRule kBoardChain{false, 79, 16};

// The position of the last sample of `carSlot` in the record, -1 when it has none.
inline std::int32_t lastSamplePosition(const Frame& frame, int carSlot) {
    std::int32_t position = -1;
    for (int i = 0; i < frame.sampleCount; ++i) {
        CarSample s = frame.sample(i);
        if (s.carSlot == carSlot) position = s.samplePosition;
    }
    return position;
}

// The line-crossing rule: a car's position that drops below the previous
// one. `previous` is the last position taken, -1 before any.
struct LineSearch {
    std::int32_t previous = -1;
    // Takes a record's position (-1 when it has none); true where it crossed.
    bool crossedAt(std::int32_t p) {
        if (p < 0) return false;
        const bool crossed = p < previous;
        previous = p;
        return crossed;
    }
};

// The line-crossing search: walks at most `records` records from `at` (left
// after the last record walked) until a car's position, `positionOf(frame)`
// (-1 when the record has none), drops below the previous one. Returns the
// last position seen: the small one after the line, or -1.
template <class PositionOf>
std::int32_t searchLineCrossing(Bytes replay, std::int64_t& at, int records, PositionOf positionOf) {
    Frame frame;
    LineSearch search;
    for (int i = 0; i < records && readFrame(replay, at, kBoardChain, frame); ++i) {
        at = frame.recordEnd;
        if (search.crossedAt(positionOf(frame))) break;
    }
    return search.previous;
}

}  // namespace zr

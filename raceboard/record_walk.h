// Moving back and forth through the event stream by records, as the lap
// measurements do: raceboard and heatboard jump close to a lap by counting
// records (one per frame) and walk back with the previous record's length that
// bytes 2 and 3 of every record hold.
//
// The block chain is walked from the first block at record offset 8, at most
// 79 blocks (99 in the own-lap measuring loop); the last block walked is the
// car-sample area. A block of kind 1 and length 32 carries the own car's track
// position in a replay recorded by a participant.
#pragma once

#include <cstdint>

#include "byte_reader.h"
#include <vector>

#include "event_stream.h"

namespace zr {

constexpr ChainRule kBoardChain{false, 79, 16};
constexpr ChainRule kOwnLapChain{false, 99, 16};

// `k` records on from `at`; stops at the end of the file.
std::int64_t skipFrames(Bytes replay, std::int64_t at, std::int64_t k);

// Every 256th record start from one record on, filled as far as the skips
// ask: the fastest laps lie anywhere in the race, and each skip would
// otherwise walk the records from that record again for every driver. A
// start of every record would take megabytes.
struct RecordIndex {
    static constexpr std::int64_t kEvery = 256;
    Bytes replay;
    std::vector<std::int64_t> starts;  // starts[j]: the record j × kEvery records on
    bool ended = false;                // the records end before the next start

    RecordIndex(Bytes r, std::int64_t from) : replay(r), starts{from} {}
    // As skipFrames(replay, from, k).
    std::int64_t skip(std::int64_t k);
};

// `k` records back from `at`, never before `streamStart`.
std::int64_t stepBackFrames(Bytes replay, std::int64_t at, std::int64_t k, std::int64_t streamStart);

// The first record of type 13 at or after `at`; the file size when there is none.
std::int64_t nextSessionRecord(Bytes replay, std::int64_t at);

// A type-13 record's session clock in milliseconds: the signed 32-bit value at
// offset 12 counts hundredths of a second times 256.
std::int32_t sessionClockMs(Bytes replay, std::int64_t record);

// The own car's track position in the last own-car block walked, -1 when the
// record has none.
std::int32_t ownCarPosition(Bytes replay, const Frame& frame);

// The position of the last sample of `carSlot` in the record, -1 when it has none.
std::int32_t lastSamplePosition(const Frame& frame, int carSlot);

// The line-crossing search: walks at most `records` records from `at` (left
// after the last record walked) until a car's position, `positionOf(frame)`
// (-1 when the record has none), drops below the previous one. Returns the
// last position seen: the small one after the line, or -1.
template <class PositionOf>
std::int32_t searchLineCrossing(Bytes replay, std::int64_t& at, int records, PositionOf positionOf) {
    Frame frame;
    std::int32_t previous = -1;
    for (int i = 0; i < records && readFrame(replay, at, kBoardChain, frame); ++i) {
        at = frame.recordEnd;
        std::int32_t p = positionOf(frame);
        if (p < 0) continue;
        bool crossed = p < previous;
        previous = p;
        if (crossed) break;
    }
    return previous;
}

// The 26-bit track position of the body of an own-car block.
std::int32_t trackPositionAt(Bytes replay, std::int64_t body);

}  // namespace zr

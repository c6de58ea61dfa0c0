#include "record_walk.h"

#include <algorithm>

#include "replay_units.h"

namespace zr {

namespace {
constexpr std::uint32_t kOwnCarKind = 1;
constexpr std::uint32_t kOwnCarLength = 32;

// Walks up to `k` records on from `at`; the number walked, fewer when the
// records end.
std::int64_t walkRecords(Bytes replay, std::int64_t& at, std::int64_t k) {
    std::int64_t walked = 0;
    std::uint32_t length = 0;
    while (walked < k && readU16(replay, at, length) && length != 0) {
        at += length;
        ++walked;
    }
    return walked;
}
}  // namespace

std::int64_t skipFrames(Bytes replay, std::int64_t at, std::int64_t k) {
    walkRecords(replay, at, k);
    return at;
}

std::int64_t RecordIndex::skip(std::int64_t k) {
    while (!ended && static_cast<std::int64_t>(starts.size()) <= k / kEvery) {
        std::int64_t at = starts.back();
        if (walkRecords(replay, at, kEvery) < kEvery) ended = true;
        else starts.push_back(at);
    }
    const std::int64_t j = std::min(k / kEvery, static_cast<std::int64_t>(starts.size()) - 1);
    return skipFrames(replay, starts[static_cast<std::size_t>(j)], k - j * kEvery);
}

std::int64_t stepBackFrames(Bytes replay, std::int64_t at, std::int64_t k, std::int64_t streamStart) {
    for (std::int64_t i = 0; i < k; ++i) {
        std::uint32_t previous = 0;
        if (!readU16(replay, at + record::previousLength, previous) || previous == 0) break;
        if (at - previous < streamStart) break;
        at -= previous;
    }
    return at;
}

std::int64_t nextSessionRecord(Bytes replay, std::int64_t at) {
    std::uint32_t length = 0;
    while (readU16(replay, at, length) && length != 0) {
        std::uint32_t type = 0;
        readU16(replay, at + record::firstBlock, type);
        if (type == kSessionStateType) return at;
        at += length;
    }
    return static_cast<std::int64_t>(replay.size);
}

std::int32_t sessionClockMs(Bytes replay, std::int64_t record) {
    std::int32_t clock = 0;
    readI32(replay, record + record::sessionState, clock);
    return clock / 256 * 10;
}

std::int32_t trackPositionAt(Bytes replay, std::int64_t body) {
    std::uint32_t word = 0;
    readU32(replay, body, word);
    return static_cast<std::int32_t>(word & kPositionMask);
}

std::int32_t ownCarPosition(Bytes replay, const Frame& frame) {
    for (int i = frame.blockCount - 1; i >= 0; --i) {
        const BlockRef& b = frame.blocks[i];
        if (b.kind == kOwnCarKind && b.length == kOwnCarLength) return trackPositionAt(replay, b.data());
    }
    return -1;
}

std::int32_t lastSamplePosition(const Frame& frame, int carSlot) {
    std::int32_t position = -1;
    for (int i = 0; i < frame.sampleCount; ++i) {
        CarSample s = frame.sample(i);
        if (s.carSlot == carSlot) position = s.samplePosition;
    }
    return position;
}

}  // namespace zr

#include "event_stream.h"

namespace zr {

bool streamCutShort(Bytes replay, std::int64_t firstRecord) {
    // Only the lengths are read: far cheaper than walking each block chain.
    std::int64_t at = firstRecord;
    std::uint32_t length = 0;
    while (at >= 0 && static_cast<std::uint64_t>(at) < replay.size) {
        if (!readU16(replay, at, length)) return true;
        if (length == 0) return false;
        if (!replay.has(at, length)) return true;
        at += length;
    }
    return false;
}

std::int32_t ownCarPosition(Bytes replay, const Frame& frame) {
    for (int i = frame.blockCount - 1; i >= 0; --i) {
        const BlockRef& b = frame.blocks[i];
        if (b.kind != kOwnCarBlockKind || b.length != kOwnCarBlockLength) continue;
        std::uint32_t word = 0;
        readU32(replay, b.data(), word);
        return static_cast<std::int32_t>(word & kPositionMask);
    }
    return -1;
}

}  // namespace zr

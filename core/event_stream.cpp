#include "event_stream.h"

namespace zr {

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

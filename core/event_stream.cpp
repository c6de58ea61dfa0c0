#include "event_stream.h"

namespace zr {

std::int64_t nextBlockHead(const BlockRef& block) {
    // A length of 0 points back at the block's own head; the walks are bounded
    // by their block count, so this only repeats the same block.
    std::int64_t padding = block.length % 4 ? 4 - block.length % 4 : 0;
    return block.head + block.length + padding;
}

namespace {
BlockRef blockAt(Bytes replay, std::int64_t head) {
    BlockRef b;
    b.head = head;
    readU16(replay, head, b.kind);
    readU16(replay, head + 2, b.length);
    return b;
}
}  // namespace

bool readFrame(Bytes replay, std::int64_t recordOffset, const ChainRule& rule, Frame& frame) {
    std::uint32_t length = 0;
    if (!readU16(replay, recordOffset, length) || length == 0) return false;
    std::int64_t end = recordOffset + length;
    if (end > static_cast<std::int64_t>(replay.size)) return false;

    frame.recordOffset = recordOffset;
    frame.recordEnd = end;
    frame.base = replay.data;
    frame.blockCount = 0;
    frame.sampleCount = 0;
    frame.sampleArea = 0;
    readU16(replay, recordOffset + record::firstBlock, frame.recordType);

    std::int64_t head = recordOffset + record::firstBlock;
    if (rule.skipLeadingBlocks) {
        head = nextBlockHead(blockAt(replay, head));
        if (frame.recordType != kOneLeadingBlockType) head = nextBlockHead(blockAt(replay, head));
    }
    for (int i = 0; i < rule.maxBlocks && head + 4 < end; ++i) {
        BlockRef block = blockAt(replay, head);
        frame.blocks[frame.blockCount++] = block;
        head = nextBlockHead(block);
    }

    if (frame.blockCount > 0) {
        const BlockRef& last = frame.blocks[frame.blockCount - 1];
        if (last.length >= rule.minSampleAreaLength) {
            std::int64_t room = static_cast<std::int64_t>(replay.size) - last.data();
            std::int64_t count = last.length / sample::bytes;
            if (count > room / sample::bytes) count = room / sample::bytes;
            frame.sampleArea = last.data();
            frame.sampleCount = static_cast<int>(count);
        }
    }
    return true;
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

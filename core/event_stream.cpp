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

std::int64_t findRaceStartRecord(Bytes replay, std::int64_t firstRecord, bool skipFirst) {
    std::int64_t at = firstRecord;
    std::uint32_t length = 0;
    if (skipFirst) {
        if (!readU16(replay, at, length) || length == 0) return static_cast<std::int64_t>(replay.size);
        at += length;
    }
    while (readU16(replay, at, length) && length != 0) {
        std::uint32_t type = 0, flag = 0;
        readU16(replay, at + record::firstBlock, type);
        if (type == kSessionStateType && readU8(replay, at + record::sessionState, flag) && flag != 0) return at;
        at += length;
    }
    return static_cast<std::int64_t>(replay.size);
}

}  // namespace zr

// The event stream: one record per frame, each a chain of blocks whose last
// block holds the 16-byte car samples of that frame.
//
// Record: u16 recordLength (the next record begins that many bytes on), u16
// length of the previous record, 4 unused bytes, then the block chain from
// offset 8 (stream_records.h moves from record to record). Block: u16
// blockKind, u16 blockLength counting its 4-byte head, the data, and padding
// up to a multiple of 4.
#pragma once

#include <algorithm>
#include <cstdint>

#include "byte_reader.h"
#include "replay_units.h"
#include "stream_records.h"

namespace zr {

constexpr std::uint32_t kOneLeadingBlockType = 15;  // only the first block comes before the samples

struct CarSample {
    std::uint32_t sampleFlags = 0;   // byte 3; bit 7 the refuel bit
    std::int32_t samplePosition = 0; // 26 bits from bytes 4 to 7: distance along the lap, 0.5 mm units
    int carSlot = 0;                 // bits 2 to 7 of byte 7: 0 to 63
    std::int32_t lateralValue = 0;   // signed 16-bit at 8
    int heading = 0;                 // 9 bits from bytes 13 and 14: 512 per turn
    int gear = 0;                    // bits 5 to 7 of byte 15
    std::uint32_t headingHighByte = 0;  // byte 14 as stored
};

namespace sample {
constexpr int bytes = 16;
}

// Decodes the 16 bytes at `p`. Inline: a walk decodes millions of samples,
// and a program that reads two fields of them pays only for those two.
inline CarSample decodeCarSample(const std::uint8_t* p) {
    CarSample s;
    s.sampleFlags = p[3];
    // Bytes 4 to 7 as one little-endian word: 26 bits of position, 6 of slot.
    const std::uint32_t word = p[4] | (p[5] << 8) | (p[6] << 16) | (static_cast<std::uint32_t>(p[7]) << 24);
    s.samplePosition = static_cast<std::int32_t>(word & kPositionMask);
    s.carSlot = static_cast<int>(word >> 26);
    s.lateralValue = static_cast<std::int16_t>(static_cast<std::uint16_t>(p[8] | (p[9] << 8)));
    s.heading = (p[14] & 7) * 64 + p[13] / 4;
    s.headingHighByte = p[14];
    s.gear = p[15] >> 5;
    return s;
}

struct BlockRef {
    std::int64_t head = 0;  // offset of the 4-byte head
    std::uint32_t kind = 0;
    std::uint32_t length = 0;
    std::int64_t data() const { return head + 4; }
};

// The offset after a block and its padding to a multiple of 4, as the
// simulator lays them out. A length of 0 points back at the block's own head;
// the walks are bounded by their block count, so this only repeats the same
// block.
inline std::int64_t nextBlockHead(const BlockRef& block) {
    return block.head + ((std::int64_t{block.length} + 3) & ~std::int64_t{3});
}

// The head at `head`: kind and length read as one little-endian word, both 0
// when the 4 bytes do not lie inside the file (a length read alone would be 0
// then too, and the kind of such a block is never looked at).
inline BlockRef blockAt(Bytes replay, std::int64_t head) {
    std::uint32_t word = 0;
    readU32(replay, head, word);
    return BlockRef{head, word & 0xFFFF, word >> 16};
}

constexpr int kMaxChainBlocks = 99;
// How far from a record's start its frame can read: the leading blocks
// skipped may claim 65535 bytes each, and the last block's data may run 65535
// bytes on from a head inside the record (which is at most 65535 long).
constexpr std::int64_t kFrameReach = 2 * 65536;

// The end of what the frame of the record at `recordOffset` (not negative)
// can read, within the file.
inline std::size_t frameReach(Bytes replay, std::int64_t recordOffset) {
    const auto size = static_cast<std::int64_t>(replay.size);
    return static_cast<std::size_t>(std::min(recordOffset + kFrameReach, size));
}

// How a program finds the car-sample area of a record.
struct ChainRule {
    bool skipLeadingBlocks;  // skip the first block, and the second unless the type is 15
    int maxBlocks;           // heads looked at after the skipped ones: 79 or 99
    std::uint32_t minSampleAreaLength;  // 17: more than 16 bytes; 16: at least 16 bytes
};

// exitwatch, dropwatch / boxlog / contactscan, resetlog.
constexpr ChainRule kAfterLeadingBlocksOver16{true, 79, 17};
constexpr ChainRule kAfterLeadingBlocks{true, 79, 16};
constexpr ChainRule kFromFirstBlock{false, 99, 16};

struct Frame {
    std::int64_t recordOffset = 0;
    std::int64_t recordEnd = 0;
    int counter = 0;
    std::uint32_t recordType = 0;
    BlockRef blocks[kMaxChainBlocks];  // the blocks walked, the skipped leading ones not included
    int blockCount = 0;
    std::int64_t sampleArea = 0;       // data of the last block walked
    int sampleCount = 0;               // whole samples there, within the file
    const std::uint8_t* base = nullptr;

    // The 16 bytes of sample i (0 to sampleCount - 1), inside the file and in
    // memory (readFrame waited for them).
    const std::uint8_t* sampleBytes(int i) const { return base + sampleArea + sample::bytes * i; }
    CarSample sample(int i) const { return decodeCarSample(sampleBytes(i)); }
};

// Walks a record's block chain by `rule`; false when the record's head lies
// past the end of the file or its length is 0. Inline: every walk calls it
// once per frame, and with the rule known where it is called the chain walk
// folds into a few loads.
inline bool readFrame(Bytes file, std::int64_t recordOffset, const ChainRule& rule, Frame& frame) {
    // Where the file is still coming in, one wait for all that the frame can
    // reach, the samples too (read through `sampleBytes`, not the reader).
    if (file.loaded && recordOffset >= 0) file.waitFor(frameReach(file, recordOffset));
    const Bytes replay{file.data, file.size};
    std::uint32_t length = 0;
    if (!readU16(replay, recordOffset, length) || length == 0) return false;
    const std::int64_t end = recordOffset + length;
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
        const BlockRef block = blockAt(replay, head);
        frame.blocks[frame.blockCount++] = block;
        head = nextBlockHead(block);
    }

    if (frame.blockCount > 0) {
        const BlockRef& last = frame.blocks[frame.blockCount - 1];
        if (last.length >= rule.minSampleAreaLength) {
            const std::int64_t room = static_cast<std::int64_t>(replay.size) - last.data();
            std::int64_t count = last.length / sample::bytes;
            if (count > room / sample::bytes) count = room / sample::bytes;
            frame.sampleArea = last.data();
            frame.sampleCount = static_cast<int>(count);
        }
    }
    return true;
}

// Whether the records from `firstRecord` on, followed by their lengths, end
// in one whose length runs past the end of the file (or whose length field
// itself is cut): a recording cut short. A length of 0, the padding after the
// last record, ends them whole, and so does the end of the file.
bool streamCutShort(Bytes replay, std::int64_t firstRecord);

// A replay recorded by a participant carries in every frame an own-car block
// (kind 1, length 32) whose body begins with the own car's track position:
// 26 bits of a little-endian word, sampled more finely than the car samples.
constexpr std::uint32_t kOwnCarBlockKind = 1;
constexpr std::uint32_t kOwnCarBlockLength = 32;

// The own car's track position in the last own-car block among the blocks
// walked, -1 when the record has none.
std::int32_t ownCarPosition(Bytes replay, const Frame& frame);

// Visits the records from `start` in file order. Before each record (the
// start record included) the walk ends when the record lies at or beyond the
// file size minus `endMargin`, when `stopBefore(counter)` says so, or when the
// record cannot be read (a length of 0 or a record torn by the end of the
// file). `visit(frame)` gets every record; the counter grows by one per record.
template <class StopBefore, class Visit>
void walkFrames(Bytes replay, std::int64_t start, const ChainRule& rule, std::int64_t endMargin,
                int firstCounter, StopBefore stopBefore, Visit visit) {
    Frame frame;
    int counter = firstCounter;
    std::int64_t limit = static_cast<std::int64_t>(replay.size) - endMargin;
    // While the file comes in the walk waits a loaded chunk at a time and
    // reads the frames inside it as if all were in.
    const Bytes settled{replay.data, replay.size};
    std::size_t ready = replay.loaded ? 0 : replay.size;
    for (std::int64_t at = start; at < limit && !stopBefore(counter);) {
        if (at >= 0 && frameReach(replay, at) > ready) [[unlikely]]
            ready = replay.waitFor(frameReach(replay, at));
        if (!readFrame(settled, at, rule, frame)) return;
        frame.counter = counter;
        visit(static_cast<const Frame&>(frame));
        at = frame.recordEnd;
        ++counter;
    }
}

}  // namespace zr

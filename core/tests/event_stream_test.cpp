#include "event_stream.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "replay_builder.h"

namespace zr {
namespace {

using namespace zr::writer;

Bytes view(const ByteVec& v) { return Bytes{v.data(), v.size()}; }

struct Stream {
    ReplaySpec recipe;
    ByteVec bytes;
    ReplayLayout layout;
    void build() {
        bytes = buildReplay(recipe);
        layout = layoutOf(recipe);
    }
    std::int64_t record(std::size_t i) const { return static_cast<std::int64_t>(layout.recordOffsets[i]); }
};

std::vector<int> slotsOf(const Frame& f) {
    std::vector<int> slots;
    for (int i = 0; i < f.sampleCount; ++i) slots.push_back(f.sample(i).carSlot);
    return slots;
}

TEST(CarSample, FieldsAtTheirBits) {
    CarSample c = decodeCarSample(encodeSample(SampleSpec{63, 67108863, 0x80, -12345, 511, 5}).data());
    EXPECT_EQ(std::tuple(c.carSlot, c.samplePosition, c.sampleFlags, c.lateralValue, c.heading, c.gear),
              std::tuple(63, 67108863, 0x80u, -12345, 511, 5));
}

// A record alone in the stream, read by a rule: the type of its first block,
// the blocks walked (-1: not looked at) and the slots of its samples. The
// sample area is the last block after the skipped ones; the sample count is
// its length over 16.
TEST(EventStream, SampleAreaIsTheLastBlockAfterTheSkippedOnes) {
    Block area = sampleBlock({{1, 1}, {2, 2}});
    area.data.resize(32);
    area.length = 36;  // two samples and four spare bytes
    Block exact = sampleBlock({{5, 5}});
    exact.data.resize(12);
    exact.length = 16;  // the head and 12 bytes: one sample for some programs
    const RecordSpec padded = frameRecord({{3, 300}}, 2, {fillerBlock(7, 33)});  // a padded block before the samples
    // The samples stand in the skipped second block.
    const RecordSpec early{{fillerBlock(2), sampleBlock({{4, 400}})}, {}, 0};
    const RecordSpec exactArea{{fillerBlock(), fillerBlock(), exact}, {}, 4};
    const std::tuple<RecordSpec, ChainRule, std::uint32_t, int, std::vector<int>> rows[] = {
        {frameRecord({{1, 100}, {2, 200}}, 15), kAfterLeadingBlocksOver16, 15, -1, {1, 2}},  // samples: second block
        {padded, kAfterLeadingBlocksOver16, 2, -1, {3}},  // one sample: the area's length 20 is over 16
        {padded, kAfterLeadingBlocks, 2, 2, {3}},
        {early, kAfterLeadingBlocks, 2, 0, {}},
        {early, kFromFirstBlock, 2, 2, {4}},
        {RecordSpec{{fillerBlock(), fillerBlock(), area}, {}, 0}, kAfterLeadingBlocksOver16, 4, -1, {1, 2}},
        {exactArea, kAfterLeadingBlocksOver16, 4, -1, {}},
        {exactArea, kAfterLeadingBlocks, 4, -1, {5}},
        // Four spare bytes: a head there would end at the record's end, so it is no block.
        {RecordSpec{{fillerBlock(), fillerBlock(), sampleBlock({{1, 1}})}, {}, 4}, kAfterLeadingBlocks, 4, 1, {1}},
        // Zero block lengths are bounded by the block count.
        {RecordSpec{{fillerBlock(), fillerBlock(), Block{9, {}, 0}, sampleBlock({{1, 1}})}, {}, 0}, kFromFirstBlock, 4,
         99, {}},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const auto& [record, rule, type, blocks, slots] = rows[i];
        Stream s;
        s.recipe.records = {record};
        s.build();
        Frame f;
        ASSERT_TRUE(readFrame(view(s.bytes), s.record(0), rule, f)) << "row " << i;
        EXPECT_EQ(std::pair(f.recordType, slotsOf(f)), std::pair(type, slots)) << "row " << i;
        if (blocks >= 0) { EXPECT_EQ(f.blockCount, blocks) << "row " << i; }
    }
}

TEST(EventStream, TheSamplesOfAHugeAreaEndWithTheFile) {
    Stream s;
    Block huge = sampleBlock({{7, 7}});
    huge.length = 0xFFFF;  // more samples than the file holds
    s.recipe.records = {RecordSpec{{fillerBlock(), fillerBlock(), huge}, {}, 0}};
    s.recipe.fillerBytes = 100;
    s.build();
    Frame f;
    readFrame(view(s.bytes), s.record(0), kAfterLeadingBlocks, f);  // the whole samples up to the end of the file
    const std::int64_t size = static_cast<std::int64_t>(s.bytes.size());
    EXPECT_LE(f.sampleArea + 16 * f.sampleCount, size);
    EXPECT_GT(f.sampleArea + 16 * (f.sampleCount + 1), size);
}

TEST(EventStream, RaceStartSearchFromTheFirstOrTheSecondRecord) {
    Stream s;
    s.recipe.records = {sessionRecord(1), frameRecord({}), sessionRecord(0), sessionRecord(0x100), sessionRecord(0x201)};
    s.build();
    std::int64_t first = s.record(0);
    EXPECT_EQ(findRaceStartRecord(view(s.bytes), first, false), s.record(0));
    EXPECT_EQ(findRaceStartRecord(view(s.bytes), first, true), s.record(4));  // low byte of 0x100 is 0

    s.recipe.records = {sessionRecord(1), frameRecord({})};
    s.build();
    EXPECT_EQ(findRaceStartRecord(view(s.bytes), s.record(0), true), static_cast<std::int64_t>(s.bytes.size()));
}

TEST(EventStream, WalkCountsFramesAndEndsAtTheMarginAZeroLengthOrATornRecord) {
    Stream s;
    for (int i = 0; i < 6; ++i) s.recipe.records.push_back(frameRecord({{i, 1000 * i}}));
    s.recipe.fillerBytes = 0;
    s.build();
    auto walk = [&](const ByteVec& bytes, std::int64_t margin, int stopAt) {
        std::vector<int> seen;
        walkFrames(
            view(bytes), s.record(0), kAfterLeadingBlocksOver16, margin, 1, [&](int c) { return c >= stopAt; },
            [&](const Frame& f) { seen.push_back(f.counter * 100 + f.sample(0).carSlot); });
        return seen;
    };
    EXPECT_EQ(walk(s.bytes, 0, 99), (std::vector<int>{100, 201, 302, 403, 504, 605}));
    EXPECT_EQ(walk(s.bytes, 0, 3), (std::vector<int>{100, 201}));
    // The margin: records at or beyond size - margin are not walked.
    std::int64_t margin = static_cast<std::int64_t>(s.bytes.size()) - s.record(4);
    EXPECT_EQ(walk(s.bytes, margin, 99), (std::vector<int>{100, 201, 302, 403}));
    // A length of 0 ends the walk.
    ByteVec zero = s.bytes;
    setLe(zero, s.layout.recordOffsets[2], 0, 2);
    EXPECT_EQ(walk(zero, 0, 99), (std::vector<int>{100, 201}));
    // A record torn by the end of the file is not walked.
    ByteVec torn(s.bytes.begin(), s.bytes.end() - 3);
    EXPECT_EQ(walk(torn, 0, 99), (std::vector<int>{100, 201, 302, 403, 504}));
    // Cut short: a torn last record or a cut length field; not the whole file, nor one ending in padding.
    ByteVec cutLength(s.bytes.begin(), s.bytes.begin() + s.record(5) + 1);
    EXPECT_TRUE(streamCutShort(view(torn), s.record(0)));
    EXPECT_TRUE(streamCutShort(view(cutLength), s.record(0)));
    EXPECT_FALSE(streamCutShort(view(s.bytes), s.record(0)));
    EXPECT_FALSE(streamCutShort(view(zero), s.record(0)));
    // A file smaller than the margin walks nothing.
    EXPECT_TRUE(walk(s.bytes, 1 << 20, 99).empty());
}

}  // namespace
}  // namespace zr

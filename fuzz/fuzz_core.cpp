// Fuzz target: the replay core's readers on arbitrary bytes (header, driver
// table from both first records, lap chain with its probe, race-start search,
// both frame walks).
#include <cstddef>
#include <cstdint>

#include "chain_tables.h"
#include "event_stream.h"
#include "race_clock.h"
#include "replay_header.h"

using namespace zr;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes replay{data, size};
    long long sink = 0;
    for (std::int64_t firstRecord : {driver::firstRecord, driver::secondRecord}) {
        ReplayHeader header = readReplayHeader(replay, FrameRateRule::zeroMeans36);
        ChainTables tables = readChainTables(replay, firstRecord, firstRecord == driver::firstRecord);
        sink += tables.laps.leaderFinishStamp + tables.drivers.driverRecordCount;
        for (bool skipFirst : {false, true}) {
            std::int64_t start = findRaceStartRecord(replay, tables.laps.firstStreamRecord(), skipFirst);
            for (const ChainRule& rule : {kAfterLeadingBlocksOver16, kAfterLeadingBlocks, kFromFirstBlock}) {
                walkFrames(
                    replay, start, rule, 0, 0, [](int counter) { return counter > 200000; },
                    [&](const Frame& frame) {
                        for (int b = 0; b < frame.blockCount; ++b) sink += frame.blocks[b].kind;
                        for (int i = 0; i < frame.sampleCount; ++i) sink += frame.sample(i).samplePosition;
                        sink += static_cast<long long>(
                            formatRaceClock(frame.counter, header.frameRate, ClockStyle::hours).size());
                    });
            }
        }
    }
    volatile long long keep = sink;  // the values read must not be optimised away
    (void)keep;
    return 0;
}

// Event records appended one at a time, for replays too long to describe
// record by record in memory (the sampler's races, the benchmark's replay).
// A record gets the same bytes `buildReplay` writes for the same blocks.
#pragma once

#include <cstddef>
#include <cstdint>

#include "replay_builder.h"

namespace zr::writer {

// The head of a replay: header, driver records and lap records with the tag
// that ends them. The event records follow it directly.
ByteVec replayHead(const ReplaySpec& description);

struct RecordStream {
    ByteVec bytes;  // written so far; the owner may save and clear it between records
    std::uint16_t previousLength = 0;
    std::size_t recordStart = 0;

    void beginRecord();
    void addBlock(std::uint16_t kind, const std::uint8_t* data, std::size_t size);
    void addBlock(const Block& block) { addBlock(block.kind, block.data.data(), block.data.size()); }
    // The car-sample area: one block of `kind` holding 16 bytes per sample.
    void addSamples(const SampleSpec* samples, std::size_t count, std::uint16_t kind = 2);
    void endRecord();
};

}  // namespace zr::writer

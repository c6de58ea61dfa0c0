#include "replay_stream.h"

namespace zr::writer {

ByteVec replayHead(const ReplaySpec& description) {
    ReplaySpec head = description;
    head.records.clear();
    head.fillerBytes = 0;
    return buildReplay(head);
}

void RecordStream::beginRecord() {
    recordStart = bytes.size();
    putLe(bytes, 0, 2);  // recordLength, set by endRecord
    putLe(bytes, previousLength, 2);
    putLe(bytes, 0, 4);
}

void RecordStream::addBlock(std::uint16_t kind, const std::uint8_t* data, std::size_t size) {
    putLe(bytes, kind, 2);
    putLe(bytes, 4 + size, 2);
    bytes.insert(bytes.end(), data, data + size);
    while (bytes.size() % 4) bytes.push_back(0);
}

void RecordStream::addSamples(const SampleSpec* samples, std::size_t count, std::uint16_t kind) {
    putLe(bytes, kind, 2);
    putLe(bytes, 4 + 16 * count, 2);
    for (std::size_t i = 0; i < count; ++i) {
        ByteVec one = encodeSample(samples[i]);
        bytes.insert(bytes.end(), one.begin(), one.end());
    }
}

void RecordStream::endRecord() {
    auto length = static_cast<std::uint16_t>(bytes.size() - recordStart);
    setLe(bytes, recordStart, length, 2);
    previousLength = length;
}

}  // namespace zr::writer

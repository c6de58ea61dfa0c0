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

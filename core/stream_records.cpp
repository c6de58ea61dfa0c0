#include "stream_records.h"

#include <algorithm>

namespace zr {

std::uint32_t recordType(Bytes replay, std::int64_t at) {
    std::uint32_t type = 0;
    readU16(replay, at + record::firstBlock, type);
    return type;
}

namespace {

// The first record from `at` on, among those with a length, that `wanted`
// takes; the file size when there is none.
template <class Wanted>
std::int64_t firstRecordWhere(Bytes replay, std::int64_t at, Wanted wanted) {
    for (std::int64_t next = at; nextRecord(replay, next); at = next)
        if (wanted(at)) return at;
    return static_cast<std::int64_t>(replay.size);
}

}  // namespace

namespace {

// Walks up to `k` records on from `at`; the number walked, fewer when the
// records end.
std::int64_t walkRecords(Bytes replay, std::int64_t& at, std::int64_t k) {
    std::int64_t walked = 0;
    while (walked < k && nextRecord(replay, at)) ++walked;
    return walked;
}

}  // namespace

std::int64_t skipFrames(Bytes replay, std::int64_t at, std::int64_t k) {
    walkRecords(replay, at, k);
    return at;
}

std::int64_t RecordIndex::skip(std::int64_t k) {
    while (!ended && static_cast<std::int64_t>(starts.size()) <= k / kEvery) {
        std::int64_t at = starts.back();
        if (walkRecords(replay, at, kEvery) < kEvery) ended = true;
        else starts.push_back(at);
    }
    const std::int64_t j = std::min(k / kEvery, static_cast<std::int64_t>(starts.size()) - 1);
    return skipFrames(replay, starts[static_cast<std::size_t>(j)], k - j * kEvery);
}

std::int64_t stepBackFrames(Bytes replay, std::int64_t at, std::int64_t k, std::int64_t streamStart) {
    for (std::int64_t i = 0; i < k; ++i) {
        std::uint32_t previous = 0;
        if (!readU16(replay, at + record::previousLength, previous) || previous == 0) break;
        if (at - previous < streamStart) break;
        at -= previous;
    }
    return at;
}

std::int64_t nextSessionRecord(Bytes replay, std::int64_t at) {
    return firstRecordWhere(replay, at, [replay](std::int64_t r) { return recordType(replay, r) == kSessionStateType; });
}

std::int32_t sessionClockMs(Bytes replay, std::int64_t record) {
    std::int32_t clock = 0;
    readI32(replay, record + record::sessionState, clock);
    return clock / kClockStepsPerHundredth * kMsPerHundredth;
}

std::int64_t findRaceStartRecord(Bytes replay, std::int64_t firstRecord, bool skipFirst) {
    std::int64_t at = firstRecord;
    if (skipFirst && !nextRecord(replay, at)) return static_cast<std::int64_t>(replay.size);
    return firstRecordWhere(replay, at, [replay](std::int64_t r) {
        std::uint32_t flag = 0;
        return recordType(replay, r) == kSessionStateType && readU8(replay, r + record::sessionState, flag) &&
               flag != 0;
    });
}

}  // namespace zr

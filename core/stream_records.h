// Moving through the event stream by records, one record per frame.
//
// Every record begins with its u16 recordLength (the next record begins that
// many bytes on) and, in bytes 2 and 3, the recordLength of the record before
// it. A length of 0, or one the file does not hold, ends the stream. The kind
// of the first block, at record offset 8, is the record's type; a type-13
// record carries the session state at offset 12: a signed 32-bit session
// clock whose low byte is the start flag, nonzero once the race runs.
#pragma once

#include <cstdint>
#include <vector>

#include "byte_reader.h"

namespace zr {

namespace record {
constexpr std::int64_t previousLength = 2;
constexpr std::int64_t firstBlock = 8;
constexpr std::int64_t sessionState = 12;  // type 13: start flag / session clock
}  // namespace record

constexpr std::uint32_t kSessionStateType = 13;

// The session clock above its start flag byte counts hundredths of a second.
constexpr std::int32_t kClockStepsPerHundredth = 256;
constexpr std::int32_t kMsPerHundredth = 10;

// Moves `at` on to the next record. False, with `at` left as it is, when the
// record at `at` has no length: 0, or the file ends before it.
// Inline: the skips call it once per record.
[[nodiscard]] inline bool nextRecord(Bytes replay, std::int64_t& at) {
    std::uint32_t length = 0;
    if (!readU16(replay, at, length) || length == 0) return false;
    at += length;
    return true;
}

// The record's type: its first block's kind (0 past the end of the file).
std::uint32_t recordType(Bytes replay, std::int64_t at);

// `k` records on from `at`; stops at the last record that has a length.
std::int64_t skipFrames(Bytes replay, std::int64_t at, std::int64_t k);

// Every 256th record start from one record on, filled as far as the skips
// ask: the fastest laps lie anywhere in the race, and each skip would
// otherwise walk the records from that record again for every driver. A
// start of every record would take megabytes.
struct RecordIndex {
    static constexpr std::int64_t kEvery = 256;
    Bytes replay;
    std::vector<std::int64_t> starts;  // starts[j]: the record j × kEvery records on
    bool ended = false;                // the records end before the next start

    RecordIndex(Bytes r, std::int64_t from) : replay(r), starts{from} {}
    // As skipFrames(replay, from, k).
    std::int64_t skip(std::int64_t k);
};

// `k` records back from `at` by the previous records' lengths, never before
// `streamStart`.
std::int64_t stepBackFrames(Bytes replay, std::int64_t at, std::int64_t k, std::int64_t streamStart);

// The first record of type 13 at or after `at`; the file size when there is none.
std::int64_t nextSessionRecord(Bytes replay, std::int64_t at);

// A type-13 record's session clock in milliseconds (whole hundredths).
std::int32_t sessionClockMs(Bytes replay, std::int64_t record);

// The first type-13 record with a nonzero start flag, searching from
// `firstRecord` or the record after it. The file size when there is none.
std::int64_t findRaceStartRecord(Bytes replay, std::int64_t firstRecord, bool skipFirst);

}  // namespace zr

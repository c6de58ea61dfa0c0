// The lap records that follow the driver table, read as a chain of "ORPL"
// records, and the values the programs derive from them.
#pragma once

#include <cstdint>
#include <vector>

#include "byte_reader.h"
#include "driver_table.h"

namespace zr {

constexpr int kLapEntries = 500;
constexpr std::int32_t kNoStamp = 400000000;  // an entry without a lap stamp
constexpr std::int32_t kNoLap = 100000000;    // a missing lap time or best
constexpr std::int32_t kMaxLapRecordBytes = 2000;

struct LapTable {
    std::int32_t lapStamps[kSlots][kLapEntries];
    std::int32_t shortestLap[kSlots];
    std::int32_t longestLapRecord = 0;
    std::int32_t leaderFinishStamp = kNoStamp;
    std::vector<std::int32_t> recordSlots;  // the car slot of each record read, in file order
    std::vector<std::int32_t> recordShortestLap;  // per record: its slot's shortest lap right after it
    std::int64_t stopOffset = 0;            // where the reading stopped

    LapTable();
    // The event stream's first record begins 8 bytes after the point where the
    // lap reading stopped (12 bytes after the tag that ends the lap records).
    std::int64_t firstStreamRecord() const { return stopOffset + 8; }
    // The smallest k >= 1, at most 400, whose stamp lies beyond `ms`.
    int lapIndexAt(int slot, std::int64_t ms) const;
};

// From the tag that ended the driver table, the offset of the first lap
// record's `lapRecordBytes`. The four bytes before that tag hold a distance
// L; when "BTPL" stands L bytes after the tag, the lap records inside that
// block are read (their first tag 12 bytes after "BTPL"), else the records
// that begin at the tag itself.
std::int64_t locateLapTable(Bytes replay, std::int64_t tagOffset);

// Reads at most `maxRecords` records from `lapRecordBytesOffset`. A record
// longer than 2000 bytes or a tag other than "ORPL" ends the table, and so
// does the end of the file. Records of slots outside 0 to 29 are passed over.
LapTable readLapTable(Bytes replay, std::int64_t lapRecordBytesOffset, int maxRecords);

}  // namespace zr

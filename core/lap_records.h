// The lap records after the driver table.
//
// A lap record: the tag "ORPL", 4 bytes, lapRecordBytes N (signed 32-bit: 4
// bytes per entry and 4 more), the car slot (signed 32-bit), then N / 4 - 1
// entries of a 24-bit cumulative lap stamp in milliseconds and a flag byte.
// The practice records, one per car, stand one after another; a "BTPL" block
// may follow with the race records in the same layout (its tag, 8 bytes, the
// first record), ended by a word above 2000. The event stream follows.
#pragma once

#include <cstdint>
#include <functional>

#include "byte_reader.h"

namespace zr {

namespace orpl {
constexpr std::int64_t lapRecordBytes = 8;
constexpr std::int64_t carSlot = 12;
constexpr std::int64_t firstEntry = 16;
constexpr std::int64_t entryBytes = 4;
constexpr std::int64_t entryFlags = 3;  // after the 3-byte stamp
}  // namespace orpl

namespace btpl {
constexpr std::int64_t firstRecord = 12;  // after "BTPL" and 8 bytes
constexpr int maxRecords = 20;
}  // namespace btpl

// A record longer than this is no lap record: the word that ends the race
// records, or a damaged file.
constexpr std::int32_t kMaxLapRecordBytes = 2000;

constexpr std::uint32_t kFlagVoidLap = 16;   // a practice lap that does not count
constexpr std::uint32_t kFlagOffTrack = 64;  // a lap not driven on track

struct LapEntry {
    std::int32_t stamp = 0;
    std::uint32_t flags = 0;
};

// One record as it stands in the file; its entries are decoded when asked for.
struct LapRecordView {
    Bytes replay;
    std::int64_t tagAt = 0;
    std::int32_t lapRecordBytes = 0;
    std::int32_t carSlot = 0;      // 0 when the file ends before it
    bool headInFile = false;       // the car slot lies inside the file

    std::int64_t entryCount() const { return lapRecordBytes / 4 > 1 ? lapRecordBytes / 4 - 1 : 0; }
    // Of the entries, those the file holds whole, and those whose stamp it
    // holds (the last one may lack its flag byte).
    std::int64_t wholeEntries() const { return entriesInFile(0); }
    std::int64_t stampsInFile() const { return entriesInFile(1); }
    LapEntry entry(std::int64_t i) const;
    std::int64_t nextTagAt() const { return tagAt + orpl::firstEntry + 4 * entryCount(); }

private:
    std::int64_t entriesAt() const { return tagAt + orpl::firstEntry; }
    std::int64_t entriesInFile(int missingBytes) const;
};

// The record whose tag stands at `tagAt` (the tag itself is not looked at);
// false when not even its lapRecordBytes lies inside the file.
bool readLapRecord(Bytes replay, std::int64_t tagAt, LapRecordView& out);

using LapRecordVisit = std::function<void(const LapRecordView&)>;

// The practice records from the "ORPL" tag at `tagAt` on. Returns the offset
// of the first tag that is not "ORPL", or the file size when the file ends
// inside a record (the records before it have been visited, the torn one too).
std::int64_t readPracticeRecords(Bytes replay, std::int64_t tagAt, const LapRecordVisit& visit);

// The race records of the "BTPL" block whose tag stands at `btplAt`; returns
// where the event stream begins: after the word above 2000 that ends them
// (also after a full table of 20 records), the file size when the file ends.
std::int64_t readRaceRecords(Bytes replay, std::int64_t btplAt, const LapRecordVisit& visit);

// Where the lap records of a session begin and the stream after them: from
// the tag that ended the driver table ("ORPL" or "BTPL"), the practice
// records, then the race records when "BTPL" follows. Returns where the event
// stream begins (12 bytes after the tag that ends the records when there is
// no race block); the file size when the driver table had no tag.
struct SessionLapRecords {
    bool raceBlockRead = false;
    std::int64_t streamStart = 0;
};
SessionLapRecords readSessionLapRecords(Bytes replay, std::uint32_t driverStopTag, std::int64_t tagAt,
                                        const LapRecordVisit& practice, const LapRecordVisit& race);

}  // namespace zr

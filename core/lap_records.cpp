#include "lap_records.h"

#include <algorithm>

#include "replay_header.h"

namespace zr {

std::int64_t LapRecordView::entriesInFile(int missingBytes) const {
    const std::int64_t at = entriesAt();
    if (at < 0 || static_cast<std::uint64_t>(at) >= replay.size) return 0;
    const std::int64_t room = static_cast<std::int64_t>(replay.size) - at + missingBytes;
    return std::min(entryCount(), room / orpl::entryBytes);
}

LapEntry LapRecordView::entry(std::int64_t i) const {
    LapEntry e;
    const std::int64_t at = entriesAt() + orpl::entryBytes * i;
    std::uint32_t stamp = 0;
    readU24(replay, at, stamp);
    readU8(replay, at + orpl::entryFlags, e.flags);
    e.stamp = static_cast<std::int32_t>(stamp);
    return e;
}

bool readLapRecord(Bytes replay, std::int64_t tagAt, LapRecordView& out) {
    out = LapRecordView{};
    out.replay = replay;
    out.tagAt = tagAt;
    if (!readI32(replay, tagAt + orpl::lapRecordBytes, out.lapRecordBytes)) return false;
    out.headInFile = readI32(replay, tagAt + orpl::carSlot, out.carSlot);
    return true;
}

std::int64_t readPracticeRecords(Bytes replay, std::int64_t tagAt, const LapRecordVisit& visit) {
    const auto fileSize = static_cast<std::int64_t>(replay.size);
    for (;;) {
        std::uint32_t tag = 0;
        if (!readU32(replay, tagAt, tag)) return fileSize;
        if (tag != tagOrpl) return tagAt;
        LapRecordView record;
        if (!readLapRecord(replay, tagAt, record) || !record.headInFile) return fileSize;
        visit(record);
        // Practice records have no length limit: every entry is passed over
        // to reach the next tag.
        if (record.wholeEntries() < record.entryCount()) return fileSize;
        tagAt = record.nextTagAt();
    }
}

std::int64_t readRaceRecords(Bytes replay, std::int64_t btplAt, const LapRecordVisit& visit) {
    const auto fileSize = static_cast<std::int64_t>(replay.size);
    std::int64_t tagAt = btplAt + btpl::firstRecord;
    for (int i = 0; i < btpl::maxRecords; ++i) {
        LapRecordView record;
        if (!readLapRecord(replay, tagAt, record)) return fileSize;
        // The word above 2000 that ends the records; the stream follows it.
        if (record.lapRecordBytes > kMaxLapRecordBytes)
            return std::min(tagAt + orpl::lapRecordBytes + 4, fileSize);
        if (!record.headInFile) return fileSize;
        visit(record);
        if (record.wholeEntries() < record.entryCount()) return fileSize;
        tagAt = record.nextTagAt();
    }
    // A full table of 20 records is followed by that word too: the stream
    // begins after it as well, not 4 bytes early.
    std::int64_t after = tagAt + orpl::lapRecordBytes;
    std::int32_t endWord = 0;
    if (readI32(replay, after, endWord) && endWord > kMaxLapRecordBytes) after += 4;
    return std::min(after, fileSize);
}

SessionLapRecords readSessionLapRecords(Bytes replay, std::uint32_t driverStopTag, std::int64_t tagAt,
                                        const LapRecordVisit& practice, const LapRecordVisit& race) {
    SessionLapRecords result;
    result.streamStart = static_cast<std::int64_t>(replay.size);
    if (driverStopTag == tagOrpl) tagAt = readPracticeRecords(replay, tagAt, practice);
    else if (driverStopTag != tagBtpl) return result;  // the file ended inside the driver table

    std::uint32_t tag = 0;
    if (!readU32(replay, tagAt, tag)) return result;
    if (tag == tagBtpl) {
        result.raceBlockRead = true;
        result.streamStart = readRaceRecords(replay, tagAt, race);
    } else {
        // No race block: the stream begins after the tag and 8 more bytes.
        result.streamStart = std::min<std::int64_t>(tagAt + 12, result.streamStart);
    }
    return result;
}

}  // namespace zr

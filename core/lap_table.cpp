#include "lap_table.h"

#include <algorithm>

#include "replay_header.h"

namespace zr {

LapTable::LapTable() {
    std::fill(&lapStamps[0][0], &lapStamps[0][0] + kSlots * kLapEntries, kNoStamp);
    std::fill(shortestLap, shortestLap + kSlots, kNoLap);
}

int LapTable::lapIndexAt(int slot, std::int64_t ms) const {
    int k = 1;
    while (k < 400 && lapStamps[slot][k] <= ms) ++k;
    return k;
}

std::int64_t locateLapTable(Bytes replay, std::int64_t tagOffset) {
    std::int32_t probe = 0;
    std::uint32_t word = 0;
    if (readI32(replay, tagOffset - 4, probe) && readU32(replay, tagOffset + probe, word) && word == tagBtpl)
        return tagOffset + probe + btpl::firstRecord;
    return tagOffset;
}

LapTable readLapTable(Bytes replay, std::int64_t firstTag, int maxRecords) {
    LapTable t;
    const auto fileSize = static_cast<std::int64_t>(replay.size);
    std::int64_t tagAt = firstTag;
    // Where the reading stops: the event stream's first record lies 8 bytes on.
    t.stopOffset = tagAt + orpl::lapRecordBytes;
    for (int record = 0; record < maxRecords; ++record) {
        LapRecordView r;
        if (!readLapRecord(replay, tagAt, r) || r.lapRecordBytes > kMaxLapRecordBytes) {
            t.stopOffset = tagAt + orpl::carSlot;
            break;
        }
        t.longestLapRecord = std::max(t.longestLapRecord, r.lapRecordBytes);
        const std::int32_t slot = r.carSlot;
        t.recordSlots.push_back(slot);
        // The flag bytes are not needed here: a stamp at the very end of the
        // file counts without its flag byte.
        const std::int64_t entries = r.stampsInFile();
        if (isCarSlot(slot)) {
            std::int32_t* stamps = t.lapStamps[slot];
            for (std::int64_t k = 0; k < entries; ++k) {
                stamps[k] = r.entry(k).stamp;
                if (k >= 1 && stamps[k] - stamps[k - 1] < t.shortestLap[slot])
                    t.shortestLap[slot] = stamps[k] - stamps[k - 1];
            }
        }
        t.recordShortestLap.push_back(isCarSlot(slot) ? t.shortestLap[slot] : kNoLap);
        if (entries < r.entryCount()) {
            t.stopOffset = fileSize;
            break;
        }
        tagAt = r.nextTagAt();
        std::uint32_t tag = 0;
        if (!readU32(replay, tagAt, tag) || tag != tagOrpl) {
            t.stopOffset = tagAt + 4;
            break;
        }
        t.stopOffset = tagAt + orpl::lapRecordBytes;
    }

    int last = t.longestLapRecord / 4 - 2;
    if (last >= 0 && last < kLapEntries)
        for (int s = 0; s < kSlots; ++s) t.leaderFinishStamp = std::min(t.leaderFinishStamp, t.lapStamps[s][last]);
    return t;
}

}  // namespace zr

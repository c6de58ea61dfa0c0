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
        return tagOffset + probe + 12 + 8;
    return tagOffset + 8;
}

LapTable readLapTable(Bytes replay, std::int64_t lapRecordBytesOffset, int maxRecords) {
    LapTable t;
    Cursor c{replay, lapRecordBytesOffset};
    for (int record = 0; record < maxRecords; ++record) {
        std::int32_t n = c.i32();
        if (c.failed || n > kMaxLapRecordBytes) break;
        t.longestLapRecord = std::max(t.longestLapRecord, n);
        std::int32_t slot = c.i32();
        t.recordSlots.push_back(slot);
        int entries = std::max(0, n / 4 - 1);
        bool stored = isCarSlot(slot);
        for (int k = 0; k < entries; ++k) {
            std::int32_t stamp = static_cast<std::int32_t>(c.u24());
            c.skip(1);  // the lap's flag byte
            if (c.failed) break;
            if (!stored) continue;
            t.lapStamps[slot][k] = stamp;
            if (k >= 1 && stamp - t.lapStamps[slot][k - 1] < t.shortestLap[slot])
                t.shortestLap[slot] = stamp - t.lapStamps[slot][k - 1];
        }
        t.recordShortestLap.push_back(stored ? t.shortestLap[slot] : kNoLap);
        if (c.u32() != tagOrpl || c.failed) break;
        c.skip(4);
    }
    t.stopOffset = c.pos;

    int last = t.longestLapRecord / 4 - 2;
    if (last >= 0 && last < kLapEntries)
        for (int s = 0; s < kSlots; ++s) t.leaderFinishStamp = std::min(t.leaderFinishStamp, t.lapStamps[s][last]);
    return t;
}

}  // namespace zr

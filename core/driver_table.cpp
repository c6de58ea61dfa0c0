#include "driver_table.h"

#include <cstring>
#include <utility>

#include "replay_header.h"

namespace zr {

namespace {
std::string nameAt(const char* field) {
    std::size_t n = 0;
    while (n < 16 && field[n] != '\0') ++n;
    return std::string(field, n);
}
}  // namespace

std::string DriverTable::firstName(int slot) const {
    return isCarSlot(slot) ? nameAt(driverName[slot]) : std::string();
}
std::string DriverTable::lastName(int slot) const {
    return isCarSlot(slot) ? nameAt(driverName[slot] + 16) : std::string();
}
std::string DriverTable::initial(int slot) const {
    std::string first = firstName(slot);
    return first.empty() ? first : first.substr(0, 1);
}

DriverTable readDriverTable(Bytes replay, std::int64_t firstRecord, bool stopAtBtpl) {
    DriverTable table;
    table.tagOffset = replay.size;
    for (std::int64_t record = firstRecord;; record += driver::recordBytes) {
        std::int32_t slot = 0;
        if (!replay.has(record, 32) || !readI32(replay, record + driver::carSlot, slot)) return table;
        DriverRecord r;
        r.firstName = nameAt(reinterpret_cast<const char*>(replay.data + record + driver::firstName));
        r.lastName = nameAt(reinterpret_cast<const char*>(replay.data + record + driver::lastName));
        r.carSlot = slot;
        readI32(replay, record + driver::carMake, r.carMake);
        if (isCarSlot(slot)) {
            std::memcpy(table.driverName[slot], replay.data + record, 32);
            table.carMake[slot] = r.carMake;
        }
        ++table.driverRecordCount;

        std::int64_t tagAt = record + driver::recordBytes;
        std::uint32_t tag = 0;
        const bool tagRead = readU32(replay, tagAt, tag);
        r.wordAfter = static_cast<std::int32_t>(tag);
        table.records.push_back(std::move(r));
        if (!tagRead) return table;
        if (tag == tagOrpl || (stopAtBtpl && tag == tagBtpl)) {
            table.stopTag = tag;
            table.tagOffset = tagAt;
            return table;
        }
    }
}

}  // namespace zr

// The driver records after the header: 152 bytes each, ended by a chunk tag.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "byte_reader.h"

namespace zr {

constexpr int kSlots = 30;  // car slots with a name and lap data in the core tables

namespace driver {
constexpr std::int64_t firstRecord = 320;   // the host's record
constexpr std::int64_t secondRecord = 472;  // where the listings that skip the host begin
constexpr std::int64_t recordBytes = 152;
constexpr std::int64_t firstName = 0;   // 16 bytes, NUL-terminated within them
constexpr std::int64_t lastName = 16;   // 16 bytes
constexpr std::int64_t carMake = 108;   // signed 32-bit, 0 to 6
constexpr std::int64_t carSlot = 124;   // signed 32-bit, 0 to 29
}  // namespace driver

// One driver record as stored, in file order.
struct DriverRecord {
    std::string firstName;   // up to its NUL, at most 16 characters
    std::string lastName;
    std::int32_t carMake = 0;
    std::int32_t carSlot = 0;
    std::int32_t wordAfter = 0;  // the 4 bytes after the record: the next record's or the stop tag
};

struct DriverTable {
    // Per slot the 16-byte first name followed by the 16-byte last name, as
    // stored; a slot that no record names keeps zero bytes (empty names).
    char driverName[kSlots][32] = {};
    std::int32_t carMake[kSlots] = {};
    int driverRecordCount = 0;
    std::vector<DriverRecord> records;  // every record read, slots outside 0 to 29 included
    std::uint32_t stopTag = 0;   // the tag that ended the table, 0 at the end of the file
    std::int64_t tagOffset = 0;  // where that tag stands

    // Each name up to its NUL, at most 16 characters.
    std::string firstName(int slot) const;
    std::string lastName(int slot) const;
    // The first character of the first name, empty when there is none.
    std::string initial(int slot) const;
};

inline bool isCarSlot(std::int64_t slot) { return slot >= 0 && slot < kSlots; }  // 0 to 29

// Reads records from `firstRecord` (320, or 472 for the programs that begin at
// the second record) until a stop tag follows a record: "ORPL", and also
// "BTPL" when `stopAtBtpl`. Records whose slot lies outside 0 to 29 are
// counted but not stored. The end of the file ends the table.
DriverTable readDriverTable(Bytes replay, std::int64_t firstRecord, bool stopAtBtpl);

}  // namespace zr

// The practice and race lap tables of raceboard and heatboard.
//
// After the driver table a replay holds its practice lap records, one per car:
// "ORPL", 4 bytes, signed 32-bit lapRecordBytes N, signed 32-bit car slot,
// then N/4 - 1 entries of a 3-byte cumulative lap stamp (milliseconds) and a
// flag byte (bit 4: a void practice lap, bit 6: a lap not driven on track).
// A "BTPL" block, if present, holds the race lap records in the same layout.
//
// The tables have a slot count of their own: raceboard keeps the 20 slots of
// one replay; heatboard has rows for 100 slots (five grids of 20, slot =
// grid * 20 + car slot), reads each grid's replay into its own 20 rows and
// counts the slots of the grids read so far.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

#include "byte_reader.h"
#include "driver_table.h"
#include "lap_records.h"
#include "lap_table.h"

namespace zr {

constexpr int kReplaySlots = 20;        // car slots of one replay in the lap tables
constexpr int kLapRows = 500;           // stamps and lap times per slot: entries 0 to 499
constexpr int kOffTrackRows = 200;      // off-track flags per slot (heatboard keeps 130)

struct LapBest {
    std::int32_t time = 0;  // 0 until the slot's record is read, then kNoLap until a lap counts
    std::int32_t lap = 0;
};

struct PracticeLaps {
    std::int32_t practiceStamps[kLapRows] = {};
    std::int32_t practiceLapTimes[kLapRows] = {};  // entry 0 the first stamp; 0 for a void lap
    std::uint8_t offTrackPracticeLap[kOffTrackRows] = {};
    std::int32_t practiceLapCount = 0;
    LapBest bestPracticeLap;
    LapBest bestOnTrackPracticeLap;
};

struct RaceLaps {
    std::int32_t raceStamps[kLapRows] = {};
    std::int32_t raceLapTimes[kLapRows] = {};
    std::uint8_t offTrackRaceLap[kOffTrackRows] = {};
    std::int32_t raceLapCount = 0;
    std::int32_t onTrackRaceLaps = 0;
    LapBest bestRaceLap;
    LapBest bestOnTrackRaceLap;
};

// The rows of a lap table as calloc gives them. A row starts as all zero
// bytes (a test checks it) and is a plain record that calloc's memory holds
// as it is, so value-initialising a row leaves those bytes instead of writing
// them: a fresh page is then touched only where a replay fills its rows. Each
// first touch costs a fault (some 10 microseconds on a virtual machine), and
// writing all of heatboard's 850 KB for 100 slots cost 2 ms before a single
// grid was read, most of them for grids a heat never has.
template <class Row>
struct ZeroedRows {
    static_assert(std::is_trivially_copyable_v<Row> && std::is_trivially_destructible_v<Row>);
    using value_type = Row;
    ZeroedRows() = default;
    template <class Other>
    ZeroedRows(const ZeroedRows<Other>&) noexcept {}
    Row* allocate(std::size_t n) {
        if (void* p = std::calloc(n, sizeof(Row))) return static_cast<Row*>(p);
        throw std::bad_alloc();
    }
    void deallocate(Row* p, std::size_t) noexcept { std::free(p); }
    template <class T>
    void construct(T*) noexcept {}
    template <class T, class... Args>
    void construct(T* p, Args&&... args) {
        ::new (static_cast<void*>(p)) T(std::forward<Args>(args)...);
    }
    template <class Other>
    bool operator==(const ZeroedRows<Other>&) const noexcept { return true; }
};

struct LapTables {
    int slotCount;
    int offTrackRows;  // laps with an off-track flag per slot
    std::vector<PracticeLaps, ZeroedRows<PracticeLaps>> practice;
    std::vector<RaceLaps, ZeroedRows<RaceLaps>> race;
    bool hasRaceTable = false;
    std::int32_t maxRaceLaps = 0;
    std::int32_t raceStartStamp = kNoLap;  // smallest entry-0 race stamp

    explicit LapTables(int slots = kReplaySlots, int offTrackLaps = kOffTrackRows);
    bool isSlot(std::int64_t slot) const { return slot >= 0 && slot < slotCount; }
    bool offTrackPractice(int slot, std::int64_t lap) const;
    bool offTrackRace(int slot, std::int64_t lap) const;
};

// What one replay's lap records gave beyond the per-slot rows.
struct LapReading {
    bool raceTableRead = false;
    std::int32_t largestRaceRecordBytes = 0;
    std::int32_t raceStartStamp = kNoLap;  // smallest entry-0 race stamp of this replay
    std::int64_t streamStart = 0;          // the first event record
};

// Both, from the tag that ended the driver table.
LapReading readLapRecords(Bytes replay, const DriverTable& drivers, LapTables& tables, int slotBase);

// raceboard's reading of a single replay: the race-wide values of that replay.
void takeRaceTable(LapTables& tables, const LapReading& reading);

}  // namespace zr

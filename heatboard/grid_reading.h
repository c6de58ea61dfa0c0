// heatboard's combined tables of one event driven in up to five grids, and
// the reading of one grid's server replay into them.
//
// Every grid owns 20 of the 100 combined slots: slot = grid * 20 + car slot.
// Each grid's replay has its own clock, so drivers of different grids are
// compared by the time since the start of their own grid.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "byte_reader.h"
#include "console_sink.h"
#include "lap_measure.h"
#include "lap_stats.h"
#include "lap_tables.h"

namespace zr {

constexpr int kGrids = 5;
constexpr int kGridSlots = kGrids * kReplaySlots;  // 100
constexpr int kHeatOffTrackLaps = 130;             // laps with an off-track flag per slot
constexpr std::int32_t kNoWinner = 1000000000;     // a grid in which nobody drove the full distance
constexpr FastestLapWalk kHeatboardWalk{200, 200};

struct HeatDriver {
    std::string firstName;
    std::string lastName;
    std::int32_t carMake = 0;
};

// The user's driver name from "myname.ini": the part before the first blank
// and the rest.
struct MyName {
    std::string first;
    std::string second;
};

// Splits the file's bytes; CR and LF at the end of the file are dropped, so a
// file saved with a final line break still names the driver.
MyName parseMyName(std::string bytes);

struct HeatData {
    std::vector<HeatDriver> drivers = std::vector<HeatDriver>(kGridSlots);
    LapTables tables{kGridSlots, kHeatOffTrackLaps};
    FastestLapMeasure measure{kGridSlots};
    std::int32_t gridStartStamp[kGrids] = {kNoLap, kNoLap, kNoLap, kNoLap, kNoLap};
    std::int32_t gridWinnerStamp[kGrids] = {kNoWinner, kNoWinner, kNoWinner, kNoWinner, kNoWinner};
    int gridsRead = 0;
    std::int32_t largestRaceRecordBytes = 0;
    std::int32_t trackLength = 0;
    int userSlot = 0;
    bool userFound = false;  // slot 0 is a real slot: a match is told apart from "none"

    // Header fields of the last grid read.
    int frameRate = 36;
    std::string reportTrackName;
    std::string modName;

    LapHistory history;
    Rankings rankings;

    bool isUser(int slot) const { return userFound && slot == userSlot; }
    // The start of the slot's grid, per slot, as the elapsed times need it.
    std::vector<std::int32_t> gridOrigins() const;
};

enum class GridOutcome { read, notServerReplay };

// Reads the replay of grid `data.gridsRead` into the grid's slots with its
// console lines: header, driver records, lap records, the grid's start time,
// and (with a race table and more than 2 drivers) the track length and the
// sector and speed measurement. A replay recorded by a participant is
// refused before anything is stored.
GridOutcome readGrid(Bytes replay, const MyName& me, HeatData& data, ConsoleSink& console);

// After the last grid: lap history, grid winners and rankings.
void finishGrids(HeatData& data);

}  // namespace zr

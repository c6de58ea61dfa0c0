// Every practice and race lap of the driver who recorded a replay, measured
// from the own-car block that such replays carry in every frame (sampled
// more finely than the car samples).
#pragma once

#include <cstdint>

#include "byte_reader.h"
#include "console_sink.h"
#include "lap_measure.h"
#include "lap_tables.h"
#include "page_pieces.h"

namespace zr {

constexpr int kPracticeSession = 0;
constexpr int kRaceSession = 1;

struct OwnSectorTable {
    // While measuring: point 0 the crossing that opened the lap, 1 to 3 the
    // quarter marks, 4 the closing crossing, in ms. Afterwards points 1 to 4
    // hold the four sector times.
    std::int32_t mark[kOwnRows][kLapPoints][2];
    std::int32_t maxSpeed[kOwnRows][kLapPoints][2] = {};
    std::int32_t minSpeed[kOwnRows][kLapPoints][2];
    OwnSectorTable();
};

// Measures the practice laps (when there are at least 2) and the race laps
// of `ownSlot`; shows a wait line per session.
void measureOwnLaps(Bytes replay, std::int64_t streamStart, int frameRate, std::int32_t trackLength,
                    const LapTables& tables, int ownSlot, OwnSectorTable& table, ConsoleSink& console);

// Turns the marks into sector times and fills row 0 with the bests.
void finishOwnSectorTable(OwnSectorTable& table, const LapTables& tables, int ownSlot);

}  // namespace zr

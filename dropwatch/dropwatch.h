// dropwatch: cars whose recording ended while they were still moving, well
// before the race was over (disconnects and freezes).
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "byte_reader.h"
#include "driver_table.h"
#include "lap_table.h"

namespace zr {

constexpr int kDropSlots = 20;

struct DropState {
    std::int32_t lastMove[kDropSlots] = {};         // position change at the car's latest sample
    std::int32_t lastSampleFrame[kDropSlots] = {};  // frame counter of that sample
    std::int32_t previousPosition[kDropSlots] = {};
};

// Walks the race from `start` with the frame counter at 0.
DropState findDrops(Bytes replay, std::int64_t start, int frameRate, const LapTable& laps);

// A car is listed when its last movement exceeds 4000 / frameRate position units.
bool isDrop(const DropState& state, int slot, int frameRate);

// The text of "_Disco.txt" (line feeds; stored as CR LF).
std::string discoReport(const DropState& state, const DriverTable& drivers, int frameRate);

// The whole program: console dialogue, analysis, report; returns the exit code.
int runDropwatch(std::istream& in, std::ostream& out);

}  // namespace zr

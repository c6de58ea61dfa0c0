// resetlog's detection of resets to the pits (the simulator's Shift-R).
//
// Two signs are used. A car's damage state going down: wheels refitted or
// engine damage undone, as after a reset or a repair. And a teleport: a car
// in gear 1 that stood nearly still jumps sideways or turns while it hardly
// moves along the lap.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "byte_reader.h"
#include "damage_block.h"
#include "driver_table.h"
#include "lap_table.h"
#include "console_sink.h"
#include "track_ini.h"

namespace zr {

// Where the car stood in the frame before the reset.
constexpr std::int32_t kInPits = -1;
constexpr std::int32_t kNoVerdict = 0;  // the stalls are unknown or coincide
constexpr std::int32_t kNotInPits = 1;

struct ResetEvent {
    std::int32_t frame = 0;
    std::int32_t carSlot = 0;
    std::int32_t pitsVerdict = kNoVerdict;
    std::int32_t repairSeen = 0;  // 1: the damage state went down; 0: a teleport, less certain
};

// A car's previous sample and the steps that led to it.
struct CarMotionState {
    std::int64_t position = 0;
    std::int32_t lateralValue = 0;
    int heading = 0;
    std::int64_t positionStep = 0;  // previous sample minus the one before it
    std::int32_t lateralStep = 0;
    int headingStep = 0;            // raw difference, not wrapped
};

struct ResetScan {
    std::vector<ResetEvent> events;  // event number i is events[i - 1]
    std::int32_t resetsPerCar[kSlots] = {};
};

// The verdict for a car at `position`. The stall area is taken as lying from
// stall_19 up to stall_0 along the lap; when stall_0 has the smaller distance
// the area wraps round the start line, so a car between the stalls is outside.
std::int32_t pitsVerdictAt(const StallBounds& stalls, std::int64_t position);

// The turn between two headings (512 units per full turn). A difference of
// more than half a turn is taken the short way round: d above 256 gives
// 512 - d, d below -256 gives d + 512.
int headingChange(int heading, int previousHeading);

// Walks the race from the start record (frame 1) and collects the resets,
// printing a line for each as it is found.
ResetScan walkResets(Bytes replay, std::int64_t start, int frameRate, const LapTable& laps,
                     const StallBounds& stalls, const DriverTable& drivers, ConsoleSink& console);

// The event number as the listings align it: right-aligned in three columns.
std::string eventNumberColumn(int number);

}  // namespace zr

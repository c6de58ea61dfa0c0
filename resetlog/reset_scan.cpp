#include "reset_scan.h"

#include <cstdlib>
#include <utility>

#include "damage_block.h"
#include "event_stream.h"
#include "listing_text.h"
#include "race_clock.h"
#include "replay_units.h"

namespace zr {

namespace {

// The walk ends this many bytes before the end of the file.
constexpr std::int64_t kEndMargin = 1200;

// A teleport: the car was nearly still (steps below these) and now moves
// less than kTeleportMaxMove along the lap, but jumps sideways by more than
// kTeleportMinSideways or turns by more than kTeleportMinTurn.
constexpr std::int64_t kTeleportMaxMove = 600;
constexpr std::int64_t kStillPositionStep = 200;
constexpr std::int32_t kStillLateralStep = 64;
constexpr std::int32_t kTeleportMinSideways = 350;
constexpr int kTeleportMinTurn = 30;
constexpr int kResetGearField = 1;

// A teleport of a car that has one of the newest events within this many
// frames is the same reset seen again.
constexpr int kRepeatFrames = 300;
constexpr std::size_t kRepeatLookBack = 5;

// The values shown after the driver on an event's console line.
struct Diagnostics {
    std::int64_t positionChange = 0;
    std::int64_t lateralChange = 0;
    std::int64_t positionStep = 0;
    std::int64_t lateralStep = 0;
    int headingTurn = 0;  // heading change minus the heading step
    int gearField = 0;
};

// Where a car's last two samples lie in the replay, which stays in memory
// for the walk; null before the car has had as many. Keeping where they lie
// costs less than decoding the fields, which only a sample in gear 1 and a
// damage line need.
struct SampleHistory {
    const std::uint8_t* previous = nullptr;
    const std::uint8_t* older = nullptr;
};

// Where a car stood at a sample.
struct CarPlace {
    std::int64_t position = 0;
    std::int32_t lateralValue = 0;
    int heading = 0;
};

CarPlace placeOf(const std::uint8_t* bytes) {
    const CarSample s = decodeCarSample(bytes);
    return {s.samplePosition, s.lateralValue, s.heading};
}

struct DamageMemory {
    std::uint32_t damageWord = 0;
    std::uint32_t engineDamage = 0;
};

struct ResetScanner {
    Bytes replay;
    int frameRate;
    const LapTable& laps;
    const StallBounds& stalls;
    const DriverTable& drivers;
    ConsoleSink& console;

    ResetScan scan;
    DamageMemory damage[kDamageSlots] = {};
    std::int32_t damageEventFrame[kDamageSlots] = {};  // the frame of the car's latest damage-decrease event
    SampleHistory history[kSlots] = {};
    // Heading change and gear field of the sample processed last, whichever
    // car it belonged to; a damage line shows them as they stand.
    int lastSampleSlot = -1;
    int lastGearField = 0;
    bool damageEventInFrame = false;  // a path-A event of the current frame awaits its verdict

    void record(const ResetEvent& event, const Diagnostics& d, const char* ending) {
        scan.events.push_back(event);
        ++scan.resetsPerCar[event.carSlot];
        console << eventNumberColumn(static_cast<int>(scan.events.size())) << "  "
                << formatRaceClock(event.frame, frameRate, ClockStyle::hours) << "\t"
                << shortName(drivers, event.carSlot) << "  " << d.positionChange << "/" << d.lateralChange
                << "    " << d.positionStep << "/" << d.lateralStep << "   " << d.headingTurn << "  "
                << d.gearField - 1 << ending << "\n";
    }

    void onDamageBlock(int frame, const DamageBlock& block) {
        if (block.carSlot >= kDamageSlots) return;
        const int c = block.carSlot;
        DamageMemory& previous = damage[c];
        if (block.damageWord < previous.damageWord || block.engineDamage < previous.engineDamage) {
            // Before this frame's samples the car's latest change is its step.
            const CarMotionState m = motionOf(c);
            record({frame, c, kNoVerdict, 1},
                   {m.positionStep, m.lateralStep, m.positionStep, m.lateralStep,
                    lastHeadingChange() - m.headingStep, lastGearField},
                   "  RA");
            damageEventFrame[c] = frame;
            damageEventInFrame = true;
        }
        previous = {block.damageWord, block.engineDamage};
    }

    bool isRepeat(int slot, int frame) const {
        const auto& events = scan.events;
        for (std::size_t i = events.size(); i > 0 && events.size() - i < kRepeatLookBack; --i)
            if (events[i - 1].carSlot == slot && frame - events[i - 1].frame < kRepeatFrames) return true;
        return false;
    }

    // Resets in a lap that began at or after the leader's finish are not listed.
    bool lapBeganBeforeFinish(int slot, int frame) const {
        std::int64_t ms = static_cast<std::int64_t>(frame) * 1000 / frameRate;
        int k = laps.lapIndexAt(slot, ms);
        return laps.lapStamps[slot][k - 1] < laps.leaderFinishStamp;
    }

    // The car's previous sample and its steps. Before its first sample a car
    // stands at its shortest lap, with lateral value and heading 0.
    CarMotionState motionOf(int c) const {
        const SampleHistory& h = history[c];
        const CarPlace start{laps.shortestLap[c], 0, 0};
        const CarPlace previous = h.previous ? placeOf(h.previous) : start;
        const CarPlace older = h.older ? placeOf(h.older) : start;
        return {previous.position,
                previous.lateralValue,
                previous.heading,
                previous.position - older.position,
                previous.lateralValue - older.lateralValue,
                previous.heading - older.heading};
    }

    // The heading change of the sample processed last: its heading step
    // taken the short way round.
    int lastHeadingChange() const {
        return lastSampleSlot < 0 ? 0 : headingChange(motionOf(lastSampleSlot).headingStep, 0);
    }

    // After a frame's samples: the sample processed last, as a damage line of
    // a later frame shows it. Looked for once per frame, not kept at every
    // sample.
    void noteLastSample(const Frame& frame) {
        for (int i = frame.sampleCount - 1; i >= 0; --i) {
            const CarSample s = frame.sample(i);
            if (!isCarSlot(s.carSlot)) continue;
            lastSampleSlot = s.carSlot;
            lastGearField = s.gear;
            return;
        }
    }

    void onSample(const Frame& frame, int i) {
        const CarSample s = frame.sample(i);
        if (!isCarSlot(s.carSlot)) return;
        const int c = s.carSlot;
        // A damage decrease of this frame is judged by where the car stood before.
        if (damageEventInFrame && c < kDamageSlots && damageEventFrame[c] == frame.counter) {
            const std::int64_t position = motionOf(c).position;
            for (auto it = scan.events.rbegin(); it != scan.events.rend() && it->frame == frame.counter; ++it)
                if (it->carSlot == c && it->repairSeen) it->pitsVerdict = pitsVerdictAt(stalls, position);
        }
        // Only a car in gear 1 can have been set back to the pits, and few
        // samples are in gear 1: only they are tested.
        if (s.gear == kResetGearField) testTeleport(frame, i);

        SampleHistory& h = history[c];
        h.older = h.previous;
        h.previous = frame.sampleBytes(i);
    }

    // A car in gear 1 that stood nearly still and now jumps sideways or turns
    // while it hardly moves along the lap was set back to the pits.
    void testTeleport(const Frame& f, int i) {
        const int frame = f.counter;
        const CarSample s = f.sample(i);
        const int c = s.carSlot;
        const CarMotionState m = motionOf(c);
        const std::int64_t p = s.samplePosition;
        const std::int32_t l = s.lateralValue;
        const bool teleport = std::llabs(p - m.position) < kTeleportMaxMove &&
                              std::llabs(m.positionStep) < kStillPositionStep &&
                              std::abs(m.lateralStep) < kStillLateralStep &&
                              (std::abs(l - m.lateralValue) > kTeleportMinSideways ||
                               std::abs(headingChange(s.heading, m.heading)) > kTeleportMinTurn);
        if (teleport && !isRepeat(c, frame) && lapBeganBeforeFinish(c, frame)) {
            const std::int32_t verdict = pitsVerdictAt(stalls, m.position);
            const char* ending = verdict == kInPits      ? "  (in pits)"
                                 : verdict == kNotInPits ? "  (not  in pits)"
                                                         : "  (pits ?\?\?)";
            record({frame, c, verdict, 0},
                   {p - m.position, l - m.lateralValue, m.positionStep, m.lateralStep,
                    headingChange(s.heading, m.heading) - m.headingStep, s.gear},
                   ending);
        }
    }
};

}  // namespace

std::int32_t pitsVerdictAt(const StallBounds& stalls, std::int64_t position) {
    const std::int64_t first = metresToPosition(stalls.firstStall);
    const std::int64_t last = metresToPosition(stalls.lastStall);
    if (first > last) return last < position && position < first ? kInPits : kNotInPits;
    if (first < last) return first <= position && position <= last ? kNotInPits : kInPits;
    return kNoVerdict;
}

int headingChange(int heading, int previousHeading) {
    int d = heading - previousHeading;
    if (d > 256) d = 512 - d;
    if (d < -256) d += 512;
    return d;
}

std::string eventNumberColumn(int number) {
    std::string text;
    if (number < 10) text += ' ';
    if (number < 100) text += ' ';
    return text + std::to_string(number);
}

ResetScan walkResets(Bytes replay, std::int64_t start, int frameRate, const LapTable& laps,
                     const StallBounds& stalls, const DriverTable& drivers, ConsoleSink& console) {
    ResetScanner scanner{replay, frameRate, laps, stalls, drivers, console, {}};

    walkFrames(
        replay, start, kFromFirstBlock, kEndMargin, 1, [](int) { return false; },
        [&](const Frame& frame) {
            scanner.damageEventInFrame = false;
            for (int b = 0; b < frame.blockCount; ++b) {
                DamageBlock block;
                if (isDamageBlock(frame.blocks[b]) && readDamageBlock(replay, frame.blocks[b], block))
                    scanner.onDamageBlock(frame.counter, block);
            }
            for (int i = 0; i < frame.sampleCount; ++i) scanner.onSample(frame, i);
            scanner.noteLastSample(frame);
        });
    return std::move(scanner.scan);
}

}  // namespace zr

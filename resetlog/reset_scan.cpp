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
    CarMotionState motion[kSlots] = {};
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
            const CarMotionState& m = motion[c];
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

    // The heading change of the sample processed last: its heading step
    // taken the short way round.
    int lastHeadingChange() const {
        return lastSampleSlot < 0 ? 0 : headingChange(motion[lastSampleSlot].headingStep, 0);
    }

    void onSample(int frame, const CarSample& s) {
        if (!isCarSlot(s.carSlot)) return;
        const int c = s.carSlot;
        CarMotionState& m = motion[c];
        const std::int64_t p = s.samplePosition;
        const std::int32_t l = s.lateralValue;
        lastSampleSlot = c;
        lastGearField = s.gear;

        // A damage decrease of this frame is judged by where the car stood before.
        if (damageEventInFrame && c < kDamageSlots && damageEventFrame[c] == frame) {
            for (auto it = scan.events.rbegin(); it != scan.events.rend() && it->frame == frame; ++it)
                if (it->carSlot == c && it->repairSeen) it->pitsVerdict = pitsVerdictAt(stalls, m.position);
        }

        const bool teleport = s.gear == kResetGearField && std::llabs(p - m.position) < kTeleportMaxMove &&
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

        m.positionStep = p - m.position;
        m.lateralStep = l - m.lateralValue;
        m.headingStep = s.heading - m.heading;
        m.position = p;
        m.lateralValue = l;
        m.heading = s.heading;
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
    // Before a car's first sample its previous position is its shortest lap.
    for (int c = 0; c < kSlots; ++c) scanner.motion[c].position = laps.shortestLap[c];

    walkFrames(
        replay, start, kFromFirstBlock, kEndMargin, 1, [](int) { return false; },
        [&](const Frame& frame) {
            scanner.damageEventInFrame = false;
            for (int b = 0; b < frame.blockCount; ++b) {
                DamageBlock block;
                if (isDamageBlock(frame.blocks[b]) && readDamageBlock(replay, frame.blocks[b], block))
                    scanner.onDamageBlock(frame.counter, block);
            }
            for (int i = 0; i < frame.sampleCount; ++i) scanner.onSample(frame.counter, frame.sample(i));
        });
    return std::move(scanner.scan);
}

}  // namespace zr

#include "incident_scan.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <sstream>

#include "listing_text.h"
#include "contact_geometry.h"
#include "race_clock.h"
#include "replay_units.h"

namespace zr {

namespace {
// The walk ends this many bytes before the end of the file.
constexpr std::int64_t kEndMargin = 1200;
// A lap counts as slow when it is this much over the car's best.
constexpr std::int64_t kSlowLapAllowance = 4500;
// Granted on the standing-start lap.
constexpr std::int64_t kStandingStartMs = 4000;
// A slow next lap counts when the contact came this close to the line.
constexpr std::int64_t kNearLineMs = 10000;
constexpr int kRepeatSeconds = 6;
constexpr int kRepeatLookBack = 5;  // events before the newest one

const char* const kConsoleWheelText[4] = {" lost right front wheel", " lost left rear wheel",
                                          " lost right rear wheel", " verliert ein Rad"};

IncidentEvent addEvent(IncidentScan& scan, std::int32_t frame, int slot, std::int32_t code) {
    IncidentEvent e{frame, slot, code};
    scan.list.events.push_back(e);
    return e;
}
}  // namespace

bool scansContacts(ScanMode mode) { return mode != ScanMode::damageOnly; }
bool scansDamage(ScanMode mode) { return mode != ScanMode::contactsOnly; }

std::int64_t frameMillis(std::int64_t frame, int frameRate) { return frame * 1000 / frameRate; }

bool lostTimeInLap(const LapTable& laps, int slot, std::int64_t ms) {
    const std::int32_t* stamps = laps.lapStamps[slot];
    int k = laps.lapIndexAt(slot, ms);
    std::int64_t lapStart = stamps[k - 1], lapEnd = stamps[k], nextEnd = stamps[k + 1];
    if (lapStart >= laps.leaderFinishStamp) return false;
    std::int64_t allowance = laps.shortestLap[slot] + kSlowLapAllowance;
    std::int64_t lapTime = lapEnd - lapStart - (k == 1 ? kStandingStartMs : 0);
    return lapTime > allowance || nextEnd == kNoStamp || (lapEnd - ms < kNearLineMs && nextEnd - lapEnd > allowance);
}

bool isRepeatContact(const IncidentList& list, std::int32_t frame, int slotA, int slotB, int frameRate) {
    int newest = list.count();
    for (int n = newest; n >= 0 && n >= newest - kRepeatLookBack; --n) {
        const IncidentEvent& e = list.events[n];
        bool samePair = (e.carSlot == slotA && e.incidentCode == slotB) || (e.carSlot == slotB && e.incidentCode == slotA);
        if (samePair && static_cast<std::int64_t>(frame) - e.frame < kRepeatSeconds * frameRate) return true;
    }
    return false;
}

std::string eventLineStart(const IncidentScan& scan, const IncidentEvent& event) {
    int number = scan.list.count();
    std::string line = number < 10 ? " " : "";
    line += std::to_string(number) + " " + formatRaceClock(event.frame, scan.frameRate, ClockStyle::hours) + " " +
            shortName(*scan.drivers, event.carSlot);
    return line;
}

void applyDamageRule(IncidentScan& scan, const DamageBlock& block, std::int32_t frame) {
    int c = block.carSlot;
    if (c >= kDamageSlots) return;
    const LapTable& laps = *scan.laps;
    int k = laps.lapIndexAt(c, frameMillis(frame, scan.frameRate));
    // A car on a lap begun after the leader's finish is done racing.
    if (laps.lapStamps[c][k - 1] > laps.leaderFinishStamp) return;

    DamageState& st = scan.damage[c];
    st.lastFrame = frame;
    int engine = static_cast<int>(block.engineDamage);
    if (engine > st.engineDamage) {
        IncidentEvent e = addEvent(scan, frame, c, kEngineDamageCode + engine);
        *scan.console << eventLineStart(scan, e) << " engine damage\n";
    }
    for (int field = 0; field < 4; ++field) {
        if (block.wheelField(field) == 3 && st.wheelField[field] < 3) {
            IncidentEvent e = addEvent(scan, frame, c, kLostWheelCode - field);
            *scan.console << eventLineStart(scan, e) << kConsoleWheelText[field] << "\n";
        }
        st.wheelField[field] = block.wheelField(field);
    }
    st.engineDamage = engine;
}

namespace {
void printContact(IncidentScan& scan, const IncidentEvent& e, const CarSample& a, const CarSample& b,
                  const PairGeometry& g) {
    std::ostringstream line;  // the float in the stream's default format: six significant digits
    line << eventLineStart(scan, e) << "/" << shortName(*scan.drivers, b.carSlot) << " " << g.gap / kPositionUnitsPerCentimetre << "cm"
         << g.lateralDifference << " " << a.lateralValue << "/" << b.lateralValue << "  "
         << static_cast<int>(g.contactAngle);
    if (g.crossAngle > 0.1) line << "(" << static_cast<int>(g.crossAngle + 90) << ")";
    line << "Grad\n";
    *scan.console << line.str();
}

// Sorts `order` by the frame's `positions` (insertion sort: the order is
// nearly sorted).
void sortByPosition(PositionOrder& order, const std::int32_t* positions, int count) {
    if (order.count != count) {
        for (int k = 0; k < count; ++k) order.cars[k].car = k;
        order.count = count;
    }
    for (int k = 0; k < count; ++k) order.cars[k].position = positions[order.cars[k].car];
    for (int k = 1; k < count; ++k) {
        const PlacedCar moving = order.cars[k];
        int m = k;
        for (; m > 0 && order.cars[m - 1].position > moving.position; --m) order.cars[m] = order.cars[m - 1];
        order.cars[m] = moving;
    }
}

static_assert(kMaxPairedSamples <= 64, "a car's partners are the bits of one 64-bit word");

// Bit j of near[i] (i < j) is set when cars i and j are closer than the
// longest reach. In position order a car's partners within reach follow it
// directly, so each car looks at its next neighbours only, not at every
// other car; most frames have no such pair or one.
void findNearPairs(const PositionOrder& order, int count, std::uint64_t* near) {
    for (int i = 0; i < count; ++i) near[i] = 0;
    for (int k = 0; k < count; ++k) {
        const PlacedCar& a = order.cars[k];
        for (int m = k + 1; m < count && order.cars[m].position - a.position < kMaxContactReach; ++m) {
            const int b = order.cars[m].car;
            near[std::min(a.car, b)] |= std::uint64_t{1} << std::max(a.car, b);
        }
    }
}
}  // namespace

void applyContactRule(IncidentScan& scan, const Frame& frame) {
    // The cars keep their frame order, which is the order the pairs are
    // judged in. Only the positions are needed to rule out most pairs.
    int sampleIndex[kMaxPairedSamples];
    std::int32_t positions[kMaxPairedSamples];
    int carCount = 0;
    for (int i = 0; i < frame.sampleCount && carCount < kMaxPairedSamples; ++i) {
        CarSample s = frame.sample(i);
        if (!isCarSlot(s.carSlot)) continue;
        sampleIndex[carCount] = i;
        positions[carCount++] = s.samplePosition;
    }
    std::uint64_t near[kMaxPairedSamples];
    sortByPosition(scan.order, positions, carCount);
    findNearPairs(scan.order, carCount, near);

    const std::int64_t ms = frameMillis(frame.counter, scan.frameRate);
    for (int i = 0; i < carCount; ++i) {
        // The partners within reach in frame order: the lowest bit first.
        for (std::uint64_t partners = near[i]; partners != 0; partners &= partners - 1) {
            const int j = std::countr_zero(partners);
            const CarSample a = frame.sample(sampleIndex[i]), b = frame.sample(sampleIndex[j]);
            PairGeometry g = measurePair(a, scan.tangents.of(a.lateralValue), b, scan.tangents.of(b.lateralValue));
            if (!isContactCandidate(g)) continue;
            // A contact already listed ends the partner search of this car.
            if (isRepeatContact(scan.list, frame.counter, a.carSlot, b.carSlot, scan.frameRate)) break;
            if (!lostTimeInLap(*scan.laps, a.carSlot, ms) && !lostTimeInLap(*scan.laps, b.carSlot, ms)) continue;
            IncidentEvent e = addEvent(scan, frame.counter, a.carSlot, b.carSlot);
            printContact(scan, e, a, b, g);
        }
    }
}

void scanRace(IncidentScan& scan, Bytes replay, std::int64_t start) {
    walkFrames(
        replay, start, kFromFirstBlock, kEndMargin, 1, [](int) { return false; },
        [&](const Frame& frame) {
            if (scansDamage(scan.mode)) {
                for (int b = 0; b < frame.blockCount; ++b) {
                    DamageBlock block;
                    if (isDamageBlock(frame.blocks[b]) && readDamageBlock(replay, frame.blocks[b], block))
                        applyDamageRule(scan, block, frame.counter);
                }
            }
            if (scansContacts(scan.mode)) applyContactRule(scan, frame);
        });
}

}  // namespace zr

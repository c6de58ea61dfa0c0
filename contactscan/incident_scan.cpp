#include "incident_scan.h"

#include <algorithm>
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

// The first of `positions[from]` to `positions[count - 1]` closer than the
// longest reach to `position`; `count` when there is none. Most pairs end here.
int nextWithinReach(const std::int32_t* positions, int from, int count, std::int32_t position) {
    while (from < count && std::abs(position - positions[from]) >= kMaxContactReach) ++from;
    return from;
}
}  // namespace

// A frame holds one sample per car; a record with more samples than this
// that name a car is damaged. Samples of slots without a name are dropped
// first, so junk samples ahead of the real ones cost no contact; of the rest
// only the first 64 are paired, which keeps the pair search of such a record
// bounded.
constexpr int kMaxPairedSamples = 64;

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
    const std::int64_t ms = frameMillis(frame.counter, scan.frameRate);
    for (int i = 0; i < carCount; ++i) {
        for (int j = i + 1; (j = nextWithinReach(positions, j, carCount, positions[i])) < carCount; ++j) {
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

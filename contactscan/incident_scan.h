// The scan of a race for incidents: contacts between two cars that cost one
// of them time, wheels coming off and rising engine damage. Each incident is
// printed on the console as it is found and kept in the incident list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "byte_reader.h"
#include "console_sink.h"
#include "contact_geometry.h"
#include "damage_block.h"
#include "driver_table.h"
#include "event_stream.h"
#include "lap_table.h"

namespace zr {

// What the user asked to be listed.
enum class ScanMode : unsigned {
    contactsOnly = 0,
    everything = 1,  // contacts, lost wheels and engine damage
    damageOnly = 2   // lost wheels and engine damage
};
bool scansContacts(ScanMode mode);
bool scansDamage(ScanMode mode);

// Incident codes besides a contact's partner slot (0 to 63).
constexpr std::int32_t kLostWheelCode = -2;      // -2 - wheel field: -2 to -5
constexpr std::int32_t kEngineDamageCode = 1000;  // 1000 + damage level

struct IncidentEvent {
    std::int32_t frame = 0;
    std::int32_t carSlot = 0;       // for a contact the first car of the pair
    std::int32_t incidentCode = 0;  // the partner's slot, a lost wheel or engine damage
};

// Events numbered from 1 in the order found; position 0 holds an all-zero
// event that the repeat test may look at. There is no limit to the count.
struct IncidentList {
    std::vector<IncidentEvent> events{IncidentEvent{}};
    int count() const { return static_cast<int>(events.size()) - 1; }
};


struct DamageState {
    int wheelField[4] = {};
    int engineDamage = 0;
    int lastFrame = 0;
};

// A frame holds one sample per car; a record with more samples than this
// that name a car is damaged. Samples of slots without a name are dropped
// first, so junk samples ahead of the real ones cost no contact; of the rest
// only the first 64 are paired, which keeps the pair search of such a record
// bounded.
constexpr int kMaxPairedSamples = 64;

// The cars of a frame sorted by position. Kept from frame to frame: cars
// seldom pass each other, so the previous frame's order is nearly sorted
// already and sorting costs little.
struct PlacedCar {
    std::int32_t position = 0;
    int car = 0;  // the car's place among the frame's paired cars
};
struct PositionOrder {
    PlacedCar cars[kMaxPairedSamples] = {};
    int count = 0;
};

// Everything the rules read and write while the race is walked.
struct IncidentScan {
    ScanMode mode = ScanMode::everything;
    int frameRate = 36;
    const LapTable* laps = nullptr;        // with the capped shortest laps
    const DriverTable* drivers = nullptr;
    ConsoleSink* console = nullptr;
    DamageState damage[kDamageSlots];
    IncidentList list;
    TangentMemo tangents;
    PositionOrder order;
};

// Milliseconds of a frame: frame × 1000 / rate.
std::int64_t frameMillis(std::int64_t frame, int frameRate);

// Whether a car lost time in the lap it is driving at `ms`: a lap more than
// 4.5 s over its best (4 s granted on the standing-start lap), its last
// recorded lap, or a slow lap following within 10 s. Only laps begun before
// the leader's finish count.
bool lostTimeInLap(const LapTable& laps, int slot, std::int64_t ms);

// Whether the pair's contact was listed less than 6 s ago among the last six
// events (fewer when the list is shorter; position 0 included).
bool isRepeatContact(const IncidentList& list, std::int32_t frame, int slotA, int slotB, int frameRate);

// The damage rule for one damage block met in `frame`.
void applyDamageRule(IncidentScan& scan, const DamageBlock& block, std::int32_t frame);

// The contact rule for the car samples of one frame.
void applyContactRule(IncidentScan& scan, const Frame& frame);

// Walks the race from its start record (frame 1) to 1200 bytes before the end
// of the file.
void scanRace(IncidentScan& scan, Bytes replay, std::int64_t start);

// The start of every console line: number, clock and the car's short name.
std::string eventLineStart(const IncidentScan& scan, const IncidentEvent& event);

}  // namespace zr

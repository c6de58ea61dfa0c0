// How two car samples of one frame stand to each other, and whether they are
// close enough to count as touching.
//
// A sample's lateral value is an angle: value × 90 / 32768 degrees, whose
// tangent is the car's lateral offset. The heading has 512 units per turn.
// The sums are done partly in float and partly in double, in a fixed order,
// so that the same replay always gives the same list to the bit.
#pragma once

#include <cstdint>
#include <vector>

#include "event_stream.h"

namespace zr {

// Pi as the angles are converted with it.
constexpr double kContactPi = 3.14159265;

// tan(lateralValue × 90 / 32768 degrees), taken in double, kept as a float.
float lateralTangent(std::int32_t lateralValue);

// lateralTangent of each 16-bit lateral value, worked out the first time the
// value is asked for: a race has millions of samples but few distinct values.
// Kept in blocks of 256 values, each made when one of its values is first
// asked for: the values met lie close together, and a table of all 65536
// would cost a page fault for each of its 64 pages.
struct TangentMemo {
    static constexpr int kBlockValues = 256;
    std::vector<std::vector<float>> blocks;  // by (value + 32768) / 256; NaN while not yet worked out
    float of(std::int32_t lateralValue);
};

struct PairGeometry {
    float lateralDifference = 0;  // dT: tangent of the first car less that of the second
    float contactAngle = 0;       // degrees; 0 when the cars turn away from each other
    float crossAngle = 0;         // degrees by which the headings differ beyond 90
    std::int32_t gap = 0;         // |position difference| in 0.5 mm units
};

// `tangentA` and `tangentB` are the lateral tangents of `a` and `b`.
PairGeometry measurePair(const CarSample& a, float tangentA, const CarSample& b, float tangentB);

// The longest reach of a contact: 7950 + 2500 units when the cars cross at a
// right angle. Pairs at least this far apart are never candidates.
constexpr std::int32_t kMaxContactReach = 10450;

// Longitudinally within 7950 + 2500 × sin(cross angle) units and laterally
// within 0.166 + 0.12 × sin(contact angle).
bool isContactCandidate(const PairGeometry& g);

}  // namespace zr

#include "contact_geometry.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace zr {

namespace {
double radians(double degrees) { return degrees * kContactPi / 180; }
}  // namespace

float lateralTangent(std::int32_t lateralValue) {
    double degrees = lateralValue * 90.0 / 32768;
    return static_cast<float>(std::tan(radians(degrees)));
}

float TangentMemo::of(std::int32_t lateralValue) {
    std::int64_t index = std::int64_t{lateralValue} + 32768;
    if (index < 0 || index > 65535) return lateralTangent(lateralValue);
    if (blocks.empty()) blocks.resize(65536 / kBlockValues);
    std::vector<float>& block = blocks[static_cast<std::size_t>(index / kBlockValues)];
    if (block.empty()) block.assign(kBlockValues, std::numeric_limits<float>::quiet_NaN());
    float& t = block[static_cast<std::size_t>(index % kBlockValues)];
    if (std::isnan(t)) t = lateralTangent(lateralValue);
    return t;
}

PairGeometry measurePair(const CarSample& a, float tangentA, const CarSample& b, float tangentB) {
    PairGeometry g;
    g.lateralDifference = tangentA - tangentB;

    // Bring the headings within half a turn of each other.
    int ha = a.heading, hb = b.heading;
    if (hb + 256 < ha)
        hb += 512;
    else if (hb > ha + 256)
        ha += 512;
    int dh = ha - hb;
    int x = std::abs(dh);  // 0 to 256: 128 is a right angle

    g.contactAngle = static_cast<float>(x <= 128 ? x : 256 - x) * 90 / 128;
    // A heading difference of the same sign as the lateral difference is
    // taken as the cars opening up: no contact angle.
    if ((dh < 0 && g.lateralDifference < 0) || (dh > 0 && g.lateralDifference > 0)) g.contactAngle = 0;
    g.crossAngle = x > 128 ? static_cast<float>(x - 128) * 90 / 128 : 0.0f;
    g.gap = std::abs(a.samplePosition - b.samplePosition);
    return g;
}

bool isContactCandidate(const PairGeometry& g) {
    if (g.gap >= kMaxContactReach) return false;  // needs no sines
    double reach = 7950 + 2500 * std::sin(radians(g.crossAngle));
    double width = 0.166 + 0.12 * std::sin(radians(g.contactAngle));
    return reach > g.gap && width > std::fabs(static_cast<double>(g.lateralDifference));
}

}  // namespace zr

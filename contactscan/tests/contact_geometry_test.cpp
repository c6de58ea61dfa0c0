#include "contact_geometry.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <sstream>

namespace zr {
namespace {

CarSample car(std::int32_t position, std::int32_t lateral, int heading) {
    CarSample s;
    s.samplePosition = position;
    s.lateralValue = lateral;
    s.heading = heading;
    return s;
}

PairGeometry measure(const CarSample& a, const CarSample& b) {
    return measurePair(a, lateralTangent(a.lateralValue), b, lateralTangent(b.lateralValue));
}

std::string printed(float value) {
    std::ostringstream s;
    s << value;
    return s.str();
}

TEST(ContactGeometry, TangentIsTakenInDoubleAndKeptAsFloat) {
    EXPECT_EQ(lateralTangent(0), 0.0f);
    EXPECT_EQ(lateralTangent(16384), 1.0f);  // 45 degrees
    EXPECT_LT(lateralTangent(-32768), -5e8f);  // just short of -90 degrees with this pi: large, finite
    // The difference of two stored floats, printed with six digits; taken in
    // double throughout it would print 0.00048378.
    PairGeometry g = measure(car(0, 2000, 0), car(0, 1990, 0));
    EXPECT_EQ(printed(g.lateralDifference), "0.000483781");
    EXPECT_EQ(printed(measure(car(0, 1000, 0), car(0, -37, 0)).lateralDifference), "0.0497473");
}

TEST(ContactGeometry, MemoGivesTheSameTangentToTheBit) {
    TangentMemo memo;
    for (int pass = 0; pass < 2; ++pass) {  // worked out, then remembered
        for (std::int32_t value = -32768; value <= 32767; value += pass == 0 ? 1 : 7) {
            ASSERT_EQ(std::bit_cast<std::uint32_t>(memo.of(value)), std::bit_cast<std::uint32_t>(lateralTangent(value)))
                << value;
        }
    }
    EXPECT_EQ(memo.of(40000), lateralTangent(40000));  // outside 16 bits: not kept
}

TEST(ContactGeometry, AnglesFromTheHeadings) {
    // Side by side at a right angle: the full contact angle, no crossing.
    PairGeometry g = measure(car(0, 0, 128), car(0, 0, 0));
    EXPECT_EQ(g.contactAngle, 90.0f);
    EXPECT_EQ(g.crossAngle, 0.0f);
    // Head on: no contact angle, crossing by 90 degrees.
    g = measure(car(0, 0, 300), car(0, 0, 44));
    EXPECT_EQ(g.contactAngle, 0.0f);
    EXPECT_EQ(g.crossAngle, 90.0f);
    // Across the wrap of the heading: 10 and 500 are 22 units apart.
    g = measure(car(0, 0, 10), car(0, 0, 500));
    EXPECT_EQ(g.contactAngle, 22 * 90.0f / 128);
    g = measure(car(0, 0, 500), car(0, 0, 10));
    EXPECT_EQ(g.contactAngle, 22 * 90.0f / 128);
    // 129 units: beyond a right angle.
    g = measure(car(0, 0, 129), car(0, 0, 0));
    EXPECT_EQ(g.contactAngle, 127 * 90.0f / 128);
    EXPECT_EQ(g.crossAngle, 90.0f / 128);
}

TEST(ContactGeometry, ContactAngleVanishesWhenHeadingAndOffsetAgree) {
    // The first car stands to the left (greater tangent) and turns further left.
    EXPECT_EQ(measure(car(0, 500, 20), car(0, 0, 0)).contactAngle, 0.0f);
    EXPECT_EQ(measure(car(0, -500, 0), car(0, 0, 20)).contactAngle, 0.0f);
    // Turned towards each other.
    EXPECT_EQ(measure(car(0, 500, 0), car(0, 0, 20)).contactAngle, 20 * 90.0f / 128);
    EXPECT_EQ(measure(car(0, -500, 20), car(0, 0, 0)).contactAngle, 20 * 90.0f / 128);
}

TEST(ContactGeometry, CandidateLimits) {
    EXPECT_EQ(measure(car(100, 0, 0), car(8049, 0, 0)).gap, 7949);
    EXPECT_TRUE(isContactCandidate(measure(car(100, 0, 0), car(8049, 0, 0))));
    EXPECT_FALSE(isContactCandidate(measure(car(100, 0, 0), car(8050, 0, 0))));
    EXPECT_TRUE(isContactCandidate(measure(car(8049, 0, 0), car(100, 0, 0))));
    // Crossing cars reach 2500 units further.
    EXPECT_TRUE(isContactCandidate(measure(car(0, 0, 256), car(10449, 0, 0))));
    EXPECT_FALSE(isContactCandidate(measure(car(0, 0, 256), car(10450, 0, 0))));
    // Laterally 0.166 in tangent: 3431 is just inside, 3432 just outside.
    EXPECT_TRUE(isContactCandidate(measure(car(0, 3431, 0), car(0, 0, 0))));
    EXPECT_FALSE(isContactCandidate(measure(car(0, 3432, 0), car(0, 0, 0))));
    EXPECT_FALSE(isContactCandidate(measure(car(0, 0, 0), car(0, 3432, 0))));
    // Side by side at a right angle the lateral reach grows to 0.286.
    EXPECT_TRUE(isContactCandidate(measure(car(0, 0, 128), car(0, 5700, 0))));
    EXPECT_FALSE(isContactCandidate(measure(car(0, 0, 0), car(0, 5700, 128))));  // turned away
}

}  // namespace
}  // namespace zr

#include "contact_geometry.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <sstream>
#include <tuple>

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

// The contact angle, then the crossing angle; kAny where it is not looked at.
TEST(ContactGeometry, AnglesFromTheHeadings) {
    constexpr float kAny = -1.0f;
    const std::tuple<CarSample, CarSample, float, float> rows[] = {
        {car(0, 0, 128), car(0, 0, 0), 90.0f, 0.0f},  // side by side at a right angle: the full contact angle
        {car(0, 0, 300), car(0, 0, 44), 0.0f, 90.0f},  // head on
        // Across the wrap: 22 units apart.
        {car(0, 0, 10), car(0, 0, 500), 22 * 90.0f / 128, kAny},
        {car(0, 0, 500), car(0, 0, 10), 22 * 90.0f / 128, kAny},
        {car(0, 0, 129), car(0, 0, 0), 127 * 90.0f / 128, 90.0f / 128},  // beyond a right angle
        // The first car stands to the left (greater tangent) and turns further left, or the second does.
        {car(0, 500, 20), car(0, 0, 0), 0.0f, kAny}, {car(0, -500, 0), car(0, 0, 20), 0.0f, kAny},
        // Turned towards each other.
        {car(0, 500, 0), car(0, 0, 20), 20 * 90.0f / 128, kAny},
        {car(0, -500, 20), car(0, 0, 0), 20 * 90.0f / 128, kAny},
    };
    for (const auto& [a, b, contact, cross] : rows) {
        PairGeometry g = measure(a, b);
        EXPECT_EQ(g.contactAngle, contact) << a.lateralValue << "/" << a.heading << " " << b.heading;
        if (cross != kAny) { EXPECT_EQ(g.crossAngle, cross) << a.heading << " " << b.heading; }
    }
}

TEST(ContactGeometry, CandidateLimits) {
    EXPECT_EQ(measure(car(100, 0, 0), car(8049, 0, 0)).gap, 7949);
    const std::tuple<CarSample, CarSample, bool> rows[] = {
        {car(100, 0, 0), car(8049, 0, 0), true}, {car(100, 0, 0), car(8050, 0, 0), false},
        {car(8049, 0, 0), car(100, 0, 0), true},
        // Crossing cars reach 2500 units further.
        {car(0, 0, 256), car(10449, 0, 0), true}, {car(0, 0, 256), car(10450, 0, 0), false},
        // Laterally 0.166 in tangent: 3431 is just inside, 3432 just outside.
        {car(0, 3431, 0), car(0, 0, 0), true}, {car(0, 3432, 0), car(0, 0, 0), false},
        {car(0, 0, 0), car(0, 3432, 0), false},
        // Side by side at a right angle the lateral reach grows to 0.286, not when turned away.
        {car(0, 0, 128), car(0, 5700, 0), true}, {car(0, 0, 0), car(0, 5700, 128), false},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(isContactCandidate(measure(std::get<0>(rows[i]), std::get<1>(rows[i]))), std::get<2>(rows[i])) << i;
}

}  // namespace
}  // namespace zr

#include "byte_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace zr {
namespace {

const std::uint8_t kData[] = {0x4F, 0x52, 0x50, 0x4C, 0xFF, 0x7F, 0x01};
const Bytes kBytes{kData, sizeof kData};

TEST(ByteReader, ReadsLittleEndianInsideTheData) {
    std::uint32_t u = 0;
    EXPECT_TRUE(readU32(kBytes, 0, u));
    EXPECT_EQ(u, 0x4C50524Fu);  // "ORPL"
    std::int32_t s = 0;
    EXPECT_TRUE(readI16(kBytes, 4, s));
    EXPECT_EQ(s, 0x7FFF);
    EXPECT_TRUE(readU24(kBytes, 4, u));
    EXPECT_EQ(u, 0x017FFFu);
}

TEST(ByteReader, ReadsPastTheEndFailWithZero) {
    std::uint32_t u = 99;
    EXPECT_FALSE(readU32(kBytes, 4, u));  // only 3 bytes left
    EXPECT_EQ(u, 0u);
    EXPECT_FALSE(readU8(kBytes, -1, u));
    EXPECT_FALSE(readU8(kBytes, 7, u));
    EXPECT_FALSE(readU16(kBytes, std::numeric_limits<std::int64_t>::max(), u));
    EXPECT_TRUE(kBytes.has(7, 0));
    EXPECT_FALSE(kBytes.has(8, 0));
}

TEST(ByteReader, CursorFailureIsSticky) {
    Cursor c{kBytes, 4};
    EXPECT_EQ(c.u16(), 0x7FFFu);
    EXPECT_FALSE(c.failed);
    EXPECT_EQ(c.u16(), 0u);  // one byte left
    EXPECT_TRUE(c.failed);
    c.pos = 0;
    EXPECT_EQ(c.u32(), 0x4C50524Fu);
    EXPECT_TRUE(c.failed);
}

TEST(ByteReader, TextFieldsEndWithNulAndPadPastTheEnd) {
    char text[9];
    readText(kBytes, 0, 8, text);
    EXPECT_STREQ(text, "ORPL\xFF\x7F\x01");
}

}  // namespace
}  // namespace zr

// The damage block of the event stream: kind 10, length exactly 20, one car's
// wheel state and engine damage. Read by contactscan and resetlog.
#pragma once

#include <cstdint>

#include "byte_reader.h"
#include "event_stream.h"

namespace zr {

constexpr std::uint32_t kDamageBlockKind = 10;
constexpr std::uint32_t kDamageBlockLength = 20;
constexpr int kDamageSlots = 20;  // damage blocks of slots 20 and above are ignored

struct DamageBlock {
    int carSlot = 0;                 // the u16 at +4 divided by 64
    std::uint32_t wheelState = 0;    // +13: four 2-bit wheel fields, 3 = wheel lost
    std::uint32_t damageWord = 0;    // +13 to +15 as one 24-bit number (wheelState its low byte)
    std::uint32_t engineDamage = 0;  // +16: against a scale of 63

    int wheelField(int field) const { return static_cast<int>((wheelState >> (2 * field)) & 3); }
};

bool isDamageBlock(const BlockRef& block);

// Decodes a block that `isDamageBlock` accepted; false when its bytes lie
// past the end of the file.
bool readDamageBlock(Bytes replay, const BlockRef& block, DamageBlock& out);

}  // namespace zr

#include "damage_block.h"

namespace zr {

bool isDamageBlock(const BlockRef& block) {
    return block.kind == kDamageBlockKind && block.length == kDamageBlockLength;
}

bool readDamageBlock(Bytes replay, const BlockRef& block, DamageBlock& out) {
    if (!replay.has(block.head, kDamageBlockLength)) return false;
    std::uint32_t slotWord = 0;
    readU16(replay, block.head + 4, slotWord);
    out.carSlot = static_cast<int>(slotWord / 64);
    readU8(replay, block.head + 13, out.wheelState);
    readU24(replay, block.head + 13, out.damageWord);
    readU8(replay, block.head + 16, out.engineDamage);
    return true;
}

}  // namespace zr

// Bounds-checked little-endian access to a replay held in memory.
//
// Every read of replay bytes in the system goes through these functions. A read
// that would run past the end of the data yields false (or a cursor whose
// `failed` flag is set) and a zero value; it never touches memory outside the
// buffer. Offsets are compared with the room left (`size - offset`), never as
// `offset + width`, so a huge offset cannot wrap around.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace zr {

struct Bytes {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;

    // True when [offset, offset + width) lies inside the data.
    bool has(std::int64_t offset, std::size_t width) const {
        if (offset < 0) return false;
        auto off = static_cast<std::uint64_t>(offset);
        return off <= size && width <= size - off;
    }
};

inline std::uint32_t loadLe(const std::uint8_t* p, int width) {
    std::uint32_t v = 0;
    if constexpr (std::endian::native == std::endian::little) {
        // One load instead of a byte at a time: the walks read millions of heads.
        std::memcpy(&v, p, static_cast<std::size_t>(width));
    } else {
        for (int i = width - 1; i >= 0; --i) v = (v << 8) | p[i];
    }
    return v;
}

// Plain reads at an absolute offset: false and a zero value past the end.
inline bool readU8(Bytes b, std::int64_t off, std::uint32_t& out) {
    out = b.has(off, 1) ? b.data[off] : 0;
    return b.has(off, 1);
}
inline bool readU16(Bytes b, std::int64_t off, std::uint32_t& out) {
    out = b.has(off, 2) ? loadLe(b.data + off, 2) : 0;
    return b.has(off, 2);
}
inline bool readU24(Bytes b, std::int64_t off, std::uint32_t& out) {
    out = b.has(off, 3) ? loadLe(b.data + off, 3) : 0;
    return b.has(off, 3);
}
inline bool readU32(Bytes b, std::int64_t off, std::uint32_t& out) {
    out = b.has(off, 4) ? loadLe(b.data + off, 4) : 0;
    return b.has(off, 4);
}
inline bool readI32(Bytes b, std::int64_t off, std::int32_t& out) {
    std::uint32_t u = 0;
    bool ok = readU32(b, off, u);
    out = static_cast<std::int32_t>(u);
    return ok;
}
inline bool readI16(Bytes b, std::int64_t off, std::int32_t& out) {
    std::uint32_t u = 0;
    bool ok = readU16(b, off, u);
    out = static_cast<std::int16_t>(static_cast<std::uint16_t>(u));
    return ok;
}
inline bool readF32(Bytes b, std::int64_t off, float& out) {
    std::uint32_t u = 0;
    bool ok = readU32(b, off, u);
    std::memcpy(&out, &u, sizeof out);
    return ok;
}

// Copies `width` bytes into `out` (which has room for width + 1) and ends it
// with NUL; bytes past the end of the data read as NUL.
inline void readText(Bytes b, std::int64_t off, std::size_t width, char* out) {
    for (std::size_t i = 0; i < width; ++i) {
        std::int64_t at = off + static_cast<std::int64_t>(i);
        out[i] = b.has(at, 1) ? static_cast<char>(b.data[at]) : '\0';
    }
    out[width] = '\0';
}

// A reading position that moves forward like a stream. Reads past the end
// return 0 and set the sticky `failed` flag, so a fixed record can be read
// field by field and checked once.
struct Cursor {
    Bytes bytes;
    std::int64_t pos = 0;
    bool failed = false;

    std::uint32_t take(int width) {
        std::uint32_t v = 0;
        if (bytes.has(pos, static_cast<std::size_t>(width)))
            v = loadLe(bytes.data + pos, width);
        else
            failed = true;
        pos += width;
        return v;
    }
    std::uint32_t u8() { return take(1); }
    std::uint32_t u16() { return take(2); }
    std::uint32_t u24() { return take(3); }
    std::uint32_t u32() { return take(4); }
    std::int32_t i32() { return static_cast<std::int32_t>(take(4)); }
    void skip(std::int64_t n) { pos += n; }
    bool atOrPastEnd() const { return pos < 0 || static_cast<std::uint64_t>(pos) >= bytes.size; }
};

}  // namespace zr

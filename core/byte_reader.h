// Bounds-checked little-endian access to a replay held in memory.
//
// Every read of replay bytes in the system goes through these functions. A read
// that would run past the end of the data yields false (or a cursor whose
// `failed` flag is set) and a zero value; it never touches memory outside the
// buffer. Offsets are compared with the room left (`size - offset`), never as
// `offset + width`, so a huge offset cannot wrap around.
//
// A large replay may still be coming in while it is read: a loader thread
// (platform.h, MappedFile) reads it from the start and counts the bytes that
// are in. Every read waits until its bytes are among them, so the analysis
// never sees memory the loader has not filled.
#pragma once

#include <atomic>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace zr {

// Waits until `loaded` counts at least `end` bytes; returns its count then.
std::size_t waitForLoadedBytes(const std::atomic<std::size_t>& loaded, std::size_t end);

struct Bytes {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    // Where a loader thread is reading the data in: the bytes from the start
    // that are in (all `size` of them in the end). Null when all were in from
    // the start.
    const std::atomic<std::size_t>* loaded = nullptr;

    // True when [offset, offset + width) lies inside the data; then also
    // waits until those bytes are in.
    bool has(std::int64_t offset, std::size_t width) const {
        if (offset < 0) return false;
        auto off = static_cast<std::uint64_t>(offset);
        if (off > size || width > size - off) return false;
        waitFor(static_cast<std::size_t>(off) + width);
        return true;
    }
    // Waits until the first `end` bytes (at most `size`) are in, for what is
    // read through a plain pointer, such as a frame's car samples; returns
    // how many are in then.
    std::size_t waitFor(std::size_t end) const {
        if (!loaded) return size;
        std::size_t in = loaded->load(std::memory_order_acquire);
        return in >= end ? in : waitForLoadedBytes(*loaded, end);
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

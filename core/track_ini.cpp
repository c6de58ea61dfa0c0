#include "track_ini.h"

#include <cstring>

namespace zr {

namespace {

// A forward reading position over the file's text.
struct TextScan {
    const std::string& text;
    std::size_t pos = 0;

    bool atEnd() const { return pos >= text.size(); }

    // After "[" and one more character, the next 10 characters name the section.
    bool findSection(const char* name) {
        while (!atEnd()) {
            if (text[pos++] != '[') continue;
            pos += 1;
            if (pos + 10 > text.size()) return false;
            bool match = text.compare(pos, 10, name) == 0;
            pos += 10;
            if (match) return true;
        }
        return false;
    }

    // Slides a window of the keys' width forward one character at a time; the
    // first window ends at the current position. On a match the position
    // stands right after the window.
    bool findKey(const char* key1, const char* key2) {
        std::size_t width = std::strlen(key1);
        for (std::size_t end = pos; end < text.size(); ++end) {
            if (end + 1 < width) continue;
            std::size_t start = end + 1 - width;
            if (text.compare(start, width, key1) == 0 || text.compare(start, width, key2) == 0) {
                pos = end + 1;
                return true;
            }
        }
        pos = text.size();
        return false;
    }

    // One optional blank, then the characters up to and including `terminator`;
    // the value is the integer at the start, as the C library's atoi reads it.
    std::int32_t number(char terminator) {
        if (!atEnd() && text[pos] == ' ') ++pos;
        std::string token;
        while (!atEnd()) {
            char c = text[pos++];
            if (token.size() < 30) token += c;
            if (c == terminator) break;
        }
        return leadingInteger(token);
    }

    static std::int32_t leadingInteger(const std::string& s) {
        std::size_t i = 0;
        while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))) ++i;
        bool negative = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
        std::int64_t v = 0;
        for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
            v = v * 10 + (s[i] - '0');
            if (v > INT32_MAX) v = INT32_MAX + std::int64_t{1};  // keep it bounded; clamped below
        }
        if (negative) v = -v;
        if (v > INT32_MAX) v = INT32_MAX;
        if (v < INT32_MIN) v = INT32_MIN;
        return static_cast<std::int32_t>(v);
    }
};

}  // namespace

std::string trackIniPath(const std::string& tracksFolder, const std::string& trackName) {
    return tracksFolder + trackName + "\\track.ini";
}

PitLaneBounds parsePitLaneBounds(const std::string& text) {
    PitLaneBounds b;
    TextScan scan{text};
    if (!scan.findSection("pit_lane_0")) return b;
    if (!scan.findKey("lane_bounds_dlong = ", "lane_bounds_dlong  =")) return b;
    b.pitLaneStart = scan.number(' ');
    b.pitLaneEnd = scan.number(' ');
    return b;
}

StallBounds parseStallBounds(const std::string& text) {
    StallBounds b;
    TextScan scan{text};
    if (!scan.findSection("pit_lane_0")) return b;
    if (!scan.findKey("stall_0 = ", "stall_0  =")) return b;
    b.firstStall = scan.number('.');
    if (!scan.findKey("stall_19 =", "stall_19  ")) return b;
    scan.pos += 1;
    b.lastStall = scan.number('.');
    return b;
}

}  // namespace zr

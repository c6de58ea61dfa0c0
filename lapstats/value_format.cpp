#include "value_format.h"

#include <cstdio>

#include "platform.h"

namespace zr {

namespace {

// A number in decimal, at least `digits` digits with leading zeros (a minus
// sign before them); no printf, whose 64-bit conversions differ between
// C runtimes.
std::string digitsOf(std::int64_t value, int digits = 1) {
    std::string text = std::to_string(value < 0 ? -value : value);
    if (static_cast<int>(text.size()) < digits) text.insert(0, digits - text.size(), '0');
    if (value < 0) text.insert(0, 1, '-');
    return text;
}

std::int64_t secondsOf(std::int64_t t) { return t / 1000 % 60; }
std::int64_t millisOf(std::int64_t t) { return t % 1000; }

std::string clock(std::int64_t minutes, std::int64_t t) {
    return digitsOf(minutes) + ":" + digitsOf(secondsOf(t), 2) + "." + digitsOf(millisOf(t), 3);
}

}  // namespace

std::string raceTimeText(std::int64_t t) { return clock(t / 60000, t); }
std::string lapTimeText(std::int64_t t) { return clock(t / 60000 % 60, t); }

std::string shortTimeText(std::int64_t t) {
    const std::int64_t minutes = t / 60000 % 60;
    if (minutes > 0) return clock(minutes, t);
    return digitsOf(secondsOf(t), 2) + "." + digitsOf(millisOf(t), 3);
}

std::string gapText(std::int64_t t) {
    const std::int64_t minutes = t / 60000;
    std::string text(1, '-');
    if (minutes > 0) return text += clock(minutes, t);
    return text += digitsOf(secondsOf(t)) + "." + digitsOf(millisOf(t), 3);
}

std::string secondsText(std::int64_t t) { return digitsOf(secondsOf(t)) + "." + digitsOf(millisOf(t), 3); }
std::string speed2Text(std::int64_t v) { return digitsOf(v / 100) + "." + digitsOf(v % 100, 2); }
std::string speed1Text(std::int64_t v) { return digitsOf(v / 100) + "." + digitsOf(v % 100 / 10); }
std::string percent2Text(std::int64_t p) { return digitsOf(p / 100) + "." + digitsOf(p % 100, 2); }
std::string percent1Text(std::int64_t p) { return digitsOf(p / 10) + "." + digitsOf(p % 10); }

std::string pageText(const std::string& replayText) { return escapeMarkup(windows1252ToUtf8(replayText)); }

namespace {

std::string escaped(const std::string& text, bool strict) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += strict ? "&#39;" : "'"; break;
            default:
                if (!strict || (u >= 0x20 && u != 0x7F) || c == '\t' || c == '\n') out += c;
        }
    }
    return out;
}

}  // namespace

std::string escapeMarkup(const std::string& text) { return escaped(text, false); }

std::string escapeMarkupStrict(const std::string& text) { return escaped(text, true); }

std::string carLogo(std::int32_t carMake) {
    static const char* const makes[] = {"Brabham", "BRM", "Cooper", "Eagle", "Ferrari", "Lotus", "Honda"};
    if (carMake < 0 || carMake > 6) return "";
    return std::string("<img src=\"images/logo_") + makes[carMake] + ".gif\" />";
}

std::string colourByte(std::int64_t value) {
    char text[32];
    std::snprintf(text, sizeof text, "%s%x", value < 16 ? "0" : "", static_cast<unsigned>(value));
    return text;
}

}  // namespace zr

#include "value_format.h"

#include <cstdio>

#include "platform.h"

namespace zr {

namespace {

std::string printed(const char* format, long long a, long long b, long long c = 0) {
    char text[64];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

long long secondsOf(std::int64_t t) { return t / 1000 % 60; }
long long millisOf(std::int64_t t) { return t % 1000; }

}  // namespace

std::string raceTimeText(std::int64_t t) {
    return printed("%lld:%02lld.%03lld", t / 60000, secondsOf(t), millisOf(t));
}

std::string lapTimeText(std::int64_t t) {
    return printed("%lld:%02lld.%03lld", t / 60000 % 60, secondsOf(t), millisOf(t));
}

std::string shortTimeText(std::int64_t t) {
    long long minutes = t / 60000 % 60;
    if (minutes > 0) return printed("%lld:%02lld.%03lld", minutes, secondsOf(t), millisOf(t));
    return printed("%02lld.%03lld", secondsOf(t), millisOf(t));
}

std::string gapText(std::int64_t t) {
    long long minutes = t / 60000;
    if (minutes > 0) return printed("-%lld:%02lld.%03lld", minutes, secondsOf(t), millisOf(t));
    return printed("-%lld.%03lld", secondsOf(t), millisOf(t));
}

std::string secondsText(std::int64_t t) { return printed("%lld.%03lld", secondsOf(t), millisOf(t)); }
std::string speed2Text(std::int64_t v) { return printed("%lld.%02lld", v / 100, v % 100); }
std::string speed1Text(std::int64_t v) { return printed("%lld.%lld", v / 100, v % 100 / 10); }
std::string percent2Text(std::int64_t p) { return printed("%lld.%02lld", p / 100, p % 100); }
std::string percent1Text(std::int64_t p) { return printed("%lld.%lld", p / 10, p % 10); }

std::string pageText(const std::string& replayText) { return escapeMarkup(windows1252ToUtf8(replayText)); }

std::string escapeMarkup(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

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

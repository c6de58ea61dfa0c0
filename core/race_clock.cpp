#include "race_clock.h"

namespace zr {

std::string formatRaceClock(long long v, int rate, ClockStyle style) {
    if (rate <= 0) rate = 36;
    long long m = v / (rate * 60LL);
    long long s = (v / rate) % 60;
    std::string t;
    if (style == ClockStyle::minutes) {
        if (m < 10) t += ' ';
        t += std::to_string(m);
    } else {
        long long h = v / (rate * 3600LL);
        if (h == 0) t += "  ";
        else t += std::to_string(h) + ":";
        if (m < 10) t += ' ';
        if (m % 60 < 10 && h > 0) t += '0';
        t += std::to_string(m % 60);
    }
    t += ':';
    if (s < 10) t += '0';
    t += std::to_string(s);
    return t;
}

std::string formatLapTime(long long ms) {
    long long sec = (ms / 1000) % 60;
    long long milli = ms % 1000;
    std::string t = std::to_string(ms / 60000) + ":";
    if (sec < 10) t += '0';
    t += std::to_string(sec) + ".";
    if (milli < 100) t += '0';
    if (milli < 10) t += '0';
    t += std::to_string(milli);
    return t;
}

}  // namespace zr

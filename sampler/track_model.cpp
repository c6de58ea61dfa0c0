#include "track_model.h"

#include <algorithm>
#include <cstdio>

namespace zr::sampler {

namespace {

// Braking and accelerating of the reference car, cm/s per second.
constexpr std::int64_t kBrakeCm = 1200;
constexpr std::int64_t kAccelCm = 600;

std::int64_t kmhToCm(int kmh) { return static_cast<std::int64_t>(kmh) * 100000 / 3600; }

int metreOf(const TrackModel& track, std::int64_t position) {
    std::int64_t m = position / kUnitsPerMetre;
    if (m < 0) m = 0;
    return static_cast<int>(std::min<std::int64_t>(m, track.lengthM - 1));
}

}  // namespace

std::int64_t isqrt(std::int64_t v) {
    if (v <= 0) return 0;
    std::int64_t r = 1;
    while (r * r <= v) r *= 2;
    std::int64_t lo = r / 2, hi = r;  // lo*lo <= v < hi*hi
    while (hi - lo > 1) {
        std::int64_t mid = (lo + hi) / 2;
        (mid * mid <= v ? lo : hi) = mid;
    }
    return lo;
}

void prepareTrack(TrackModel& track) {
    const int n = track.lengthM;
    std::vector<std::int64_t> cm(n, kmhToCm(track.topSpeedKmh));
    std::vector<std::int64_t> turned(n + 1, 0);  // heading turned at the start of each metre, x1000
    for (const Corner& c : track.corners) {
        for (int i = 0; i < c.lengthM; ++i) cm[(c.startM + i) % n] = std::min(cm[(c.startM + i) % n], kmhToCm(c.speedKmh));
    }
    // Braking zones before and acceleration after the corners; the lap is a
    // loop, so two rounds reach every metre from across the line.
    for (int round = 0; round < 2; ++round)
        for (int m = n - 1; m >= 0; --m) {
            std::int64_t next = cm[(m + 1) % n];
            cm[m] = std::min(cm[m], isqrt(next * next + 2 * kBrakeCm * 100));
        }
    for (int round = 0; round < 2; ++round)
        for (int m = 0; m < n; ++m) {
            std::int64_t before = cm[(m + n - 1) % n];
            cm[m] = std::min(cm[m], isqrt(before * before + 2 * kAccelCm * 100));
        }
    track.speedAt.assign(n, 0);
    for (int m = 0; m < n; ++m) track.speedAt[m] = static_cast<std::int32_t>(cm[m] * 20);  // 20 units per cm

    std::vector<int> turnPerMetre(n, 0);  // x1000
    for (const Corner& c : track.corners)
        for (int i = 0; i < c.lengthM; ++i) turnPerMetre[(c.startM + i) % n] += c.turn * 1000 / c.lengthM;
    track.headingAt.assign(n, 0);
    std::int64_t h = static_cast<std::int64_t>(track.startHeading) * 1000;
    for (int m = 0; m < n; ++m) {
        std::int64_t units = (h / 1000) % kHeadingTurn;
        if (units < 0) units += kHeadingTurn;
        track.headingAt[m] = static_cast<std::int16_t>(units);
        h += turnPerMetre[m];
    }
}

std::int64_t lapUnits(const TrackModel& track) { return track.lengthM * kUnitsPerMetre; }

std::int32_t referenceSpeed(const TrackModel& track, std::int64_t position) {
    return track.speedAt[metreOf(track, position)];
}

int trackHeading(const TrackModel& track, std::int64_t position) { return track.headingAt[metreOf(track, position)]; }

int stallMetres(const TrackModel& track, int stall) { return track.firstStallM - stall * track.stallStepM; }

std::int64_t stallStop(const TrackModel& track, int stall) {
    return stallMetres(track, stall) * kUnitsPerMetre - kUnitsPerMetre / 2;
}

bool betweenStalls(const TrackModel& track, std::int64_t position) {
    std::int64_t first = track.firstStallM * kUnitsPerMetre;
    std::int64_t last = stallMetres(track, kStalls - 1) * kUnitsPerMetre;
    return std::min(first, last) < position && position < std::max(first, last);
}

bool inPitLaneBounds(const TrackModel& track, std::int64_t position) {
    std::int64_t s = track.pitLaneStartM * kUnitsPerMetre;
    std::int64_t e = track.pitLaneEndM * kUnitsPerMetre;
    if (e > s) return s < position && position < e;
    if (e < s) return position < e || position > s;
    return false;
}

std::int64_t referenceLapMs(const TrackModel& track) {
    std::int64_t ms = 0;
    for (std::int32_t v : track.speedAt) ms += 1000 * kUnitsPerMetre * 1000 / v;  // microseconds per metre
    return ms / 1000;
}

std::string trackIni(const TrackModel& track) {
    auto metres = [](std::int32_t m) { return std::to_string(m) + ".0"; };
    std::string t = "[ track ]\r\n";
    t += "name = " + track.title + "\r\n";
    t += "length = " + metres(track.lengthM) + "\r\n";
    t += "corners = " + std::to_string(track.corners.size()) + "\r\n";
    t += "\r\n[ pit_lane_0 ]\r\n";
    t += "lane_bounds_dlong = " + metres(track.pitLaneStartM) + " " + metres(track.pitLaneEndM) + " \r\n";
    t += "speed_limit = " + metres(track.pitSpeedKmh) + "\r\n";
    for (int k = 0; k < kStalls; ++k) t += "stall_" + std::to_string(k) + " = " + metres(stallMetres(track, k)) + "\r\n";
    t += "\r\n[ pit_lane_1 ]\r\n";
    t += "lane_bounds_dlong = 0.0 0.0 \r\n";
    return t;
}

namespace {
TrackModel prepared(TrackModel track) {
    prepareTrack(track);
    return track;
}
}  // namespace

TrackModel shortTrack() {
    return prepared({.folder = "eichberg", .title = "Eichberg", .lengthM = 820, .pitLaneStartM = 740,
                     .pitLaneEndM = 140, .firstStallM = 126, .stallStepM = 6, .topSpeedKmh = 215, .pitSpeedKmh = 80,
                     .startHeading = 384,
                     .corners = {{170, 50, 128, 120}, {290, 40, -64, 150}, {370, 60, 192, 95}, {500, 40, 64, 160},
                                 {590, 70, 192, 115}}});
}

TrackModel mediumTrack() {
    return prepared({.folder = "waldheim", .title = "Waldheim", .lengthM = 2900, .pitLaneStartM = 2800,
                     .pitLaneEndM = 220, .firstStallM = 200, .stallStepM = 8, .topSpeedKmh = 260, .pitSpeedKmh = 80,
                     .startHeading = 384,
                     .corners = {{280, 70, 128, 95}, {660, 60, -64, 150}, {980, 90, 160, 110}, {1400, 50, -96, 170},
                                 {1700, 110, 192, 85}, {2130, 70, 64, 160}, {2470, 90, 128, 120}}});
}

TrackModel longTrack() {
    return prepared({.folder = "hochtal", .title = "Hochtal", .lengthM = 4860, .pitLaneStartM = 4700,
                     .pitLaneEndM = 260, .firstStallM = 230, .stallStepM = 8, .topSpeedKmh = 290, .pitSpeedKmh = 80,
                     .startHeading = 0,
                     .corners = {{420, 80, 128, 90}, {900, 60, -64, 150}, {1300, 90, 160, 110}, {1900, 50, -96, 170},
                                 {2350, 120, 192, 80}, {2900, 70, 64, 160}, {3350, 60, -128, 120},
                                 {3800, 100, 160, 100}, {4300, 90, 96, 140}}});
}

}  // namespace zr::sampler

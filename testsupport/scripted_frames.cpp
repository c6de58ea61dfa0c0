#include "scripted_frames.h"

#include <algorithm>

namespace zr::test {

std::vector<RecordSpec> scriptedFrames(const std::vector<CarScript>& cars, int first, int last) {
    std::vector<RecordSpec> records;
    for (int f = first; f <= last; ++f) {
        std::vector<SampleSpec> samples;
        for (const CarScript& car : cars)
            if (std::optional<SampleSpec> s = car(f)) samples.push_back(*s);
        records.push_back(frameRecord(samples));
    }
    return records;
}

bool anyHolds(const std::vector<Span>& spans, int frame) {
    return std::any_of(spans.begin(), spans.end(), [frame](const Span& s) { return s.holds(frame); });
}

std::int32_t LapDrive::position(int frame) const {
    std::int64_t moved = frame - rests.front().from;
    for (const Span& r : rests)
        if (frame > r.from) moved -= std::min(frame, r.to) - r.from;
    std::int64_t p = (restPosition + std::int64_t{speed} * moved) % lap;
    return static_cast<std::int32_t>(p < 0 ? p + lap : p);
}

std::vector<std::uint32_t> LapDrive::lapStamps(int startFrame, int laps, int frameRate) const {
    std::vector<std::uint32_t> stamps = {0};
    for (int f = startFrame + 1; static_cast<int>(stamps.size()) <= laps && f < startFrame + 10000000; ++f)
        if (position(f) < position(f - 1))
            stamps.push_back(static_cast<std::uint32_t>(std::int64_t{f - startFrame} * 1000 / frameRate));
    return stamps;
}

}  // namespace zr::test

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

}  // namespace zr::test

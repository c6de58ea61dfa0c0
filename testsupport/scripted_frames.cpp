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

void FrameRace::put(int from, int to, SampleSpec sample, int speed) {
    for (int f = from; f <= to && (lastFrame == 0 || f <= lastFrame); ++f) {
        SampleSpec s = sample;
        s.position += speed * (f - from);
        std::vector<SampleSpec>& in = samples[f];
        auto at = std::find_if(in.begin(), in.end(), [&](const SampleSpec& o) { return o.slot >= s.slot; });
        if (at != in.end() && at->slot == s.slot) *at = s;
        else in.insert(at, s);
    }
}

void FrameRace::drop(int frame, int slot) {
    std::erase_if(samples[frame], [slot](const SampleSpec& s) { return s.slot == slot; });
}

ByteVec FrameRace::replay() const {
    FrameRace r = *this;  // operator[] below adds the empty frames to the copy
    int last = std::max(lastFrame, 1);
    auto after = [&](const auto& byFrame) {
        if (lastFrame == 0 && !byFrame.empty()) last = std::max(last, byFrame.rbegin()->first + 1);
    };
    after(samples), after(blocks), after(records);
    if (idleFirstRecord) r.recipe.records.push_back(sessionRecord(0));
    for (int f = 1; f <= last; ++f) {
        RecordSpec record = f == 1 ? sessionRecord(1, r.samples[f]) : frameRecord(r.samples[f], 2, r.blocks[f]);
        if (f == 1) record.blocks.insert(record.blocks.end() - 1, r.blocks[f].begin(), r.blocks[f].end());
        r.recipe.records.push_back(r.records.count(f) ? r.records[f] : record);
    }
    return buildReplay(r.recipe);
}

}  // namespace zr::test

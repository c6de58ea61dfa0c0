#include "lap_replays.h"

#include <algorithm>
#include <cmath>

namespace zr::test {

LapRecordSpec flaggedLapRecord(std::int32_t slot, const std::vector<std::uint32_t>& stamps,
                               const std::vector<std::uint8_t>& flags) {
    LapRecordSpec r = lapRecord(slot, stamps);
    for (std::size_t i = 0; i < r.entries.size() && i < flags.size(); ++i) r.entries[i].flags = flags[i];
    return r;
}

ReadReplay readReplay(const ReplaySpec& recipe) {
    ReadReplay r;
    r.bytes = buildReplay(recipe);
    r.drivers = readDriverTable(view(r.bytes), driver::firstRecord, true);
    const LapReading reading = readLapRecords(view(r.bytes), r.drivers, r.tables, 0);
    takeRaceTable(r.tables, reading);
    r.streamStart = reading.streamStart;
    return r;
}

std::vector<std::uint32_t> evenLaps(std::uint32_t start, int laps, std::uint32_t lapMs) {
    std::vector<std::uint32_t> stamps;
    for (int i = 0; i <= laps; ++i) stamps.push_back(start + static_cast<std::uint32_t>(i) * lapMs);
    return stamps;
}

namespace {

std::int32_t runPosition(const CarRun& run, double ms, std::int32_t trackLength) {
    const std::vector<std::uint32_t>& st = run.stamps;
    auto shape = [&](double u) {
        const double tau = 6.283185307179586;
        return trackLength * (u - run.wobble * std::sin(tau * u) / tau);
    };
    if (st.size() < 2) return trackLength / 2;
    if (ms < st[0]) {
        double u = 1.0 - (st[0] - ms) / (st[1] - st[0]);
        return static_cast<std::int32_t>(shape(std::max(u, 0.5)));
    }
    for (std::size_t i = 0; i + 1 < st.size(); ++i)
        if (ms < st[i + 1]) return static_cast<std::int32_t>(shape((ms - st[i]) / (st[i + 1] - st[i])));
    const double lap = st[st.size() - 1] - st[st.size() - 2];
    return static_cast<std::int32_t>(shape(std::min((ms - st.back()) / lap, 0.999)));
}

std::vector<SampleSpec> samplesAt(const std::vector<CarTrace>& cars, double ms) {
    std::vector<SampleSpec> samples;
    for (const CarTrace& car : cars) samples.push_back({car.slot, car.positionAt(ms)});
    return samples;
}

}  // namespace

CarTrace traceOf(const CarRun& run, std::int32_t trackLength) {
    return {run.slot, [run, trackLength](double ms) { return runPosition(run, ms, trackLength); }};
}

std::vector<CarTrace> tracesOf(const std::vector<CarRun>& runs, std::int32_t trackLength) {
    std::vector<CarTrace> traces;
    for (const CarRun& run : runs) traces.push_back(traceOf(run, trackLength));
    return traces;
}

CarTrace SteadyCar::trace() const {
    return {slot, [car = *this](double ms) {
                const double u = (ms - car.firstLineMs) / car.lapMs;
                return static_cast<std::int32_t>((u - std::floor(u)) * car.trackLength);
            }};
}

std::vector<std::uint32_t> SteadyCar::stamps(int laps) const {
    std::vector<std::uint32_t> out;
    for (int i = 0; i <= laps; ++i) out.push_back(static_cast<std::uint32_t>(firstLineMs + i * lapMs));
    return out;
}

std::int32_t SteadyCar::trueMark(int m, std::int32_t measuredLength) const {
    const double units = m == 4 ? trackLength : m * (measuredLength / 4.0);
    return static_cast<std::int32_t>(std::floor(units / trackLength * lapMs));
}

std::vector<RecordSpec> serverRaceStream(const std::vector<CarTrace>& cars, int frameRate, int frames,
                                         bool sessionSamples) {
    const std::vector<SampleSpec> atStart = sessionSamples ? samplesAt(cars, 0) : std::vector<SampleSpec>{};
    std::vector<RecordSpec> records = {sessionRecord(0, atStart), sessionRecord(1, atStart)};
    for (int j = 0; j < frames; ++j) records.push_back(frameRecord(samplesAt(cars, j * 1000.0 / frameRate)));
    return records;
}

std::vector<RecordSpec> participantStream(const CarTrace& own, const std::vector<CarTrace>& others, int frameRate,
                                          int frames, int raceStartFrame) {
    std::vector<RecordSpec> records;
    for (int j = 0; j < frames; ++j) {
        const double ms = j * 1000.0 / frameRate;
        const std::int32_t clock = static_cast<std::int32_t>(ms / 10) * 256 + (j >= raceStartFrame ? 1 : 0);
        RecordSpec r;
        r.blocks.push_back(sessionBlock(clock));
        r.blocks.push_back(fillerBlock(3, 6));
        r.blocks.push_back(ownCarBlock(own.positionAt(ms)));
        r.blocks.push_back(sampleBlock(samplesAt(others, ms)));
        records.push_back(r);
    }
    return records;
}

}  // namespace zr::test

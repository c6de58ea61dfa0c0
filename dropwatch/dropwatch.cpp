#include "dropwatch.h"

#include <ostream>

#include "chain_replay.h"
#include "event_stream.h"
#include "race_clock.h"
#include "track_ini.h"

namespace zr {

namespace {
// The walk ends this many bytes before the end of the file.
constexpr std::int64_t kEndMargin = 10000;
// Samples in the last 100 seconds before the leader's finish, and after it,
// count as standing still.
constexpr std::int64_t kClosingWindowMs = 100000;
}  // namespace

DropState findDrops(Bytes replay, std::int64_t start, int frameRate, const LapTable& laps) {
    DropState st;
    for (int c = 0; c < kDropSlots; ++c) st.previousPosition[c] = laps.shortestLap[c];
    const std::int64_t closing = static_cast<std::int64_t>(laps.leaderFinishStamp) - kClosingWindowMs;

    walkFrames(
        replay, start, kAfterLeadingBlocksOver16, kEndMargin, 0, [](int) { return false; },
        [&](const Frame& frame) {
            const std::int64_t ms = static_cast<std::int64_t>(frame.counter / frameRate) * 1000;
            const bool standsStill = ms > closing;  // judged once per frame, not per sample
            for (int i = 0; i < frame.sampleCount; ++i) {
                CarSample s = frame.sample(i);
                if (s.carSlot >= kDropSlots) continue;
                int c = s.carSlot;
                st.lastMove[c] = standsStill ? 0 : s.samplePosition - st.previousPosition[c];
                st.lastSampleFrame[c] = frame.counter;
                st.previousPosition[c] = s.samplePosition;
            }
        });
    return st;
}

bool isDrop(const DropState& state, int slot, int frameRate) {
    return state.lastMove[slot] > 4000 / frameRate;
}

std::string discoReport(const DropState& state, const DriverTable& drivers, int frameRate) {
    std::string text = "DISCOS OR FREEZES:\n\n";
    bool any = false;
    for (int c = 0; c < kDropSlots; ++c) {
        if (!isDrop(state, c, frameRate)) continue;
        any = true;
        text += formatRaceClock(state.lastSampleFrame[c], frameRate, ClockStyle::minutes);
        text += "\t " + drivers.firstName(c) + " " + drivers.lastName(c) + "\n";
    }
    if (!any) text += "No discos or freezes found.";
    text += "\n\n\n\n";
    return text;
}

int runDropwatch(std::istream& in, std::ostream& out) {
    const FrontEndProfile& profile = profileOf(Program::dropwatch);
    StartResult started = startRun(profile, in, out);
    if (!started.run) return started.exitCode;
    StartedRun& run = *started.run;
    Bytes replay = run.replay.bytes();

    ReplayHeader header = readReplayHeader(replay, profile.frameRateRule);
    readPitLaneBounds(trackIniPath(run.paths, header.trackName), profile.trackTexts, out);
    showTrackName(out, header);

    ChainTables tables;
    readChainTables(replay, profile, tables);
    std::int64_t start = findRaceStartRecord(replay, tables.laps.firstStreamRecord(), true);
    out << profile.progressText << std::flush;

    DropState state = findDrops(replay, start, header.frameRate, tables.laps);
    if (!saveReport(run.paths.reportName, discoReport(state, tables.drivers, header.frameRate), out)) return 1;
    return 0;
}

}  // namespace zr

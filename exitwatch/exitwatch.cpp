#include "exitwatch.h"

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <ostream>

#include "chain_replay.h"
#include "event_stream.h"
#include "platform.h"
#include "race_clock.h"

namespace zr {

namespace {
// The walk ends this many bytes before the end of the file.
constexpr std::int64_t kEndMargin = 1200;
// A car seen again less than this many frames after its last sample missed
// one frame at most: it was not absent.
constexpr std::int64_t kShortestAbsence = 3;
// A car whose last two samples lie more than this apart did not stand. The
// distance counts either way: a car crossing the line goes from the end of
// the lap to its start, and a car may roll backwards.
constexpr std::int64_t kStandingMove = 5;
}  // namespace

EscapeWatch::EscapeWatch() {
    for (std::int32_t& s : escapeState) s = notYetSeen;
}

bool inPitLane(std::int64_t q, const PitLaneBounds& lane) {
    const std::int64_t s = std::int64_t{lane.pitLaneStart} * 2000;
    const std::int64_t e = std::int64_t{lane.pitLaneEnd} * 2000;
    if (e > s) return s < q && q < e;
    if (e < s) return q < e || q > s;
    return false;
}

float sessionFrameLimit(float sessionLength, std::int32_t timeDiffFirst, int frameRate) {
    const float cut = static_cast<float>(60LL * timeDiffFirst);
    return (sessionLength - cut) * static_cast<float>(frameRate);
}

std::int64_t sessionFrames(float sessionLength, int frameRate) {
    // Whole seconds; a length outside what a 32-bit count holds is clamped,
    // and one that is not a number counts as 0.
    std::int64_t seconds = 0;
    if (sessionLength >= 2147483648.0f) seconds = INT32_MAX;
    else if (sessionLength <= -2147483648.0f) seconds = INT32_MIN;
    else if (sessionLength == sessionLength) seconds = static_cast<std::int32_t>(sessionLength);
    return seconds * frameRate;
}

std::int64_t secondStreamRecord(Bytes replay, const LapTable& laps) {
    const std::int64_t first = laps.firstStreamRecord();
    std::uint32_t length = 0;
    if (!readU16(replay, first, length) || length == 0) return static_cast<std::int64_t>(replay.size);
    return first + length;
}

EscapeWatch findEscapes(Bytes replay, std::int64_t start, const ReplayHeader& header, const TimeDiffSettings& timeDiff,
                        const PitLaneBounds& lane, const LapTable& laps) {
    EscapeWatch w;
    for (int c = 0; c < kEscapeSlots; ++c) w.previousPosition[c] = laps.shortestLap[c];
    const float limit = sessionFrameLimit(header.sessionLength, timeDiff.timeDiffFirst, header.frameRate);
    const std::int64_t longestAbsence = 60LL * header.frameRate * timeDiff.timeDiffSecond;

    walkFrames(
        replay, start, kAfterLeadingBlocksOver16, kEndMargin, 0,
        [&](int counter) { return !(static_cast<float>(counter) < limit); },
        [&](const Frame& frame) {
            const std::int32_t u = frame.counter;
            for (int i = 0; i < frame.sampleCount; ++i) {
                const CarSample s = frame.sample(i);
                if (s.carSlot >= kEscapeSlots) continue;
                const int c = s.carSlot;
                if (w.escapeState[c] == watched) {
                    const std::int64_t last = w.lastSeenFrame[c];
                    const std::int64_t lastMove = std::llabs(std::int64_t{w.previousPosition[c]} - w.olderPosition[c]);
                    // Only a car that stood outside the pit lane, was missing for
                    // at least two frames and came back within the limit escaped.
                    const bool legal = u < last + kShortestAbsence || inPitLane(w.previousPosition[c], lane) ||
                                       lastMove > kStandingMove || u - kShortestAbsence > last + longestAbsence;
                    if (legal) {
                        w.lastSeenFrame[c] = u;
                    } else {
                        w.escapeFrame[c] = u;
                        w.escapeState[c] = escaped;
                        ++w.escapeCount;
                    }
                } else if (w.escapeState[c] == notYetSeen) {
                    w.escapeState[c] = watched;
                    w.lastSeenFrame[c] = u;
                }
                w.olderPosition[c] = w.previousPosition[c];
                w.previousPosition[c] = s.samplePosition;
            }
        });
    return w;
}

std::string escapeReport(const EscapeWatch& watch, const DriverTable& drivers, float sessionLength, int frameRate) {
    // Both clocks count the session time down from its length.
    const std::int64_t end = sessionFrames(sessionLength, frameRate);
    std::string text = "  ILLEGAL ECSs in QUALI\n\n";
    for (int c = 0; c < kEscapeSlots; ++c) {
        if (watch.escapeState[c] != escaped) continue;
        text += shortNameColumn(drivers, c);
        text += formatRaceClock(end - watch.lastSeenFrame[c], frameRate, ClockStyle::hours) + "\t";
        text += formatRaceClock(end - watch.escapeFrame[c], frameRate, ClockStyle::hours) + "\t\n";
    }
    text += "\n\n";
    return text;
}

int runExitwatch(std::istream& in, std::ostream& out) {
    const FrontEndProfile& profile = profileOf(Program::exitwatch);
    int exitCode = 0;
    std::optional<PitLaneRun> run = startPitLaneRun(profile, in, out, exitCode);
    if (!run) return exitCode;
    Bytes replay = run->run.replay.bytes();
    std::int64_t start = secondStreamRecord(replay, run->tables.laps);
    out << profile.progressText << std::flush;

    EscapeWatch watch = findEscapes(replay, start, run->header, run->run.timeDiff, run->lane, run->tables.laps);
    if (watch.escapeCount == 0) {
        out << "No illegal ESC'S FOUND!\n";
        pauseConsole(in, out);
        return 0;
    }
    std::string report = escapeReport(watch, run->tables.drivers, run->header.sessionLength, run->header.frameRate);
    if (!saveReport(run->run.paths.reportName, report, out)) return 1;
    return 0;
}

}  // namespace zr

#include "exitwatch.h"

#include <cstdint>
#include <cstdlib>

#include "chain_tables.h"
#include "command_line.h"
#include "event_stream.h"
#include "findings_json.h"
#include "listing_run.h"
#include "listing_text.h"
#include "race_clock.h"
#include "replay_units.h"

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

constexpr ProgramDialogue kDialogue{
    .prompt = "Please put in name of replay (without .rpy) ",
    .emptyLineAfterPrompt = true,
    .readsTimeDiff = true,
    .reportSuffix = "_ESCinQ.txt",
};
constexpr const char* kProgressText = "\nWait a moment, please...\nYou will find a txt lile in programm folder.\n\n";
}  // namespace

EscapeWatch::EscapeWatch() {
    for (std::int32_t& s : escapeState) s = notYetSeen;
}

bool inPitLane(std::int64_t q, const PitLaneBounds& lane) {
    const std::int64_t s = metresToPosition(lane.pitLaneStart);
    const std::int64_t e = metresToPosition(lane.pitLaneEnd);
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
    std::int64_t at = laps.firstStreamRecord();
    return nextRecord(replay, at) ? at : static_cast<std::int64_t>(replay.size);
}

EscapeWatch walkEscapes(Bytes replay, std::int64_t start, const ReplayHeader& header, const TimeDiffSettings& timeDiff,
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

EscapeFindings findEscapes(const StartedRun& run, ConsoleSink& console) {
    EscapeFindings f;
    const Bytes replay = run.replay.bytes();
    f.header = readReplayHeader(replay, FrameRateRule::zeroMeans36);
    f.track = readTrackFile(run.paths.tracksFolder, f.header.trackName);
    showPitLane(f.track, TrackTexts::english, console);
    console << trackNameLine(f.header);
    ChainTables tables = readChainTables(replay, driver::secondRecord, false);
    const std::int64_t start = secondStreamRecord(replay, tables.laps);
    console << kProgressText << std::flush;
    f.timeDiff = run.timeDiff;
    f.watch = walkEscapes(replay, start, f.header, run.timeDiff, f.track.lane, tables.laps);
    f.drivers = std::move(tables.drivers);
    return f;
}

std::string escapeReport(const EscapeFindings& findings) {
    const EscapeWatch& watch = findings.watch;
    const DriverTable& drivers = findings.drivers;
    const int frameRate = findings.header.frameRate;
    const float sessionLength = findings.header.sessionLength;

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

ListingOutcome escapeOutcome(const EscapeFindings& findings, const RunPaths& paths) {
    if (findings.watch.escapeCount == 0) return nothingFound("No illegal ESC'S FOUND!\n");
    return oneReport(paths.reportName, escapeReport(findings));
}

std::string escapeJson(const EscapeFindings& f, const RunPaths& paths) {
    const int rate = f.header.frameRate;
    const std::int64_t end = sessionFrames(f.header.sessionLength, rate);
    auto timeLeft = [&](std::int64_t frame) {
        return timeJson(framesToMs(end - frame, rate), formatRaceClock(end - frame, rate, ClockStyle::hours));
    };
    Json json = findingsHead("exitwatch", paths, f.header);
    json["trackFile"] = trackFileJson(f.track);
    json["sessionCutMinutes"] = f.timeDiff.timeDiffFirst;
    json["absenceLimitMinutes"] = f.timeDiff.timeDiffSecond;
    json["sessionLength"] = timeJson(framesToMs(end, rate), formatRaceClock(end, rate, ClockStyle::hours));
    Json escapes = Json::array();
    for (int c = 0; c < kEscapeSlots; ++c) {
        if (f.watch.escapeState[c] != escaped) continue;
        Json escape = driverJson(f.drivers, c);
        escape["lastSeenTimeLeft"] = timeLeft(f.watch.lastSeenFrame[c]);
        escape["reappearedTimeLeft"] = timeLeft(f.watch.escapeFrame[c]);
        escapes.push_back(escape);
    }
    json["escapes"] = escapes;
    return jsonText(json);
}

int runExitwatch(std::istream& in, std::ostream& out) {
    return runListing(kDialogue, in, out, [](const StartedRun& run, ConsoleSink& console) {
        return escapeOutcome(findEscapes(run, console), run.paths);
    });
}

int runExitwatchCommand(int argc, const char* const* argv) {
    CLI::App app{"exitwatch: the cars that left a qualifying session by escaping to the pits outside the pit lane,\n"
                 "written as NAME_ESCinQ.txt."};
    CommandLine line;
    TimeDiffOptions timeDiffOptions;
    declareCommand(app, "exitwatch", line);
    declareTimeDiffOptions(app, timeDiffOptions);
    if (std::optional<int> done = parseCommand(app, argc, argv)) return *done;
    return runListingCommand(
        line, kDialogue.reportSuffix,
        [](const StartedRun& run) {
            ConsoleSink silent;
            const EscapeFindings findings = findEscapes(run, silent);
            CommandOutcome outcome =
                commandOutcome(escapeOutcome(findings, run.paths), "No illegal escapes in " + run.paths.replayName + ".",
                               "exitwatch", run.paths, escapeJson(findings, run.paths));
            warnWithoutTrackFile(outcome, findings.track);
            return outcome;
        },
        &timeDiffOptions);
}

}  // namespace zr

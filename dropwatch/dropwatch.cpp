#include "dropwatch.h"

#include "chain_tables.h"
#include "command_line.h"
#include "findings_json.h"
#include "event_stream.h"
#include "listing_run.h"
#include "listing_text.h"
#include "race_clock.h"

namespace zr {

namespace {
// The walk ends this many bytes before the end of the file.
constexpr std::int64_t kEndMargin = 10000;
// Samples in the last 100 seconds before the leader's finish, and after it,
// count as standing still.
constexpr std::int64_t kClosingWindowMs = 100000;

constexpr ProgramDialogue kDialogue{
    .prompt = "Please put in name of replay (without .rpy) ",
    .emptyLineAfterPrompt = true,
    .readsTimeDiff = true,  // read, though the listing does not depend on it
    .reportSuffix = "_Disco.txt",
};
constexpr const char* kProgressText = "\nWait a moment, please...\nYou will find a txt file in programm folder.\n\n";
}  // namespace

DropState walkDrops(Bytes replay, std::int64_t start, int frameRate, const LapTable& laps) {
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

DropFindings findDisconnects(const StartedRun& run, ConsoleSink& console) {
    DropFindings f;
    const Bytes replay = run.replay.bytes();
    f.header = readReplayHeader(replay, FrameRateRule::zeroMeans36);
    f.track = readTrackFile(run.paths.tracksFolder, f.header.trackName);
    showPitLane(f.track, TrackTexts::english, console);
    console << trackNameLine(f.header);

    ChainTables tables = readChainTables(replay, driver::secondRecord, false);
    const std::int64_t start = findRaceStartRecord(replay, tables.laps.firstStreamRecord(), true);
    console << kProgressText << std::flush;

    const DropState state = walkDrops(replay, start, f.header.frameRate, tables.laps);
    for (int c = 0; c < kDropSlots; ++c)
        if (isDrop(state, c, f.header.frameRate)) f.disconnects.push_back({c, state.lastSampleFrame[c]});
    f.drivers = std::move(tables.drivers);
    return f;
}

std::string discoReport(const DropFindings& findings) {
    std::string text = "DISCOS OR FREEZES:\n\n";
    for (const Disconnect& d : findings.disconnects) {
        text += formatRaceClock(d.lastSampleFrame, findings.header.frameRate, ClockStyle::minutes);
        text += "\t " + fullName(findings.drivers, d.carSlot) + "\n";
    }
    if (findings.disconnects.empty()) text += "No discos or freezes found.";
    text += "\n\n\n\n";
    return text;
}

std::string discoJson(const DropFindings& f, const RunPaths& paths) {
    const int rate = f.header.frameRate;
    Json json = findingsHead("dropwatch", paths, f.header);
    json["trackFile"] = trackFileJson(f.track);
    Json drops = Json::array();
    for (const Disconnect& d : f.disconnects) {
        Json drop = driverJson(f.drivers, d.carSlot);
        drop["lastSample"] = timeJson(framesToMs(d.lastSampleFrame, rate),
                                      formatRaceClock(d.lastSampleFrame, rate, ClockStyle::minutes));
        drops.push_back(drop);
    }
    json["disconnects"] = drops;
    return jsonText(json);
}

int runDropwatch(std::istream& in, std::ostream& out) {
    return runListing(kDialogue, in, out, [](const StartedRun& run, ConsoleSink& console) {
        const DropFindings findings = findDisconnects(run, console);
        return oneReport(run.paths.reportName, discoReport(findings));
    });
}

int runDropwatchCommand(int argc, const char* const* argv) {
    CLI::App app{"dropwatch: the cars whose recording ended while they were still moving, before the race was\n"
                 "over (disconnects and freezes), written as NAME_Disco.txt (also when there are none).\n"
                 "It takes the numbers of timediff.ini as the other programs do, but its report does not\n"
                 "depend on them."};
    CommandLine line;
    TimeDiffOptions timeDiffOptions;
    declareCommand(app, "dropwatch", line);
    declareTimeDiffOptions(app, timeDiffOptions);
    if (std::optional<int> done = parseCommand(app, argc, argv)) return *done;
    return runListingCommand(
        line, kDialogue.reportSuffix,
        [](const StartedRun& run) {
            ConsoleSink silent;
            const DropFindings findings = findDisconnects(run, silent);
            CommandOutcome outcome = commandOutcome(oneReport(run.paths.reportName, discoReport(findings)), "",
                                                    "dropwatch", run.paths, discoJson(findings, run.paths));
            warnWithoutTrackFile(outcome, findings.track);
            return outcome;
        },
        &timeDiffOptions);
}

}  // namespace zr

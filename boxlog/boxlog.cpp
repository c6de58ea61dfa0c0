#include "boxlog.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "chain_tables.h"
#include "event_stream.h"
#include "command_line.h"
#include "findings_json.h"
#include "listing_run.h"
#include "listing_text.h"
#include "race_clock.h"
#include "replay_units.h"

namespace zr {

namespace {
// The walk ends this many bytes before the end of the file.
constexpr std::int64_t kEndMargin = 1200;
// Nothing is judged in the first seconds of the race, when the grid stands.
constexpr std::int64_t kStartSeconds = 38;
// A car within this distance of a pit-lane bound (about 2.15 m) passes it.
constexpr std::int64_t kBoundWindow = 4300;
// A car that moved less than this in one frame (6 cm) stands still.
constexpr std::int64_t kRestMove = 120;
// Each stretch of this many seconds at rest is one piece of work.
constexpr std::int32_t kWorkSeconds = 14;
constexpr std::uint32_t kRefuelBit = 0x80;

constexpr ProgramDialogue kDialogue{
    .prompt = "Bitte Name der Datei (ohne .rpy) eingeben",
    .emptyLineAfterPrompt = true,
    .reportSuffix = "_PS.txt",
    .echoesReplayPath = true,
    .showsFileSize = true,
};

struct PitWalk {
    PitLog& log;
    int rate;
    std::int64_t laneStart;
    std::int64_t laneEnd;
    const DriverTable& drivers;
    ConsoleSink& out;

    int openStop(int c, std::int32_t startFrame) {
        PitStopRecord r;
        r.startFrame = startFrame;
        r.carSlot = c;
        log.stops.push_back(r);
        log.section[c].openStop = static_cast<int>(log.stops.size()) - 1;
        ++log.stopsPerCar[c];
        return log.section[c].openStop;
    }

    // |p - bound| < kBoundWindow, as one unsigned comparison: it is asked twice for nearly every sample.
    static bool nearBound(std::int64_t p, std::int64_t bound) {
        return static_cast<std::uint64_t>(p - bound + (kBoundWindow - 1)) < std::uint64_t{2 * kBoundWindow - 1};
    }

    // `watching`: the frame lies after the first 38 seconds, which are skipped.
    void sample(const CarSample& s, std::int32_t g, bool watching) {
        const int c = s.carSlot;
        const std::int64_t p = s.samplePosition;
        // Nearly every sample is of a car out on the track, outside the pit
        // section and away from both of its bounds: not at rest in the pits.
        // Its standstill count is 0 already, as judge leaves it for a car
        // outside the section.
        if (watching && (log.section[c].inPitSection || nearBound(p, laneEnd) || nearBound(p, laneStart)))
            judge(c, p, s.sampleFlags & kRefuelBit, s.gear, g);
        log.lastPosition[c] = s.samplePosition;
    }

    // The pit section's bounds, rest and work for a sample of car `c` at `p`
    // in frame `g`. Kept out of the sample loop, which it would crowd.
    [[gnu::noinline]] void judge(int c, std::int64_t p, std::uint32_t refuelBit, int gear, std::int32_t g) {
        PitSectionState& pit = log.section[c];
        if (nearBound(p, laneEnd)) {
            if (pit.inPitSection && pit.openStop >= 0) log.stops[pit.openStop].pitLaneFrames = g - pit.entryFrame;
            pit.inPitSection = 0;
            pit.openStop = -1;
        }
        if (nearBound(p, laneStart)) {
            pit.entryFrame = g;
            pit.inPitSection = 1;
        }

        std::int32_t& still = log.standstillFrames[c];
        if (pit.inPitSection && std::abs(p - log.lastPosition[c]) < kRestMove) {
            ++still;
            // Refuelling shows at rest: the stop begins where the car came to rest.
            if (refuelBit) {
                int stop = pit.openStop >= 0 ? pit.openStop : openStop(c, g - still);
                log.stops[stop].refuelDone = 1;
            }
        } else {
            still = 0;
        }

        // Every 14 seconds at rest is work on the car: a repair in neutral, a
        // tyre change in gear.
        if (still > kWorkSeconds * rate) {
            int stop = pit.openStop;
            if (stop < 0) {
                stop = openStop(c, g - kWorkSeconds * rate);
                out << "GANG=" << gear << "\n";
            }
            if (gear != 0) log.stops[stop].tyreChangeDone = 1;
            else log.stops[stop].repairDone = 1;
            still = 0;
            out << formatRaceClock(g, rate, ClockStyle::hours) << "\t" << shortName(drivers, c) << "\n";
        }
    }
};

std::string stopTime(std::int32_t frames, int rate) {
    if (frames == 0) return " --.-";
    const std::int64_t whole = frames / rate;
    std::string t = whole < 100 ? " " : "";
    return t + std::to_string(whole) + "." + std::to_string(std::int64_t{frames} * 10 / rate % 10) + "s";
}

std::string workDone(const PitStopRecord& r) {
    if (r.pitLaneFrames == 0) return "Pitstop not completed";
    std::string t;
    if (r.repairDone) t += "Repair";
    if (r.repairDone && r.tyreChangeDone) t += "/";
    if (r.tyreChangeDone) t += "Tire change";
    if (r.refuelDone) {
        if (r.repairDone || r.tyreChangeDone) t += "/";
        t += "Refuel";
    }
    return t;
}

}  // namespace

PitLog walkPitStops(Bytes replay, std::int64_t start, int frameRate, const LapTable& laps, const PitLaneBounds& lane,
                    const DriverTable& drivers, ConsoleSink& out) {
    PitLog log;
    PitWalk walk{log, frameRate, metresToPosition(lane.pitLaneStart), metresToPosition(lane.pitLaneEnd),
                 drivers, out};
    walkFrames(
        replay, start, kAfterLeadingBlocks, kEndMargin, 1,
        [&](int g) { return std::int64_t{g} * 1000 / frameRate >= laps.leaderFinishStamp; },
        [&](const Frame& frame) {
            const bool watching = frame.counter > kStartSeconds * frameRate;
            for (int i = 0; i < frame.sampleCount; ++i) {
                const CarSample s = frame.sample(i);
                if (isCarSlot(s.carSlot)) walk.sample(s, frame.counter, watching);
            }
        });
    return log;
}

PitStopFindings findPitStops(const StartedRun& run, ConsoleSink& console) {
    PitStopFindings f;
    const Bytes replay = run.replay.bytes();
    f.header = readReplayHeader(replay, FrameRateRule::zeroMeans36);
    f.track = readTrackFile(run.paths.tracksFolder, f.header.trackName);
    showPitLane(f.track, TrackTexts::german, console);
    console << trackNameLine(f.header);
    ChainTables tables = readChainTables(replay, driver::secondRecord, false);
    const std::int64_t start = findRaceStartRecord(replay, tables.laps.firstStreamRecord(), false);
    console << kGermanProgressText << std::flush;
    f.log = walkPitStops(replay, start, f.header.frameRate, tables.laps, f.track.lane, tables.drivers, console);
    f.drivers = std::move(tables.drivers);
    return f;
}

std::string pitStopReport(const PitStopFindings& findings) {
    const PitLog& log = findings.log;
    const DriverTable& drivers = findings.drivers;
    const int frameRate = findings.header.frameRate;
    std::string text = "  PITSTOP LISTING\n\n";
    for (const PitStopRecord& r : log.stops) {
        text += formatRaceClock(r.startFrame, frameRate, ClockStyle::hours) + "\t";
        text += stopTime(r.pitLaneFrames, frameRate) + "\t";
        text += shortNameColumn(drivers, r.carSlot) + workDone(r) + "\n";
    }
    text += "\n\n";

    text += countRanking(log.stopsPerCar, drivers);
    return text;
}

std::string pitStopJson(const PitStopFindings& f, const RunPaths& paths) {
    const int rate = f.header.frameRate;
    Json json = findingsHead("boxlog", paths, f.header);
    json["trackFile"] = trackFileJson(f.track);
    Json stops = Json::array();
    for (const PitStopRecord& r : f.log.stops) {
        Json work = Json::array();
        if (r.repairDone) work.push_back("repair");
        if (r.tyreChangeDone) work.push_back("tyreChange");
        if (r.refuelDone) work.push_back("refuel");
        Json stop = driverJson(f.drivers, r.carSlot);
        stop["cameToRest"] = timeJson(framesToMs(r.startFrame, rate), formatRaceClock(r.startFrame, rate, ClockStyle::hours));
        stop["completed"] = r.pitLaneFrames != 0;
        stop["pitLaneTime"] =
            r.pitLaneFrames == 0 ? Json() : timeJson(framesToMs(r.pitLaneFrames, rate), stopTime(r.pitLaneFrames, rate));
        stop["work"] = work;
        stops.push_back(stop);
    }
    json["pitStops"] = stops;
    Json perCar = Json::array();
    for (int c = 0; c < kSlots; ++c) {
        if (f.log.stopsPerCar[c] == 0) continue;
        Json car = driverJson(f.drivers, c);
        car["stops"] = f.log.stopsPerCar[c];
        perCar.push_back(car);
    }
    json["stopsPerCar"] = perCar;
    return jsonText(json);
}

ListingOutcome pitStopOutcome(const PitStopFindings& findings, const RunPaths& paths) {
    if (findings.log.stops.empty()) return nothingFound("Keine Boxenstopps gefunden!\n");
    return oneReport(paths.reportName, pitStopReport(findings));
}

int runBoxlog(std::istream& in, std::ostream& out) {
    return runListing(kDialogue, in, out, [](const StartedRun& run, ConsoleSink& console) {
        return pitStopOutcome(findPitStops(run, console), run.paths);
    });
}

int runBoxlogCommand(int argc, const char* const* argv) {
    CLI::App app{"boxlog: every pit stop of a race replay (repair, tyre change, refuelling, time in the pit lane),\n"
                 "written as NAME_PS.txt."};
    CommandLine line;
    declareCommand(app, "boxlog", line);
    if (std::optional<int> done = parseCommand(app, argc, argv)) return *done;
    return runListingCommand(line, kDialogue.reportSuffix, [](const StartedRun& run) {
        ConsoleSink silent;
        const PitStopFindings findings = findPitStops(run, silent);
        CommandOutcome outcome = commandOutcome(pitStopOutcome(findings, run.paths),
                                                "No pit stops in " + run.paths.replayName + ".", "boxlog", run.paths,
                                                pitStopJson(findings, run.paths));
        warnWithoutTrackFile(outcome, findings.track);
        return outcome;
    });
}

}  // namespace zr

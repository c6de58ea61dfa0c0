#include "resetlog.h"

#include "chain_tables.h"
#include "command_line.h"
#include "event_stream.h"
#include "findings_json.h"
#include "listing_run.h"
#include "listing_text.h"
#include "race_clock.h"

namespace zr {

namespace {
constexpr ProgramDialogue kDialogue{
    .prompt = "Bitte Name der Datei (ohne .rpy) eingeben",
    .emptyLineAfterPrompt = true,
    .reportSuffix = "_SR.txt",
    .echoesReplayPath = true,
};

const char* verdictText(std::int32_t verdict) {
    if (verdict == kInPits) return "(in pits)";
    if (verdict == kNotInPits) return "(not in pits)";
    return "(pits ?\?\?)";
}
}  // namespace

ResetFindings findResets(const StartedRun& run, ConsoleSink& console) {
    ResetFindings f;
    const Bytes replay = run.replay.bytes();
    f.header = readReplayHeader(replay, FrameRateRule::zeroMeans36);
    f.track = readTrackFile(run.paths.tracksFolder, f.header.trackName);
    showStalls(f.track, console);
    ChainTables tables = readChainTables(replay, driver::secondRecord, false);
    const std::int64_t start = findRaceStartRecord(replay, tables.laps.firstStreamRecord(), false);
    console << kGermanProgressText << std::flush;
    f.scan = walkResets(replay, start, f.header.frameRate, tables.laps, f.track.stalls, tables.drivers, console);
    f.drivers = std::move(tables.drivers);
    return f;
}

std::string resetListing(const ResetFindings& findings) {
    const ResetScan& scan = findings.scan;
    const DriverTable& drivers = findings.drivers;
    const int frameRate = findings.header.frameRate;
    std::string text = "  SHIFT R-LISTE\n\n";
    for (std::size_t i = 0; i < scan.events.size(); ++i) {
        const ResetEvent& e = scan.events[i];
        text += eventNumberColumn(static_cast<int>(i + 1)) + "\t" +
                formatRaceClock(e.frame, frameRate, ClockStyle::hours) + "\t " + shortName(drivers, e.carSlot) +
                "   " + verdictText(e.pitsVerdict);
        if (!e.repairSeen) text += " ATTENTION: unsure if ShiftR correct";
        text += "\n";
    }

    // "\xDC" is the "Ü" of "ÜBERSICHT" (overview) in Windows-1252.
    text += "\n\n  \xDC" "BERSICHT\n\n";
    text += countRanking(scan.resetsPerCar, drivers);
    return text;
}

ListingOutcome resetOutcome(const ResetFindings& findings, const RunPaths& paths) {
    if (findings.scan.events.empty()) return nothingFound("KEINE SHIFTR'S GEFUNDEN!\n");
    return oneReport(paths.reportName, resetListing(findings));
}

std::string resetJson(const ResetFindings& f, const RunPaths& paths) {
    const int rate = f.header.frameRate;
    Json json = findingsHead("resetlog", paths, f.header);
    json["trackFile"] = trackFileJson(f.track);
    Json resets = Json::array();
    for (std::size_t i = 0; i < f.scan.events.size(); ++i) {
        const ResetEvent& e = f.scan.events[i];
        Json reset = driverJson(f.drivers, e.carSlot);
        reset["number"] = i + 1;
        reset["time"] = timeJson(framesToMs(e.frame, rate), formatRaceClock(e.frame, rate, ClockStyle::hours));
        reset["verdict"] = e.pitsVerdict == kInPits ? "inPits" : e.pitsVerdict == kNotInPits ? "notInPits" : "unknown";
        // A damage state that went down is certain; a teleport alone may be something else.
        reset["certain"] = e.repairSeen != 0;
        resets.push_back(reset);
    }
    json["resets"] = resets;
    Json perCar = Json::array();
    for (int c = 0; c < kSlots; ++c) {
        if (f.scan.resetsPerCar[c] == 0) continue;
        Json car = driverJson(f.drivers, c);
        car["resets"] = f.scan.resetsPerCar[c];
        perCar.push_back(car);
    }
    json["resetsPerCar"] = perCar;
    return jsonText(json);
}

int runResetlog(std::istream& in, std::ostream& out) {
    return runListing(kDialogue, in, out, [](const StartedRun& run, ConsoleSink& console) {
        return resetOutcome(findResets(run, console), run.paths);
    });
}

int runResetlogCommand(int argc, const char* const* argv) {
    CLI::App app{"resetlog: the resets to the pits in a race replay, each judged by whether the car stood in the\n"
                 "pits, written as NAME_SR.txt."};
    CommandLine line;
    declareCommand(app, "resetlog", line);
    if (std::optional<int> done = parseCommand(app, argc, argv)) return *done;
    return runListingCommand(line, kDialogue.reportSuffix, [](const StartedRun& run) {
        ConsoleSink silent;
        const ResetFindings findings = findResets(run, silent);
        CommandOutcome outcome = commandOutcome(resetOutcome(findings, run.paths),
                                                "No resets in " + run.paths.replayName + ".", "resetlog", run.paths,
                                                resetJson(findings, run.paths));
        warnWithoutTrackFile(outcome, findings.track);
        return outcome;
    });
}

}  // namespace zr

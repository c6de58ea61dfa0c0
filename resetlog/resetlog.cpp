#include "resetlog.h"

#include "chain_tables.h"
#include "event_stream.h"
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

int runResetlog(std::istream& in, std::ostream& out) {
    return runListing(kDialogue, in, out, [](const StartedRun& run, ConsoleSink& console) {
        const ResetFindings findings = findResets(run, console);
        if (findings.scan.events.empty()) return nothingFound("KEINE SHIFTR'S GEFUNDEN!\n");
        return oneReport(run.paths.reportName, resetListing(findings));
    });
}

}  // namespace zr

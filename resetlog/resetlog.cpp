#include "resetlog.h"

#include <ostream>

#include "chain_replay.h"
#include "event_stream.h"
#include "platform.h"
#include "race_clock.h"
#include "track_ini.h"

namespace zr {

namespace {
const char* verdictText(std::int32_t verdict) {
    if (verdict == kInPits) return "(in pits)";
    if (verdict == kNotInPits) return "(not in pits)";
    return "(pits ?\?\?)";
}
}  // namespace

std::string resetListing(const ResetScan& scan, const DriverTable& drivers, int frameRate) {
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
    const FrontEndProfile& profile = profileOf(Program::resetlog);
    StartResult started = startRun(profile, in, out);
    if (!started.run) return started.exitCode;
    StartedRun& run = *started.run;
    Bytes replay = run.replay.bytes();

    ReplayHeader header = readReplayHeader(replay, profile.frameRateRule);
    StallBounds stalls = readStallBounds(trackIniPath(run.paths, header.trackName), out);

    ChainTables tables;
    readChainTables(replay, profile, tables);
    std::int64_t start = findRaceStartRecord(replay, tables.laps.firstStreamRecord(), false);
    out << profile.progressText << std::flush;

    ResetScan scan = findResets(replay, start, header.frameRate, tables.laps, stalls, tables.drivers, out);
    if (scan.events.empty()) {
        out << "KEINE SHIFTR'S GEFUNDEN!\n";
        pauseConsole(in, out);
        return 0;
    }
    if (!saveReport(run.paths.reportName, resetListing(scan, tables.drivers, header.frameRate), out)) return 1;
    return 0;
}

}  // namespace zr

#include "contactscan.h"

#include <algorithm>
#include <istream>
#include <ostream>

#include "chain_replay.h"
#include "platform.h"
#include "protest_files.h"
#include "race_clock.h"

namespace zr {

namespace {
// A best lap this far over the field's best is taken as this far over it.
constexpr std::int32_t kBestLapCap = 8000;
// Best laps from this on are not shown.
constexpr std::int32_t kShownBestLapLimit = 1000000;
}  // namespace

bool askScanMode(std::istream& in, std::ostream& out, ScanMode& mode) {
    out << "Put in a number!\n"
           "See listing:\n\n"
           " 0  only collisions\n"
           " 1  collisions and lost wheels\n"
           " 2  only lost wheels\n\n"
        << std::flush;
    unsigned number = 0;
    bool read = static_cast<bool>(in >> number);
    out << "\n";
    if (!read || number > 2) return false;
    mode = static_cast<ScanMode>(number);
    return true;
}

void listLaps(std::ostream& out, const DriverTable& drivers, LapTable& laps) {
    // Printed as the records are read: each line shows the car's best lap as
    // it stands after that record.
    for (std::size_t i = 0; i < laps.recordSlots.size(); ++i) {
        const std::int32_t slot = laps.recordSlots[i];
        if (!isCarSlot(slot)) continue;
        // The whole name field, NUL bytes included, a blank after each byte.
        for (char c : drivers.driverName[slot]) out << c << ' ';
        if (laps.recordShortestLap[i] < kShownBestLapLimit) out << formatLapTime(laps.recordShortestLap[i]);
        out << "\n";
    }
    std::int32_t fieldBest = *std::min_element(laps.shortestLap, laps.shortestLap + kSlots);
    for (int slot = 0; slot < kSlots; ++slot) {
        std::int32_t& best = laps.shortestLap[slot];
        if (best == kNoLap || best <= fieldBest + kBestLapCap) continue;
        best = fieldBest + kBestLapCap;
        out << slot << " korrigierte Zeit:" << best << "\n";
    }
}

int runContactscan(std::istream& in, std::ostream& out) {
    const FrontEndProfile& profile = profileOf(Program::contactscan);
    ScanMode mode = ScanMode::everything;
    if (!askScanMode(in, out, mode)) {
        out << "Falsche Ziffer eingegeben!\n";
        pauseConsole(in, out);
        return 1;
    }

    StartResult started = startRun(profile, in, out);
    if (!started.run) return started.exitCode;
    StartedRun& run = *started.run;
    Bytes replay = run.replay.bytes();

    ReplayHeader header = readReplayHeader(replay, profile.frameRateRule);
    showTrackName(out, header);
    ChainTables tables;
    readChainTables(replay, profile, tables);
    listLaps(out, tables.drivers, tables.laps);
    out << profile.progressText << std::flush;

    IncidentScan scan;
    scan.mode = mode;
    scan.frameRate = header.frameRate;
    scan.laps = &tables.laps;
    scan.drivers = &tables.drivers;
    scan.console = &out;
    scanRace(scan, replay, findRaceStartRecord(replay, tables.laps.firstStreamRecord(), true));
    out << std::flush;

    const std::string& name = run.paths.replayName;
    std::string list = protestList(scan.list, tables.drivers, header.frameRate, upperAscii(header.trackName));
    if (!saveReport(run.paths.reportName, list, out)) return 1;

    std::string race = raceNumberOf(name);
    int grid = gridNumberOf(name);
    if (race.empty() || grid == 0) {
        out << "\n"
               "Es konnte keine php erstellt werden,\n"
               "da keine brauchbaren Informationen zur Rennnummer\n"
               "und/oder zum Grid gefunden wurden.\n"
               "Bitte Replays in der Form 300rplyB verwenden!\n";
        pauseConsole(in, out);
        return 0;
    }
    std::string script = protestScript(scan.list, tables.drivers, header.frameRate, race, grid);
    if (!saveReport(protestScriptName(name), script, out)) return 1;
    return 0;
}

}  // namespace zr

#include "contactscan.h"

#include <algorithm>
#include <istream>
#include <ostream>

#include "chain_tables.h"
#include "command_line.h"
#include "findings_json.h"
#include "listing_text.h"
#include "platform.h"
#include "protest_files.h"
#include "race_clock.h"

namespace zr {

namespace {
// A best lap this far over the field's best is taken as this far over it.
constexpr std::int32_t kBestLapCap = 8000;
// Best laps from this on are not shown.
constexpr std::int32_t kShownBestLapLimit = 1000000;

constexpr ProgramDialogue kDialogue{
    .prompt = "Put in name of replay (without .rpy)!",
    .reportSuffix = ".txt",
};
constexpr const char* kProgressText =
    "\nYou'll find a txt file in programm folder,\nbut tool is working...and needs some time...\n\n";
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

void listLaps(ConsoleSink& out, const DriverTable& drivers, LapTable& laps) {
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

IncidentFindings findIncidents(const StartedRun& run, ScanMode mode, ConsoleSink& console) {
    IncidentFindings f;
    f.mode = mode;
    const Bytes replay = run.replay.bytes();
    f.header = readReplayHeader(replay, FrameRateRule::zeroMeans36);
    console << trackNameLine(f.header);
    ChainTables tables = readChainTables(replay, driver::firstRecord, true);
    listLaps(console, tables.drivers, tables.laps);
    console << kProgressText << std::flush;

    IncidentScan scan;
    scan.mode = mode;
    scan.frameRate = f.header.frameRate;
    scan.laps = &tables.laps;
    scan.drivers = &tables.drivers;
    scan.console = &console;
    scanRace(scan, replay, findRaceStartRecord(replay, tables.laps.firstStreamRecord(), true));
    console << std::flush;
    f.list = std::move(scan.list);
    f.drivers = std::move(tables.drivers);
    return f;
}

ListingOutcome protestOutcome(const IncidentFindings& f, const RunPaths& paths) {
    ListingOutcome outcome;
    const int rate = f.header.frameRate;
    outcome.reports.push_back({paths.reportName, protestList(f.list, f.drivers, rate, upperAscii(f.header.trackName))});
    const std::string& name = paths.replayName;
    const std::string race = raceNumberOf(name);
    const int grid = gridNumberOf(name);
    if (race.empty() || grid == 0) {
        outcome.closingText =
            "\n"
            "Es konnte keine php erstellt werden,\n"
            "da keine brauchbaren Informationen zur Rennnummer\n"
            "und/oder zum Grid gefunden wurden.\n"
            "Bitte Replays in der Form 300rplyB verwenden!\n";
        outcome.pauseAtEnd = true;
    } else {
        outcome.reports.push_back({protestScriptName(name), protestScript(f.list, f.drivers, rate, race, grid)});
    }
    return outcome;
}

std::string incidentJson(const IncidentFindings& f, const RunPaths& paths) {
    static const char* const modes[] = {"contactsOnly", "everything", "damageOnly"};
    const int rate = f.header.frameRate;
    Json json = findingsHead("contactscan", paths, f.header);
    json["mode"] = modes[static_cast<unsigned>(f.mode)];
    const std::string race = raceNumberOf(paths.replayName);
    const int grid = gridNumberOf(paths.replayName);
    const bool script = !race.empty() && grid != 0;
    json["raceNumber"] = script ? Json(race) : Json();
    json["grid"] = script ? Json(std::string(1, static_cast<char>('A' + grid - 1))) : Json();
    json["protestScript"] = script ? Json(protestScriptName(paths.replayName)) : Json();
    Json incidents = Json::array();
    for (int i = 1; i <= f.list.count(); ++i) {
        const IncidentEvent& e = f.list.events[i];
        Json incident = driverJson(f.drivers, e.carSlot);
        incident["number"] = i;
        incident["time"] = timeJson(framesToMs(e.frame, rate), formatRaceClock(e.frame, rate, ClockStyle::hours));
        if (e.incidentCode < 0) {
            incident["kind"] = "lostWheel";
            incident["wheel"] = lostWheelName(e.incidentCode);
        } else if (e.incidentCode > kEngineDamageCode) {
            incident["kind"] = "engineDamage";
            incident["engineDamage"] = e.incidentCode - kEngineDamageCode;  // of 63
        } else {
            incident["kind"] = "contact";
            incident["partner"] = driverJson(f.drivers, e.incidentCode);
        }
        incidents.push_back(incident);
    }
    json["incidents"] = incidents;
    return jsonText(json);
}

int runContactscan(std::istream& in, std::ostream& out) {
    ScanMode mode = ScanMode::everything;
    if (!askScanMode(in, out, mode)) {
        out << "Falsche Ziffer eingegeben!\n";
        pauseConsole(in, out);
        return 1;
    }
    return runListing(kDialogue, in, out, [mode](const StartedRun& run, ConsoleSink& console) {
        return protestOutcome(findIncidents(run, mode, console), run.paths);
    });
}

int runContactscanCommand(int argc, const char* const* argv) {
    CLI::App app{"contactscan: contacts between cars that cost one of them time, lost wheels and engine damage in\n"
                 "a race replay, written as the protest list NAME.txt and, for a replay named like 300rplyB (race\n"
                 "300, grid B), the protest script Protest_B.php for the league's database."};
    CommandLine line;
    unsigned mode = 1;
    declareCommand(app, "contactscan", line);
    app.add_option("--mode", mode,
                   "what to look for: 0 contacts only, 1 contacts, lost wheels and engine damage\n"
                   "(the default), 2 lost wheels and engine damage only")
        ->check(CLI::Range(0u, 2u).description(""))
        ->type_name("0|1|2");
    if (std::optional<int> done = parseCommand(app, argc, argv)) return *done;
    return runListingCommand(line, kDialogue.reportSuffix, [mode](const StartedRun& run) {
        ConsoleSink silent;
        const IncidentFindings findings = findIncidents(run, static_cast<ScanMode>(mode), silent);
        CommandOutcome outcome = commandOutcome(protestOutcome(findings, run.paths), "", "contactscan", run.paths,
                                                incidentJson(findings, run.paths));
        if (outcome.reports.size() < 2)
            outcome.note = "No protest script: the replay's name carries no race number and grid letter (like "
                           "300rplyB).";
        return outcome;
    });
}

}  // namespace zr
